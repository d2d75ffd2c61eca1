#include <gtest/gtest.h>

#include "calendar/CMyHoliday.h"
#include "calendar/CMyHolidayEditor.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

namespace {

HolidayForm DayForm(const char* month, const char* day, const char* name, const char* from = "",
                    const char* to = "") {
  HolidayForm f;
  f.month = month;
  f.day = day;
  f.name = cp932::FromUtf8(name);
  f.startYear = cp932::FromUtf8(from);
  f.endYear = cp932::FromUtf8(to);
  return f;
}

// A data folder with its own two files and an empty program folder.
struct Folder {
  TempDir dir;
  ScriptedPrompter prompter;
  std::string holidays = dir / "holiday.dat";
  std::string kinen = dir / "kinen.dat";
  std::string program = dir / "prog/";
  Folder() { EXPECT_TRUE(fileops::MakeDir(dir / "prog")); }
  CMyHolidayEditor Editor(int year) { return CMyHolidayEditor(holidays, kinen, program, year, prompter); }
  std::vector<std::string> Lines(const CMyHolidayEditor& e, int list, bool all) {
    std::vector<std::string> out;
    for (const auto& r : e.Rows(list, all)) out.push_back(cp932::ToUtf8(r.line));
    return out;
  }
};

}  // namespace

TEST(HolidayForm, ChecksInTheirOrder) {
  using F = HolidayField;
  // a weekday rule without its week, a solar-term rule with term t
  auto week = [](HolidayForm f) {
    f.kind = HolidayKind::Week;
    return f;
  };
  auto term = [](const char* month, int t, const char* from = "") {
    HolidayForm f = DayForm(month, "", "x", from);
    f.kind = HolidayKind::Etc;
    f.term = t;
    return f;
  };
  struct Case {
    HolidayForm form;
    F field;
    const char* message;
  } cases[] = {
      {DayForm("5", "3", "憲法記念日"), F::None, ""},
      // the month is looked at before the day, the day before the name
      {DayForm("", "", ""), F::Month, "月が入力されていません"},
      {DayForm("5", "", ""), F::Day, "日が入力されていません"},
      {DayForm("5", "0", "x"), F::Day, "日は１から３１の間で入力してください"},
      {DayForm("5", "32", "x"), F::Day, "日は１から３１の間で入力してください"},
      {week(DayForm("5", "3", "x")), F::Week, "曜日が入力されていません"},
      {DayForm("5", "3", ""), F::Name, "祝日が入力されていません"},
      // the month range is checked after the name
      {DayForm("13", "3", ""), F::Name, "祝日が入力されていません"},
      {DayForm("13", "3", "x"), F::Month, "月は１から１２の間で入力してください"},
      {DayForm("0", "3", "x"), F::Month, "月は１から１２の間で入力してください"},
      {DayForm("5", "3", "x", "1899"), F::StartYear, "開始年の指定が不正です"},
      {DayForm("5", "3", "x", "19a0"), F::StartYear, "開始年の指定が不正です"},
      {DayForm("5", "3", "x", "", "4000"), F::EndYear, "終了年の指定が不正です"},
      {DayForm("5", "3", "x", "1900", "3999"), F::None, ""},
      {DayForm("5", "3", "x", "2030", "2020"), F::StartYear, "開始年が終了年より後になっています"},
      {DayForm("5", "3", "x", "", "1950"), F::None, ""},
      {DayForm("5", "3", "x", "２０２０"), F::None, ""},  // typed with the input method on
      // a name the file could not give back whole
      {DayForm("5", "3", "my day"), F::Name, "内容に半角の空白や改行は使えません"},
      {DayForm("5", "3", "tab\there"), F::Name, "内容に半角の空白や改行は使えません"},
      {DayForm("5", "3", "1234567890123456789012345678901"), F::Name,
       "内容は半角30文字（全角15文字）までです"},
      {DayForm("5", "3", "一二三四五六七八九十一二三四五"), F::None, ""},
      {term("3", -1), F::Term, "その他の項目が選択されていません"},
      {term("3", 0), F::None, ""},
      {term("9", 0), F::Term, "春分は３月のみ設定可能です"},
      {term("3", 1), F::Term, "夏至は６月のみ設定可能です"},
      {term("3", 2), F::Term, "秋分は９月のみ設定可能です"},
      {term("3", 3), F::Term, "冬至は１２月のみ設定可能です"},
      {term("3", 4), F::Term, "該当しない項目が選択されました"},
      {term("3", 2, "1800"), F::StartYear, "開始年の指定が不正です"},  // the solar term is looked at last
  };
  for (const Case& c : cases) {
    HolidayForm f = c.form;
    const HolidayCheck r = CMyHolidayEditor::CheckForm(f);
    EXPECT_EQ(c.field, r.field) << c.message;
    EXPECT_EQ(c.message, cp932::ToUtf8(r.message));
  }
}

TEST(HolidayForm, TheKindClearsWhatItDoesNotUse) {
  HolidayForm f = DayForm("1", "15", "x");
  f.week = 8;
  f.term = 2;
  EXPECT_TRUE(CMyHolidayEditor::CheckForm(f).Ok());
  EXPECT_EQ(-1, f.week);
  EXPECT_EQ("15", f.day);
  f.kind = HolidayKind::Week;
  f.week = 8;
  EXPECT_TRUE(CMyHolidayEditor::CheckForm(f).Ok());
  EXPECT_EQ("", f.day);  // a stale day does not refuse a weekday rule
  EXPECT_EQ(8, f.week);
  f.kind = HolidayKind::Etc;
  f.month = "3";
  f.day = "99";
  f.term = 0;
  EXPECT_TRUE(CMyHolidayEditor::CheckForm(f).Ok());
  EXPECT_EQ(-1, f.week);
  EXPECT_EQ("", f.day);
}

TEST(HolidayForm, StatusSaysWhatTheRuleGivesInTheYear) {
  struct Case {
    HolidayForm form;
    int year;
    const char* note;
  } cases[] = {
      {DayForm("2", "31", "x"), 2026, "2月31日はどの年にもないため、この規則の日は来ません。"},
      {DayForm("4", "31", "x"), 2026, "4月31日はどの年にもないため、この規則の日は来ません。"},
      {DayForm("2", "29", "x"), 2026, "2026年には2月29日がありません（うるう年だけの日です）。"},
      {DayForm("2", "29", "x"), 2028, "2028年は 2月29日(火)"},
      {DayForm("5", "3", "x", "", "2020"), 2026, "2026年は 5月 3日(日)（範囲外の年）"},
      {DayForm("", "3", "x"), 2026, ""},
      {DayForm("5", "", "x"), 2026, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.note, cp932::ToUtf8(CMyHolidayEditor::FormNote(c.form, c.year)));
  HolidayForm week = DayForm("1", "", "x");
  week.kind = HolidayKind::Week;
  week.week = 8;  // second Monday
  EXPECT_EQ("2026年は 1月12日(月)", cp932::ToUtf8(CMyHolidayEditor::FormNote(week, 2026)));
  HolidayForm spring = DayForm("3", "", "x");
  spring.kind = HolidayKind::Etc;
  spring.term = 0;
  EXPECT_EQ("2027年は 3月21日(日)", cp932::ToUtf8(CMyHolidayEditor::FormNote(spring, 2027)));
  EXPECT_EQ("第１日曜", cp932::ToUtf8(CMyHolidayEditor::WeekName(0)));
  EXPECT_EQ("第２月曜", cp932::ToUtf8(CMyHolidayEditor::WeekName(8)));
  EXPECT_EQ("第４土曜", cp932::ToUtf8(CMyHolidayEditor::WeekName(27)));
  EXPECT_EQ("", CMyHolidayEditor::WeekName(28));
}

TEST(HolidayForm, FilledFromARule) {
  CMyHoliday h;
  h.Add(1000, 9999, 1, 0, 0, 2026, 8, "成人の日"_sj, 0);
  h.Add(2000, 2010, 3, 0, 1, 2026, -1, "春分の日"_sj, 0);
  h.Add(1000, 1999, 5, 5, 0, 2026, -1, "x"_sj, 0);
  HolidayForm a = CMyHolidayEditor::FormOf(h.Item(1, 0));
  EXPECT_EQ(HolidayKind::Week, a.kind);
  EXPECT_EQ(8, a.week);
  EXPECT_EQ("", a.startYear);  // 1000 and 9999 mean no limit: the boxes stay empty
  EXPECT_EQ("", a.endYear);
  EXPECT_EQ("12", a.day);
  HolidayForm b = CMyHolidayEditor::FormOf(h.Item(2, 0));
  EXPECT_EQ(HolidayKind::Etc, b.kind);
  EXPECT_EQ(0, b.term);
  EXPECT_EQ("2000", b.startYear);
  EXPECT_EQ("2010", b.endYear);
  HolidayForm c = CMyHolidayEditor::FormOf(h.Item(3, 0));
  EXPECT_EQ(HolidayKind::Day, c.kind);
  EXPECT_EQ("1999", c.endYear);
  EXPECT_TRUE(CMyHolidayEditor::CheckForm(c).Ok());
}

TEST(CMyHolidayEditor, AddAndDeleteWriteAtTheEndAnUpdateAtOnce) {
  Folder f;
  WriteBytes(f.holidays, "CL01\n11\t3\t" + "文化の日"_sj + "\t1948\t9999\t0\t-1\n");
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  const std::string before = ReadBytes(f.holidays);
  const int added = e.Insert(0, DayForm("5", "3", "憲法記念日", "1948"));
  ASSERT_EQ(1, added);  // May comes before November
  EXPECT_TRUE(e.Changed(0));
  EXPECT_EQ(before, ReadBytes(f.holidays));
  EXPECT_FALSE(fileops::Exists(f.kinen));
  // an update writes the whole list at once, with the addition
  HolidayForm g = CMyHolidayEditor::FormOf(e.Rules().Item(2, 0));
  g.endYear = "2030";
  EXPECT_EQ(2, e.Update(0, 2, g));
  EXPECT_FALSE(e.Changed(0));
  const std::string written = ReadBytes(f.holidays);
  EXPECT_NE(std::string::npos, written.find("5\t3\t" + "憲法記念日"_sj + "\t1948\t9999\t0\t-1\r\n"));
  EXPECT_NE(std::string::npos, written.find("11\t3\t" + "文化の日"_sj + "\t1948\t2030\t0\t-1\r\n"));
  // a deletion waits for the end, and is asked first with No preselected
  f.prompter.Queue(kAnswerNo);
  EXPECT_FALSE(e.Delete(0, 1));
  EXPECT_EQ(3, e.Rules().Count(0));
  ASSERT_TRUE(e.Delete(0, 1));
  EXPECT_EQ("削除してよろしいですか？", f.prompter.ShownUtf8().back());
  EXPECT_EQ(kAnswerNo, f.prompter.Shown().back().defaultButton);
  EXPECT_EQ(written, ReadBytes(f.holidays));
  ASSERT_TRUE(e.Finish());
  EXPECT_EQ("CL01\r\n11\t3\t" + "文化の日"_sj + "\t1948\t2030\t0\t-1\r\n", ReadBytes(f.holidays));
  EXPECT_FALSE(fileops::Exists(f.kinen));  // an unchanged list is not written
}

TEST(CMyHolidayEditor, AnUpdateIsResolvedAndPutBackInOrder) {
  Folder f;
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  ASSERT_EQ(1, e.Insert(0, DayForm("1", "1", "元日")));
  ASSERT_EQ(2, e.Insert(0, DayForm("3", "20", "春分の日")));
  ASSERT_EQ(3, e.Insert(0, DayForm("11", "3", "文化の日")));
  // the new year's day becomes a week rule in October: it moves down the list
  HolidayForm w = CMyHolidayEditor::FormOf(e.Rules().Item(1, 0));
  w.kind = HolidayKind::Week;
  w.month = "10";
  w.week = 8;
  w.name = "スポーツの日"_sj;
  EXPECT_EQ(2, e.Update(0, 1, w));
  // the spring equinox as a solar term gets its day for the year at once
  HolidayForm s = CMyHolidayEditor::FormOf(e.Rules().Item(1, 0));
  s.kind = HolidayKind::Etc;
  s.term = 0;
  EXPECT_EQ(1, e.Update(0, 1, s));
  EXPECT_EQ((std::vector<std::string>{"  3月20日     -     春分の日", "*10月12日     -     スポーツの日",
                                      " 11月 3日     -     文化の日"}),
            f.Lines(e, 0, true));
}

TEST(CMyHolidayEditor, ShownForTheYearUnlessAllYearsAreAsked) {
  Folder f;
  WriteBytes(f.holidays, "CL01\n5\t1\tA\t2000\t2010\n5\t2\tB\t2015\t2015\n5\t3\tC\n");
  CMyHolidayEditor e = f.Editor(2015);
  e.Open();
  EXPECT_EQ((std::vector<std::string>{"  5月 2日 2015-2015 B", "  5月 3日     -     C"}),
            f.Lines(e, 0, false));
  EXPECT_EQ(3u, e.Rows(0, true).size());
  EXPECT_EQ(1, e.Rows(0, true)[0].index);
  EXPECT_EQ(2, e.Rows(0, false)[0].index);  // rows map back to the rule they show
  // nothing selected
  EXPECT_EQ(-1, e.Update(0, -1, DayForm("5", "3", "x")));
  EXPECT_FALSE(e.Delete(0, 0));
  EXPECT_EQ((std::vector<std::string>{"選択されていません", "選択されていません"}), f.prompter.ShownUtf8());
}

TEST(CMyHolidayEditor, LinesItCannotReadAreCountedAndKept) {
  Folder f;
  const std::string text =
      "CL01\r\n11,3,bad\r\n0\t5\tzero\r\n5\t5\tB\t19x9\r\n7\t7\tC\t1000\t9999\t0\t-1\r\n";
  WriteBytes(f.holidays, text);
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  EXPECT_EQ(3, e.Rules().Count(0));
  EXPECT_EQ("holiday.dat の 3 行は正しく読めませんでした（読めた部分だけを使います）。",
            cp932::ToUtf8(e.Note(0)));
  EXPECT_EQ("", e.Note(1));
  ASSERT_GE(e.Insert(0, DayForm("8", "8", "D")), 1);
  ASSERT_TRUE(e.SaveChanged());
  const std::string saved = ReadBytes(f.holidays);
  EXPECT_NE(std::string::npos, saved.find("\r\n11,3,bad\r\n0\t5\tzero\r\n"));  // as typed, at the end
  EXPECT_NE(std::string::npos, saved.find("\r\n5\t5\tB\t19x9\r\n"));           // read in part: kept whole
  CMyHoliday again;
  ASSERT_TRUE(again.Load(0, 2026, f.holidays));
  EXPECT_EQ(4, again.Count(0));  // the kept lines do not turn into rules
  EXPECT_EQ(3, again.UnreadLines(0));
}

TEST(CMyHolidayEditor, AFileThatCannotBeReadIsNeverReplaced) {
  Folder f;
  ASSERT_TRUE(fileops::MakeDir(f.holidays));  // there, but not a file it can read
  WriteBytes(f.program + "holiday.dat", "CL01\n1\t1\t" + "元日"_sj + "\n");
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  ASSERT_EQ(1u, f.prompter.Shown().size());
  EXPECT_EQ("holiday.dat を読めませんでした。ファイルを壊さないよう、この一覧は変更できません。",
            f.prompter.ShownUtf8()[0]);
  EXPECT_FALSE(e.Editable(0));
  EXPECT_TRUE(e.Editable(1));
  EXPECT_EQ(1u, e.Rows(0, true).size());  // shown as the sheet shows it: the defaults
  EXPECT_EQ(-1, e.Insert(0, DayForm("5", "5", "x")));
  EXPECT_EQ(-1, e.Update(0, 1, DayForm("5", "5", "x")));
  EXPECT_FALSE(e.Delete(0, 1));
  EXPECT_EQ("holiday.dat を読めないため、この一覧は変更できません。", f.prompter.ShownUtf8().back());
  EXPECT_GE(e.Insert(1, DayForm("6", "20", "記念")), 1);
  EXPECT_TRUE(e.Finish());
  EXPECT_TRUE(fileops::IsDir(f.holidays));
  EXPECT_TRUE(fileops::IsFile(f.kinen));
}

TEST(CMyHolidayEditor, AMissingFileStartsFromTheDefaults) {
  Folder f;
  WriteBytes(f.program + "holiday.dat", "CL01\n1\t1\t" + "元日"_sj + "\n");
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  EXPECT_TRUE(f.prompter.Shown().empty());
  ASSERT_EQ(2, e.Insert(0, DayForm("2", "2", "x")));
  ASSERT_TRUE(e.Finish());
  EXPECT_EQ("CL01\r\n1\t1\t" + "元日"_sj + "\t1000\t9999\t0\t-1\r\n2\t2\tx\t1000\t9999\t0\t-1\r\n",
            ReadBytes(f.holidays));
  EXPECT_EQ("CL01\n1\t1\t" + "元日"_sj + "\n", ReadBytes(f.program + "holiday.dat"));
}

TEST(CMyHolidayEditor, AFailedWriteKeepsTheChangeAndIsSaid) {
  Folder f;
  WriteBytes(f.holidays, "CL01\n1\t1\tA\n");
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  const std::string before = ReadBytes(f.holidays);
  fileops::InjectFault(fileops::Fault::kRename, 1);
  HolidayForm g = CMyHolidayEditor::FormOf(e.Rules().Item(1, 0));
  g.name = "B";
  EXPECT_EQ(1, e.Update(0, 1, g));
  fileops::ClearFaults();
  EXPECT_EQ("holiday.dat を保存できませんでした。変更は閉じるときにもう一度保存します。",
            f.prompter.ShownUtf8().back());
  EXPECT_EQ(before, ReadBytes(f.holidays));
  EXPECT_STREQ("B", e.Rules().Item(1, 0).name);  // not read back over the change
  EXPECT_TRUE(e.Changed(0));
  // closing tries again; when that fails too, leaving is asked (No kept open)
  fileops::InjectFault(fileops::Fault::kWrite, 1);
  f.prompter.Queue(kAnswerOk);
  f.prompter.Queue(kAnswerNo);
  EXPECT_FALSE(e.Finish());
  fileops::ClearFaults();
  EXPECT_EQ("保存できなかった変更があります。変更を捨てて閉じますか？", f.prompter.ShownUtf8().back());
  EXPECT_EQ(before, ReadBytes(f.holidays));
  EXPECT_TRUE(e.Finish());
  EXPECT_NE(std::string::npos, ReadBytes(f.holidays).find("1\t1\tB\t"));
}

TEST(CMyHolidayEditor, PreviewOfRulesNotYetSaved) {
  Folder f;
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  // 2023/01/01 was a Sunday: its substitute is the Monday
  ASSERT_GE(e.Insert(0, DayForm("1", "1", "元日")), 1);
  ASSERT_GE(e.Insert(0, DayForm("1", "2", "仕事始め休み", "2030")), 1);
  ASSERT_GE(e.Insert(1, DayForm("1", "1", "結婚記念日", "2014")), 1);
  ASSERT_GE(e.Insert(1, DayForm("2", "31", "来ない日")), 1);
  EXPECT_EQ((std::vector<std::string>{"01/01(日) 祝日   元日", "01/01(日) 記念日 結婚記念日（9年目）",
                                      "01/02(月) 祝日   振替休日"}),
            [&] {
              std::vector<std::string> v;
              for (const auto& l : e.Preview(2023)) v.push_back(cp932::ToUtf8(l));
              return v;
            }());
  EXPECT_EQ(3u, e.Preview(2031).size());  // the rule from 2030 takes the 2nd
  EXPECT_EQ("01/01(水) 記念日 結婚記念日", cp932::ToUtf8(e.Preview(2014)[1]));  // no count in the first year
  EXPECT_FALSE(fileops::Exists(f.holidays));
}

TEST(CMyHolidayEditor, AThousandRules) {
  Folder f;
  std::string text = "CL01\n";
  for (int i = 0; i < 1000; ++i)
    text += std::to_string(i % 12 + 1) + "\t" + std::to_string(i % 28 + 1) + "\tR" + std::to_string(i) +
            "\t" + std::to_string(1900 + i % 200) + "\t9999\t0\t" + std::to_string(i % 3 == 0 ? i % 28 : -1) +
            "\n";
  WriteBytes(f.holidays, text);
  CMyHolidayEditor e = f.Editor(2026);
  e.Open();
  EXPECT_EQ(1001, e.Rules().Count(0));
  EXPECT_EQ(1000u, e.Rows(0, true).size());
  EXPECT_LE(e.Preview(2026).size(), 366u);
  ASSERT_TRUE(e.Delete(0, 500));
  ASSERT_TRUE(e.Finish());
  CMyHoliday again;
  ASSERT_TRUE(again.Load(0, 2026, f.holidays));
  EXPECT_EQ(1000, again.Count(0));
}
