#include "platform/Canvas.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::string Hex(uint32_t c) {
  char b[16];
  std::snprintf(b, sizeof b, "%06X", c & 0xFFFFFFu);
  return b;
}
std::string RectStr(const CanvasRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}
}  // namespace

void RecordingCanvas::SetPen(const CanvasPen& p) {
  calls_.push_back("pen " + std::to_string(p.style) + " " + std::to_string(p.width) + " " + Hex(p.colour));
}
void RecordingCanvas::SetFont(const LogFont& f) {
  font_ = f;
  calls_.push_back("font " + std::to_string(f.height) + " " + std::to_string(f.escapement) + " " +
                   f.faceName);
}
void RecordingCanvas::SetTextColour(uint32_t c) { calls_.push_back("colour " + Hex(c)); }
void RecordingCanvas::SetBackground(bool opaque, uint32_t c) {
  calls_.push_back(std::string("background ") + (opaque ? "opaque " : "transparent ") + Hex(c));
}
void RecordingCanvas::DrawTextRect(const std::string& text, const CanvasRect& r, unsigned flags) {
  calls_.push_back("text " + RectStr(r) + " " + std::to_string(flags) + " " + text);
}
void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
  calls_.push_back("textout " + std::to_string(x) + "," + std::to_string(y) + " " + text);
}
CanvasSize RecordingCanvas::MeasureText(const std::string& text) {
  int h = std::abs(font_.height);
  return {static_cast<int>(text.size()) * h / 2, h};
}
void RecordingCanvas::FillRect(const CanvasRect& r, uint32_t c) {
  calls_.push_back("fill " + RectStr(r) + " " + Hex(c));
}
void RecordingCanvas::FrameRect(const CanvasRect& r) { calls_.push_back("frame " + RectStr(r)); }
void RecordingCanvas::Line(int x1, int y1, int x2, int y2) {
  calls_.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," +
                   std::to_string(y2));
}
void RecordingCanvas::StretchDib(const CanvasRect& r, const DibView& d) {
  calls_.push_back("dib " + RectStr(r) + " " + std::to_string(d.width) + "x" + std::to_string(d.height) +
                   "x" + std::to_string(d.bitCount));
}
std::vector<std::string> RecordingCanvas::CallsStarting(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& c : calls_)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}
