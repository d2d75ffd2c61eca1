#include "cli/CliBook.h"

#include <new>

#include "mainview/sheet/ScreenPorts.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "store/MemoSchema.h"

namespace {
bool Digits(const std::string& s, int& v) {
  if (s.empty() || s.size() > 5) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return true;
}
}  // namespace

// The impossible data home keeps the settings object's probe for the
// per-user folder from making anything: the root is given outright.
CliBook::CliBook(Prompter& p, CivilDate today)
    : prompter(p),
      clock(today, SystemClock().Now()),
      global(p, clock, syspaths::ProgramFolder(), "/dev/null"),
      db(&p),
      divout("DIVOUT", &p),
      periods(global, db, work, divout, p),
      view(db, records, periods),
      form(db, p, clock, view) {
  // the memo fields are fixed: only memory can be short for them
  if (DefineMemoSchema(db) != CMyDB::kOk) throw std::bad_alloc();
}

std::string CliBook::LoadBook(const CMyGlobal& global, CMyPeriods& periods, fileops::WriteLock* lock) {
  if (lock && !lock->Acquire(global.UserPath(fileops::WriteLock::kFileName)))
    return "他のプログラムがこのデータを書き込み中です。しばらくしてからやり直してください。";
  if (periods.LoadTable(lock != nullptr) < 0) return "期間の一覧を読み込めませんでした。";
  periods.LoadAll();
  return {};
}

std::string CliBook::Open(const std::string& root, const std::string& user, const std::string& division,
                          bool writing) {
  if (!fileops::IsDir(root)) return "データフォルダが見つかりません: " + root;
  std::string sjUser;
  if (cp932::FromUtf8(user, sjUser) != 0) return "ユーザー名に Shift-JIS で書けない文字があります: " + user;
  global.UseDataRoot(root + (root.back() == '/' ? "" : "/"));
  global.SetUserName(sjUser);
  if (!global.RecoverDataRoot()) return "データフォルダを整えられませんでした。";
  CMyMaster users("USER", &prompter);
  const std::string list = global.UserPath("jbxuser.jpr");
  if (!fileops::IsFile(list) || users.Read(list) != 0) return "ユーザーが見つかりません: " + user;
  int index = -1, n = 0;
  if (Digits(division, n) && n < users.RecordCount()) index = n;
  std::string sjDivision;
  if (index < 0 && cp932::FromUtf8(division, sjDivision) == 0) {
    for (int i = 0; i < users.RecordCount(); ++i)
      if (users.Name(i) == sjDivision) index = i;
  }
  if (index < 0) return "分類がありません: " + division;
  global.SetDivisionFolder(users.Name(index));
  if (!form.BuildForm(global.DivisionPath("scrin.jsc")))
    return "分類に入力画面の定義がありません: " + global.DivisionPath("scrin.jsc");
  global.dataKind = form.DataKind();
  if (std::string why = LoadBook(global, periods, writing ? &lock : nullptr); !why.empty()) return why;
  view.ReloadView();
  CMyMaster screens("DIVIN", &prompter);
  if (screens.Read(global.DivisionPath("divin.jpr")) == 0 && screens.RecordCount() > 0) {
    hasScreen = JosScreenLoader(scr, db).Load(global.DivisionPath(screens.Name(0), ".jos"), screen) == 0;
    if (hasScreen) form.SetLinesPerPage(screen.linesPerPage);
  }
  return {};
}

ExchangeBook CliBook::Book() {
  ExchangeBook b{global, db, periods, divout, ScreenFieldsOf(form.ControlList())};
  b.byPage = form.ByPage();
  b.linesPerPage = hasScreen && screen.linesPerPage > 0 ? screen.linesPerPage : 30;
  return b;
}
