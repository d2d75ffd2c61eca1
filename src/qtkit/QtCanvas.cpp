#include "qtkit/QtCanvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include "platform/Cp932.h"
#include "platform/LittleEndian.h"

namespace {

QColor ColourOf(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, int offsetX, int offsetY)
    : p_(painter), offsetX_(offsetX), offsetY_(offsetY) {
  font_ = FontFor(LogFont{});
}

QString QtCanvas::ToQString(const std::string& sj) { return QString::fromStdString(cp932::ToUtf8(sj)); }

QString QtCanvas::FamilyFor(const std::string& face) {
  // Vertical-writing faces carry a leading "@"; the family is the same.
  std::string utf8 = cp932::ToUtf8(face);
  if (!utf8.empty() && utf8[0] == '@') utf8.erase(0, 1);
  if (utf8 == "ＭＳ ゴシック" || utf8 == "ＭＳ ゴシック(True Type)") return QStringLiteral("IPAGothic");
  if (utf8 == "ＭＳ 明朝") return QStringLiteral("IPAMincho");
  if (utf8 == "ＭＳ Ｐ明朝") return QStringLiteral("IPAPMincho");
  return QStringLiteral("IPAPGothic");
}

QFont QtCanvas::FontFor(const LogFont& lf) {
  QFont f(FamilyFor(lf.faceName));
  // Negative heights are the character (em) height; positive ones the cell
  // height, of which the em is roughly seven eighths.
  int px = lf.height < 0 ? -lf.height : lf.height * 7 / 8;
  if (px <= 0) px = 12;
  f.setPixelSize(px);
  if (lf.weight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight, 100, 900)));
  f.setItalic(lf.italic != 0);
  f.setUnderline(lf.underline != 0);
  f.setStrikeOut(lf.strikeOut != 0);
  return f;
}

void QtCanvas::SetPen(const CanvasPen& pen) {
  static const Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                         Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
  QPen qp(ColourOf(pen.colour));
  qp.setStyle(pen.style >= 0 && pen.style < 6 ? kStyles[pen.style] : Qt::SolidLine);
  qp.setWidth(pen.width <= 1 ? 0 : pen.width);
  qp.setCapStyle(Qt::FlatCap);
  p_.setPen(qp);
}

void QtCanvas::SetFont(const LogFont& font) {
  font_ = FontFor(font);
  escapement_ = font.escapement;
  verticalFace_ = !font.faceName.empty() && font.faceName[0] == '@';
}

void QtCanvas::SetTextColour(uint32_t colour) { textColour_ = colour; }

void QtCanvas::SetBackground(bool opaque, uint32_t colour) {
  opaque_ = opaque;
  bkColour_ = colour;
}

void QtCanvas::ApplyTextState() {
  p_.setFont(font_);
  p_.setPen(ColourOf(textColour_));
  p_.setBackgroundMode(opaque_ ? Qt::OpaqueMode : Qt::TransparentMode);
  p_.setBackground(ColourOf(bkColour_));
}

void QtCanvas::DrawTextRect(const std::string& text, const CanvasRect& r, unsigned flags) {
  const QRect rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (rect.width() <= 0 || rect.height() <= 0) return;
  int qf = 0;
  qf |= (flags & kTextCenter) ? Qt::AlignHCenter : (flags & kTextRight) ? Qt::AlignRight : Qt::AlignLeft;
  if (flags & kTextSingleLine) {
    qf |= Qt::TextSingleLine;
    qf |= (flags & kTextVCenter) ? Qt::AlignVCenter : (flags & kTextBottom) ? Qt::AlignBottom : Qt::AlignTop;
  } else {
    qf |= Qt::AlignTop;
  }
  p_.save();
  ApplyTextState();
  p_.setClipRect(rect);
  const QString q = ToQString(text);
  if ((qf & Qt::AlignLeft) && (qf & Qt::AlignTop) && !q.contains(QLatin1Char('\n'))) {
    // one line from the top left corner, as the rectangle form would lay it
    // out, without building a text layout for every cell of the sheet
    p_.drawText(QPointF(rect.left(), rect.top() + QFontMetricsF(p_.font()).ascent()), q);
  } else {
    p_.drawText(rect, qf, q);
  }
  p_.restore();
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  p_.save();
  ApplyTextState();
  p_.translate(x, y);
  const QFontMetrics fm(font_);
  if (escapement_ == 2700 && verticalFace_) {
    // Vertical writing with an "@" face: the line runs down from (x, y) and
    // hangs to the left; full-width characters stand upright in the column,
    // half-width ones lie turned as in a plain turned line.
    const QString s = ToQString(text);
    const int column = fm.height();
    int down = 0;
    for (const QChar ch : s) {
      const QString one(ch);
      const int advance = fm.horizontalAdvance(one);
      if (ch.unicode() >= 0x2E80) {
        p_.drawText(QPoint(-column + (column - advance) / 2, down + fm.ascent()), one);
        down += std::max(advance, fm.ascent());
      } else {
        p_.save();
        p_.translate(0, down);
        p_.rotate(90);
        p_.drawText(QPoint(0, fm.ascent()), one);
        p_.restore();
        down += advance;
      }
    }
  } else {
    // Escapement counts counter-clockwise tenths of a degree; Qt turns clockwise.
    if (escapement_ != 0) p_.rotate(-escapement_ / 10.0);
    p_.drawText(QPoint(0, fm.ascent()), ToQString(text));
  }
  p_.restore();
}

CanvasSize QtCanvas::MeasureText(const std::string& text) {
  const QFontMetrics fm(font_);
  const QString s = ToQString(text);
  return {fm.horizontalAdvance(s), fm.height()};
}

void QtCanvas::FillRect(const CanvasRect& r, uint32_t colour) {
  p_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ColourOf(colour));
}

void QtCanvas::FrameRect(const CanvasRect& r) {
  p_.save();
  p_.setBrush(Qt::NoBrush);
  p_.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
  p_.restore();
}

void QtCanvas::Line(int x1, int y1, int x2, int y2) { p_.drawLine(x1, y1, x2, y2); }

QImage QtCanvas::ImageFromDib(const DibView& d) {
  if (!d.info || d.width <= 0 || d.height <= 0) return {};
  const int bits = d.bitCount;
  const int64_t row = (int64_t{d.width} * bits + 31) / 32 * 4;
  if (static_cast<int64_t>(d.bitsSize) < row * d.height) return {};
  QImage img(d.width, d.height, QImage::Format_RGB32);
  if (img.isNull()) return {};
  const uint8_t* table = d.info + 40;
  const int colours = d.colours;
  auto paletteAt = [&](int i) -> QRgb {
    if (i < 0 || i >= colours) return qRgb(0, 0, 0);
    const uint8_t* e = table + 4 * i;
    return qRgb(e[2], e[1], e[0]);
  };
  for (int y = 0; y < d.height; ++y) {
    const uint8_t* src = d.bits + (d.height - 1 - y) * row;
    auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < d.width; ++x) {
      switch (bits) {
        case 1:
          dst[x] = paletteAt((src[x >> 3] >> (7 - (x & 7))) & 1);
          break;
        case 4:
          dst[x] = paletteAt((x & 1) ? src[x >> 1] & 0xF : src[x >> 1] >> 4);
          break;
        case 8:
          dst[x] = paletteAt(src[x]);
          break;
        case 16: {
          const uint16_t v = le::GetU16(src + 2 * x);
          dst[x] = qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
          break;
        }
        case 24:
          dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
          break;
        case 32:
          dst[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
          break;
        default:
          return {};
      }
    }
  }
  return img;
}

void QtCanvas::StretchDib(const CanvasRect& r, const DibView& dib) {
  const QImage img = ImageFromDib(dib);
  if (img.isNull()) return;
  p_.save();
  p_.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p_.drawImage(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), img);
  p_.restore();
}

double QtCanvas::PixelsPerMmX() const {
  const QPaintDevice* d = p_.device();
  return d ? d->logicalDpiX() / 25.4 : 96 / 25.4;
}

double QtCanvas::PixelsPerMmY() const {
  const QPaintDevice* d = p_.device();
  return d ? d->logicalDpiY() / 25.4 : 96 / 25.4;
}
