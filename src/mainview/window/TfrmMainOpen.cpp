// Opening books (divisions) and their display screens, and the tabs that
// choose them.
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>

#include "catalogue/menu/QtBookDialogs.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtText.h"

int TfrmMain::DivisionTab() const { return tab_Div->currentIndex(); }
int TfrmMain::ScreenTab() const { return tab_Scr->currentIndex(); }

void TfrmMain::DivisionTabsChanged(int select) {
  CMyMaster& users = objects_->Table(kUserTable);
  updating_ = true;
  while (tab_Div->count() > 0) tab_Div->removeTab(0);
  for (int i = 0; i < users.RecordCount(); ++i) tab_Div->addTab(FromSj(users.Name(i)));
  tab_Div->setCurrentIndex(select);
  opener_->SetDivision(select);
  updating_ = false;
}

void TfrmMain::ScreenTabsChanged(int select) {
  CMyMaster& screens = objects_->Table(kDivInTable);
  updating_ = true;
  while (tab_Scr->count() > 0) tab_Scr->removeTab(0);
  for (int i = 0; i < screens.RecordCount(); ++i) tab_Scr->addTab(FromSj(screens.Name(i)));
  tab_Scr->setCurrentIndex(select);
  opener_->SetScreen(select);
  updating_ = false;
}

void TfrmMain::SetDivisionTabText(int index, const std::string& name) {
  tab_Div->setTabText(index, FromSj(name));
}
void TfrmMain::SetScreenTabText(int index, const std::string& name) {
  tab_Scr->setTabText(index, FromSj(name));
}

void TfrmMain::tab_DivChange(int index) {
  if (updating_ || index < 0 || !objects_) return;
  if (OpenDivision(OpenDivisionMode::Switch, index) != 0) {
    int first = 0;
    updating_ = true;
    tab_Div->setCurrentIndex(first);
    updating_ = false;
    (void)OpenDivision(OpenDivisionMode::Switch, first);
  }
  if (tb_.btn_WinW->isChecked()) FitWidth(true);
  objects_->view->GoToday();
  AfterViewChange();
  scr_Key->setFocus();
}

void TfrmMain::tab_ScrChange(int index) {
  if (updating_ || index < 0 || !objects_) return;
  int previous = opener_->Screen();
  // the cursor's day (or line) stays where the new screen can show it
  CMyView& view = *objects_->view;
  const int cursor = view.CursorRow();
  if (cursor >= 0 && cursor < view.RowCount()) {
    const SheetRow& at = view.Rows()[static_cast<size_t>(cursor)];
    // a list's empty row names no day: the one before is kept
    if (at.key[0] && (view.DisplayMode() == CMyView::kSheetMode || at.record >= 0)) cursorKey_ = at.key;
  }
  const std::string key = cursorKey_;
  LeaveView();
  if (OpenScreen(false, OpenScreenMode::Switch, index) != 0) {
    updating_ = true;
    tab_Scr->setCurrentIndex(previous);
    updating_ = false;
    (void)OpenScreen(false, OpenScreenMode::Switch, previous);
  }
  int row = view.CursorRow();
  for (int r = 0; !key.empty() && r < view.RowCount(); ++r) {
    if (key == view.Rows()[static_cast<size_t>(r)].key) {
      row = r;
      break;
    }
  }
  view.MoveCursorTo(row);
  AfterViewChange();
  scr_Key->setFocus();
}

bool TfrmMain::ShowEntry(const std::string& key, int index) { return input_ && input_->Show(key, index); }

const std::vector<jsc::Control>* TfrmMain::FormControls() const {
  return input_ ? input_->Controls() : nullptr;
}

void TfrmMain::DataReloaded() {
  if (input_) input_->Reloaded();
}

int TfrmMain::OpenDivision(OpenDivisionMode mode, int index) { return opener_->OpenDivision(mode, index); }
int TfrmMain::OpenScreen(bool quiet, OpenScreenMode mode, int index) {
  return opener_->OpenScreen(quiet, mode, index);
}
bool TfrmMain::LoadScreenDefinition(int index) { return opener_->LoadScreenDefinition(index); }
bool TfrmMain::AskNewDivision() { return Ask().NewDivision(false); }
bool TfrmMain::AskDivisionInput() { return Ask().NewDivisionInput(); }
bool TfrmMain::AskScreen(bool repair, int index) { return Ask().NewScreen(repair, index); }

void TfrmMain::ShowScreenTab(int index) {
  updating_ = true;
  tab_Scr->setCurrentIndex(index);
  updating_ = false;
}

int TfrmMain::MeasureMemoLineHeight(int control) {
  QImage probe(8, 8, QImage::Format_RGB32);
  QPainter painter(&probe);
  QtCanvas canvas(painter);
  return objects_->sheetScreen->MeasureLineHeight(canvas, control);
}

void TfrmMain::ScreenClosing() {
  for (auto& f : features_) f->ScreenClosing();
}

void TfrmMain::ScreenLoaded(int displayMode) {
  tb_.cmd_ModePickout->setChecked(displayMode == CMyView::kListMode);
  tb_.cmd_ModeMM->setChecked(displayMode != CMyView::kListMode);
}

void TfrmMain::ScreenOpened() {
  for (auto& f : features_) f->ScreenOpened();
}

void TfrmMain::BookOpened() {
  lbl_User->setText(QStringLiteral("ユーザー: ") + FromSj(objects_->global->UserName()));
  RefreshPaletteButtons();
  input_->Rebuild();
  for (auto& f : features_) f->BookOpened(!started_);
  started_ = true;
}
