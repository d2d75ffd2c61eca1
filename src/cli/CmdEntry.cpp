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
#include "cli/CliBook.h"
#include "cli/Commands.h"
#include "input/CMyInput.h"
#include "input/FormPorts.h"
#include "input/PhotoState.h"
#include "input/StoreInputPorts.h"
#include "mainview/ScreenPorts.h"
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
  bool help = false;
};

const char* Name(Mode m) { return m == Mode::kAdd ? "add" : m == Mode::kEdit ? "edit" : "rm"; }

int Usage(Mode m, FILE* out, int code) {
  const char* n = Name(m);
  std::fprintf(
      out,
      "usage: jbx %s --root DIR --user NAME [--division N] (--date yyyy/mm/dd | --page P --line L)%s%s\n"
      "  --division N   the division's position in the user's list (0 = first) or its name\n"
      "  --today DATE   the date stamped on the entry (default: today)\n",
      n, m == Mode::kAdd ? "" : " --serial S", m == Mode::kRemove ? "" : " FIELD=VALUE...");
  if (m != Mode::kRemove) {
    std::fprintf(out, "  FIELD is a field name (DAT001, MEM001) or the name the input form shows\n");
    std::fprintf(
        out,
        "  IMG001=PATH    a JPEG picture for the photo box (its thumbnail is made); IMG001= removes it\n"
        "  --turn A|B|C|D the picture as taken, or turned 90, 180, 270 degrees clockwise\n");
  }
  return code;
}

int Fail(Mode m, const std::string& what) {
  std::fprintf(stderr, "jbx %s: %s\n", Name(m), what.c_str());
  return 1;
}

bool Parse(Mode m, int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    std::string s = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    bool ok = true;
    if (s == "--help" || s == "-h")
      a.help = true;
    else if (s == "--root")
      ok = value(a.root);
    else if (s == "--user")
      ok = value(a.user);
    else if (s == "--division")
      ok = value(a.division);
    else if (s == "--date")
      ok = value(a.date);
    else if (s == "--page")
      ok = value(a.page);
    else if (s == "--line")
      ok = value(a.line);
    else if (s == "--serial" && m != Mode::kAdd)
      ok = value(a.serial);
    else if (s == "--today")
      ok = value(a.today);
    else if (s == "--turn" && m != Mode::kRemove)
      ok = value(a.turn) && a.turn.size() == 1 && a.turn[0] >= 'A' && a.turn[0] <= 'D';
    else if (s.compare(0, 2, "--") != 0 && m != Mode::kRemove && s.find('=') != std::string::npos &&
             s.find('=') > 0)
      a.fields.emplace_back(s.substr(0, s.find('=')), s.substr(s.find('=') + 1));
    else
      ok = false;
    if (!ok) {
      std::fprintf(stderr, "jbx %s: unexpected argument %s\n", Name(m), s.c_str());
      return false;
    }
  }
  return true;
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
  if (!Parse(m, argc, argv, a)) return Usage(m, stderr, 2);
  if (a.help) return Usage(m, stdout, 0);
  if (a.root.empty() || a.user.empty()) return Usage(m, stderr, 2);
  if (m != Mode::kRemove && a.fields.empty() && a.turn.empty()) return Usage(m, stderr, 2);
  int serialNo = 0;
  if (m != Mode::kAdd && (!Digits(a.serial, serialNo) || serialNo < 1)) {
    std::fprintf(stderr, "jbx %s: --serial needs a line serial (1-99999)\n", Name(m));
    return 2;
  }
  CivilDate today = SystemClock().Today();
  if (!a.today.empty() && !civil::ParseYmd(a.today, today)) return Usage(m, stderr, 2);
  std::string user;
  if (cp932::FromUtf8(a.user, user) != 0) return Fail(m, "the user name cannot be written in CP932");

  StderrPrompter prompter;
  FixedClock clock(today, SystemClock().Now());
  CMyGlobal global(prompter, clock, syspaths::ProgramFolder());
  global.UseDataRoot(a.root + (a.root.back() == '/' ? "" : "/"));
  global.SetUserName(user);
  CMyMaster users("USER", &prompter);
  if (!fileops::IsFile(global.UserPath("jbxuser.jpr")) || users.Read(global.UserPath("jbxuser.jpr")) != 0)
    return Fail(m, "no user " + a.user + " under " + a.root);
  int division = -1;
  int n = 0;
  if (Digits(a.division, n) && n < users.RecordCount()) division = n;
  std::string divName;
  if (division < 0 && cp932::FromUtf8(a.division, divName) == 0) {
    for (int i = 0; i < users.RecordCount(); ++i)
      if (users.Name(i) == divName) division = i;
  }
  if (division < 0) return Fail(m, "no division " + a.division);
  global.SetDivisionFolder(users.Name(division));

  CMyDB db(&prompter);
  if (DefineMemoSchema(db) != CMyDB::kOk) return Fail(m, "out of memory");
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
    return Fail(m, "the division has no input definition");
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
    if (!a.date.empty() || a.page.empty() || a.line.empty()) {
      std::fprintf(stderr, "jbx %s: this division is kept by page and line: give --page and --line\n",
                   Name(m));
      return 2;
    }
  } else if (a.date.empty() || !a.page.empty() || !a.line.empty()) {
    std::fprintf(stderr, "jbx %s: this division is kept by date: give --date\n", Name(m));
    return 2;
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
      if (!Digits(a.page, p) || !Digits(a.line, l)) return Fail(m, "page and line must be numbers");
      key = memo::PageKey(p, l);
    } else {
      CivilDate d;
      if (!civil::ParseYmd(a.date, d)) return Fail(m, "the date must be yyyy/mm/dd");
      key = a.date;
    }
    char serial[16];
    std::snprintf(serial, sizeof serial, "%05d", serialNo);
    int index = view.FindRecord(key, serial);
    if (index < 0) return Fail(m, "no entry " + key + " " + serial);
    form.ShowRecord({}, index);
  }

  for (const auto& [nameUtf8, valueUtf8] : a.fields) {
    std::string name, value;
    if (cp932::FromUtf8(nameUtf8, name) != 0) return Fail(m, "no field " + nameUtf8);
    int control = form.FindControl(name);
    if (control < 0) return Fail(m, "no field " + nameUtf8 + " in this division's input form");
    if (cp932::FromUtf8(valueUtf8, value) != 0)
      return Fail(m, "the value of " + nameUtf8 + " cannot be written in CP932");
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
      if (full.empty() || !fileops::IsFile(full)) return Fail(m, "no picture " + valueUtf8);
      if (cp932::FromUtf8(full, value) != 0) return Fail(m, "the picture's path cannot be written in CP932");
      if (!form.ChoosePhoto(value)) return Fail(m, "not a JPEG picture that can be read: " + valueUtf8);
      continue;
    }
    if (static_cast<int>(value.size()) > c.maxLength) {
      char buf[64];
      std::snprintf(buf, sizeof buf, " is longer than %d bytes", c.maxLength);
      return Fail(m, "the value of " + nameUtf8 + buf);
    }
    form.SetValue(control, value);
    // a number given for a listed field is the code of its row, as typed in the form
    if (auto row = lists.CodeEntry(form, control)) form.SetValue(control, *row);
    if (!form.LeaveField(control)) return 1;
  }

  if (!a.turn.empty()) {
    if (photo.Path().empty()) return Fail(m, "--turn needs a picture (IMG001=PATH)");
    for (int i = 0; i < 4 && photo.Shown() != a.turn[0]; ++i) form.TurnPhoto(1);
  }
  bool ok = m == Mode::kRemove ? form.DeleteRecord(false) : form.SaveRecord();
  if (!ok) return 1;
  if (lists.TakeFailedSaves() > 0)
    std::fprintf(stderr, "jbx %s: the learnt lists could not be written\n", Name(m));
  if (!form.ByPage() && AlarmImage(alarm) != alarmsBefore && !alarm.Save(alarmPath))
    std::fprintf(stderr, "jbx %s: the alarm list could not be written\n", Name(m));
  std::printf("%s\t%s\n", form.SavedKey().c_str(), form.SavedSerial().c_str());
  return 0;
}

}  // namespace

int CmdAdd(int argc, char** argv) { return Run(Mode::kAdd, argc, argv); }
int CmdEdit(int argc, char** argv) { return Run(Mode::kEdit, argc, argv); }
int CmdRm(int argc, char** argv) { return Run(Mode::kRemove, argc, argv); }
