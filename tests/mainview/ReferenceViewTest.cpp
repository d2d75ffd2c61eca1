// The reference window's copy of a month: it keeps showing what it copied
// while the main view, its record set and the calendar move on.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "calendar/CMyHoliday.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/ReferenceView.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

namespace {

// Three records of November 2023, keys only.
class Records : public ViewRecords {
 public:
  std::vector<std::string> keys = {"2023/11/03", "2023/11/03", "2023/11/20"};
  int Requery(const std::string&, const std::string&) override { return 0; }
  int Count() const override { return static_cast<int>(keys.size()); }
  std::string_view Key(int i) const override { return keys[static_cast<size_t>(i)]; }
  std::string_view Value(int, int) const override { return {}; }
  int FieldIndex(const std::string&) const override { return -1; }
};

// 11/03 is a holiday; the entry is made anew on every load, as the real
// calendar replaces its lists.
class Calendar : public ViewCalendar {
 public:
  std::unique_ptr<HolidayEntry> culture;
  void LoadYear(int) override {
    culture = std::make_unique<HolidayEntry>();
    std::strcpy(culture->name, cp932::FromUtf8("文化の日").c_str());
  }
  void ResetCursors() override {}
  void Find(CivilDate d, const HolidayEntry*& h, const HolidayEntry*& a) override {
    if (!culture) LoadYear(d.year);
    h = d.month == 11 && d.day == 3 ? culture.get() : nullptr;
    a = nullptr;
  }
};

class Periods : public ViewPeriods {
 public:
  int LoadPeriods(const std::string&, const std::string&) override { return 0; }
  void SavePeriod(const std::string&) override {}
};

struct Main {
  Records records;
  Calendar calendar;
  Periods periods;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 11, 20}};
  CMyView view{records, calendar, periods, prompter, beeper, clock};
  Main() {
    ViewScreen s;
    s.rowHeight = 100;
    view.SetScreen(s);
    view.SetViewHeight(1000);  // ten rows of the month fit
    view.ShowMonth(2023, 11);
  }
};

}  // namespace

TEST(ReferenceView, ACopyOfAMonthOutlivesTheMainViewsRecordsAndCalendar) {
  Main m;
  m.view.MoveCursorTo(20);
  ReferenceView ref;
  // the main record set's positions 0, 1, 2 are table records 70, 71, 90
  ref.Fill(m.view, [](int pos) { return pos < 2 ? 70 + pos : 90; });
  EXPECT_EQ("2023/11", ref.Label());
  int y = 0, mo = 0;
  ASSERT_TRUE(ref.LabelMonth(y, mo));
  EXPECT_EQ(2023 * 12 + 11, y * 12 + mo);
  ASSERT_EQ(m.view.RowCount(), ref.RowCount());
  EXPECT_EQ((std::vector<int>{70, 71, 90}), ref.Records());
  EXPECT_EQ(m.view.CursorRow(), ref.CursorRow());
  EXPECT_EQ(90, ref.CursorRecord());  // 11/20: rows 0..2 are the 1st and the two of the 3rd
  EXPECT_EQ(m.view.TopRow(), ref.TopRow());

  // the main view moves on: a new year's calendar, a record set in another order
  m.view.ShowMonth(2024, 11);
  m.calendar.LoadYear(2024);
  m.records.keys = {"2024/11/01"};
  m.view.ShowMonth(2024, 11);
  ASSERT_STREQ("2023/11/03", ref.Rows()[2].key);
  ASSERT_NE(nullptr, ref.Rows()[2].holiday);
  EXPECT_EQ("文化の日", cp932::ToUtf8(ref.RowStatus(2)));
  EXPECT_EQ(2, ref.Rows()[2].linesOfKey);
  EXPECT_EQ(1, ref.Rows()[3].record);  // the second record of 11/03, in the copy's own list
  EXPECT_EQ(71, ref.Records()[static_cast<size_t>(ref.Rows()[3].record)]);
}

TEST(ReferenceView, ItsCursorAndWindowMoveByTheMainSheetsRules) {
  Main m;
  ReferenceView ref;
  ref.Fill(m.view, [](int pos) { return pos; });
  ref.SetViewHeight(500);  // five rows
  ref.LayoutFromTop(0);
  EXPECT_EQ(4, ref.LastVisibleRow());
  ref.MoveCursorTo(6);
  EXPECT_EQ(6, ref.CursorRow());
  EXPECT_EQ(2, ref.TopRow());  // scrolled as little as shows it
  ref.KeyPageDown();
  EXPECT_EQ(6, ref.TopRow());
  ref.KeyPageUp();
  EXPECT_EQ(2, ref.TopRow());
  ref.Wheel(1);
  EXPECT_EQ(3, ref.TopRow());
  ref.ClickRow(4);
  EXPECT_EQ(4, ref.CursorRow());
  EXPECT_EQ(3, ref.TopRow());  // a click moves the frame only
  ref.MoveCursorTo(1000);
  EXPECT_EQ(ref.RowCount() - 1, ref.CursorRow());
  EXPECT_EQ(ref.RowCount() - 1, ref.LastVisibleRow());
  EXPECT_EQ(ref.MaxTopRow(), ref.TopRow());
  ref.Wheel(1);  // not past the last row's place
  EXPECT_EQ(ref.MaxTopRow(), ref.TopRow());
  // the main view did not move with it
  EXPECT_EQ(0, m.view.TopRow());
}
