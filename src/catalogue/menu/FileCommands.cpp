#include "catalogue/menu/FileCommands.h"

#include "catalogue/ListRecovery.h"
#include "options/CMyColorKinds.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/UserName.h"

void FileCommands::ChangeUser() {
  ChangeUserBy([this](const std::string& current) { return w_.AskUser(current); });
}

void FileCommands::ChangeUserBy(const std::function<bool(const std::string& current)>& ask) {
  CMyGlobal& g = *o().global;
  const std::string before = g.UserName();
  const std::string beforeDivision = g.DivisionFolder();
  const int beforeIndex = w_.DivisionTab();
  if (!o().alarm->Save(g.UserPath("alarm.dat"))) ctx_.prompter.Warn("アラームを保存できませんでした。"_sj);
  // the settings so far are the leaving user's: written before another
  // user's are read over them
  w_.KeepWindowSettings();
  if (!g.WriteSettings(true)) ctx_.prompter.Warn("設定を保存できませんでした。"_sj);
  if (!ask(before) || g.UserName() == before) return;
  // every user has their own options, backups and alarm settings
  g.ReadSettings(false);
  w_.FollowWindowSettings();
  (void)listrecovery::LoadDivisionList(g, o().Table(kUserTable), ctx_.prompter, ctx_.clock);
  o().alarm->Load(g.UserPath("alarm.dat"));
  if (w_.OpenDivision(OpenDivisionMode::AfterUserChange, 0) == 0) {
    o().view->GoToday();
    w_.ViewChanged();
    return;
  }
  // the new user has no book yet and none was made: back to the one before,
  // and the new user's empty folder goes (jotbox.ini names the old one again)
  const std::string abandoned = g.UserName();
  g.SetUserName(before);
  g.ReadSettings(false);
  w_.FollowWindowSettings();
  (void)username::Abandon(g, abandoned);
  g.SetDivisionFolder(beforeDivision);
  (void)listrecovery::LoadDivisionList(g, o().Table(kUserTable), ctx_.prompter, ctx_.clock);
  o().alarm->Load(g.UserPath("alarm.dat"));
  w_.DivisionTabsChanged(beforeIndex);
  (void)w_.OpenDivision(OpenDivisionMode::Switch, beforeIndex);
  o().view->GoToday();
  w_.ViewChanged();
}

void FileCommands::NewDivision() {
  if (w_.OpenDivision(OpenDivisionMode::Create, o().Table(kUserTable).RecordCount()) != 0)
    (void)w_.OpenDivision(OpenDivisionMode::Switch, 0);
  o().view->GoToday();
  w_.ViewChanged();
}

void FileCommands::ReinstallDivision() {
  // installing again replaces what the user may have changed: say what first
  if (!ctx_.prompter.Confirm("色設定と表示画面の一覧を初期状態に戻します。よろしいですか？"_sj, true)) return;
  if (!w_.AskReinstall()) return;
  if (w_.OpenDivision(OpenDivisionMode::Switch, w_.DivisionTab()) != 0)
    (void)w_.OpenDivision(OpenDivisionMode::Switch, 0);
  o().view->GoToday();
  w_.ViewChanged();
}

void FileCommands::RenameDivision() {
  CMyMaster& users = o().Table(kUserTable);
  const int index = w_.DivisionTab();
  if (!users.Record(index)) {
    ctx_.prompter.Warn("分類を選択して下さい。"_sj);
    return;
  }
  const std::string name = w_.AskName(0, users.Name(index));
  if (name.empty()) return;
  if (divisioncommands::RenameDivision(*o().global, users, ctx_.prompter, index, name, &o().alarmHook) == 0)
    w_.SetDivisionTabText(index, name);
}

void FileCommands::DeleteDivision() {
  if (divisioncommands::DeleteDivision(*o().global, o().Table(kUserTable), ctx_.prompter, w_.DivisionTab(),
                                       &o().alarmHook) != 0)
    return;
  w_.DivisionTabsChanged(0);
  (void)w_.OpenDivision(OpenDivisionMode::Switch, 0);
  o().view->GoToday();
  w_.ViewChanged();
}

void FileCommands::MoveDivision(int direction) {
  const int index = w_.DivisionTab();
  if (divisioncommands::MoveDivision(*o().global, o().Table(kUserTable), ctx_.prompter, ctx_.beeper, index,
                                     direction) != 0)
    return;
  w_.DivisionTabsChanged(index + direction);
}

void FileCommands::NewScreen() {
  const int before = w_.CurrentScreen();
  if (w_.OpenScreen(false, OpenScreenMode::Create, o().Table(kDivInTable).RecordCount()) != 0)
    (void)w_.OpenScreen(false, OpenScreenMode::Switch, before);
}

void FileCommands::RenameScreen() {
  CMyMaster& screens = o().Table(kDivInTable);
  const int index = w_.ScreenTab();
  if (!screens.Record(index)) {
    ctx_.prompter.Warn("表示画面を選択して下さい。"_sj);
    return;
  }
  const std::string name = w_.AskName(1, screens.Name(index));
  if (name.empty()) return;
  if (divisioncommands::RenameScreen(*o().global, screens, ctx_.prompter, index, name) == 0)
    w_.SetScreenTabText(index, name);
}

void FileCommands::DeleteScreen() {
  if (divisioncommands::DeleteScreen(*o().global, o().Table(kDivInTable), ctx_.prompter, w_.ScreenTab()) != 0)
    return;
  w_.ScreenTabsChanged(0);
  (void)w_.OpenScreen(false, OpenScreenMode::Switch, 0);
}

void FileCommands::MoveScreen(int direction) {
  const int index = w_.ScreenTab();
  if (divisioncommands::MoveScreen(*o().global, o().Table(kDivInTable), ctx_.prompter, ctx_.beeper, index,
                                   direction) != 0)
    return;
  w_.ScreenTabsChanged(index + direction);
}

void FileCommands::EditColors() {
  CMyMaster& colors = o().Table(kColorTable);
  const std::string path = o().global->DivisionPath("color.dat");
  // a file that is there but did not read is never replaced by the defaults
  CMyMaster probe;
  const int loaded = probe.Load(path);
  if (loaded == CMyMaster::kUnreadable || loaded == CMyMaster::kDamaged) {
    ctx_.prompter.Warn("色設定（color.dat）を読み込めませんでした。色設定は書き換えずにおきます。"_sj);
    return;
  }
  // another window may edit the kinds too: the save merges by kind
  colors.Share(o().global->UserPath(fileops::WriteLock::kFileName));
  if (colors.Read(path) != 0) colors.Init("COLOR");
  CMyColorKinds kinds(colors, ctx_.prompter, ctx_.beeper);
  w_.EditColorKinds(kinds);
  if (kinds.SaveIfChanged(path) < 0) ctx_.prompter.Warn("保存に失敗しました。"_sj);
  w_.PaletteChanged();
}
