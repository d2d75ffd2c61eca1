#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "calendar/CMyHoliday.h"
#include "mainview/sheet/SheetPainter.h"
#include "platform/Canvas.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

namespace {

// One logical unit is one pixel; the screen draws nothing of its own.
class FlatScreen : public SheetScreen {
 public:
  SheetColours colours;
  std::vector<std::pair<int, int>> parts;  // (part, record)
  void BeginDraw(Canvas&) override {}
  void EndDraw(Canvas&) override {}
  void DrawPart(Canvas&, int part, int, int, int record) override { parts.push_back({part, record}); }
  void SetTextOverride(bool, uint32_t) override {}
  int PixelsX(int v) const override { return v; }
  int PixelsY(int v) const override { return v; }
  int LogicalX(int v) const override { return v; }
  int LogicalY(int v) const override { return v; }
  int ControlHeight(int) const override { return 10; }
  void SetControlHeight(int, int) override {}
  SheetColours Colours() const override { return colours; }
};

class Records : public ViewRecords {
 public:
  std::vector<std::string> keys;
  int Requery(const std::string&, const std::string&) override { return 0; }
  int Count() const override { return static_cast<int>(keys.size()); }
  std::string_view Key(int i) const override { return keys[static_cast<size_t>(i)]; }
  std::string_view Value(int, int) const override { return {}; }
  int FieldIndex(const std::string&) const override { return -1; }
};

class Calendar : public ViewCalendar {
 public:
  HolidayEntry holiday, anniversary;
  void LoadYear(int) override {}
  void ResetCursors() override {}
  void Find(CivilDate d, const HolidayEntry*& h, const HolidayEntry*& a) override {
    h = (d.month == 5 && d.day == 4) ? &holiday : nullptr;  // a Saturday in 2024
    a = (d.month == 5 && d.day == 10) ? &anniversary : nullptr;
  }
};

class Periods : public ViewPeriods {
 public:
  int LoadPeriods(const std::string&, const std::string&) override { return 0; }
  void SavePeriod(const std::string&) override {}
};

struct Fixture {
  Records records;
  Calendar calendar;
  Periods periods;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 5, 15}};
  CMyView view{records, calendar, periods, prompter, beeper, clock};
  FlatScreen screen;
  SheetPainter painter{view, screen};
  RecordingCanvas canvas;
  Fixture() {
    ViewScreen s;
    s.rowHeight = 20;
    s.emptyRowHeight = 20;
    s.headerHeight = 10;
    s.keyAreaWidth[0] = 60;
    s.keyColumnCount[0] = 2;
    s.keyColumns[0][0] = {30, 0};
    s.keyColumns[0][1] = {30, 7};
    s.fieldAreaWidth = 200;
    screen.colours.day[1] = {true, 0x0000FF, 0x000080};  // Sunday
    screen.colours.day[2] = {true, 0xFF0000, 0x800000};  // Saturday
    screen.colours.day[3] = {true, 0x00FF00, 0x008000};  // holiday
    view.SetScreen(s);
    view.SetViewHeight(10000);
  }
  std::vector<std::string> Calls(const std::string& prefix) { return canvas.CallsStarting(prefix); }
  bool Has(const std::string& call) {
    const auto& c = canvas.Calls();
    return std::find(c.begin(), c.end(), call) != c.end();
  }
};

}  // namespace

TEST(SheetPainter, DayClassesFillTheKeyCellOnly) {
  Fixture f;
  f.view.ReloadView();
  f.view.ShowMonth(2024, 5);
  f.painter.RenderSheet(f.canvas, 260, 800);
  // 2024/05/04 is a Saturday holiday: the holiday colours win; rows are 20
  // high below a 10-high header, so the 4th row's cell starts at 70
  EXPECT_TRUE(f.Has("fill 0,71,60,91 00FF00"));
  EXPECT_TRUE(f.Has("fill 0,91,60,111 0000FF"));   // Sunday the 5th
  EXPECT_TRUE(f.Has("fill 0,211,60,231 FF0000"));  // Saturday the 11th
  // no day colour ever reaches the field area
  for (const std::string& c : f.Calls("fill "))
    if (c.find("00FF00") != std::string::npos) {
      EXPECT_EQ(0u, c.find("fill 0,"));
    }
}

TEST(SheetPainter, TodayIsFramedAndAnniversariesDotted) {
  Fixture f;
  f.view.ReloadView();
  f.view.ShowMonth(2024, 5);
  f.painter.RenderSheet(f.canvas, 260, 800);
  // the 10th carries an anniversary: its first column shows the dot first
  const auto texts = f.Calls("text ");
  auto dot = std::find_if(texts.begin(), texts.end(), [](const std::string& t) {
    return t.find(cp932::FromUtf8("●")) != std::string::npos;
  });
  ASSERT_NE(texts.end(), dot);
  EXPECT_EQ(0u, dot->find("text 0,190,30,210"));
  EXPECT_NE(std::string::npos, (dot + 1)->find(" 10"));
  // today, the 15th, gets a frame around its key cells
  EXPECT_TRUE(f.Has("frame 1,291,59,309"));
}

TEST(SheetPainter, AKeyWithSeveralRowsGetsOneCellAndShadingAlternates) {
  Fixture f;
  f.records.keys = {"2024/05/01", "2024/05/01", "2024/05/01"};
  f.screen.colours.shading = true;
  f.screen.colours.shadeColour = 0xEEEEEE;
  f.screen.colours.option6 = true;
  f.view.ReloadView();
  f.view.ShowMonth(2024, 5);
  f.painter.RenderSheet(f.canvas, 260, 800);
  // the three rows of the 1st share one key cell 60 high
  auto texts = f.Calls("text 0,10,30,70 ");
  ASSERT_EQ(1u, texts.size());
  // every other row is shaded in the field area
  EXPECT_TRUE(f.Has("fill 60,31,260,51 EEEEEE"));
  EXPECT_FALSE(f.Has("fill 60,11,260,31 EEEEEE"));
  // header, rows with their records, no footer
  EXPECT_EQ(2, f.screen.parts.front().first);
  EXPECT_EQ(0, f.screen.parts[1].second);
}

TEST(SheetPainter, ClicksFindRows) {
  Fixture f;
  f.view.ReloadView();
  f.view.ShowMonth(2024, 5);
  f.painter.RenderSheet(f.canvas, 260, 800);
  EXPECT_EQ(f.view.TopRow(), f.painter.RowAt(3));  // the header hits the top row
  EXPECT_EQ(2, f.painter.RowAt(55));
  EXPECT_EQ(-1, f.painter.RowAt(5000));
}

TEST(SheetPainter, AFooterNoteTakesABandTheRowsLeaveFree) {
  Fixture f;
  ViewScreen s = f.view.Screen();
  s.footerHeight = 30;
  f.view.SetScreen(s);
  for (int d = 1; d <= 31; ++d) {
    char key[16];
    std::snprintf(key, sizeof key, "2024/05/%02d", d);
    f.records.keys.push_back(key);
  }
  f.view.SetViewHeight(310);
  f.view.ReloadView();
  f.view.ShowMonth(2024, 5);
  const int lastWithout = f.view.LayoutFromTop(0);
  f.view.SetNoteHeight(f.painter.SetFooterNote("note"_sj));
  EXPECT_EQ(SheetPainter::kNotePixels, f.view.NoteHeight());
  const int lastWith = f.view.LayoutFromTop(0);
  EXPECT_LT(lastWith, lastWithout) << "the rows give way to the band";
  EXPECT_EQ(lastWith, f.painter.RenderSheet(f.canvas, 260, 310)) << "painter and view agree";
  // under the screen's footer (at 310 - 18 - 30), across the sheet
  EXPECT_TRUE(f.Has("fill 0,292,260,310 E8F4FF"));
  EXPECT_EQ(1u, f.Calls("text 4,292,260,310 ").size());
  EXPECT_EQ(1u, std::count(f.screen.parts.begin(), f.screen.parts.end(), std::make_pair(3, -1)));

  f.view.SetNoteHeight(f.painter.SetFooterNote({}));
  EXPECT_EQ(0, f.view.NoteHeight());
  EXPECT_EQ(lastWithout, f.view.LayoutFromTop(0));
}
