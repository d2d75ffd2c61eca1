// The page layout of printing, through a recording canvas and a job that
// keeps every page's calls: where the head line, the header, the rows and
// the footer land, how rows are split across pages, and what happens with
// paper that cannot take the sheet.
#include <gtest/gtest.h>

#include <algorithm>

#include "calendar/CMyHoliday.h"
#include "mainview/sheet/SheetPrinter.h"
#include "platform/Canvas.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "screens/CMyObjFont.h"

namespace {

// A screen definition that draws nothing of its own but notes every part it
// is asked for, on which page and where.
class PaperScreen : public SheetScreen, public PrintScreen {
 public:
  struct Part {
    int part, x, y, record, page;
  };
  double sx = 0.05, sy = 0.05;  // the screen: 20 logical units a pixel
  SheetColours colours;
  std::vector<Part> parts;
  std::vector<bool> printForms;  // at every BeginDraw
  int sheetWidth = 4000;         // 400 printer pixels
  int lineHeight = 400;          // a memo line as measured on paper
  int controlHeight = 400;
  int heightChanges = 0;
  const int* page = nullptr;

  void BeginDraw(Canvas&) override { printForms.push_back(printForm_); }
  void EndDraw(Canvas&) override {}
  void DrawPart(Canvas&, int part, int x, int y, int record) override {
    parts.push_back({part, x, y, record, page ? *page : 0});
  }
  void SetTextOverride(bool, uint32_t) override {}
  int PixelsX(int v) const override { return TruncToInt(v * sx); }
  int PixelsY(int v) const override { return TruncToInt(v * sy); }
  int LogicalX(int v) const override { return sx == 0 ? 0 : TruncToInt(v / sx); }
  int LogicalY(int v) const override { return sy == 0 ? 0 : TruncToInt(v / sy); }
  int ControlHeight(int) const override { return controlHeight; }
  void SetControlHeight(int, int h) override {
    if (h != controlHeight) ++heightChanges;
  }
  SheetColours Colours() const override { return colours; }
  double ScaleX() const override { return sx; }
  double ScaleY() const override { return sy; }
  void SetScales(double h, double v) override { sx = h, sy = v; }
  void SetPrintForm(bool on) override { printForm_ = on; }
  int SheetWidth() const override { return sheetWidth; }
  int MeasureLineHeight(Canvas&, int) override { return lineHeight; }
  std::vector<Part> Parts(int part, int onPage = 0) const {
    std::vector<Part> out;
    for (const Part& p : parts)
      if (p.part == part && (onPage == 0 || p.page == onPage)) out.push_back(p);
    return out;
  }

 private:
  bool printForm_ = false;
};

// A job on paper of 0.1 pixel a logical unit (254 dots an inch) that keeps
// each page's calls.
class PaperJob : public PrintJob {
 public:
  PaperSetup paper;
  DeviceCaps caps{2100, 2970, 210, 297};
  RecordingCanvas canvas;
  std::vector<std::vector<std::string>> pages;
  int page = 0;  // the page being drawn, from 1
  int documents = 0, finished = 0;
  bool failDocument = false;
  int failPage = 0;  // BeginPage of this page fails
  std::string name;

  PaperSetup Paper() const override { return paper; }
  DeviceCaps Caps() const override { return caps; }
  bool BeginDocument(const std::string& n) override {
    name = n;
    if (failDocument) return false;
    ++documents;
    return true;
  }
  bool BeginPage() override {
    if (page + 1 == failPage) return false;
    ++page;
    canvas.Clear();
    return true;
  }
  void FinishPage() override { pages.push_back(canvas.Calls()); }
  bool FinishDocument() override {
    ++finished;
    return true;
  }
  Canvas& PageCanvas() override { return canvas; }
  bool PageHas(int p, const std::string& call) const {
    const auto& c = pages[static_cast<size_t>(p - 1)];
    return std::find(c.begin(), c.end(), call) != c.end();
  }
  std::vector<std::string> PageCalls(int p, const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : pages[static_cast<size_t>(p - 1)])
      if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    return out;
  }
};

class Records : public ViewRecords {
 public:
  std::vector<std::string> keys;
  std::vector<std::string> memoLines;  // by record; the memo field is 5
  int Requery(const std::string&, const std::string&) override { return 0; }
  int Count() const override { return static_cast<int>(keys.size()); }
  std::string_view Key(int i) const override { return keys[static_cast<size_t>(i)]; }
  std::string_view Value(int i, int field) const override {
    if (field == 5 && static_cast<size_t>(i) < memoLines.size()) return memoLines[static_cast<size_t>(i)];
    return {};
  }
  int FieldIndex(const std::string&) const override { return -1; }
};

class Calendar : public ViewCalendar {
 public:
  HolidayEntry anniversary;
  void LoadYear(int) override {}
  void ResetCursors() override {}
  void Find(CivilDate d, const HolidayEntry*& h, const HolidayEntry*& a) override {
    h = nullptr;
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
  PaperScreen screen;
  SheetPainter painter{view, screen};
  SheetPrinter printer{view, painter, screen, screen, prompter};
  PaperJob job;
  PrintHead head;
  ViewScreen s;

  Fixture() {
    s.rowHeight = 500;
    s.emptyRowHeight = 500;
    s.headerHeight = 300;
    s.keyAreaWidth[0] = s.keyAreaWidth[1] = 60;  // pixels: 1200 logical, 120 on paper
    s.keyColumnCount[0] = s.keyColumnCount[1] = 2;
    s.keyColumns[0][0] = s.keyColumns[1][0] = {30, 0};
    s.keyColumns[0][1] = s.keyColumns[1][1] = {30, 7};
    s.fieldAreaWidth = 200;
    head.division = "日記帳"_sj;
    head.label = "2024/05";
    head.today = {2024, 5, 15};
    screen.page = &job.page;
    screen.colours.option4 = true;  // empty rows draw their part too: every row is seen
    Apply();
  }
  void Apply() {
    view.SetScreen(s);
    view.SetViewHeight(10000);
    view.ReloadView();
    view.ShowMonth(2024, 5);
  }
  int Print(int first = -1) { return printer.PrintSheet(job, head, first); }
  // The rows drawn on a page, in order.
  std::vector<int> RowsOn(int page) const {
    std::vector<int> out;
    for (const auto& p : screen.Parts(1, page)) out.push_back(p.y);
    return out;
  }
};

}  // namespace

TEST(SheetPrinter, TheHeadLineSaysWhatTheSettingsAsk) {
  const struct {
    bool title, page, now;
    const char* right;  // "" none
  } kCases[] = {
      {true, true, true, "2024/05/15  PAGE.1"}, {true, true, false, "PAGE.1"},
      {true, false, true, "2024/05/15"},        {true, false, false, ""},
      {false, true, false, "PAGE.1"},
  };
  for (const auto& k : kCases) {
    Fixture f;
    f.head.title = k.title, f.head.page = k.page, f.head.now = k.now;
    ASSERT_EQ(1, f.Print()) << k.right;
    // the head band: from the left margin (100 px) across key area and
    // fields, (12 px of the screen = 240) + 300 logical units high
    const std::string band = "text 100,100,620,154 ";
    const auto texts = f.job.PageCalls(1, band);
    std::vector<std::string> expected;
    if (k.title)
      expected.push_back(band + std::to_string(kTextLeft | kTextSingleLine) + " " + "日記帳（2024/05）"_sj);
    if (*k.right) expected.push_back(band + std::to_string(kTextRight | kTextSingleLine) + " " + k.right);
    EXPECT_EQ(expected, texts) << k.right;
    // the header part goes under the head line, the first row under it
    EXPECT_EQ(1000 + 540, f.screen.Parts(2, 1).at(0).y);
    EXPECT_EQ(1000 + 540 + 300, f.RowsOn(1).at(0));
  }
  // without any of the three the header starts at the top margin
  Fixture f;
  f.head.title = f.head.page = f.head.now = false;
  ASSERT_EQ(1, f.Print());
  EXPECT_TRUE(f.job.PageCalls(1, "text 100,100,620,").empty());
  EXPECT_EQ(1000, f.screen.Parts(2, 1).at(0).y);
  EXPECT_EQ(1300, f.RowsOn(1).at(0));
  EXPECT_EQ("ひとこと帳印刷"_sj, f.job.name);
}

TEST(SheetPrinter, RowsFillPagesToTheBottomMarginAndEachPageStartsAfresh) {
  Fixture f;
  f.s.footerHeight = 2000;
  f.Apply();
  // A4 with 10 mm margins: rows end by 29700 - 1000 - 2000 = 26700; they
  // start at 1000 + 540 + 300 = 1840, so 49 rows of 500 fit a page
  ASSERT_EQ(1, f.Print());
  EXPECT_EQ(31u, f.RowsOn(1).size());
  Fixture g;
  g.s.footerHeight = 2000;
  g.s.rowHeight = g.s.emptyRowHeight = 1000;
  g.Apply();
  ASSERT_EQ(2, g.Print());
  EXPECT_EQ(24u, g.RowsOn(1).size());  // 1840 + 24 * 1000 = 25840; a 25th would end at 26840
  EXPECT_EQ(7u, g.RowsOn(2).size());
  // every page has the head line, header, footer at the bottom margin
  for (int p = 1; p <= 2; ++p) {
    EXPECT_EQ(1, static_cast<int>(g.screen.Parts(2, p).size()));
    ASSERT_EQ(1u, g.screen.Parts(3, p).size());
    EXPECT_EQ(26700, g.screen.Parts(3, p)[0].y);
    EXPECT_EQ(1840, g.RowsOn(p).at(0));
  }
  // the page number counts on
  EXPECT_EQ(1u, g.job.PageCalls(2, "text 100,100,620,154 34 2024/05/15  PAGE.2").size());
  // the footer's band is whitened from the left margin across the sheet
  EXPECT_TRUE(g.job.PageHas(2, "fill 100,2670,620,2870 FFFFFF"));
}

TEST(SheetPrinter, AShortPageStillHasItsFooterAtTheBottomMargin) {
  Fixture f;
  f.s.footerHeight = 1500;
  f.s.displayMode = 10;  // a list of three records
  f.records.keys = {"2024/05/01", "2024/05/02", "2024/05/03"};
  f.job.paper = {21000, 14800, 1000, 1000, 1000, 1000};  // A5 landscape-ish: short
  f.Apply();
  f.view.ShowListPage(0);
  ASSERT_EQ(1, f.Print());
  ASSERT_EQ(3u, f.RowsOn(1).size());
  ASSERT_EQ(1u, f.screen.Parts(3, 1).size());
  EXPECT_EQ(14800 - 1000 - 1500, f.screen.Parts(3, 1)[0].y);
  // the vertical lines stop at the last row: left margin, key columns, fields
  const int bottom = (1840 + 3 * 500) / 10;
  for (int x : {100, 160, 220, 620})
    EXPECT_TRUE(f.job.PageHas(
        1, "line " + std::to_string(x) + ",184," + std::to_string(x) + "," + std::to_string(bottom)))
        << x;
}

TEST(SheetPrinter, ARowTallerThanThePageIsPrintedAloneOnItsPage) {
  Fixture f;
  f.s.memoField = 5;
  f.s.memoControl = 0;
  f.s.memoTop = 100;
  f.s.memoLineHeight = 400;
  f.s.option5 = true;
  f.screen.colours.option5 = true;
  f.records.keys = {"2024/05/02", "2024/05/03", "2024/05/04"};
  f.records.memoLines = {"2", "200", "3"};  // 200 lines: 80190 units, far more than a page
  f.Apply();
  ASSERT_EQ(3, f.Print());
  // the print heights: lines x the line measured on paper + top + 90
  const auto& h = f.printer.PrintHeights();
  EXPECT_EQ(2 * 400 + 100 + 90, h[1]);
  EXPECT_EQ(200 * 400 + 100 + 90, h[2]);
  // page 1 ends before the tall row; it has page 2 to itself
  EXPECT_EQ(2u, f.RowsOn(1).size());
  ASSERT_EQ(1u, f.RowsOn(2).size());
  EXPECT_EQ(1840, f.RowsOn(2)[0]);
  EXPECT_EQ(28u, f.RowsOn(3).size());
  // the memo box grows on paper for the rows with more than one line
  EXPECT_EQ(3, f.screen.heightChanges);
}

TEST(SheetPrinter, OnePageFromTheTopRowPrintsOnlyWhatFits) {
  Fixture f;
  f.s.rowHeight = f.s.emptyRowHeight = 3000;
  f.Apply();
  // rows start at 1840 and end by 28700: 8 rows of 3000 fit
  ASSERT_EQ(1, f.Print(10));
  EXPECT_EQ(1u, f.job.pages.size());
  const auto rows = f.screen.Parts(1, 1);
  ASSERT_EQ(8u, rows.size());
  // the row after the last one printed would have ended past the margin
  EXPECT_EQ(1840 + 7 * 3000, rows.back().y);
  // the head names the first page whatever row it starts at
  EXPECT_EQ(1u, f.job.PageCalls(1, "text 100,100,620,154 34 2024/05/15  PAGE.1").size());
  // below the last row there is nothing to print
  Fixture g;
  EXPECT_EQ(0, g.Print(31));
  EXPECT_EQ(std::vector<std::string>{"印刷するデータがありません。"}, g.prompter.ShownUtf8());
  EXPECT_EQ(0, g.job.documents);
}

TEST(SheetPrinter, ShadingParityStartsFromEachPagesFirstRow) {
  Fixture f;
  f.screen.colours.option6 = true;
  f.screen.colours.shading = true;
  f.screen.colours.shadeColour = 0xEEEEEE;
  f.s.rowHeight = f.s.emptyRowHeight = 900;
  f.Apply();
  ASSERT_EQ(2, f.Print());
  ASSERT_EQ(29u, f.RowsOn(1).size());  // 1840 + 29 * 900 <= 28700
  // page 2 starts at row 29, odd: its first row is shaded (fields only)
  EXPECT_TRUE(f.job.PageHas(2, "fill 220,185,620,275 EEEEEE"));
  EXPECT_FALSE(f.job.PageHas(1, "fill 220,185,620,275 EEEEEE"));
  EXPECT_TRUE(f.job.PageHas(1, "fill 220,275,620,365 EEEEEE"));
}

TEST(SheetPrinter, TheKeyAreaOnPaperIsBlackAndWhite) {
  Fixture f;
  ASSERT_EQ(1, f.Print());
  const auto& calls = f.job.pages[0];
  // the anniversary on the 10th is underlined in black, not dotted
  bool mark = false;
  for (size_t i = 0; i + 1 < calls.size(); ++i)
    if (calls[i].find("＿"_sj) != std::string::npos) {
      mark = true;
      EXPECT_EQ("colour 000000", calls[i - 1]);
    }
  EXPECT_TRUE(mark);
  for (const auto& c : calls) EXPECT_EQ(std::string::npos, c.find("●"_sj));
  // today (the 15th) gets no frame, and every line is black
  EXPECT_TRUE(f.job.PageCalls(1, "frame ").empty());
  for (const auto& c : f.job.PageCalls(1, "pen ")) EXPECT_EQ("pen 0 1 000000", c);
  // the key font is the screen's 12 pixels at the printer's resolution:
  // 12 / 0.05 = 240 logical units, 24 printer pixels of character height
  EXPECT_FALSE(f.job.PageCalls(1, "font -24 0 ").empty());
  for (const auto& c : f.job.PageCalls(1, "font ")) EXPECT_EQ(0u, c.find("font -24 0"));
  // the key columns are converted from the screen: 30 px -> 600 -> 60 px
  EXPECT_TRUE(f.job.PageHas(1, "line 100,184,220,184"));  // under the key area's header
}

TEST(SheetPrinter, AJobLeavesTheScreenAsItFoundIt) {
  Fixture f;
  ASSERT_EQ(1, f.Print());
  EXPECT_EQ(0.05, f.screen.sx);
  EXPECT_EQ(0.05, f.screen.sy);
  EXPECT_FALSE(f.painter.Printing());
  // the pens were made in print form on every page, in screen form after
  ASSERT_FALSE(f.screen.printForms.empty());
  EXPECT_TRUE(std::all_of(f.screen.printForms.begin(), f.screen.printForms.end(), [](bool b) { return b; }));
  f.painter.RenderSheet(f.job.canvas, 260, 800);
  EXPECT_FALSE(f.screen.printForms.back());
  // a failing start of the document or of a page ends the job as a failure
  Fixture g;
  g.job.failDocument = true;
  EXPECT_EQ(-1, g.Print());
  EXPECT_EQ(0.05, g.screen.sx);
  Fixture h;
  h.job.failPage = 1;
  EXPECT_EQ(-1, h.Print());
  EXPECT_EQ(1, h.job.finished);  // the document is still closed
  EXPECT_FALSE(h.painter.Printing());
}

TEST(SheetPrinter, PaperThatCannotTakeTheSheet) {
  const struct {
    const char* what;
    PaperSetup paper;
    DeviceCaps caps;
    int keyWidth;
    int pages;  // 0: refused with a message
    PaperSetup used;
  } kCases[] = {
      {"margins wider than the paper",
       {21000, 29700, 11000, 1000, 11000, 1000},
       {2100, 2970, 210, 297},
       60,
       0,
       {}},
      {"margins taller than the paper",
       {21000, 29700, 1000, 15000, 1000, 15000},
       {2100, 2970, 210, 297},
       60,
       0,
       {}},
      {"a paper of no size is A4",
       {0, 0, 1000, 1000, 1000, 1000},
       {2100, 2970, 210, 297},
       60,
       1,
       {21000, 29700, 1000, 1000, 1000, 1000}},
      {"negative margins count as none",
       {21000, 29700, -5, -5, -5, -5},
       {2100, 2970, 210, 297},
       60,
       1,
       {21000, 29700, 0, 0, 0, 0}},
      // 1000 px of the screen = 20000 logical = 2000 printer px > 1900
      {"a key area wider than the paper",
       {21000, 29700, 1000, 1000, 1000, 1000},
       {2100, 2970, 210, 297},
       1000,
       0,
       {}},
      {"a device without pixels", {21000, 29700, 1000, 1000, 1000, 1000}, {0, 0, 210, 297}, 60, 0, {}},
  };
  for (const auto& k : kCases) {
    Fixture f;
    f.job.paper = k.paper;
    f.job.caps = k.caps;
    f.s.keyAreaWidth[0] = k.keyWidth;
    f.Apply();
    EXPECT_EQ(k.pages, f.Print()) << k.what;
    if (k.pages == 0) {
      EXPECT_EQ(1u, f.prompter.Shown().size()) << k.what;
      EXPECT_EQ(0, f.job.documents) << k.what;  // no empty document is made
    } else {
      EXPECT_TRUE(f.prompter.Shown().empty()) << k.what;
      if (k.used.width) {
        EXPECT_EQ(k.used, f.printer.UsedPaper()) << k.what;
      }
    }
  }
  // a millimetre size of 0 divides by 1: a huge scale, but the job ends
  Fixture f;
  f.job.caps = {2100, 2970, 0, 0};
  f.s.keyAreaWidth[0] = 1;
  f.s.keyColumns[0][0] = f.s.keyColumns[0][1] = {0, 0};
  f.Apply();
  EXPECT_EQ(1, f.Print());
}

TEST(SheetPrinter, TenThousandRowsAndPagesThatHoldNoRowAlwaysEnd) {
  Fixture f;
  f.s.displayMode = 10;
  f.s.rowsPerListPage = 10000;
  for (int i = 0; i < 10000; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "%04d/01/01", 1000 + i % 9000);
    f.records.keys.push_back(key);
  }
  std::sort(f.records.keys.begin(), f.records.keys.end());
  f.Apply();
  f.view.ShowListPage(0);
  ASSERT_EQ(10000, f.view.RowCount());
  // (28700 - 1840) / 500 = 53 rows a page
  EXPECT_EQ((10000 + 52) / 53, f.Print());
  // a page whose rows area is smaller than a row still takes one row each
  Fixture g;
  g.job.paper = {21000, 3500, 1000, 1000, 1000, 1000};  // rows from 1840 to 2500
  g.s.rowHeight = g.s.emptyRowHeight = 1000;
  g.Apply();
  EXPECT_EQ(31, g.Print());
  for (int p = 1; p <= 31; ++p) EXPECT_EQ(1u, g.RowsOn(p).size()) << p;
}

TEST(SheetPrinter, TheSheetsZoomLeavesThePaperAsItIs) {
  Fixture plain;
  ASSERT_EQ(1, plain.Print());
  Fixture zoomed;  // the same sheet at 200 %: scales and pixel sizes doubled
  zoomed.screen.sx = zoomed.screen.sy = 0.1;
  zoomed.s.keyAreaWidth[0] = zoomed.s.keyAreaWidth[1] = 120;
  zoomed.s.keyColumns[0][0] = zoomed.s.keyColumns[1][0] = {60, 0};
  zoomed.s.keyColumns[0][1] = zoomed.s.keyColumns[1][1] = {60, 7};
  zoomed.s.fieldAreaWidth = 400;
  zoomed.s.keyFontPixels = 24;
  zoomed.Apply();
  ASSERT_EQ(1, zoomed.Print());
  EXPECT_EQ(plain.job.pages, zoomed.job.pages);
  EXPECT_EQ(0.1, zoomed.screen.sx) << "the screen gets its zoom back";
}
