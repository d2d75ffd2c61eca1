#include <gtest/gtest.h>

#include "alarm/CMyAlarm.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {
struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 9}, {10, 30, 0}};
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal g{prompter, clock, dir.path()};
  CMyAlarm alarms{g, clock, &prompter};
  Fixture() {
    g.SetUserName("u");
    g.SetDivisionFolder("日記"_sj);
    alarms.RefreshToday();
  }
};
}  // namespace

TEST(CMyAlarm, BracketedTimesInAMemo) {
  Fixture f;
  struct Case {
    const char* memo;
    std::vector<std::string> times;
  } cases[] = {
      {"[09:00] 会議", {}},  // earlier today: stored, but off
      {"[9:00] 会議", {}},   // one-digit hour: no alarm
      {"会議は[11:15]から", {"11:15"}},
      {"[11:15] と [12:00] 二つ", {"11:15"}},  // only the first on a line
      {"一行目 [11:00]\r\n二行目 [13:45]\nend", {"13:45", "11:00"}},
      {"表[11:00]", {"11:00"}},  // a trail byte is never a bracket
  };
  for (const auto& c : cases) {
    f.alarms.ScanMemo("2026/12/09", "00001", cp932::FromUtf8(c.memo));
    std::vector<std::string> armed;
    for (int i = 0; i < f.alarms.Count(); ++i)
      if (f.alarms.Item(i).state == 1) armed.push_back(f.alarms.Item(i).time);
    EXPECT_EQ(c.times, armed) << c.memo;
  }
  // scanning again replaced the record's alarms instead of adding more
  EXPECT_EQ(1, f.alarms.Count());
  EXPECT_EQ("表[11:00]"_sj, f.alarms.Item(0).message);
  EXPECT_EQ(1, f.alarms.Item(0).origin);
  EXPECT_EQ("日記"_sj, f.alarms.Item(0).division);
}

TEST(CMyAlarm, TwoByteBracketsAndLongRemainders) {
  Fixture f;
  f.g.timeF = "【"_sj;
  f.g.timeT = "】"_sj;
  f.alarms.ScanMemo("2026/12/10", "00002", "【08:30】朝礼"_sj);
  ASSERT_EQ(1, f.alarms.Count());
  EXPECT_EQ("08:30", f.alarms.Item(0).time);
  EXPECT_EQ(1, f.alarms.Item(0).state);  // tomorrow: armed
  // the text from the bracket's line to the end is over 120 bytes: nothing
  f.alarms.ScanMemo("2026/12/10", "00003", "【08:30】x\n" + std::string(130, 'y'));
  EXPECT_EQ(1, f.alarms.Count());
}

TEST(CMyAlarm, OrderWindowAndDueAlarms) {
  Fixture f;
  f.alarms.Add("2026/12/09", "0", "10:30", "a", 0, 1);
  f.alarms.Add("2026/12/10", "0", "08:00", "tomorrow", 0, -1);
  f.alarms.Add("2026/12/09", "0", "10:30", "b", 0, 1);  // same minute: the newer first
  f.alarms.Add("2026/12/08", "0", "23:00", "past", 0, -1);
  f.alarms.Add("2026/12/09", "0", "1030", "bad time", 0, 1);
  f.alarms.Add("2026/12/09", "0", "10:40", std::string(121, 'm'), 0, 1);
  ASSERT_EQ(4, f.alarms.Count());
  EXPECT_EQ("tomorrow", f.alarms.Item(0).message);
  EXPECT_EQ("b", f.alarms.Item(1).message);
  EXPECT_EQ(0, f.alarms.Item(3).state);  // in the past: off at once
  EXPECT_EQ(1, f.alarms.TodayFirst());
  EXPECT_EQ(2, f.alarms.TodayLast());
  EXPECT_EQ(1, f.alarms.CheckDue(true));
  EXPECT_EQ("お知らせ(10:30)"_sj, f.prompter.Shown().back().caption);
  EXPECT_EQ(2, f.alarms.CheckDue(false));
  EXPECT_EQ(-1, f.alarms.CheckDue(false));
  f.clock.Set(TimeOfDay{10, 31, 0});
  EXPECT_EQ(-1, f.alarms.CheckDue(false));
  f.alarms.RemoveOff();
  EXPECT_EQ(1, f.alarms.Count());
}

TEST(CMyAlarm, DivisionsAndSerials) {
  Fixture f;
  f.alarms.Add("2026/12/10", "00001", "08:00", "one", 1, 1);
  f.alarms.Add("2026/12/10", "00002", "09:00", "two", 1, 1);
  f.alarms.SwapSerials("2026/12/10", "00001", "00002");
  EXPECT_EQ("00001", f.alarms.Item(0).serial);  // "two" is first (later time)
  f.alarms.RenameDivision("日記"_sj, "日記帳"_sj);
  EXPECT_EQ(-1, f.alarms.Find("2026/12/10", "", "", "日記"_sj, 0));
  EXPECT_EQ(0, f.alarms.Find("2026/12/10", "", "", "日記帳"_sj, 0));
  EXPECT_EQ(1, f.alarms.Find("2026/12/10", "", "", "", 1));
  f.alarms.RemoveDivision("日記帳"_sj);
  EXPECT_EQ(0, f.alarms.Count());
}

TEST(CMyAlarm, FileRoundTripAndShortRecords) {
  Fixture f;
  f.alarms.Add("2026/12/10", "00001", "08:00", "朝"_sj, 1, 1);
  ASSERT_TRUE(f.alarms.Save(f.dir / "alarm.dat"));
  CMyLine raw;
  ASSERT_EQ(1, raw.ReadList(f.dir / "alarm.dat"));
  EXPECT_EQ(196, raw.Length(0));
  raw.Append(std::string(100, 'x'));  // too short: skipped
  std::string odd(196, 'z');          // no NULs in any field
  raw.Append(odd);
  ASSERT_EQ(3, raw.WriteList(f.dir / "alarm.dat"));
  CMyAlarm loaded(f.g, f.clock);
  loaded.Load(f.dir / "alarm.dat");
  ASSERT_EQ(2, loaded.Count());
  // loading puts the entries in date order: the odd one's "zzz" date first
  EXPECT_EQ("朝"_sj, loaded.Item(1).message);
  EXPECT_EQ(32u, loaded.Item(0).division.size());  // bounded by its field
  EXPECT_EQ(122u, loaded.Item(0).message.size());
  loaded.Load(f.dir / "missing.dat");
  EXPECT_EQ(0, loaded.Count());
}

TEST(CMyAlarm, AFileInAnotherOrderNeverFiresAnotherDaysAlarm) {
  Fixture f;
  auto entry = [&](const char* date, const char* time, const char* message) {
    AlarmEntry e;
    e.division = "日記"_sj;
    e.date = date;
    e.serial = "0";
    e.time = time;
    e.message = message;
    return CMyAlarm::EntryBytes(e);
  };
  CMyLine raw;
  raw.Append(entry("2026/12/10", "10:30", "tomorrow"));
  raw.Append(entry("2026/12/08", "10:30", "yesterday"));
  raw.Append(entry("2026/12/09", "10:30", "today"));
  raw.Append(entry("2026/12/11", "10:30", "later"));
  ASSERT_GE(raw.WriteList(f.dir / "alarm.dat"), 0);
  f.alarms.Load(f.dir / "alarm.dat");
  ASSERT_EQ(4, f.alarms.Count());
  int due = f.alarms.CheckDue(false);
  ASSERT_GE(due, 0);
  EXPECT_EQ("today", f.alarms.Item(due).message);
  EXPECT_EQ(-1, f.alarms.CheckDue(false));
}

TEST(CMyAlarm, AFileThatDidNotReadWholeIsKeptBesideBeforeTheListIsWrittenAgain) {
  Fixture f;
  const std::string path = f.dir / "alarm.dat";
  for (int i = 0; i < 5; ++i) f.alarms.Add("2026/12/1" + std::to_string(i), "00001", "08:00", "朝"_sj, 1, 1);
  ASSERT_TRUE(f.alarms.Save(path));
  const std::string whole = ReadBytes(path);
  WriteBytes(path, whole.substr(0, whole.size() / 2));  // cut short by a crash or a full disk
  const std::string cut = ReadBytes(path);
  CMyAlarm loaded(f.g, f.clock, &f.prompter);
  loaded.Load(path);
  ASSERT_FALSE(f.prompter.Shown().empty());
  EXPECT_NE(std::string::npos, f.prompter.ShownUtf8().back().find("alarm.dat"));
  loaded.Add("2026/12/20", "00002", "09:00", "新"_sj, 1, 1);
  ASSERT_TRUE(loaded.Save(path));
  EXPECT_EQ(cut, ReadBytes(path + ".damaged-20261209"));
  // once kept, the next save writes over the new file as usual
  ASSERT_TRUE(loaded.Save(path));
  EXPECT_FALSE(fileops::Exists(path + ".damaged-20261209-2"));
  // a whole file is never moved
  CMyAlarm again(f.g, f.clock, &f.prompter);
  again.Load(path);
  ASSERT_TRUE(again.Save(path));
  EXPECT_FALSE(fileops::Exists(path + ".damaged-20261209-2"));
}
