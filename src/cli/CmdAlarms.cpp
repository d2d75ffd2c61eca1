// jbx alarms: the user's alarm list as the alarm dialog shows it, the alarm
// the one-second tick would raise at a moment (--due, switched off and
// written back as the tick does), or the missed alarms a start-up would
// list (--missed, read-only).
#include <cstdio>
#include <cstring>
#include <string>

#include "alarm/CMyAlarm.h"
#include "cli/Cli.h"
#include "cli/Commands.h"
#include "mainview/tray/AlarmTicker.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"

namespace {

// "yyyy/mm/dd hh:mm" exactly, the hour at most 23.
bool ParseMoment(const std::string& s, CivilDate& d, TimeOfDay& t) {
  if (s.size() != 16 || s[10] != ' ' || s[13] != ':') return false;
  if (!civil::ParseYmd(s.substr(0, 10), d)) return false;
  auto digit = [&](size_t k) { return s[k] >= '0' && s[k] <= '9'; };
  if (!digit(11) || !digit(12) || !digit(14) || !digit(15)) return false;
  t.hour = (s[11] - '0') * 10 + (s[12] - '0');
  t.minute = (s[14] - '0') * 10 + (s[15] - '0');
  t.second = 0;
  return t.hour <= 23 && t.minute <= 59;
}

void PrintLine(const std::string& sj) { std::printf("%s\n", cp932::ToUtf8(sj).c_str()); }

}  // namespace

int CmdAlarms(int argc, char** argv) {
  std::string root, user, now;
  bool due = false, missed = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--root" && hasValue) {
      root = argv[++i];
    } else if (a == "--user" && hasValue) {
      user = argv[++i];
    } else if (a == "--now" && hasValue) {
      now = argv[++i];
    } else if (a == "--due") {
      due = true;
    } else if (a == "--missed") {
      missed = true;
    } else {
      return cli::UsageError("alarms", "わからない引数です: " + a);
    }
  }
  if (root.empty() || user.empty()) return cli::UsageError("alarms", "--root と --user が要ります");
  if (due && missed) return cli::UsageError("alarms", "--due と --missed は一緒に使えません");
  CivilDate date = SystemClock().Today();
  TimeOfDay time = SystemClock().Now();
  if (!now.empty() && !ParseMoment(now, date, time))
    return cli::UsageError("alarms", "--now は \"yyyy/mm/dd hh:mm\" で書いて下さい: " + now);
  std::string userSj;
  if (cp932::FromUtf8(user, userSj) != 0) return cli::Fail("alarms", "ユーザー名が Shift-JIS で表せません");

  StderrPrompter prompter;
  FixedClock clock(date, time);
  // the impossible data home keeps the settings object from making folders
  CMyGlobal g(prompter, clock, syspaths::ProgramFolder(), "/dev/null");
  g.UseDataRoot(root + (root.back() == '/' ? "" : "/"));
  g.SetUserName(userSj);
  if (!fileops::IsDir(g.UserPath(""))) return cli::Fail("alarms", "ユーザーがありません: " + user);
  const std::string path = g.UserPath("alarm.dat");
  CMyAlarm alarm(g, clock, &prompter);
  alarm.Load(path);

  if (missed) {
    const long long at = CMyAlarm::MinuteOf(date, time);
    for (const AlarmEntry& e : alarm.Missed(at - AlarmTicker::kMissedWindow, at))
      PrintLine(AlarmTicker::MissedLine(e, at));
    return cli::kSuccess;
  }
  if (due) {
    const int i = alarm.CheckDue(false);
    if (i < 0) return cli::kSuccess;
    AlarmEntry raised = alarm.Item(i);
    raised.state = 1;  // shown as it was when it rang
    if (!alarm.Save(path)) return cli::Fail("alarms", "アラームを保存できませんでした: " + path);
    PrintLine(CMyAlarm::ListLine(raised));
    return cli::kSuccess;
  }
  for (const AlarmEntry& e : alarm.Entries()) PrintLine(CMyAlarm::ListLine(e));
  return cli::kSuccess;
}
