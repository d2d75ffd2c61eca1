// QtCanvas: the Canvas drawn with a QPainter (screen widgets, images,
// printers). The only place where screen texts turn from CP932 into UTF-16
// and where screen font faces become installed fonts.
#pragma once
#include <QFont>
#include <QImage>
#include <QString>

#include "platform/Canvas.h"

class QPainter;

class QtCanvas : public Canvas {
 public:
  // The painter must be active for the canvas's lifetime. Physical offsets
  // are the printer's unprintable margin (0 on screens and images).
  explicit QtCanvas(QPainter& painter, int offsetX = 0, int offsetY = 0);

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
  double PixelsPerMmX() const override;
  double PixelsPerMmY() const override;
  int PhysicalOffsetX() const override { return offsetX_; }
  int PhysicalOffsetY() const override { return offsetY_; }

  // The installed family standing in for a face named in a screen file (CP932).
  static QString FamilyFor(const std::string& face);
  static QFont FontFor(const LogFont& font);
  static QString ToQString(const std::string& sj);
  // A packed DIB as an image; null for a depth it cannot show.
  static QImage ImageFromDib(const DibView& dib);

 private:
  void ApplyTextState();

  QPainter& p_;
  int offsetX_, offsetY_;
  QFont font_;
  int escapement_ = 0;
  bool verticalFace_ = false;  // an "@" face: full-width characters stand upright
  uint32_t textColour_ = 0;
  bool opaque_ = false;
  uint32_t bkColour_ = 0xFFFFFF;
};
