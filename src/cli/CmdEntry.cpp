// jbx add / edit / rm: writing entries from a terminal through the input
// form's own model, on a division opened without the window.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "alarm/CMyAlarm.h"
#include "catalogue/CMyMaster.h"
#include "cli/Cli.h"
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "input/CMyInput.h"
#include "input/FormPorts.h"
#include "input/PhotoState.h"
#include "input/StoreInputPorts.h"
#include "mainview/sheet/ScreenPorts.h"
#include "options/CMyColorKinds.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "screens/CMyScr.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

enum class Mode { kAdd, kEdit, kRemove };

struct Args {
  std::string root, user, division = "0", date, page, line, serial, today, turn;
  std::vector<std::pair<std::string, std::string>> fields;  // UTF-8 as typed
};

const char* Name(Mode m) { return m == Mode::kAdd ? "add" : m == Mode::kEdit ? "edit" : "rm"; }

int Usage(Mode m, const std::string& why) { return cli::UsageError(Name(m), why); }

int Fail(Mode m, const std::string& what) { return cli::Fail(Name(m), what); }

// The options through the shared reader; what is left are FIELD=VALUE.
// Empty when the line reads, else why not.
std::string Parse(Mode m, int argc, char** argv, Args& a) {
  cli::Args args(argc, argv);
  args.Value("--root", a.root);
  args.Value("--user", a.user);
  args.Value("--division", a.division);
  args.Value("--date", a.date);
  args.Value("--page", a.page);
  args.Value("--line", a.line);
  if (m != Mode::kAdd) args.Value("--serial", a.serial);
  args.Value("--today", a.today);
  if (m != Mode::kRemove && args.Value("--turn", a.turn) &&
      (a.turn.size() != 1 || a.turn[0] < 'A' || a.turn[0] > 'D'))
    return "--turn は A, B, C, D のどれかです: " + a.turn;
  const std::vector<std::string> rest = args.Rest();
  if (!args.Ok()) return args.Error();
  for (const std::string& s : rest) {
    const size_t eq = s.find('=');
    if (m == Mode::kRemove || eq == std::string::npos || eq == 0) return "余分な引数です: " + s;
    a.fields.emplace_back(s.substr(0, eq), s.substr(eq + 1));
  }
  return {};
}

bool Digits(const std::string& s, int& v) {
  if (s.empty() || s.size() > 5) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return true;
}

// What the alarm list holds, to write it back only when an entry changed it.
std::string AlarmImage(const CMyAlarm& alarm) {
  std::string out;
  for (int i = 0; i < alarm.Count(); ++i) out += CMyAlarm::EntryBytes(alarm.Item(i));
  return out;
}

int Run(Mode m, int argc, char** argv) {
  Args a;
  if (const std::string why = Parse(m, argc, argv, a); !why.empty()) return Usage(m, why);
  if (a.root.empty() || a.user.empty()) return Usage(m, "--root と --user が要ります");
  if (m != Mode::kRemove && a.fields.empty() && a.turn.empty())
    return Usage(m, "書く項目（FIELD=VALUE）か --turn が要ります");
  int serialNo = 0;
  if (m != Mode::kAdd && (!Digits(a.serial, serialNo) || serialNo < 1))
    return Usage(m, "--serial には行連番（1 から 99999）が要ります");
  CivilDate today = SystemClock().Today();
  if (!a.today.empty() && !civil::ParseYmd(a.today, today))
    return Usage(m, "--today は yyyy/mm/dd で書いて下さい: " + a.today);
  std::string user;
  if (cp932::FromUtf8(a.user, user) != 0) return Fail(m, "ユーザー名が Shift-JIS で表せません: " + a.user);

  StderrPrompter prompter;
  FixedClock clock(today, SystemClock().Now());
  CMyGlobal global(prompter, clock, syspaths::ProgramFolder());
  global.UseDataRoot(a.root + (a.root.back() == '/' ? "" : "/"));
  global.SetUserName(user);
  if (!global.RecoverDataRoot()) return Fail(m, "データフォルダを整えられませんでした。");
  CMyMaster users("USER", &prompter);
  if (!fileops::IsFile(global.UserPath("jbxuser.jpr")) || users.Read(global.UserPath("jbxuser.jpr")) != 0)
    return Fail(m, "ユーザーが見つかりません: " + a.user);
  int division = -1;
  int n = 0;
  if (Digits(a.division, n) && n < users.RecordCount()) division = n;
  std::string divName;
  if (division < 0 && cp932::FromUtf8(a.division, divName) == 0) {
    for (int i = 0; i < users.RecordCount(); ++i)
      if (users.Name(i) == divName) division = i;
  }
  if (division < 0) return Fail(m, "分類がありません: " + a.division);
  global.SetDivisionFolder(users.Name(division));

  CMyDB db(&prompter);
  if (DefineMemoSchema(db) != CMyDB::kOk) return Fail(m, "メモリが足りません");
  CMyRec records(&db), work(&db);
  CMyMaster divout("DIVOUT", &prompter);
  CMyPeriods periods(global, db, work, divout, prompter);
  fileops::WriteLock lock;
  if (std::string why = CliBook::LoadBook(global, periods, &lock); !why.empty()) return Fail(m, why);
  StoreInputView view(db, records, periods);
  view.ReloadView();

  CMyInput form(db, prompter, clock, view);
  // calculated fields fill themselves as they do in the form
  CountingBeeper calcBeeper;
  CalcFormPort calc(global.DivisionPath(""), &prompter, &calcBeeper);
  calc.Load();
  form.SetCalcPort(&calc);
  if (!form.BuildForm(global.DivisionPath("scrin.jsc")))
    return Fail(m, "分類に入力画面の定義がありません: " + global.DivisionPath("scrin.jsc"));
  // and the lists learn what a saved entry holds
  ListFormPort lists(global.DivisionPath(""), &prompter);
  lists.Load(form);
  form.SetListPort(&lists);
  global.dataKind = form.DataKind();
  CMyMaster screens("DIVIN", &prompter);
  if (screens.Read(global.DivisionPath("divin.jpr")) == 0 && screens.RecordCount() > 0) {
    CMyScr scr;
    ViewScreen vs;
    if (JosScreenLoader(scr, db).Load(global.DivisionPath(screens.Name(0), ".jos"), vs) == 0)
      form.SetLinesPerPage(vs.linesPerPage);
  }
  CMyMaster colors("COLOR", &prompter);
  if (colors.Read(global.DivisionPath("color.dat")) == 0) {
    CountingBeeper beeper;
    CMyColorKinds kinds(colors, prompter, beeper);
    std::vector<ColorKind> list;
    for (int i = 0; i < kinds.Count(); ++i) list.push_back(kinds.Get(i));
    form.SetColorKinds(std::move(list));
  }
  CMyAlarm alarm(global, clock, &prompter);
  const std::string alarmPath = global.UserPath("alarm.dat");
  alarm.Load(alarmPath);
  alarm.RefreshToday();
  const std::string alarmsBefore = AlarmImage(alarm);
  AlarmInputPort alarmPort(alarm);
  form.SetAlarmPort(&alarmPort);
  // the photo box as the form has it: the same thumbnails, made the same way
  PhotoCounter photoCounter;
  PhotoState photo(clock, photoCounter);
  photo.SetDivisionFolder(global.DivisionPath(""));
  photo.SetBox(true, photo::kThumbnailSide, photo::kThumbnailSide);
  form.SetPhotoState(&photo);

  // the key
  std::string key;
  if (form.ByPage()) {
    if (!a.date.empty() || a.page.empty() || a.line.empty())
      return Usage(m, "この分類はページと行で管理しています: --page と --line で指定して下さい");
  } else if (a.date.empty() || !a.page.empty() || !a.line.empty()) {
    return Usage(m, "この分類は日付で管理しています: --date で指定して下さい");
  }
  if (m == Mode::kAdd) {
    form.ShowRecord({}, -1);
    form.SetDateText(a.date);
    form.SetPageText(a.page);
    form.SetLineText(a.line);
    if (form.ByPage() ? !form.LeavePageBox() || !form.LeaveLineBox() : !form.LeaveDateBox()) return 1;
  } else {
    int p = 0, l = 0;
    if (form.ByPage()) {
      if (!Digits(a.page, p) || !Digits(a.line, l))
        return Fail(m, "ページと行は数です: " + a.page + " " + a.line);
      key = memo::PageKey(p, l);
    } else {
      CivilDate d;
      if (!civil::ParseYmd(a.date, d)) return Fail(m, "日付は yyyy/mm/dd で書いて下さい: " + a.date);
      key = a.date;
    }
    char serial[16];
    std::snprintf(serial, sizeof serial, "%05d", serialNo);
    int index = view.FindRecord(key, serial);
    if (index < 0) return Fail(m, "記録がありません: " + key + " " + serial);
    form.ShowRecord({}, index);
  }

  for (const auto& [nameUtf8, valueUtf8] : a.fields) {
    std::string name, value;
    if (cp932::FromUtf8(nameUtf8, name) != 0) return Fail(m, "項目がありません: " + nameUtf8);
    int control = form.FindControl(name);
    if (control < 0) return Fail(m, "この分類の入力画面に無い項目です: " + nameUtf8);
    if (cp932::FromUtf8(valueUtf8, value) != 0) return Fail(m, "値が Shift-JIS で表せません: " + nameUtf8);
    const jsc::Control& c = form.ControlList()[static_cast<size_t>(control)];
    if (c.kind == jsc::kPhoto) {
      if (valueUtf8.empty()) {
        form.DiscardPhoto();
        continue;
      }
      // the record keeps a path that does not depend on where jbx ran
      char* real = ::realpath(valueUtf8.c_str(), nullptr);
      const std::string full = real ? real : "";
      std::free(real);
      if (full.empty() || !fileops::IsFile(full))
        return Fail(m, "写真のファイルが見つかりません: " + valueUtf8);
      if (cp932::FromUtf8(full, value) != 0) return Fail(m, "写真のパスが Shift-JIS で表せません: " + full);
      if (!form.ChoosePhoto(value)) return Fail(m, "読める JPEG の写真ではありません: " + valueUtf8);
      continue;
    }
    if (static_cast<int>(value.size()) > c.maxLength) {
      return Fail(m, "値が " + std::to_string(c.maxLength) + " バイトを超えています: " + nameUtf8);
    }
    form.SetValue(control, value);
    // a number given for a listed field is the code of its row, as typed in the form
    if (auto row = lists.CodeEntry(form, control)) form.SetValue(control, *row);
    if (!form.LeaveField(control)) return 1;
  }

  if (!a.turn.empty()) {
    if (photo.Path().empty()) return Fail(m, "--turn には写真（IMG001=PATH）が要ります");
    for (int i = 0; i < 4 && photo.Shown() != a.turn[0]; ++i) form.TurnPhoto(1);
  }
  bool ok = m == Mode::kRemove ? form.DeleteRecord(false) : form.SaveRecord();
  if (!ok) return 1;
  if (lists.TakeFailedSaves() > 0) std::fprintf(stderr, "jbx %s: 入力履歴を保存できませんでした\n", Name(m));
  if (!form.ByPage() && AlarmImage(alarm) != alarmsBefore && !alarm.Save(alarmPath))
    std::fprintf(stderr, "jbx %s: アラームを保存できませんでした: %s\n", Name(m), alarmPath.c_str());
  std::printf("%s\t%s\n", form.SavedKey().c_str(), form.SavedSerial().c_str());
  return 0;
}

}  // namespace

int CmdAdd(int argc, char** argv) { return Run(Mode::kAdd, argc, argv); }
int CmdEdit(int argc, char** argv) { return Run(Mode::kEdit, argc, argv); }
int CmdRm(int argc, char** argv) { return Run(Mode::kRemove, argc, argv); }
