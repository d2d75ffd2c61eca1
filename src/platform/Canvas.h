// The drawing surface the screen model draws through: a small stand-in for a
// device context, so model code never names a toolkit and tests can record
// every call. Coordinates are device pixels; colours are 0x00BBGGRR; texts
// are CP932 bytes (only the toolkit implementation converts them).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct CanvasRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const CanvasRect&) const = default;
};

struct CanvasSize {
  int width = 0, height = 0;
};

// A pen as the screen's pen table describes it: style 0 solid, 1 dashed,
// 2 dotted, 3 dash-dot, 4 dash-dot-dot, 5 none; width in device pixels.
struct CanvasPen {
  int style = 0;
  int width = 1;
  uint32_t colour = 0;
  bool operator==(const CanvasPen&) const = default;
};

// The platform's logical-font record as display screens store it (60 bytes).
struct LogFont {
  int32_t height = 0;  // negative: character height; positive: cell height
  int32_t width = 0;
  int32_t escapement = 0;  // tenths of a degree, counter-clockwise
  int32_t orientation = 0;
  int32_t weight = 0;  // 400 normal, 700 bold
  uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0;
  uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
  std::string faceName;  // CP932, at most 31 bytes
  bool operator==(const LogFont&) const = default;
};

// Flags of DrawTextRect; the values are the platform's, so stored choices
// keep their meaning.
enum CanvasTextFlags : unsigned {
  kTextLeft = 0x0,
  kTextCenter = 0x1,
  kTextRight = 0x2,
  kTextTop = 0x0,
  kTextVCenter = 0x4,
  kTextBottom = 0x8,
  kTextSingleLine = 0x20,
};

// A packed device-independent bitmap seen from outside: the 40-byte
// information header followed by its colour table, and the pixel rows
// (bottom row first, each padded to 4 bytes).
struct DibView {
  const uint8_t* info = nullptr;  // header + colour table
  size_t infoSize = 0;
  const uint8_t* bits = nullptr;
  size_t bitsSize = 0;
  int width = 0, height = 0, bitCount = 0, colours = 0;
};

// Canvas: the drawing operations the sheet, printing and the photo box need.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void SetPen(const CanvasPen& pen) = 0;
  virtual void SetFont(const LogFont& font) = 0;
  virtual void SetTextColour(uint32_t colour) = 0;
  virtual void SetBackground(bool opaque, uint32_t colour = 0xFFFFFF) = 0;
  // Text inside a rectangle, clipped to it; lines break only at line feeds
  // unless kTextSingleLine is given.
  virtual void DrawTextRect(const std::string& text, const CanvasRect& r, unsigned flags) = 0;
  // One line whose cell's top-left corner is (x, y), turned by the current
  // font's escapement.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual CanvasSize MeasureText(const std::string& text) = 0;
  // Fills [left, right) x [top, bottom) with a solid colour.
  virtual void FillRect(const CanvasRect& r, uint32_t colour) = 0;
  // The outline of a rectangle in the current pen.
  virtual void FrameRect(const CanvasRect& r) = 0;
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  // Stretches the whole bitmap into the rectangle (plain copy).
  virtual void StretchDib(const CanvasRect& r, const DibView& dib) = 0;
  virtual double PixelsPerMmX() const = 0;
  virtual double PixelsPerMmY() const = 0;
  // The printer's unprintable margin; 0 on the screen.
  virtual int PhysicalOffsetX() const { return 0; }
  virtual int PhysicalOffsetY() const { return 0; }
};

// RecordingCanvas: remembers every call as one readable line, for tests.
// Text is measured as (bytes x |height| / 2) by |height| of the current font.
class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(double pixelsPerMm = 4.0) : ppmm_(pixelsPerMm) {}
  void SetPen(const CanvasPen& pen) override;
  void SetFont(const LogFont& font) override;
  void SetTextColour(uint32_t colour) override;
  void SetBackground(bool opaque, uint32_t colour) override;
  void DrawTextRect(const std::string& text, const CanvasRect& r, unsigned flags) override;
  void TextOut(int x, int y, const std::string& text) override;
  CanvasSize MeasureText(const std::string& text) override;
  void FillRect(const CanvasRect& r, uint32_t colour) override;
  void FrameRect(const CanvasRect& r) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void StretchDib(const CanvasRect& r, const DibView& dib) override;
  double PixelsPerMmX() const override { return ppmm_; }
  double PixelsPerMmY() const override { return ppmm_; }
  int PhysicalOffsetX() const override { return offsetX_; }
  int PhysicalOffsetY() const override { return offsetY_; }
  void SetPhysicalOffset(int x, int y) { offsetX_ = x, offsetY_ = y; }

  const std::vector<std::string>& Calls() const { return calls_; }
  // Calls whose text starts with `prefix` ("text ", "line ", ...).
  std::vector<std::string> CallsStarting(const std::string& prefix) const;
  void Clear() { calls_.clear(); }
  const LogFont& Font() const { return font_; }

 private:
  double ppmm_;
  int offsetX_ = 0, offsetY_ = 0;
  LogFont font_;
  std::vector<std::string> calls_;
};
