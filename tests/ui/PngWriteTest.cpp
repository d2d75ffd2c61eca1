// Sheets written as PNG by our own encoder read back pixel for pixel.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "qtkit/PngWrite.h"

namespace {

QImage Decode(const std::string& bytes) {
  return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()),
                          "PNG");
}

TEST(PngWrite, OpaqueAndTranslucentPicturesComeBackExactly) {
  // an odd width, text and a gradient: every filter path and row length
  QImage sheet(333, 77, QImage::Format_RGB32);
  sheet.fill(QColor(250, 248, 240));
  {
    QPainter p(&sheet);
    p.setPen(QColor(10, 60, 200));
    p.drawText(5, 40, QString::fromUtf8("2024/12 家計簿 2,160"));
    for (int x = 0; x < sheet.width(); ++x) p.fillRect(x, 60, 1, 17, QColor(x % 256, 255 - x % 256, 128));
  }
  std::string bytes;
  ASSERT_TRUE(png::Encode(sheet, bytes));
  QImage back = Decode(bytes);
  ASSERT_FALSE(back.isNull());
  EXPECT_FALSE(back.hasAlphaChannel());
  EXPECT_EQ(sheet, back.convertToFormat(QImage::Format_RGB32));

  QImage glass(20, 9, QImage::Format_ARGB32);
  for (int y = 0; y < glass.height(); ++y)
    for (int x = 0; x < glass.width(); ++x)
      glass.setPixel(x, y, qRgba(x * 12, y * 28, 99, (x * y * 7) % 256));
  ASSERT_TRUE(png::Encode(glass, bytes));
  back = Decode(bytes);
  EXPECT_TRUE(back.hasAlphaChannel());
  EXPECT_EQ(glass, back.convertToFormat(QImage::Format_ARGB32));

  EXPECT_FALSE(png::Encode(QImage(), bytes));
}

}  // namespace
