// Opening books (divisions) and their display screens, and the tabs that
// choose them.
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>

#include "catalogue/ListRecovery.h"
#include "catalogue/menu/QtBookDialogs.h"
#include "input/StoreInputPorts.h"
#include "input/TfrmInput.h"
#include "mainview/window/TfrmMain.h"
#include "mainview/host/ViewInputPort.h"
#include "options/CMyColorKinds.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtText.h"
#include "screens/InputHeader.h"

int TfrmMain::ReadInputHeader(int& kind) const {
  jsc::Header header;
  const int rc = jsc::ReadHeader(objects_->global->DivisionPath("scrin.jsc"), header);
  if (rc == 0) kind = header.dataKind;
  return rc;
}

int TfrmMain::DivisionTab() const { return tab_Div->currentIndex(); }
int TfrmMain::ScreenTab() const { return tab_Scr->currentIndex(); }

void TfrmMain::DivisionTabsChanged(int select) {
  CMyMaster& users = objects_->Table(kUserTable);
  updating_ = true;
  while (tab_Div->count() > 0) tab_Div->removeTab(0);
  for (int i = 0; i < users.RecordCount(); ++i) tab_Div->addTab(FromSj(users.Name(i)));
  tab_Div->setCurrentIndex(select);
  divIndex_ = select;
  updating_ = false;
}

void TfrmMain::ScreenTabsChanged(int select) {
  CMyMaster& screens = objects_->Table(kDivInTable);
  updating_ = true;
  while (tab_Scr->count() > 0) tab_Scr->removeTab(0);
  for (int i = 0; i < screens.RecordCount(); ++i) tab_Scr->addTab(FromSj(screens.Name(i)));
  tab_Scr->setCurrentIndex(select);
  scrIndex_ = select;
  updating_ = false;
}

void TfrmMain::SetDivisionTabText(int index, const std::string& name) {
  tab_Div->setTabText(index, FromSj(name));
}
void TfrmMain::SetScreenTabText(int index, const std::string& name) {
  tab_Scr->setTabText(index, FromSj(name));
}

int TfrmMain::OpenDivision(OpenDivisionMode mode, int index) {
  Prompter& p = *env_.prompter;
  MainObjects& o = *objects_;
  CMyGlobal& g = *o.global;
  CMyMaster& users = o.Table(kUserTable);
  const std::string previousFolder = g.DivisionFolder();
  LeaveView();
  bool rebuildTabs = false;
  bool created = false;
  if (users.Record(index) && mode != OpenDivisionMode::Create) {
    g.SetDivisionFolder(users.Name(index));
    if (mode == OpenDivisionMode::AfterUserChange || mode == OpenDivisionMode::StartUp) rebuildTabs = true;
  } else {
    if (!Ask().NewDivision(false)) return 1;
    if (users.RecordCount() == 0) {
      p.Warn("分類登録に失敗しました。"_sj);
      return -1;
    }
    index = users.RecordCount() - 1;
    g.SetDivisionFolder(users.Name(index));
    created = true;
    rebuildTabs = true;
  }
  auto undo = [&] {
    if (created) (void)users.Delete(users.RecordCount() - 1);
    g.SetDivisionFolder(previousFolder);
  };

  int kind = 0;
  int header = ReadInputHeader(kind);
  if (header < 0) p.Warn("ヘッダーのサイズが異なります。"_sj);
  if (header != 0) {
    if (!Ask().NewDivisionInput()) {
      undo();
      return -1;
    }
    header = ReadInputHeader(kind);
    if (header == 1) {
      p.Warn("読込に失敗しました。"_sj);
      undo();
      return -1;
    }
    if (header < 0) {
      p.Warn("ヘッダーのサイズが異なります。"_sj);
      undo();
      return -1;
    }
  }
  g.dataKind = kind;
  dataKind_ = kind;
  // thumbnails and the picture work file belong in the book, never the working folder
  o.scr->SetDivisionFolder(g.DivisionPath(""));

  (void)listrecovery::LoadScreenList(g, o.Table(kDivInTable), p, *env_.clock);
  if (OpenScreen(true, OpenScreenMode::FirstOfDivision, 0) != 0) {
    undo();
    return -1;
  }
  if (rebuildTabs) {
    if (users.Write(g.UserPath("jbxuser.jpr")) < 0) p.Warn("ユーザー情報書込に失敗しました。"_sj);
    DivisionTabsChanged(index);
  }
  // a missing or damaged list is rebuilt from the data files, never left empty
  if (o.periods->LoadTable() < 0) p.Warn("期間の一覧を読み込めませんでした。"_sj);
  o.db->ClearRecords();
  o.rec->Reset();
  o.view->SetDataKind(dataKind_);
  o.view->ReloadView();
  divIndex_ = index;
  lbl_User->setText(QStringLiteral("ユーザー: ") + FromSj(g.UserName()));
  RefreshPaletteButtons();
  RebuildInputForm();
  for (auto& f : features_) f->BookOpened(!started_);
  started_ = true;
  return 0;
}

int TfrmMain::OpenScreen(bool quiet, OpenScreenMode mode, int index) {
  Prompter& p = *env_.prompter;
  CMyMaster& screens = objects_->Table(kDivInTable);
  bool rebuild = mode == OpenScreenMode::FirstOfDivision;
  if (!screens.Record(index) || mode == OpenScreenMode::Create) {
    if (!Ask().NewScreen(false, -1)) return -1;
    if (screens.RecordCount() == 0) {
      p.Warn("表示画面の取得に失敗しました。"_sj);
      return -1;
    }
    index = screens.RecordCount() - 1;
    rebuild = true;
  }
  while (!LoadScreenDefinition(index)) {
    if (!Ask().NewScreen(true, index)) {
      updating_ = true;
      tab_Scr->setCurrentIndex(scrIndex_);
      updating_ = false;
      return -1;
    }
  }
  if (rebuild) {
    if (screens.Write(objects_->global->DivisionPath("divin.jpr")) < 0)
      p.Warn("画面情報書込に失敗しました。"_sj);
    ScreenTabsChanged(index);
  }
  scrIndex_ = index;
  if (quiet) return 0;
  CMyView& view = *objects_->view;
  view.SetExtraction(false, {}, {});
  view.ReloadView();
  view.RebuildRows();
  view.MoveCursorTo(view.CursorRow());
  AfterViewChange();
  for (auto& f : features_) f->ScreenOpened();
  return 0;
}

bool TfrmMain::LoadScreenDefinition(int index) {
  Prompter& p = *env_.prompter;
  for (auto& f : features_) f->ScreenClosing();
  CMyMaster& screens = objects_->Table(kDivInTable);
  if (!screens.Record(index)) {
    p.Warn("存在しない分類を選択しました。"_sj);
    return false;
  }
  std::string path = objects_->global->DivisionPath(screens.Name(index), ".jos");
  ViewScreen screen;
  int rc = objects_->screenLoader->Load(path, screen);
  if (rc == -2) {
    p.Warn("表示画面のバージョンが古いです。"_sj);
    return false;
  }
  if (rc == -3) {
    p.Warn("表示画面のバージョンが新しいです。"_sj);
    return false;
  }
  if (rc != 0) {
    // the path is the file system's UTF-8; the message is CP932
    p.Warn("読込に失敗しました。<<"_sj + cp932::FromUtf8(path) + ">>");
    return false;
  }
  // a grown row holds its memo lines at the height the font really takes,
  // not the font's nominal height (which clipped the last line)
  if (screen.memoControl >= 0) {
    QImage probe(8, 8, QImage::Format_RGB32);
    QPainter painter(&probe);
    QtCanvas canvas(painter);
    const int measured = objects_->sheetScreen->MeasureLineHeight(canvas, screen.memoControl);
    if (measured > 0) screen.memoLineHeight = measured;
  }
  objects_->view->SetScreen(screen);
  cmd_ModePickout->setChecked(screen.displayMode == CMyView::kListMode);
  cmd_ModeMM->setChecked(screen.displayMode != CMyView::kListMode);
  return true;
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
  if (btn_WinW->isChecked()) FitWidth(true);
  objects_->view->GoToday();
  AfterViewChange();
  scr_Key->setFocus();
}

void TfrmMain::tab_ScrChange(int index) {
  if (updating_ || index < 0 || !objects_) return;
  int previous = scrIndex_;
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

void TfrmMain::DropInputForm() {
  if (!input_) return;
  input_->hide();
  delete input_;
  input_ = nullptr;
}

namespace {
std::vector<ColorKind> KindsOf(MainObjects& o, Prompter& p, Beeper& b) {
  CMyMaster& colors = o.Table(kColorTable);
  if (colors.Read(o.global->DivisionPath("color.dat")) != 0) colors.Init("COLOR");
  CMyColorKinds kinds(colors, p, b);
  std::vector<ColorKind> list;
  for (int i = 0; i < kinds.Count(); ++i) list.push_back(kinds.Get(i));
  return list;
}
}  // namespace

void TfrmMain::RebuildInputForm() {
  DropInputForm();
  MainObjects& o = *objects_;
  auto* form = new TfrmInput(*o.db, *o.global, *inputView_, *env_.prompter, *env_.beeper, *env_.clock, this);
  form->SetAlarmPort(inputAlarms_.get());
  form->SetDialogRunner(env_.dialogs);
  form->SetPhotoSeams(env_.files, env_.launcher, &o.photoCounter, o.global->ProgramFolder());
  form->editColorKinds = [this](std::vector<ColorKind>& kinds) {
    if (services_.editColors) services_.editColors();
    kinds = KindsOf(*objects_, *env_.prompter, *env_.beeper);
    return true;
  };
  if (!form->BuildForm(o.view->Screen().linesPerPage, KindsOf(o, *env_.prompter, *env_.beeper))) {
    delete form;
    return;
  }
  input_ = form;
}

bool TfrmMain::ShowEntry(const std::string& key, int index) {
  if (!input_) {
    env_.beeper->Beep();
    return false;
  }
  input_->ShowRecord(key, index);
  return true;
}

const std::vector<jsc::Control>* TfrmMain::FormControls() const {
  return input_ ? &input_->Model().ControlList() : nullptr;
}

void TfrmMain::DataReloaded() {
  // the record the form showed may be gone or elsewhere now
  if (input_ && input_->isVisible()) input_->ShowRecord({}, -1);
}
