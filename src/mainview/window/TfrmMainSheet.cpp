// The sheet: painting, scrolling, the keys and the mouse.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>
#include <QWheelEvent>

#include "input/TfrmInput.h"
#include "qtkit/QtSheetAccessible.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Collate.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtText.h"

void TfrmMain::BuildSheetAccess() {
  SheetText::Ports ports;
  ports.sheet = [this]() -> const SheetRows* { return objects_ ? objects_->view.get() : nullptr; };
  ports.screen = [this]() -> const CMyScr* { return objects_ ? objects_->scr.get() : nullptr; };
  // the group view's rows name group rows, as the painter reads them
  ports.values = [this](int record) -> const RowSource* {
    if (objects_->groupShown && objects_->groupRows) {
      objects_->groupRows->SetPosition(record);
      return objects_->groupRows.get();
    }
    objects_->rowSource->SetPosition(record);
    return objects_->rowSource.get();
  };
  ports.cursor = [this] { return objects_ ? objects_->view->CursorRow() : -1; };
  ports.dataKind = [this] { return objects_ ? objects_->view->DataKind() : int{CMyView::kDateKind}; };
  ports.aliasOf = [this](const std::string& field) {
    if (const std::vector<jsc::Control>* controls = FormControls())
      for (const jsc::Control& c : *controls)
        if (c.IsField() && collate::EqualNoCase(c.field, field)) return c.alias;
    return std::string();
  };
  sheetAccess_ = new QtSheetAccess(paiMain, std::move(ports), [this] { return SheetName(); });
}

QString TfrmMain::SheetName() const {
  QStringList parts;
  for (QTabBar* tabs : {tab_Div, tab_Scr})
    if (tabs->currentIndex() >= 0) parts << tabs->tabText(tabs->currentIndex());
  parts << lbl_YYYYMM->text();
  parts.removeAll(QString());
  return parts.join(QLatin1Char(' '));
}

void TfrmMain::AfterViewChange() {
  if (!objects_) return;
  lbl_YYYYMM->setText(FromSj(objects_->view->Label()));
  // the arrows step months only in a dated book's sheet; elsewhere pages
  const bool months = objects_->view->DataKind() == CMyView::kDateKind &&
                      objects_->view->DisplayMode() == CMyView::kSheetMode;
  tbt_Left->setAccessibleName(months ? QStringLiteral("前の月") : QStringLiteral("前のページ"));
  tbt_Right->setAccessibleName(months ? QStringLiteral("次の月") : QStringLiteral("次のページ"));
  // an extraction may have changed the display; the group rows allow no mode change
  const bool list = objects_->view->DisplayMode() == CMyView::kListMode;
  cmd_ModePickout->setChecked(list);
  cmd_ModeMM->setChecked(!list);
  cmd_ModeMM->setEnabled(when::RecordsShown(State()));
  cmd_ModePickout->setEnabled(when::RecordsShown(State()));
  actions_->Refresh();
  statusPanel0->setText(FromSj(objects_->view->StatusText()));
  UpdateScrollBars();
  paiMain->update();
  sheetAccess_->Changed();
}

namespace {
// A screen file may claim any width; the sheet image and the scroll range
// stop here (the painter clips to the image).
constexpr int kMaxSheetWidth = 16384;
}  // namespace

void TfrmMain::UpdateScrollBars() {
  updating_ = true;
  const int maxTop = objects_->view->MaxTopRow();
  scr_Right->setRange(0, maxTop);
  scr_Right->setEnabled(maxTop > 0);
  scr_Right->setPageStep(std::max(1, objects_->view->LastVisibleRow() - objects_->view->TopRow() + 1));
  scr_Right->setValue(objects_->view->TopRow());
  const ViewScreen& sc = objects_->view->Screen();
  // summed wide: a damaged screen's widths must not overflow
  const int full = static_cast<int>(std::clamp<int64_t>(
      int64_t{std::max(sc.keyAreaWidth[objects_->view->DisplayMode() == CMyView::kListMode ? 1 : 0], 0)} +
          sc.fieldAreaWidth,
      0, kMaxSheetWidth));
  int visible = paiMain->width();
  if (visible > 0 && visible < full) {
    scr_Bottom->setEnabled(true);
    scr_Bottom->setRange(0, full - visible);
    scr_Bottom->setPageStep(visible);
  } else {
    scr_Bottom->setRange(0, 0);
    scr_Bottom->setEnabled(false);
  }
  updating_ = false;
}

void TfrmMain::StepPeriod(int step) {
  if (!objects_) return;
  objects_->view->StepPeriod(step);
  AfterViewChange();
}

void TfrmMain::GoToday() {
  if (!objects_) return;
  objects_->view->GoToday();
  AfterViewChange();
}

void TfrmMain::SetDisplayMode(int mode) {
  if (!objects_) return;
  objects_->view->SetDisplayMode(mode);
  AfterViewChange();
}

// The sheet's keys; true when the key was one of them.
bool TfrmMain::SheetKey(int key) {
  CMyView& view = *objects_->view;
  switch (key) {
    case Qt::Key_Left:
      StepPeriod(-1);
      return true;
    case Qt::Key_Right:
      StepPeriod(1);
      return true;
    case Qt::Key_Home:
      GoToday();
      return true;
    case Qt::Key_Up:
      view.KeyUp();
      break;
    case Qt::Key_Down:
      view.KeyDown();
      break;
    case Qt::Key_PageDown:
      view.KeyPageDown();
      break;
    case Qt::Key_PageUp:
      view.KeyPageUp();
      break;
    default:
      for (auto& f : features_)
        if (f->SheetKey(key)) return true;
      return false;
  }
  AfterViewChange();
  return true;
}

FieldHit TfrmMain::FieldAt(QPoint at) const {
  return ::FieldUnderMouse(*objects_->view, objects_->view->CursorRow(), at.x(), at.y(),
                         scr_Bottom->isEnabled() ? scr_Bottom->value() : 0, ScrFieldHitTest(*objects_->scr),
                         input_ ? input_->Model().ControlList() : std::vector<jsc::Control>{});
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (!objects_) return QMainWindow::eventFilter(watched, event);
  // the key receiver hands its focus to the sheet, where screen readers look
  if ((watched == scr_Key || watched == paiMain) && event->type() == QEvent::KeyPress &&
      SheetKey(static_cast<QKeyEvent*>(event)->key()))
    return true;
  if (watched == paiMain && event->type() == QEvent::Resize) {
    SetSheetHeight(paiMain->height());
    UpdateScrollBars();
  }
  if (watched == paiMain && event->type() == QEvent::Paint) {
    paiMainPaint();
    return true;
  }
  if (watched == paiMain && event->type() == QEvent::MouseButtonPress) {
    scr_Key->setFocus(Qt::MouseFocusReason);  // the keys follow the click, from the menu bar too
    paiMainMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint().y());
    return true;
  }
  if (watched == paiMain && event->type() == QEvent::MouseButtonDblClick && started_) {
    // a double click on a picture shows it; anywhere else it opens the entry
    const FieldHit at = FieldAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    for (auto& f : features_) f->SheetDoubleClicked(at);
    return true;
  }
  if (watched == paiMain && event->type() == QEvent::ContextMenu && started_) {
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    QPoint global = menuEvent->globalPos();
    if (menuEvent->reason() == QContextMenuEvent::Keyboard) {
      // the menu key acts on the cursor row as it is, with no field under a mouse
      popupField_ = {};
      global = paiMain->mapToGlobal(paiMain->rect().center());
    } else {
      paiMainMouseDown(menuEvent->pos().y());
      popupField_ = FieldAt(menuEvent->pos());
    }
    for (auto& f : features_) f->PopupOpening(popupField_);
    actions_->Refresh();
    actions_->Menu(QStringLiteral("#pmenu_MainPopup"))->exec(global);
    return true;
  }
  if (watched == paiMain && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    objects_->view->Wheel(wheel->angleDelta().y() < 0 ? 1 : -1);
    AfterViewChange();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::SetSheetHeight(int pixels) {
  if (objects_) objects_->view->SetViewHeight(objects_->scr->ToLogical(1, pixels));
}

void TfrmMain::RenderOffscreen(int width, int h) {
  SetSheetHeight(h);
  objects_->view->LayoutFromTop(objects_->view->TopRow());
  // the whole sheet width is drawn off screen, then shown from the scroll position
  const ViewScreen& vs = objects_->view->Screen();
  const int full = static_cast<int>(std::clamp<int64_t>(
      int64_t{vs.keyAreaWidth[objects_->view->DisplayMode() == CMyView::kListMode ? 1 : 0]} +
          vs.fieldAreaWidth,
      width, std::max(width, kMaxSheetWidth)));
  if (offscreen_.width() < full || offscreen_.height() != h)
    offscreen_ = QImage(full, h, QImage::Format_RGB32);
  QPainter op(&offscreen_);
  QtCanvas canvas(op);
  objects_->painter->RenderSheet(canvas, full, h);
}

QImage TfrmMain::RenderSheetImage(int width, int height) {
  QImage out(width, height, QImage::Format_RGB32);
  out.fill(Qt::white);
  if (!started_ || !objects_) return out;
  RenderOffscreen(width, height);
  QPainter p(&out);
  p.drawImage(QPoint(0, 0), offscreen_, QRect(0, 0, width, height));
  QtCanvas screen(p);
  objects_->painter->DrawCursor(screen, objects_->view->CursorRow(), 0);
  return out;
}

void TfrmMain::paiMainPaint() {
  QPainter p(paiMain);
  if (!started_ || !objects_) {
    p.fillRect(paiMain->rect(), Qt::white);
    return;
  }
  const int h = paiMain->height();
  // a print job has the screen definition in paper units: show what was drawn last
  const bool printing = objects_->painter->Printing();
  if (!printing) RenderOffscreen(paiMain->width(), h);
  const int x = scr_Bottom->isEnabled() ? scr_Bottom->value() : 0;
  p.drawImage(QPoint(0, 0), offscreen_, QRect(x, 0, paiMain->width(), h));
  if (printing) return;
  QtCanvas screen(p);
  objects_->painter->DrawCursor(screen, objects_->view->CursorRow(), x);
  UpdateRowStatus();
}

void TfrmMain::paiMainMouseDown(int y) {
  if (!objects_ || objects_->view->RowCount() == 0) return;
  int row = objects_->painter->RowAt(y);
  if (row < 0) return;
  objects_->view->ClickRow(row);
  for (auto& f : features_) f->SheetClicked();
  paiMain->update();
  sheetAccess_->Changed();
}

void TfrmMain::UpdateRowStatus() {
  const auto& rows = objects_->view->Rows();
  int r = objects_->view->CursorRow();
  if (r < 0 || r >= static_cast<int>(rows.size())) {
    statusPanel1->clear();
    return;
  }
  const SheetRow& row = rows[static_cast<size_t>(r)];
  std::string holiday = row.holiday ? row.holiday->Name() : std::string();
  std::string anniversary = row.anniversary ? row.anniversary->Name() : std::string();
  int start = row.anniversary ? row.anniversary->startYear : 0;
  statusPanel1->setText(FromSj(objects_->view->RowStatus(r, holiday, anniversary, start)));
}

void TfrmMain::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange)
    for (auto& f : features_) f->WindowActivated(isActiveWindow());
}

void TfrmMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (width() < 200 || height() < 200) resize(std::max(width(), 200), std::max(height(), 200));
  if (objects_) {
    SetSheetHeight(paiMain->height());
    UpdateScrollBars();
  }
}
