// The sheet: painting, scrolling, the keys and the mouse.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>

#include "input/TfrmInput.h"
#include "mainview/sheet/QtSheetWidget.h"
#include "mainview/window/MainSheetAccess.h"
#include "mainview/window/TfrmMain.h"
#include "qtkit/QtSheetAccessible.h"
#include "qtkit/QtText.h"

void TfrmMain::AfterViewChange() {
  if (!objects_) return;
  tb_.lbl_YYYYMM->setText(FromSj(objects_->view->Label()));
  // the arrows step months only in a dated book's sheet; elsewhere pages
  const bool months = objects_->view->DataKind() == CMyView::kDateKind &&
                      objects_->view->DisplayMode() == CMyView::kSheetMode;
  tb_.tbt_Left->setAccessibleName(months ? QStringLiteral("前の月") : QStringLiteral("前のページ"));
  tb_.tbt_Right->setAccessibleName(months ? QStringLiteral("次の月") : QStringLiteral("次のページ"));
  // an extraction may have changed the display; the group rows allow no mode change
  const bool list = objects_->view->DisplayMode() == CMyView::kListMode;
  tb_.cmd_ModePickout->setChecked(list);
  tb_.cmd_ModeMM->setChecked(!list);
  tb_.cmd_ModeMM->setEnabled(when::RecordsShown(State()));
  tb_.cmd_ModePickout->setEnabled(when::RecordsShown(State()));
  actions_->Refresh();
  statusPanel0->setText(FromSj(objects_->view->StatusText()));
  UpdateScrollBars();
  paiMain->update();
  sheetAccess_->Changed();
}

void TfrmMain::UpdateScrollBars() { sheet_->UpdateScrollBars(); }

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

// The sheet's keys are the features' (moves, opening an entry).
bool TfrmMain::SheetKey(int key) {
  for (auto& f : features_)
    if (f->SheetKey(key)) return true;
  return false;
}

FieldHit TfrmMain::FieldAt(QPoint at) const {
  return ::FieldUnderMouse(*objects_->view, objects_->view->CursorRow(), at.x(), at.y(), sheet_->ScrollX(),
                           ScrFieldHitTest(*objects_->scr),
                           FormControls() ? *FormControls() : std::vector<jsc::Control>{});
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (!objects_) return QMainWindow::eventFilter(watched, event);
  // the key receiver hands its focus to the sheet, where screen readers look
  if ((watched == scr_Key || watched == paiMain) && event->type() == QEvent::KeyPress &&
      SheetKey(static_cast<QKeyEvent*>(event)->key()))
    return true;
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
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::SetSheetHeight(int pixels) {
  if (objects_) sheet_->SetSheetHeight(pixels);
}

QImage TfrmMain::RenderSheetImage(int width, int height) { return sheet_->Image(width, height); }

void TfrmMain::paiMainMouseDown(int y) {
  if (!objects_ || objects_->view->RowCount() == 0) return;
  int row = objects_->painter->RowAt(y);
  if (row < 0) return;
  objects_->view->ClickRow(row);
  for (auto& f : features_) f->SheetClicked();
  paiMain->update();
  sheetAccess_->Changed();
}

void TfrmMain::UpdateRowStatus() { statusPanel1->setText(FromSj(CursorRowStatus(*objects_->view))); }

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
