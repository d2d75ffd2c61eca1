// CMyObjFont: the box, font and text of one screen item together with the
// device scale; reads its persistent part from a display-screen file and
// draws its text or a picture into its box.
#pragma once
#include <string>

#include "platform/Canvas.h"
#include "screens/ByteCursor.h"
#include "screens/ScreenFormat.h"

class CMyBitmap;

class CMyObjFont {
 public:
  // Scales are pixels per logical unit (1/100 mm) of the target device.
  CMyObjFont(double hscale, double vscale);

  // 0; 1 size word missing; 2 size word not 144; 3 a text length or capacity
  // the reader cannot hold; 4 the block ends early. The text is freed first;
  // on any failure the object keeps no text.
  int ReadFontBlock(ByteCursor& in);
  // Copies the text; a capacity too small grows to length + 2.
  void SetText(const std::string& text);
  bool HasText() const { return hasText_; }
  const std::string& Text() const { return text_; }
  bool HasOwnColour() const { return (rec_.flags & 1) != 0; }

  void SetPosition(int x, int y) { rec_.x = x, rec_.y = y; }
  void SetWidth(int w) { rec_.width = w; }
  void SetHeight(int h) { rec_.height = h; }
  int X() const { return rec_.x; }
  int Y() const { return rec_.y; }
  int W() const { return rec_.width; }
  int H() const { return rec_.height; }
  void SetScale(double h, double v) { rec_.hscale = h, rec_.vscale = v; }
  double HScale() const { return rec_.hscale; }
  double VScale() const { return rec_.vscale; }
  // Vertical text through the formatted path instead of a plain text-out.
  void SetFormattedVertical(bool on) { formattedVertical_ = on; }

  const jos::FontRecord& Record() const { return rec_; }
  jos::FontRecord& Record() { return rec_; }

  // The box in device pixels, without origin; all zero without text.
  CanvasRect DeviceBox() const;
  // The font as drawn: height scaled, turned for vertical writing.
  LogFont DeviceFont() const;
  void DrawText(Canvas& c, int ox, int oy, bool printing) const;
  void DrawBitmap(Canvas& c, const CMyBitmap& bmp, int ox, int oy, bool printing) const;
  // Height (horizontal) or width (vertical writing) of one line in logical
  // units; with store it also becomes the box height or width.
  int MeasureChar(Canvas& c, bool store);

  // The sample measured for horizontal text.
  static const std::string& SampleText();

 private:
  jos::FontRecord rec_;
  std::string text_;
  bool hasText_ = false;
  bool formattedVertical_ = false;
};

// Real-to-integer conversion of drawing: toward zero, clamped to the int range
// (a damaged file cannot make it overflow); NaN gives 0.
int TruncToInt(double v);
