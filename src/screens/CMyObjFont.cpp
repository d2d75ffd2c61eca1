#include "screens/CMyObjFont.h"

#include <climits>
#include <cmath>

#include "platform/Cp932.h"
#include "screens/CMyBitmap.h"

int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

CMyObjFont::CMyObjFont(double hscale, double vscale) {
  rec_.hscale = hscale;
  rec_.vscale = vscale;
  rec_.font.height = TruncToInt(-562 * vscale);
  rec_.font.charSet = 128;
  rec_.font.pitchAndFamily = 0x31;
  rec_.font.faceName = "ＭＳ ゴシック"_sj;
}

const std::string& CMyObjFont::SampleText() {
  static const std::string kSample = "あAg"_sj;
  return kSample;
}

int CMyObjFont::ReadFontBlock(ByteCursor& in) {
  text_.clear();
  hasText_ = false;
  int32_t size = 0, length = 0;
  if (!in.I32(size)) return 1;
  if (size != jos::kFontImageSize) return 2;
  if (!in.I32(length)) return 4;
  const uint8_t* p = in.Take(jos::kFontImageSize);
  if (!p) return 4;
  jos::ParseFontRecord(p, rec_);
  // The text must fit the capacity the record declares (the reader reserves
  // capacity + 1 bytes), and both must be lengths the model can hold.
  if (length < 0 || rec_.capacity < 0 || rec_.capacity > jos::kMaxTextLength || length > rec_.capacity)
    return 3;
  const uint8_t* t = in.Take(static_cast<size_t>(length));
  if (!t) return 4;
  text_.assign(reinterpret_cast<const char*>(t), static_cast<size_t>(length));
  // The reserved buffer is zeroed, so the text ends at its first NUL.
  text_.resize(std::strlen(text_.c_str()));
  hasText_ = true;
  return 0;
}

void CMyObjFont::SetText(const std::string& text) {
  const int len = static_cast<int>(std::min<size_t>(text.size(), jos::kMaxTextLength));
  if (len >= rec_.capacity) rec_.capacity = len + 2;
  text_.assign(text, 0, static_cast<size_t>(len));
  rec_.textLength = len;
  hasText_ = true;
}

CanvasRect CMyObjFont::DeviceBox() const {
  if (!hasText_) return {};
  const double x = rec_.x, y = rec_.y, w = rec_.width, h = rec_.height;
  CanvasRect r;
  r.top = TruncToInt(y * rec_.vscale);
  r.bottom = TruncToInt((y + h) * rec_.vscale);
  if (rec_.vertical == 1) {
    r.left = TruncToInt((x - w) * rec_.hscale);
    r.right = TruncToInt(x * rec_.hscale);
  } else {
    r.left = TruncToInt(x * rec_.hscale);
    r.right = TruncToInt((x + w) * rec_.hscale);
  }
  return r;
}

LogFont CMyObjFont::DeviceFont() const {
  LogFont f = rec_.font;
  f.height = TruncToInt(rec_.fontHeight * rec_.vscale);
  f.escapement = f.orientation = rec_.vertical == 1 ? 2700 : 0;
  return f;
}

void CMyObjFont::DrawText(Canvas& c, int ox, int oy, bool printing) const {
  if (!hasText_ || text_.empty()) return;
  if (HasOwnColour()) c.SetTextColour(static_cast<uint32_t>(rec_.textColour));
  c.SetFont(DeviceFont());
  c.SetBackground(rec_.background == 1, static_cast<uint32_t>(rec_.bkColour));
  unsigned flags = 0;
  if (rec_.align == 1) flags |= kTextCenter;
  if (rec_.align == 2) flags |= kTextRight;
  if (rec_.vplace != 0) {
    flags |= kTextSingleLine;
    if (rec_.vplace == 1) flags |= kTextVCenter;
    if (rec_.vplace == 2) flags |= kTextBottom;
  }
  const double x = static_cast<double>(ox) + rec_.x, y = static_cast<double>(oy) + rec_.y;
  double l, t, r, b;
  if (rec_.vertical == 1) {
    l = x, t = y, r = x - rec_.width, b = y + rec_.height;
  } else {
    // Insets of 0.7 mm left and top, 0.5 mm right and 0.2 mm bottom keep the
    // text off the frame lines.
    l = x + 70, t = y + 70, r = x + rec_.width - 50, b = y + rec_.height - 20;
  }
  const int dx = printing ? c.PhysicalOffsetX() : 0, dy = printing ? c.PhysicalOffsetY() : 0;
  CanvasRect box{TruncToInt(l * rec_.hscale) - dx, TruncToInt(t * rec_.vscale) - dy,
                 TruncToInt(r * rec_.hscale) - dx, TruncToInt(b * rec_.vscale) - dy};
  if (rec_.vertical == 1 && !formattedVertical_) {
    c.TextOut(box.left, box.top, text_);
  } else {
    c.DrawTextRect(text_, box, flags);
  }
}

void CMyObjFont::DrawBitmap(Canvas& c, const CMyBitmap& bmp, int ox, int oy, bool printing) const {
  LogFont f = DeviceFont();
  f.escapement = f.orientation = 0;
  c.SetFont(f);
  c.SetBackground(rec_.background == 1, static_cast<uint32_t>(rec_.bkColour));
  const double x = static_cast<double>(ox) + rec_.x, y = static_cast<double>(oy) + rec_.y;
  const int dx = printing ? c.PhysicalOffsetX() : 0, dy = printing ? c.PhysicalOffsetY() : 0;
  const int l = TruncToInt(x * rec_.hscale) - dx, t = TruncToInt(y * rec_.vscale) - dy;
  const int r = TruncToInt((x + rec_.width) * rec_.hscale) - dx,
            b = TruncToInt((y + rec_.height) * rec_.vscale) - dy;
  bmp.Draw(c, l, t, r - l, b - t);
}

int CMyObjFont::MeasureChar(Canvas& c, bool store) {
  c.SetFont(DeviceFont());
  int result;
  if (rec_.vertical == 1) {
    const CanvasSize s = c.MeasureText("龍"_sj);
    result = rec_.hscale > 0 ? TruncToInt((s.width + 3) / rec_.hscale) : 0;
    if (store) rec_.width = result;
  } else {
    const CanvasSize s = c.MeasureText(SampleText());
    result = rec_.vscale > 0 ? TruncToInt(s.height / rec_.vscale) : 0;
    if (store) rec_.height = result;
  }
  return result;
}
