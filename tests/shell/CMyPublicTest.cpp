#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "shell/CMyPublic.h"

namespace {
FixedClock kClock({2026, 12, 9});
}

TEST(CMyPublic, EraToYear) {
  CMyPublic p(kClock);
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"H31/4/30", "2019/4/30"},   {"h1/1/8", "1989/1/8"},         {"S70/1/1", "1995/1/1"},
      {"R1/5/1", "2019/5/1"},      {"r8/9/21", "2026/9/21"},       {"H32/3/4", "2020/3/4"},  // past its end
      {"X1/1/1", "X1/1/1"},        {"2019/1/1", "2019/1/1"},       {"M01/01/01", "1868/01/01"},
      {"T15/12/24", "1926/12/24"}, {"H12345678/1", "H12345678/1"},  // longer than 10
      {"H9999/1/1", "H9999/1/1"},                                   // the year would need five digits
  };
  for (const auto& c : cases) EXPECT_EQ(c.out, p.EraToYear(c.in)) << c.in;
}

TEST(CMyPublic, FormatDate) {
  CMyPublic p(kClock);
  struct Case {
    const char* in;
    bool era;
    const char* out;
  } cases[] = {
      {"20200304", true, "R02/03/04"},
      {"20200304", false, "2020/03/04"},
      {"2020.3.4", false, "2020/03/04"},
      {"2020-3-4", false, "2020/03/04"},
      {"0304", false, "2026/03/04"},
      {"3/4", false, "2026/03/04"},
      // each era begins on its own day, not on January 1st
      {"1867/12/31", true, "1867/12/31"},
      {"1868/1/1", true, "M01/01/01"},
      {"1912/7/29", true, "M45/07/29"},
      {"1912/7/30", true, "T01/07/30"},
      {"1926/12/24", true, "T15/12/24"},
      {"1926/12/25", true, "S01/12/25"},
      {"1989/01/01", true, "S64/01/01"},
      {"1989/01/07", true, "S64/01/07"},
      {"1989/01/08", true, "H01/01/08"},
      {"2019/04/30", true, "H31/04/30"},
      {"2019/05/01", true, "R01/05/01"},
      {"2026/09/21", true, "R08/09/21"},
      {"R8/9/21", true, "R08/09/21"},
      {"H32/3/4", true, "R02/03/04"},
      {"H31/4/30", false, "2019/04/30"},
      {"S64/1/7", false, "1989/01/07"},
      {"2019/2/29", false, ""},
      {"2020/2/29", false, "2020/02/29"},
      {"1900/2/29", false, ""},
      {"2000/2/29", false, "2000/02/29"},
      {"", false, ""},
      {"abc", false, ""},
      {"2020/13/1", false, ""},
      {"2020//1", false, ""},
      {"20200", false, ""},
      {"日付", false, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.out, p.FormatDate(cp932::FromUtf8(c.in), c.era)) << c.in;
}

TEST(CMyPublic, TwoDigitYearsLookBackEightyYearsAndForwardTwenty) {
  CMyPublic p(kClock);
  EXPECT_EQ("1999/01/01", p.FormatDate("990101", false));
  EXPECT_EQ("2046/01/01", p.FormatDate("46/1/1", false));
  EXPECT_EQ("1947/01/01", p.FormatDate("47/1/1", false));
  EXPECT_EQ("2026/05/05", p.FormatDate("26/5/5", false));
  EXPECT_TRUE(p.IsDate("H1/1/8"));
  EXPECT_FALSE(p.IsDate("2/30"));
}

TEST(CMyPublic, Times) {
  struct Case {
    const char* in;
    const char* norm;
    bool time, time23;
  } cases[] = {
      {"9:5", "09:05", true, true},   {"2560", "", false, false},    {"2559", "25:59", true, false},
      {"23:59", "23:59", true, true}, {"0000", "00:00", true, true}, {"99:59", "99:59", true, false},
      {"100:0", "", false, false},    {"12:60", "", false, false},   {"123", "", false, false},
      {"123456", "", false, false},   {"ab:cd", "", false, false},   {"", "", true, true},
      {"12", "", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.norm, CMyPublic::NormalizeTime(c.in)) << c.in;
    EXPECT_EQ(c.time, CMyPublic::IsTime(c.in, false)) << c.in;
    EXPECT_EQ(c.time23, CMyPublic::IsTime(c.in, true)) << c.in;
  }
}

TEST(CMyPublic, Numbers) {
  for (const char* yes : {"", "-", ".", "+1", "-1.5", "0042", "3."})
    EXPECT_TRUE(CMyPublic::IsNumber(yes)) << yes;
  for (const char* no : {"1.2.3", "1-", "a", "1,000", "--1"}) EXPECT_FALSE(CMyPublic::IsNumber(no)) << no;
  EXPECT_FALSE(CMyPublic::IsNumber("１"_sj));
  EXPECT_EQ("1.23", CMyPublic::FixDecimals("1.239", 2));
  EXPECT_EQ("5.000", CMyPublic::FixDecimals("5", 3));
  EXPECT_EQ("5", CMyPublic::FixDecimals("5.99", 0));
  EXPECT_EQ("5.99", CMyPublic::FixDecimals("5.99", -1));
  EXPECT_EQ("", CMyPublic::FixDecimals("", 2));
  EXPECT_EQ("", CMyPublic::FixDecimals("12345678901234", 2));
  EXPECT_EQ("0.50", CMyPublic::FormatFixed(0.5, 2));
  EXPECT_EQ("-3.0", CMyPublic::FormatFixed(-3, 1));
  EXPECT_EQ("", CMyPublic::FormatFixed(1e70, 0));
}

TEST(CMyPublic, TextHelpersNeverSplitACharacter) {
  EXPECT_EQ("b", CMyPublic::NthField("a,b,c", 1, ','));
  EXPECT_EQ("", CMyPublic::NthField("a,b,c", 3, ','));
  EXPECT_EQ("", CMyPublic::NthField("a,,c", 1, ','));
  EXPECT_EQ(100u, CMyPublic::NthField(std::string(300, 'x'), 0, ',').size());
  std::string jp = "日記帳"_sj;  // 6 bytes
  EXPECT_EQ("日"_sj, CMyPublic::MidBytes(jp, 0, 3));
  EXPECT_EQ("日記"_sj, CMyPublic::MidBytes(jp, 0, 4));
  EXPECT_EQ("ab", CMyPublic::MidBytes("ab\ncd", 0, 10));
  EXPECT_EQ(100u, CMyPublic::MidBytes(std::string(300, 'x'), 5, 500).size());
  EXPECT_EQ("", CMyPublic::MidBytes("abc", 5, 2));
  for (unsigned char c : std::initializer_list<unsigned char>{' ', '/', ':', '?', '[', '^', '{', '~'})
    EXPECT_FALSE(CMyPublic::IsNameChar(c)) << c;
  for (int c : std::initializer_list<int>{'a', 'Z', '0', '@', '_', '`', '\t', 0x81, 0xE0})
    EXPECT_TRUE(CMyPublic::IsNameChar(static_cast<unsigned char>(c))) << c;
}

TEST(CMyPublic, PathHelpersSkipTrailBytes) {
  // "表" is 95 5C: its trail byte is a backslash
  std::string name = "a/表"_sj + ".jos";
  EXPECT_EQ(1, CMyPublic::LastSeparator(name));
  EXPECT_EQ(1, CMyPublic::LastSeparator("a/" + "表"_sj));
  EXPECT_EQ(".jos", CMyPublic::Extension(name));
  EXPECT_EQ("", CMyPublic::Extension("dir.x/name"));
  EXPECT_EQ(".gz", CMyPublic::Extension("a.tar.gz"));
  EXPECT_EQ("a/表"_sj + ".jot", CMyPublic::ReplaceExtension(name, ".jot", true));
  EXPECT_EQ(name, CMyPublic::ReplaceExtension(name, ".jot", false));
  EXPECT_EQ("dir.x/name.jot", CMyPublic::ReplaceExtension("dir.x/name", ".jot", false));
}
