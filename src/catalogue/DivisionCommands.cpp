#include "catalogue/DivisionCommands.h"

#include "catalogue/CMyMaster.h"
#include "catalogue/DivisionMaker.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

namespace divisioncommands {
namespace {

int SaveUsers(CMyGlobal& g, CMyMaster& users, Prompter& p) {
  if (users.Write(g.UserPath("jbxuser.jpr")) >= 0) return 0;
  p.Warn("分類情報の保存に失敗しました。"_sj);
  return 1;
}

int SaveScreens(CMyGlobal& g, CMyMaster& screens, Prompter& p) {
  if (screens.Write(g.DivisionPath("divin.jpr")) >= 0) return 0;
  p.Warn("表示画面情報の保存に失敗しました。"_sj);
  return 1;
}

std::string Renamed(const CMyMaster& table, int index, const std::string& name) {
  std::string rec(table.Record(index), CMyMaster::kRecordSize);
  CMyMaster::SetName(rec, name);
  return rec;
}

int Move(CMyMaster& table, Prompter& p, Beeper& b, int index, int direction) {
  const int other = index + (direction < 0 ? -1 : 1);
  if (index < 0 || index >= table.RecordCount() || other < 0 || other >= table.RecordCount()) {
    b.Beep();
    return 1;
  }
  if (table.Swap(index, other) != 1) {
    p.Warn("移動に失敗しました。"_sj);
    return 1;
  }
  return 0;
}

}  // namespace

int DeleteDivision(CMyGlobal& g, CMyMaster& users, Prompter& p, int index, DivisionAlarms* alarms) {
  if (users.RecordCount() < 2) {
    p.Warn("最後の分類です。削除出来ません。"_sj);
    return 1;
  }
  if (!users.Record(index)) {
    p.Warn("削除する分類を選択して下さい。"_sj);
    return 1;
  }
  if (!p.Confirm("分類を削除します。よろしいですか？"_sj, true)) return 1;
  const std::string record(users.Record(index), CMyMaster::kRecordSize), text = users.Text(index);
  const std::string name = users.Name(index);
  if (users.Delete(index) != 0) return 1;
  // a list that could not be written still names the book: it stays
  if (SaveUsers(g, users, p) != 0) {
    (void)users.InsertAt(index, record, text.empty() ? nullptr : text.c_str());
    return 1;
  }
  if (alarms) alarms->RemoveDivision(name);
  return 0;
}

int RenameDivision(CMyGlobal& g, CMyMaster& users, Prompter& p, int index, const std::string& name,
                   DivisionAlarms* alarms) {
  if (!users.Record(index)) {
    p.Warn("分類を選択して下さい。"_sj);
    return 1;
  }
  if (divisionmaker::CheckNewName(g, users, name, index, p) != 0) return 1;
  const std::string old = users.Name(index);
  if (users.ReplaceAt(index, Renamed(users, index, name)) != 0) return 1;  // the table has told why
  // the folder moved is the renamed record's, whichever division is open
  const std::string oldFolder = CMyGlobal::FolderOf(old), newFolder = CMyGlobal::FolderOf(name);
  const std::string from = g.UserPath(oldFolder), to = g.UserPath(newFolder);
  if (from != to && (fileops::Exists(to) || !fileops::Move(from, to))) {
    p.Warn("名前の変更に失敗しました。"_sj);
    if (users.ReplaceAt(index, Renamed(users, index, old)) != 0) return 1;
    return 1;
  }
  // a list that could not be written names the old folder: it moves back
  if (SaveUsers(g, users, p) != 0) {
    if (from != to) (void)fileops::Move(to, from);
    (void)users.ReplaceAt(index, Renamed(users, index, old));
    return 1;
  }
  if (g.DivisionFolder() == oldFolder) g.SetDivisionFolder(newFolder);
  if (alarms) alarms->RenameDivision(old, name);
  return 0;
}

int MoveDivision(CMyGlobal& g, CMyMaster& users, Prompter& p, Beeper& b, int index, int direction) {
  if (Move(users, p, b, index, direction) != 0) return 1;
  if (SaveUsers(g, users, p) == 0) return 0;
  (void)users.Swap(index, index + (direction < 0 ? -1 : 1));
  return 1;
}

int DeleteScreen(CMyGlobal& g, CMyMaster& screens, Prompter& p, int index) {
  if (screens.RecordCount() < 2) {
    p.Warn("最後の表示画面です。削除出来ません。"_sj);
    return 1;
  }
  if (!screens.Record(index)) {
    p.Warn("削除する表示画面を選択して下さい。"_sj);
    return 1;
  }
  if (!p.Confirm("表示画面を削除します。よろしいですか？"_sj, true)) return 1;
  const std::string record(screens.Record(index), CMyMaster::kRecordSize), text = screens.Text(index);
  if (screens.Delete(index) != 0) return 1;
  if (SaveScreens(g, screens, p) == 0) return 0;
  (void)screens.InsertAt(index, record, text.empty() ? nullptr : text.c_str());
  return 1;
}

int RenameScreen(CMyGlobal& g, CMyMaster& screens, Prompter& p, int index, const std::string& name) {
  if (!screens.Record(index)) {
    p.Warn("表示画面を選択して下さい。"_sj);
    return 1;
  }
  const std::string old = screens.Name(index);
  if (screens.ReplaceAt(index, Renamed(screens, index, name)) != 0) return 1;
  const std::string from = g.DivisionPath(old, ".jos"), to = g.DivisionPath(name, ".jos");
  if (from != to) {
    // A file of the new name that no screen uses gives way; the screen's own
    // file is renamed atomically, so a failure leaves it where it was.
    if (fileops::Exists(to)) (void)fileops::Remove(to);  // the move replaces it if it stays
    if (!fileops::Move(from, to)) {
      p.Warn("名前の変更に失敗しました。"_sj);
      (void)screens.ReplaceAt(index, Renamed(screens, index, old));  // its own name again: no clash
      return 1;
    }
  }
  if (SaveScreens(g, screens, p) == 0) return 0;
  if (from != to) (void)fileops::Move(to, from);
  (void)screens.ReplaceAt(index, Renamed(screens, index, old));
  return 1;
}

int MoveScreen(CMyGlobal& g, CMyMaster& screens, Prompter& p, Beeper& b, int index, int direction) {
  if (Move(screens, p, b, index, direction) != 0) return 1;
  if (SaveScreens(g, screens, p) == 0) return 0;
  (void)screens.Swap(index, index + (direction < 0 ? -1 : 1));
  return 1;
}

}  // namespace divisioncommands
