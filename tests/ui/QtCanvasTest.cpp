// The QPainter canvas: font faces, DIB conversion, clipping and turned text
// drawn into an offscreen image.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "qtkit/QtCanvas.h"
#include "screens/CMyBitmap.h"

// fontconfig keeps a few caches it never frees; they are not ours to find.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

class QtCanvasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QGuiApplication::instance()) {
      static int argc = 1;
      static char name[] = "test_ui";
      static char* argv[] = {name, nullptr};
      app_ = new QGuiApplication(argc, argv);
    }
  }
  static inline QGuiApplication* app_ = nullptr;
};

// Ink: pixels noticeably darker than white inside [x0, x1) x [y0, y1).
int Ink(const QImage& img, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(img.height(), y1); ++y)
    for (int x = std::max(0, x0); x < std::min(img.width(), x1); ++x)
      if (qGray(img.pixel(x, y)) < 160) ++n;
  return n;
}

TEST_F(QtCanvasTest, FacesMapToInstalledJapaneseFonts) {
  struct Case {
    const char* face;
    const char* family;
  } cases[] = {
      {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ Ｐゴシック", "IPAPGothic"},
      {"ＭＳ 明朝", "IPAMincho"},     {"ＭＳ Ｐ明朝", "IPAPMincho"},
      {"@ＭＳ 明朝", "IPAMincho"},    {"ＭＳ ゴシック(True Type)", "IPAGothic"},
      {"Arial", "IPAPGothic"},        {"", "IPAPGothic"},
  };
  for (const Case& c : cases) {
    LogFont lf;
    lf.faceName = cp932::FromUtf8(c.face);
    lf.height = -20;
    EXPECT_EQ(QtCanvas::FamilyFor(lf.faceName).toStdString(), c.family) << c.face;
    // The font really resolves to it (fonts-ipafont is installed).
    EXPECT_EQ(QFontInfo(QtCanvas::FontFor(lf)).family().toStdString(), c.family) << c.face;
  }
  LogFont bold;
  bold.height = -30;
  bold.weight = 700;
  const QFont f = QtCanvas::FontFor(bold);
  EXPECT_EQ(f.pixelSize(), 30);
  EXPECT_EQ(f.weight(), QFont::Bold);
}

TEST_F(QtCanvasTest, DibRowsAreBottomUpAndPalettesApply) {
  // 2 x 2, 24 bits: bottom row blue, red; top row green, white.
  std::vector<uint8_t> rows = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0};
  CMyBitmap b;
  ASSERT_TRUE(b.Create24(2, 2, rows));
  const QImage img = QtCanvas::ImageFromDib(b.View());
  EXPECT_EQ(img.pixel(0, 1), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(0, 0), qRgb(0, 255, 0));
  EXPECT_EQ(img.pixel(1, 0), qRgb(255, 255, 255));

  // 1 bit, two colours: 0 black, 1 yellow; row bits 10000000.
  std::vector<uint8_t> dib(40 + 8 + 4, 0);
  le::PutI32(&dib[0], 40);
  le::PutI32(&dib[4], 2);
  le::PutI32(&dib[8], 1);
  le::PutU16(&dib[12], 1);
  le::PutU16(&dib[14], 1);
  dib[44] = 0x00, dib[45] = 0xFF, dib[46] = 0xFF;  // entry 1: B G R = 0, FF, FF
  dib[48] = 0x80;
  DibView v{dib.data(), 48, dib.data() + 48, 4, 2, 1, 1, 2};
  const QImage mono = QtCanvas::ImageFromDib(v);
  EXPECT_EQ(mono.pixel(0, 0), qRgb(255, 255, 0));
  EXPECT_EQ(mono.pixel(1, 0), qRgb(0, 0, 0));
  v.bitsSize = 3;  // rows beyond the buffer: nothing drawn
  EXPECT_TRUE(QtCanvas::ImageFromDib(v).isNull());
}

TEST_F(QtCanvasTest, TextIsClippedToItsRectangle) {
  QImage img(300, 100, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    QtCanvas c(p);
    LogFont lf;
    lf.height = -40;
    lf.faceName = "ＭＳ ゴシック"_sj;
    c.SetFont(lf);
    c.SetTextColour(0);
    c.DrawTextRect("日本語の長い長い見出しです"_sj, {10, 10, 110, 60}, kTextSingleLine | kTextVCenter);
  }
  EXPECT_GT(Ink(img, 10, 10, 110, 60), 200);
  EXPECT_EQ(Ink(img, 111, 0, 300, 100), 0);
  EXPECT_EQ(Ink(img, 0, 61, 300, 100), 0);
}

TEST_F(QtCanvasTest, VerticalTextRunsDownAndHangsLeft) {
  for (const char* face : {"ＭＳ ゴシック", "@ＭＳ ゴシック"}) {
    QImage img(200, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
      QPainter p(&img);
      QtCanvas c(p);
      LogFont lf;
      lf.height = -30;
      lf.escapement = lf.orientation = 2700;
      lf.faceName = cp932::FromUtf8(face);
      c.SetFont(lf);
      c.TextOut(100, 20, "縦書きです"_sj);
    }
    EXPECT_GT(Ink(img, 60, 20, 100, 180), 200) << face;
    EXPECT_EQ(Ink(img, 102, 0, 200, 300), 0) << face;
    EXPECT_EQ(Ink(img, 0, 0, 200, 18), 0) << face;
  }
}

TEST_F(QtCanvasTest, FillsFramesAndPens) {
  QImage img(50, 50, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    QtCanvas c(p);
    c.FillRect({10, 10, 20, 20}, 0x0000FF);  // red in 0x00BBGGRR
    c.SetPen({0, 3, 0xFF0000});              // blue, 3 pixels
    c.Line(30, 5, 30, 45);
  }
  EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(19, 19), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(20, 20), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(30, 25), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(31, 25), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(33, 25), qRgb(255, 255, 255));
}

}  // namespace
