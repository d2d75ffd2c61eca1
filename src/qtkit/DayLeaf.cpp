#include "qtkit/DayLeaf.h"

#include <QFont>
#include <QPainter>
#include <QPen>

QPixmap DrawDayLeaf(int day, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal r = size / 8.0;
  p.setPen(QPen(QColor(0x8a, 0x6d, 0x3b), size / 16.0 + 0.5));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), r, r);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xc0, 0x30, 0x30));
  p.drawRect(QRectF(1.5, 1.5, size - 3, size * 0.28));
  QFont f(QStringLiteral("IPAGothic"));
  f.setPixelSize(static_cast<int>(size * (day > 0 ? 0.58 : 0.52)));
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(0x33, 0x33, 0x33));
  p.drawText(QRectF(0, size * 0.28, size, size * 0.72), Qt::AlignCenter,
             day > 0 ? QString::number(day) : QStringLiteral("帳"));
  return pm;
}

QIcon DayIcon(int day) {
  // a leaf of a desk calendar showing the day, so the task bar shows the date
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(DrawDayLeaf(day, size));
  return icon;
}

QString CaptionFor(CivilDate today) {
  static const char* kDays[7] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
  return QString::asprintf("ひとこと(%04d年%02d月%02d日 %s)", today.year, today.month, today.day,
                           kDays[civil::Weekday(today) - 1]);
}
