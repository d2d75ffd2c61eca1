#include <gtest/gtest.h>

#include "calendar/CMyHoliday.h"
#include "calendar/HolidayCalendar.h"
#include "platform/Cp932.h"
#include "shell/CivilDays.h"
#include "support/TempDir.h"

TEST(CMyHoliday, EquinoxesOfTheAlmanac) {
  const int spring[] = {21, 20, 20, 21, 21, 20, 20, 21, 21, 20, 20, 20, 21, 20, 20, 20};
  const int autumn[] = {23, 22, 23, 23, 23, 22, 23, 23, 23, 22, 23, 23, 23, 22, 23, 23};
  for (int y = 2015; y <= 2030; ++y) {
    EXPECT_EQ(spring[y - 2015], CMyHoliday::SolarTermDay(y, 1)) << y;
    EXPECT_EQ(autumn[y - 2015], CMyHoliday::SolarTermDay(y, 3)) << y;
  }
  EXPECT_EQ(0, CMyHoliday::SolarTermDay(2020, 5));
}

TEST(CMyHoliday, NthWeekdays) {
  EXPECT_EQ(13, CMyHoliday::NthWeekdayDay(8, 2020, 1));   // second Monday
  EXPECT_EQ(21, CMyHoliday::NthWeekdayDay(15, 2020, 9));  // third Monday
  EXPECT_EQ(1, CMyHoliday::NthWeekdayDay(0, 2026, 11));   // first Sunday
  EXPECT_EQ(0, CMyHoliday::NthWeekdayDay(28, 2020, 1));
  EXPECT_EQ(0, CMyHoliday::NthWeekdayDay(-1, 2020, 1));
}

TEST(CMyHoliday, FilesWithHeadersGarbageAndShortLines) {
  TempDir dir;
  struct Case {
    std::string text;
    int count;  // sentinel included
  } cases[] = {
      {"CL01\n", 0},
      {"11\t3\tA\t1000\t9999\t0\t-1\n", 2},                     // no header: read from the first line
      {"CL01\n0\t5\tskipped\n11\t3\tA\n", 2},                   // month 0 skipped; short line keeps defaults
      {"CL01\ngarbage here\n5\t5\tB\t1000\t9999\t0\t-1\n", 2},  // a damaged line does not end the list
      {"CL01\r\n1\t1\tX\r\n2\t2\tY\r\n", 3},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "h.dat", c.text);
    CMyHoliday h;
    ASSERT_TRUE(h.Load(0, 2020, dir / "h.dat"));
    EXPECT_EQ(c.count, h.Count(0)) << c.text;
  }
  WriteBytes(dir / "h.dat", "CL01\n11\t3\t" + std::string(60, 'n') + "\n");
  CMyHoliday h;
  h.Load(0, 2020, dir / "h.dat");
  EXPECT_EQ(1000, h.Item(1, 0).startYear);
  EXPECT_EQ(-1, h.Item(1, 0).weekRule);
  EXPECT_EQ(33u, h.Item(1, 0).Name().size());
}

TEST(CMyHoliday, FallsBackToTheProgramFolder) {
  TempDir dir;
  WriteBytes(dir / "kinen.dat", "CL01\n7\t7\t" + "七夕"_sj + "\n");
  CMyHoliday h(dir.path());
  EXPECT_TRUE(h.Load(1, 2020, dir / "missing/kinen.dat"));
  EXPECT_EQ(2, h.Count(1));
  EXPECT_FALSE(h.Load(0, 2020, dir / "missing/holiday.dat"));
  EXPECT_EQ(0, h.Count(0));
}

TEST(CMyHoliday, OrderFindAndYearRanges) {
  CMyHoliday h;
  h.Add(2000, 9999, 5, 5, 0, 2020, -1, "new", 0);
  h.Add(1000, 1999, 5, 5, 0, 2020, -1, "old", 0);
  h.Add(1000, 9999, 1, 1, 0, 2020, -1, "first", 0);
  h.Add(1000, 9999, 9, 0, 0, 2020, 15, "weekday", 0);
  ASSERT_EQ(5, h.Count(0));
  EXPECT_STREQ("first", h.Item(1, 0).name);
  EXPECT_STREQ("old", h.Item(2, 0).name);  // ordered by month, day, start year
  EXPECT_EQ(21, h.Item(4, 0).day);
  EXPECT_EQ(2, h.Find(1999, 5, 5, 0, 0));
  EXPECT_EQ(3, h.Find(2000, 5, 5, 0, 0));
  h.ResetCursors();
  EXPECT_EQ(3, h.Find(2020, 5, 5, 0, 1));
  EXPECT_EQ(-1, h.Find(2020, 1, 1, 0, 1));  // the cursor never moves back
  // a weekday rule saved in one year gets the day of another when loaded
  TempDir dir;
  ASSERT_TRUE(h.Save(0, dir / "h.dat"));
  CMyHoliday other;
  other.Load(0, 2021, dir / "h.dat");
  EXPECT_EQ(20, other.Item(4, 0).day);
  EXPECT_EQ("  5月 5日 2000-     new"_sj, CMyHoliday::DisplayLine(h.Item(3, 0)));
  EXPECT_EQ("* 9月21日     -     weekday"_sj, CMyHoliday::DisplayLine(h.Item(4, 0)));
  EXPECT_EQ("  5月 5日     -1999 old"_sj, CMyHoliday::DisplayLine(h.Item(2, 0)));
  h.Remove(0, 0);
  h.Remove(9, 0);
  EXPECT_EQ(5, h.Count(0));
}

namespace {

// The days of one year that show a holiday, "mm/dd name", through the walk.
std::vector<std::string> YearList(HolidayCalendar& cal, int year) {
  std::vector<std::string> out;
  cal.LoadYear(year);
  cal.ResetCursors();
  for (CivilDate d{year, 1, 1}; d.year == year; d = civil::AddDays(d, 1)) {
    const HolidayEntry* h = nullptr;
    const HolidayEntry* a = nullptr;
    cal.Find(d, h, a);
    if (h) out.push_back(civil::Ymd(d).substr(5) + " " + cp932::ToUtf8(h->name));
  }
  return out;
}

}  // namespace

TEST(ShippedHolidays, OfficialListsOfSeveralYears) {
  const std::string dir = JBX_PROGRAM_DIR;
  HolidayCalendar cal(dir + "/holiday.dat", dir + "/kinen.dat", dir);
  struct Case {
    int year;
    std::vector<std::string> days;
  } cases[] = {
      {2019, {"01/01 元日",       "01/14 成人の日",    "02/11 建国記念の日",   "03/21 春分の日",
              "04/29 昭和の日",   "04/30 国民の休日",  "05/01 天皇の即位の日", "05/02 国民の休日",
              "05/03 憲法記念日", "05/04 みどりの日",  "05/05 こどもの日",     "05/06 振替休日",
              "07/15 海の日",     "08/11 山の日",      "08/12 振替休日",       "09/16 敬老の日",
              "09/23 秋分の日",   "10/14 体育の日",    "10/22 即位礼正殿の儀", "11/03 文化の日",
              "11/04 振替休日",   "11/23 勤労感謝の日"}},
      {2020,
       {"01/01 元日", "01/13 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "02/24 振替休日",
        "03/20 春分の日", "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日",
        "05/06 振替休日", "07/23 海の日", "07/24 スポーツの日", "08/10 山の日", "09/21 敬老の日",
        "09/22 秋分の日", "11/03 文化の日", "11/23 勤労感謝の日"}},
      {2021,
       {"01/01 元日", "01/11 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "03/20 春分の日",
        "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日", "07/22 海の日",
        "07/23 スポーツの日", "08/08 山の日", "08/09 振替休日", "09/20 敬老の日", "09/23 秋分の日",
        "11/03 文化の日", "11/23 勤労感謝の日"}},
      {2026,
       {"01/01 元日", "01/12 成人の日", "02/11 建国記念の日", "02/23 天皇誕生日", "03/20 春分の日",
        "04/29 昭和の日", "05/03 憲法記念日", "05/04 みどりの日", "05/05 こどもの日", "05/06 振替休日",
        "07/20 海の日", "08/11 山の日", "09/21 敬老の日", "09/22 国民の休日", "09/23 秋分の日",
        "10/12 スポーツの日", "11/03 文化の日", "11/23 勤労感謝の日"}},
      {1989,
       {"01/01 元日", "01/02 振替休日", "01/15 成人の日", "01/16 振替休日", "02/11 建国記念の日",
        "02/24 昭和天皇の大喪の礼", "03/21 春分の日", "04/29 みどりの日", "05/03 憲法記念日",
        "05/04 国民の休日", "05/05 こどもの日", "09/15 敬老の日", "09/23 秋分の日", "10/10 体育の日",
        "11/03 文化の日", "11/23 勤労感謝の日", "12/23 天皇誕生日"}},
      // before 1973-04-12 a Sunday holiday had no substitute (1972/01/15 was a Saturday,
      // 1967/01/15 a Sunday)
      {1967,
       {"01/01 元日", "01/15 成人の日", "02/11 建国記念の日", "03/21 春分の日", "04/29 天皇誕生日",
        "05/03 憲法記念日", "05/05 こどもの日", "09/15 敬老の日", "09/24 秋分の日", "10/10 体育の日",
        "11/03 文化の日", "11/23 勤労感謝の日"}},
      // the first substitute holidays; until 2006 only a Monday
      {1973,
       {"01/01 元日", "01/15 成人の日", "02/11 建国記念の日", "03/21 春分の日", "04/29 天皇誕生日",
        "04/30 振替休日", "05/03 憲法記念日", "05/05 こどもの日", "09/15 敬老の日", "09/23 秋分の日",
        "09/24 振替休日", "10/10 体育の日", "11/03 文化の日", "11/23 勤労感謝の日"}},
      {1948, {"09/23 秋分の日", "11/03 文化の日", "11/23 勤労感謝の日"}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.days, YearList(cal, c.year)) << c.year;
}

TEST(ShippedHolidays, SandwichedDaysThroughTwentyFifty) {
  const std::string dir = JBX_PROGRAM_DIR;
  HolidayCalendar cal(dir + "/holiday.dat", dir + "/kinen.dat", dir);
  for (const char* day : {"2009/09/22", "2015/09/22", "2026/09/22", "2032/09/21", "2037/09/22", "2043/09/22",
                          "2049/09/21", "1988/05/04", "2006/05/04"}) {
    CivilDate d;
    ASSERT_TRUE(civil::ParseYmd(day, d));
    const HolidayEntry* h = nullptr;
    const HolidayEntry* a = nullptr;
    cal.Lookup(d, h, a);
    ASSERT_NE(nullptr, h) << day;
    EXPECT_EQ("国民の休日", cp932::ToUtf8(h->name)) << day;
  }
}

TEST(HolidayCalendar, AWalkAcrossTheYearEndKeepsEveryHoliday) {
  const std::string dir = JBX_PROGRAM_DIR;
  HolidayCalendar cal(dir + "/holiday.dat", dir + "/kinen.dat", dir);
  cal.LoadYear(2022);
  cal.ResetCursors();
  std::vector<std::string> found;
  for (CivilDate d{2022, 12, 21}; d.Ymd() <= 20230120; d = civil::AddDays(d, 1)) {
    const HolidayEntry* h = nullptr;
    const HolidayEntry* a = nullptr;
    cal.Find(d, h, a);
    if (h) found.push_back(civil::Ymd(d) + " " + cp932::ToUtf8(h->name));
  }
  // 2023/01/01 was a Sunday: its substitute is Monday the 2nd
  EXPECT_EQ((std::vector<std::string>{"2023/01/01 元日", "2023/01/02 振替休日", "2023/01/09 成人の日"}),
            found);
  // a walk that starts on the Monday after a Sunday holiday still owes it
  cal.ResetCursors();
  const HolidayEntry* h = nullptr;
  const HolidayEntry* a = nullptr;
  cal.Find({2023, 1, 2}, h, a);
  ASSERT_NE(nullptr, h);
  EXPECT_TRUE(cal.IsSubstitute(h));
}
