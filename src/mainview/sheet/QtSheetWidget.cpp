#include "mainview/sheet/QtSheetWidget.h"

#include <QGridLayout>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "qtkit/QtCanvas.h"

namespace {
// A screen file may claim any width; the sheet image and the scroll range
// stop here (the painter clips to the image).
constexpr int kMaxSheetWidth = 16384;

// The key area of the shown mode and the fields, summed wide: a damaged
// screen's widths must not overflow.
int64_t FullWidth(const SheetRows& rows) {
  const ViewScreen& sc = rows.Screen();
  return int64_t{std::max(sc.keyAreaWidth[rows.DisplayMode() == CMyView::kListMode ? 1 : 0], 0)} +
         sc.fieldAreaWidth;
}
}  // namespace

QtSheetWidget::QtSheetWidget(std::unique_ptr<SheetBox> box, std::function<bool()> ready, QWidget* parent)
    : QWidget(parent), box_(std::move(box)), ready_(std::move(ready)) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  paiMain_ = new QWidget(this);
  paiMain_->setObjectName("paiMain");
  paiMain_->setAutoFillBackground(true);
  QPalette pal = paiMain_->palette();
  pal.setColor(QPalette::Window, Qt::white);
  paiMain_->setPalette(pal);
  paiMain_->installEventFilter(this);
  paiMain_->setFocusPolicy(Qt::StrongFocus);
  scr_Right_ = new QScrollBar(Qt::Vertical, this);
  scr_Right_->setObjectName("scr_Right");
  scr_Right_->setAccessibleName(QStringLiteral("縦スクロール"));
  scr_Bottom_ = new QScrollBar(Qt::Horizontal, this);
  scr_Bottom_->setObjectName("scr_Bottom");
  scr_Bottom_->setAccessibleName(QStringLiteral("横スクロール"));
  grid->addWidget(paiMain_, 0, 0);
  grid->addWidget(scr_Right_, 0, 1);
  grid->addWidget(scr_Bottom_, 1, 0);
  connect(scr_Right_, &QScrollBar::valueChanged, this, [this](int v) {
    if (updating_ || !box_->Rows()) return;
    box_->SetTop(v);
    paiMain_->update();
  });
  connect(scr_Bottom_, &QScrollBar::valueChanged, this, [this](int) {
    if (!updating_) paiMain_->update();
  });
}

int QtSheetWidget::ScrollX() const { return scr_Bottom_->isEnabled() ? scr_Bottom_->value() : 0; }

void QtSheetWidget::UpdateScrollBars() {
  SheetRows* rows = box_->Rows();
  if (!rows) return;
  updating_ = true;
  const int maxTop = box_->MaxTopRow();
  scr_Right_->setRange(0, maxTop);
  scr_Right_->setEnabled(maxTop > 0);
  scr_Right_->setPageStep(std::max(1, rows->LastVisibleRow() - rows->TopRow() + 1));
  scr_Right_->setValue(rows->TopRow());
  const int full = static_cast<int>(std::clamp<int64_t>(FullWidth(*rows), 0, kMaxSheetWidth));
  const int visible = paiMain_->width();
  if (visible > 0 && visible < full) {
    scr_Bottom_->setEnabled(true);
    scr_Bottom_->setRange(0, full - visible);
    scr_Bottom_->setPageStep(visible);
  } else {
    scr_Bottom_->setRange(0, 0);
    scr_Bottom_->setEnabled(false);
  }
  updating_ = false;
}

void QtSheetWidget::Render(int width, int h) {
  SetSheetHeight(h);
  box_->LayoutFromTop();
  // the whole sheet width is drawn off screen, then shown from the scroll position
  const int full =
      static_cast<int>(std::clamp<int64_t>(FullWidth(*box_->Rows()), width, std::max(width, kMaxSheetWidth)));
  if (offscreen_.width() < full || offscreen_.height() != h)
    offscreen_ = QImage(full, h, QImage::Format_RGB32);
  QPainter op(&offscreen_);
  QtCanvas canvas(op);
  box_->Painter().RenderSheet(canvas, full, h);
}

QImage QtSheetWidget::Image(int width, int height) {
  QImage out(width, height, QImage::Format_RGB32);
  out.fill(Qt::white);
  if (!ready_()) return out;
  Render(width, height);
  QPainter p(&out);
  p.drawImage(QPoint(0, 0), offscreen_, QRect(0, 0, width, height));
  QtCanvas screen(p);
  box_->Painter().DrawCursor(screen, box_->CursorRow(), 0);
  return out;
}

void QtSheetWidget::Paint() {
  QPainter p(paiMain_);
  if (!ready_() || paiMain_->width() <= 0 || paiMain_->height() <= 0) {
    p.fillRect(paiMain_->rect(), Qt::white);
    return;
  }
  const int h = paiMain_->height();
  // a print job has the screen definition in paper units: show what was drawn last
  const bool printing = box_->Painter().Printing();
  if (!printing) Render(paiMain_->width(), h);
  const int x = ScrollX();
  p.drawImage(QPoint(0, 0), offscreen_, QRect(x, 0, paiMain_->width(), h));
  if (printing) return;
  QtCanvas screen(p);
  box_->Painter().DrawCursor(screen, box_->CursorRow(), x);
  if (painted) painted();
}

bool QtSheetWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != paiMain_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Paint:
      Paint();
      return true;
    case QEvent::Resize:
      if (box_->Rows()) {
        SetSheetHeight(paiMain_->height());
        UpdateScrollBars();
      }
      return false;
    case QEvent::Wheel:
      if (!box_->Rows()) return false;
      box_->Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y() < 0 ? 1 : -1);
      if (wheeled) wheeled();
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}
