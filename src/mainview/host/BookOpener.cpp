#include "mainview/host/BookOpener.h"

#include "catalogue/ListRecovery.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "screens/InputHeader.h"

int BookOpener::ReadInputHeader(int& kind) const {
  jsc::Header header;
  const int rc = jsc::ReadHeader(c_.objects.global->DivisionPath("scrin.jsc"), header);
  if (rc == 0) kind = header.dataKind;
  return rc;
}

bool BookOpener::OpenUser(const std::string& user,
                          const std::function<bool(const std::string& current)>& askUser) {
  CMyGlobal& g = *c_.objects.global;
  g.ReadSettings(true);
  if (!user.empty()) g.SetUserName(user);
  if (g.UserName().empty() && !askUser(cp932::FromUtf8("新規ユーザー"))) {
    g.UndoFirstRun();  // a cancelled first run leaves nothing behind
    return false;
  }
  // nothing of the user could be saved: said now, not at the first save
  if (!fileops::MakeDirs(g.UserPath(""))) c_.prompter.Warn("ユーザーフォルダを作成できませんでした。"_sj);
  (void)listrecovery::LoadDivisionList(g, c_.objects.Table(kUserTable), c_.prompter, c_.clock);
  return true;
}

int BookOpener::OpenDivision(OpenDivisionMode mode, int index) {
  Prompter& p = c_.prompter;
  MainObjects& o = c_.objects;
  CMyGlobal& g = *o.global;
  CMyMaster& users = o.Table(kUserTable);
  const std::string previousFolder = g.DivisionFolder();
  w_.LeaveView();
  bool rebuildTabs = false;
  bool created = false;
  if (users.Record(index) && mode != OpenDivisionMode::Create) {
    g.SetDivisionFolder(users.Name(index));
    if (mode == OpenDivisionMode::AfterUserChange || mode == OpenDivisionMode::StartUp) rebuildTabs = true;
  } else {
    if (!w_.AskNewDivision()) return 1;
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
    if (!w_.AskDivisionInput()) {
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
  // thumbnails and the picture work file belong in the book, never the working folder
  o.scr->SetDivisionFolder(g.DivisionPath(""));

  (void)listrecovery::LoadScreenList(g, o.Table(kDivInTable), p, c_.clock);
  if (OpenScreen(true, OpenScreenMode::FirstOfDivision, 0) != 0) {
    undo();
    return -1;
  }
  if (rebuildTabs) {
    if (users.Write(g.UserPath("jbxuser.jpr")) < 0) p.Warn("ユーザー情報書込に失敗しました。"_sj);
    w_.DivisionTabsChanged(index);
  }
  // a missing or damaged list is rebuilt from the data files, never left empty
  if (o.periods->LoadTable() < 0) p.Warn("期間の一覧を読み込めませんでした。"_sj);
  o.db->ClearRecords();
  o.rec->Reset();
  o.view->SetDataKind(kind);
  o.view->ReloadView();
  division_ = index;
  w_.BookOpened();
  return 0;
}

int BookOpener::OpenScreen(bool quiet, OpenScreenMode mode, int index) {
  Prompter& p = c_.prompter;
  CMyMaster& screens = c_.objects.Table(kDivInTable);
  bool rebuild = mode == OpenScreenMode::FirstOfDivision;
  if (!screens.Record(index) || mode == OpenScreenMode::Create) {
    if (!w_.AskScreen(false, -1)) return -1;
    if (screens.RecordCount() == 0) {
      p.Warn("表示画面の取得に失敗しました。"_sj);
      return -1;
    }
    index = screens.RecordCount() - 1;
    rebuild = true;
  }
  while (!LoadScreenDefinition(index)) {
    if (!w_.AskScreen(true, index)) {
      w_.ShowScreenTab(screen_);
      return -1;
    }
  }
  if (rebuild) {
    if (screens.Write(c_.objects.global->DivisionPath("divin.jpr")) < 0)
      p.Warn("画面情報書込に失敗しました。"_sj);
    w_.ScreenTabsChanged(index);
  }
  screen_ = index;
  if (quiet) return 0;
  CMyView& view = *c_.objects.view;
  view.SetExtraction(false, {}, {});
  view.ReloadView();
  view.RebuildRows();
  view.MoveCursorTo(view.CursorRow());
  w_.ViewChanged();
  w_.ScreenOpened();
  return 0;
}

bool BookOpener::LoadScreenDefinition(int index) {
  Prompter& p = c_.prompter;
  w_.ScreenClosing();
  CMyMaster& screens = c_.objects.Table(kDivInTable);
  if (!screens.Record(index)) {
    p.Warn("存在しない分類を選択しました。"_sj);
    return false;
  }
  std::string path = c_.objects.global->DivisionPath(screens.Name(index), ".jos");
  ViewScreen screen;
  int rc = c_.objects.screenLoader->Load(path, screen);
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
    const int measured = w_.MeasureMemoLineHeight(screen.memoControl);
    if (measured > 0) screen.memoLineHeight = measured;
  }
  c_.objects.view->SetScreen(screen);
  w_.ScreenLoaded(screen.displayMode);
  return true;
}
