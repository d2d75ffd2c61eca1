#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "calendar/CMyHoliday.h"
#include "mainview/sheet/CMyView.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

namespace {

// Records as the sheet walks them: sorted by key, one value column per field.
class FakeRecords : public ViewRecords {
 public:
  struct Rec {
    std::string key;
    std::map<int, std::string> values;
  };
  std::vector<Rec> all;
  std::vector<int> order;  // positions -> index into all
  std::string lastFilter, lastSort;
  int requeries = 0;
  int stepResult = -1;

  int Requery(const std::string& filter, const std::string& sort) override {
    lastFilter = filter;
    lastSort = sort;
    ++requeries;
    order.clear();
    for (size_t i = 0; i < all.size(); ++i)
      if (filter.empty() || all[i].values[0] == filter) order.push_back(static_cast<int>(i));
    bool desc = sort.find(" D") != std::string::npos;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return desc ? all[a].key > all[b].key : all[a].key < all[b].key; });
    return 0;
  }
  int Count() const override { return static_cast<int>(order.size()); }
  std::string_view Key(int i) const override { return all[order[i]].key; }
  std::string_view Value(int i, int field) const override {
    auto it = all[order[i]].values.find(field);
    return it == all[order[i]].values.end() ? std::string_view() : std::string_view(it->second);
  }
  int FieldIndex(const std::string& name) const override {
    if (name == "CR001") return 1;
    if (name == "CR002") return 2;
    if (name == "曜日"_sj) return 3;
    if (name == "MEM001L") return 4;
    if (name == "AMOUNT") return 5;
    return -1;
  }
  int Step(int) override { return stepResult; }
  void Add(const std::string& key, std::map<int, std::string> v = {}) { all.push_back({key, std::move(v)}); }
};

class FakeCalendar : public ViewCalendar {
 public:
  std::vector<int> loadedYears;
  HolidayEntry culture;
  void LoadYear(int y) override { loadedYears.push_back(y); }
  void ResetCursors() override {}
  void Find(CivilDate d, const HolidayEntry*& h, const HolidayEntry*& a) override {
    h = (d.month == 11 && d.day == 3) ? &culture : nullptr;
    a = nullptr;
  }
};

class FakePeriods : public ViewPeriods {
 public:
  std::vector<std::pair<std::string, std::string>> loads;
  std::string latest;
  int LoadPeriods(const std::string& from, const std::string& to) override {
    loads.push_back({from, to});
    return 1;
  }
  void SavePeriod(const std::string&) override {}
  std::string LatestKey() const override { return latest; }
};

struct Fixture {
  FakeRecords records;
  FakeCalendar calendar;
  FakePeriods periods;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 3, 15}};
  ViewScreen screen;
  CMyView view{records, calendar, periods, prompter, beeper, clock};
  Fixture() {
    screen.rowHeight = 500;
    screen.emptyRowHeight = 400;
    screen.keyColumnCount[0] = 2;
    screen.keyColumns[0][0] = {30, 0};
    screen.keyColumns[0][1] = {30, 7};
  }
  void Open(int kind = CMyView::kDateKind) {
    view.SetDataKind(kind);
    view.SetScreen(screen);
    view.ReloadView();
  }
};

}  // namespace

TEST(CMyView, AddMonthsCarriesYearsBothWays) {
  struct Case {
    CivilDate d;
    int n;
    const char* out;
  } cases[] = {
      {{2024, 3, 15}, 0, "2024/03"},  {{2024, 3, 15}, -3, "2023/12"}, {{2024, 3, 1}, -14, "2023/01"},
      {{2024, 3, 1}, -15, "2022/12"}, {{2024, 12, 1}, 1, "2025/01"},  {{2024, 1, 1}, 24, "2026/01"},
      {{2024, 1, 1}, -12, "2023/01"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.out, CMyView::AddMonths(c.d, c.n, "yyyy/mm")) << c.n;
  EXPECT_EQ("202312", CMyView::AddMonths({2024, 1, 31}, -1, "yyyymm"));
}

TEST(CMyView, PeriodWithMonthOffsetAndFirstDay) {
  Fixture f;
  f.screen.monthOffset = -1;
  f.screen.firstDay = 21;
  f.Open();
  f.view.MoveView(0, 1);
  EXPECT_EQ("2024/03", f.view.Label());
  EXPECT_EQ((CivilDate{2024, 2, 21}), f.view.PeriodStart());
  EXPECT_EQ((CivilDate{2024, 3, 20}), f.view.PeriodEnd());
  EXPECT_EQ(29, f.view.RowCount());
  EXPECT_STREQ("2024/02/21", f.view.Rows().front().key);
  // the files around the period were asked for, one month either side
  EXPECT_EQ((std::pair<std::string, std::string>{"202401", "202404"}), f.periods.loads.back());
}

TEST(CMyView, ImpossibleFirstDayKeepsThePreviousPeriod) {
  Fixture f;
  f.screen.firstDay = 31;
  f.clock.Set(CivilDate{2024, 3, 1});
  f.Open();
  f.view.GoToday();  // March has 31 days, April does not: new start, old end
  EXPECT_EQ((CivilDate{2024, 3, 31}), f.view.PeriodStart());
  ASSERT_EQ(1u, f.prompter.Shown().size());
  EXPECT_EQ("設定できない日を設定しました。", f.prompter.ShownUtf8()[0]);
  f.view.StepPeriod(1);  // April 31 cannot be formed: the period stays, the label moves
  EXPECT_EQ("2024/04", f.view.Label());
  EXPECT_EQ((CivilDate{2024, 3, 31}), f.view.PeriodStart());
  EXPECT_EQ(2u, f.prompter.Shown().size());
}

TEST(CMyView, DatesWithSeveralRecordsGetSeveralRows) {
  Fixture f;
  f.records.Add("2024/03/02", {{1, "255"}});
  f.records.Add("2024/03/05");
  f.records.Add("2024/03/05", {{2, "abc"}});
  f.records.Add("2024/03/05");
  f.records.Add("2024/02/28");  // before the period
  f.records.Add("2024/04/01");  // after it
  f.Open();
  f.view.GoToday();
  const auto& rows = f.view.Rows();
  ASSERT_EQ(31u + 2u, rows.size());
  EXPECT_EQ(400, rows[0].height);  // an empty row is lower
  EXPECT_EQ(1, rows[1].record);    // 03/02, after 02/28 in the set's order
  EXPECT_TRUE(rows[1].hasTextColor);
  EXPECT_EQ(255, rows[1].textColor);
  for (int k = 0; k < 3; ++k) {
    EXPECT_STREQ("2024/03/05", rows[4 + k].key);
    EXPECT_EQ(k + 1, rows[4 + k].lineNo);
    EXPECT_EQ(3, rows[4 + k].linesOfKey);
    EXPECT_NE(-1, rows[4 + k].record);
  }
  EXPECT_FALSE(rows[5].hasBackColor);  // "abc" is no colour
  EXPECT_EQ(0xFFFFFF, rows[5].backColor);
  EXPECT_EQ(1, rows[0].weekday == 6 ? 1 : 0);  // 2024/03/01 was a Friday
  EXPECT_STREQ("01", rows[0].keyText[0]);
  EXPECT_EQ("金"_sj, rows[0].keyText[1]);
  // today is marked
  int todays = 0;
  for (const auto& r : rows) todays += r.today;
  EXPECT_EQ(1, todays);
  EXPECT_EQ(std::vector<int>{2024}, f.calendar.loadedYears);
  EXPECT_TRUE(f.prompter.Shown().empty());
}

TEST(CMyView, HolidaysReachTheRowsAndTheYearIsLoadedOnce) {
  Fixture f;
  f.clock.Set(CivilDate{2024, 11, 20});
  f.Open();
  f.view.GoToday();
  EXPECT_NE(nullptr, f.view.Rows()[2].holiday);
  EXPECT_EQ(nullptr, f.view.Rows()[3].holiday);
  f.view.StepPeriod(1);
  f.view.StepPeriod(1);  // into 2025
  EXPECT_EQ((std::vector<int>{2024, 2025}), f.calendar.loadedYears);
}

TEST(CMyView, PagesBeepAtTheEndsAndLoadAroundThePage) {
  Fixture f;
  f.screen.linesPerPage = 5;
  f.screen.periodsBefore = 5;
  f.records.Add("00002/00003");
  f.records.Add("00001/00001");
  f.Open(CMyView::kPageKind);
  f.view.GoToday();
  EXPECT_EQ(5, f.view.RowCount());
  EXPECT_EQ(0, f.view.Rows()[0].record == -1 ? 1 : 0);
  f.view.StepPeriod(1);
  EXPECT_EQ((std::pair<std::string, std::string>{"00001", "00003"}), f.periods.loads.back());
  EXPECT_EQ(2, f.view.Rows()[2].record == -1 ? 0 : 2);
  EXPECT_STREQ("00002/00003", f.view.Rows()[2].key);
  EXPECT_EQ("  2ページ"_sj, f.view.Label());
  f.view.StepPeriod(-1);
  f.view.StepPeriod(-1);  // page 0
  EXPECT_EQ(1, f.beeper.Count());
  EXPECT_EQ(1, f.view.CurrentPage());
}

TEST(CMyView, ListModeWithoutRecordsBeepsOnStepping) {
  Fixture f;
  f.screen.displayMode = CMyView::kListMode;
  f.screen.filter = "=saved";  // an automatic extraction mark filters nothing here
  f.Open();
  EXPECT_EQ("", f.records.lastFilter);
  EXPECT_EQ("キー項目 D,行連番"_sj, f.records.lastSort);
  f.view.GoToday();
  EXPECT_EQ(0, f.view.RowCount());
  EXPECT_EQ(0, f.view.LastListPage());
  EXPECT_EQ(1, f.view.MoveView(1, 0));
  EXPECT_EQ(1, f.beeper.Count());
  EXPECT_EQ("全1ページ 0件"_sj, f.view.StatusText());
}

TEST(CMyView, ListModeCutsRecordsIntoPages) {
  Fixture f;
  f.screen.displayMode = CMyView::kListMode;
  f.screen.rowsPerListPage = 2;
  f.screen.keyColumnCount[1] = 2;
  f.screen.keyColumns[1][0] = {40, 1};
  f.screen.keyColumns[1][1] = {20, 5};
  for (int d = 1; d <= 5; ++d) f.records.Add("2024/03/0" + std::to_string(d), {{3, std::to_string(d)}});
  f.Open();
  f.view.GoToday();
  EXPECT_EQ(2, f.view.LastListPage());
  ASSERT_EQ(2, f.view.RowCount());
  EXPECT_STREQ("2024/03/05", f.view.Rows()[0].key);  // newest first
  EXPECT_STREQ("03/05", f.view.Rows()[0].keyText[0]);
  EXPECT_EQ("木"_sj, f.view.Rows()[0].keyText[1]);
  f.view.StepPeriod(1);
  f.view.StepPeriod(1);
  EXPECT_EQ(1, f.view.RowCount());
  EXPECT_EQ("  3ページ"_sj, f.view.Label());
}

TEST(CMyView, YearCommandsMoveTwelveMonthsLoadingEach) {
  Fixture f;
  f.Open();
  f.view.GoToday();
  size_t before = f.periods.loads.size();
  f.view.MoveYear(-1);
  EXPECT_EQ(before + 12, f.periods.loads.size());
  EXPECT_EQ("2023/03", f.view.Label());
}

TEST(CMyView, CursorScrollsTheWindow) {
  Fixture f;
  f.screen.headerHeight = 100;
  f.screen.option4 = true;  // every row 500 high
  f.Open();
  f.view.SetViewHeight(100 + 5 * 500);  // five rows fit
  f.view.GoToday();
  EXPECT_EQ(14, f.view.CursorRow());  // today, the 15th
  EXPECT_EQ(10, f.view.TopRow());     // brought into view at the bottom
  EXPECT_EQ(14, f.view.LastVisibleRow());
  f.view.MoveCursorTo(3);
  EXPECT_EQ(3, f.view.TopRow());
  f.view.KeyPageDown();
  EXPECT_EQ(7, f.view.TopRow());
  EXPECT_EQ(11, f.view.CursorRow());
  f.view.KeyPageUp();
  EXPECT_EQ(3, f.view.TopRow());
  EXPECT_EQ(3, f.view.CursorRow());
  f.view.MoveCursorTo(100);
  EXPECT_EQ(30, f.view.CursorRow());
  EXPECT_EQ(26, f.view.TopRow());
  EXPECT_EQ(-1, f.view.StepCursor(1));
  // the wheel stays within the scroll bar's range: the last row stays at the bottom
  f.view.Wheel(1);
  EXPECT_EQ(26, f.view.TopRow());
  f.view.Wheel(-1);
  EXPECT_EQ(25, f.view.TopRow());
  f.view.MoveCursorTo(0);
  f.view.Wheel(-1);
  EXPECT_EQ(0, f.view.TopRow());
}

TEST(CMyView, NewRecordKeys) {
  Fixture f;
  f.screen.linesPerPage = 30;
  f.Open(CMyView::kPageKind);
  f.view.GoToday();
  EXPECT_EQ("00001/00001", f.view.NewRecordKey(true));
  f.periods.latest = "00003/00030";
  EXPECT_EQ("00004/00001", f.view.NewRecordKey(true));
  f.periods.latest = "00003/00007";
  EXPECT_EQ("00003/00008", f.view.NewRecordKey(true));
  f.view.MoveCursorTo(4);
  EXPECT_EQ("00001/00005", f.view.NewRecordKey(false));
}

TEST(CMyView, TotalsOfSumColumns) {
  Fixture f;
  f.screen.sumCount = 1;
  f.screen.sums[0] = {7, 5, 0};
  f.records.Add("2024/03/01", {{5, "1200"}});
  f.records.Add("2024/03/09", {{5, "-200.6"}});
  f.records.Add("2024/02/09", {{5, "99999"}});  // outside the month
  f.Open();
  f.view.GoToday();
  ASSERT_EQ(1u, f.view.Sums().size());
  EXPECT_EQ("999", f.view.Sums()[0].text);
  std::string out;
  EXPECT_TRUE(CMyView::FormatTotal(0.5, 2, out));
  EXPECT_EQ("0.50", out);
  EXPECT_TRUE(CMyView::FormatTotal(-3.14159, 3, out));
  EXPECT_EQ("-3.142", out);
  EXPECT_FALSE(CMyView::FormatTotal(1e70, 0, out));
}

TEST(CMyView, MalformedKeysNeverHangTheWalk) {
  Fixture f;
  for (const char* k : {"", "2024/3/5", "zzzz", "2024/03/05x", "\xff\xff"}) f.records.Add(k);
  f.Open();
  f.view.GoToday();
  EXPECT_EQ(31, f.view.RowCount());
  f.Open(CMyView::kPageKind);
  f.view.GoToday();
  EXPECT_EQ(f.screen.linesPerPage, f.view.RowCount());
}

#include "mainview/sheet/RecordSetPort.h"

TEST(RecordSetPort, TheSheetWalksARealRecordSet) {
  CMyDB db;
  ASSERT_EQ(0, DefineMemoSchema(db));
  CMyRec rec(&db);
  auto add = [&](const char* key, const char* serial, const char* memo) {
    db.New();
    ASSERT_EQ(0, db.SetValue(memo::kKey, key));
    ASSERT_EQ(0, db.SetValue(memo::kLineSerial, serial));
    ASSERT_EQ(0, db.SetValue(memo::kMem001, cp932::FromUtf8(memo)));
    ASSERT_EQ(0, db.SetValue(memo::kCr002, "65280"));
    ASSERT_EQ(0, db.Store());
  };
  add("2024/03/05", "00002", "二件目");
  add("2024/03/05", "00001", "一件目");
  add("2024/03/20", "00001", "春分");
  add("2024/04/01", "00001", "翌月");
  RecordSetPort port(db, rec);
  FakeCalendar calendar;
  FakePeriods periods;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock({2024, 3, 15});
  CMyView view(port, calendar, periods, prompter, beeper, clock);
  ViewScreen screen;
  view.SetScreen(screen);
  view.ReloadView();
  view.GoToday();
  ASSERT_EQ(32, view.RowCount());
  const SheetRow& first = view.Rows()[4];
  EXPECT_EQ(2, first.linesOfKey);
  EXPECT_EQ("一件目"_sj, std::string(port.Value(first.record, memo::kMem001)));
  EXPECT_TRUE(first.hasBackColor);
  EXPECT_EQ(65280, first.backColor);
  EXPECT_TRUE(prompter.Shown().empty());
  // list mode shows the newest first
  view.SetDisplayMode(CMyView::kListMode);
  ASSERT_EQ(4, view.RowCount());
  EXPECT_STREQ("2024/04/01", view.Rows()[0].key);
}
