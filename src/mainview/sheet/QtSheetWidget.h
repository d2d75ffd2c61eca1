// The sheet on screen: the paint box with its two scroll bars, drawn off
// screen by the sheet painter and shown from the horizontal scroll position
// with the cursor on top. The main window and the reference window each
// hold one over their own rows; what a click, a key or the menu key does
// stays with them.
#pragma once
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/SheetPainter.h"

class QScrollBar;

// What the widget draws and moves: a view of rows (the main view, a
// reference view) with its painter.
class SheetBox {
 public:
  virtual ~SheetBox() = default;
  // Null while there is nothing to draw (the box stays white).
  virtual SheetRows* Rows() = 0;
  virtual SheetPainter& Painter() = 0;
  virtual void SetViewHeight(int pixels) = 0;
  virtual void LayoutFromTop() = 0;
  virtual int MaxTopRow() const = 0;
  virtual void SetTop(int top) = 0;
  virtual int CursorRow() const = 0;
  virtual void Wheel(int delta) = 0;
};

// A SheetBox over any view with the view model's moves.
template <class View>
class SheetBoxOver : public SheetBox {
 public:
  // `view` and `painter` may return null (no book open); `toLogical` turns
  // the paint box's pixels into the view's units.
  SheetBoxOver(std::function<View*()> view, std::function<SheetPainter*()> painter,
               std::function<int(int)> toLogical)
      : view_(std::move(view)), painter_(std::move(painter)), toLogical_(std::move(toLogical)) {}
  SheetRows* Rows() override { return view_(); }
  SheetPainter& Painter() override { return *painter_(); }
  void SetViewHeight(int pixels) override {
    if (View* v = view_()) v->SetViewHeight(toLogical_(pixels));
  }
  void LayoutFromTop() override { view_()->LayoutFromTop(view_()->TopRow()); }
  int MaxTopRow() const override { return view_()->MaxTopRow(); }
  void SetTop(int top) override { view_()->SetTop(top); }
  int CursorRow() const override { return view_()->CursorRow(); }
  void Wheel(int delta) override { view_()->Wheel(delta); }

 private:
  std::function<View*()> view_;
  std::function<SheetPainter*()> painter_;
  std::function<int(int)> toLogical_;
};

class QtSheetWidget : public QWidget {
 public:
  // `ready` says whether the box has something to draw at all.
  QtSheetWidget(std::unique_ptr<SheetBox> box, std::function<bool()> ready, QWidget* parent);

  QWidget* PaintBox() const { return paiMain_; }
  QScrollBar* Vertical() const { return scr_Right_; }
  QScrollBar* Horizontal() const { return scr_Bottom_; }
  int ScrollX() const;
  SheetBox& Box() { return *box_; }

  // The scroll bars' ranges from the view.
  void UpdateScrollBars();
  // Tells the view how tall the paint box is.
  void SetSheetHeight(int pixels) { box_->SetViewHeight(pixels); }
  // The sheet as a paint box of that size shows it, cursor included.
  QImage Image(int width, int height);
  // The wheel moved the view (after the move).
  std::function<void()> wheeled;
  // After each paint (the row's status line).
  std::function<void()> painted;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Render(int width, int height);
  void Paint();

  std::unique_ptr<SheetBox> box_;
  std::function<bool()> ready_;
  QImage offscreen_;
  bool updating_ = false;  // scroll-bar events are the program's own
  QWidget* paiMain_ = nullptr;
  QScrollBar* scr_Right_ = nullptr;
  QScrollBar* scr_Bottom_ = nullptr;
};
