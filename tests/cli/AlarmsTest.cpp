// jbx alarms on a real alarm.dat: the list, the alarm due at a moment (once),
// the missed ones, and the command line's refusals.
#include <gtest/gtest.h>

#include "alarm/CMyAlarm.h"
#include "cli/JbxRun.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {
AlarmEntry Entry(const char* date, const char* time, const char* message, int state = 1) {
  AlarmEntry e;
  e.state = state;
  e.division = "日記"_sj;
  e.date = date;
  e.serial = "0";
  e.time = time;
  e.message = cp932::FromUtf8(message);
  return e;
}
}  // namespace

TEST(JbxAlarms, ListDueAndMissed) {
  TempDir dir;
  ASSERT_TRUE(fileops::MakeDirs(dir / "u"));
  CMyLine list(2048);
  // out of order on purpose, with a date that is no date
  for (const auto& e : {Entry("2026/12/09", "10:30", "歯医者"), Entry("2026/12/10", "08:00", "朝礼"),
                        Entry("2026/12/09", "10:30", "同じ分"), Entry("2026/12/09", "09:00", "済み", 0),
                        Entry("2026/12/08", "22:00", "昨夜"), Entry("2026/13/40", "10:30", "日付でない")})
    list.Append(CMyAlarm::EntryBytes(e));
  ASSERT_GE(list.WriteList(dir / "u/alarm.dat"), 0);
  const std::string base = "alarms --root " + dir.path() + " --user u";
  const std::string before = ReadBytes(dir / "u/alarm.dat");

  RunResult r = Jbx(base + " --now \"2026/12/09 10:30\"");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      " 2026/13/40 10:30  日付でない\n 2026/12/10 08:00  朝礼\n 2026/12/09 10:30  歯医者\n"
      " 2026/12/09 10:30  同じ分\n-2026/12/09 09:00  済み\n 2026/12/08 22:00  昨夜\n",
      r.out);
  r = Jbx(base + " --now \"2026/12/09 10:30\" --missed");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("2026/12/08 22:00  昨夜  （12時間30分遅れ）\n", r.out);
  EXPECT_EQ(before, ReadBytes(dir / "u/alarm.dat"));  // read-only

  // one alarm per call, as the tick raises them, each switched off on disk
  r = Jbx(base + " --now \"2026/12/09 10:30\" --due");
  ASSERT_EQ(0, r.status) << r.err;
  const std::string first = r.out;
  r = Jbx(base + " --now \"2026/12/09 10:30\" --due");
  EXPECT_NE(first, r.out);
  EXPECT_NE(std::string::npos, (first + r.out).find("歯医者"));
  EXPECT_NE(std::string::npos, (first + r.out).find("同じ分"));
  r = Jbx(base + " --now \"2026/12/09 10:30\" --due");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("", r.out);
  r = Jbx(base + " --now \"2026/12/09 10:30\"");
  EXPECT_NE(std::string::npos, r.out.find("-2026/12/09 10:30  歯医者"));

  for (const char* bad : {" --now 2026/12/09", " --now \"2026/12/09 25:99\"", " --due --missed", " --what"})
    EXPECT_EQ(2, Jbx(base + bad).status) << bad;
  EXPECT_EQ(2, Jbx("alarms --root " + dir.path()).status);
  EXPECT_EQ(1, Jbx("alarms --root " + dir.path() + " --user nobody").status);
  EXPECT_EQ(0, Jbx("alarms --help").status);
}
