// The sheet in words, as a screen reader gets it: key cells, the columns a
// display screen gives and the cells of a row.
#include <gtest/gtest.h>

#include <cstring>

#include "calendar/CMyHoliday.h"
#include "mainview/sheet/SheetText.h"
#include "platform/Cp932.h"
#include "screens/ScreenFixtures.h"

namespace {

HolidayEntry Named(const char* utf8, int startYear = 1000) {
  HolidayEntry e;
  std::strcpy(e.name, cp932::FromUtf8(utf8).c_str());
  e.startYear = static_cast<uint16_t>(startYear);
  return e;
}

SheetRow Row(const char* key, int weekday = 0, int record = -1) {
  SheetRow r;
  std::strcpy(r.key, key);
  r.weekday = weekday;
  r.record = record;
  return r;
}

class FakeSheet : public SheetRows {
 public:
  ViewScreen screen;
  std::vector<SheetRow> rows;
  std::vector<SumEntry> sums;
  int mode = CMyView::kSheetMode;
  const ViewScreen& Screen() const override { return screen; }
  int DisplayMode() const override { return mode; }
  const std::vector<SheetRow>& Rows() const override { return rows; }
  int TopRow() const override { return 0; }
  int LastVisibleRow() const override { return static_cast<int>(rows.size()) - 1; }
  const std::vector<SumEntry>& Sums() const override { return sums; }
};

}  // namespace

TEST(SheetText, KeyCellsSayTheDayAsAPersonReadsIt) {
  const HolidayEntry bunka = Named("文化の日"), wedding = Named("結婚記念日", 2019);
  SheetRow holiday = Row("2024/11/03", 1);
  holiday.holiday = &bunka;
  SheetRow marked = Row("2024/11/05", 3);
  marked.hasAnniversary = true;
  marked.anniversary = &wedding;
  marked.today = 1;
  SheetRow second = Row("2024/11/06", 4);
  second.lineNo = 2, second.linesOfKey = 3;
  const struct Case {
    SheetRow row;
    int kind, mode;
    const char* want;
  } cases[] = {
      {holiday, CMyView::kDateKind, CMyView::kSheetMode, "3日 日曜日 祝日 文化の日"},
      {holiday, CMyView::kDateKind, CMyView::kListMode, "2024年11月3日 日曜日 祝日 文化の日"},
      {marked, CMyView::kDateKind, CMyView::kSheetMode, "5日 火曜日 記念日 結婚記念日（5年目） 今日"},
      {second, CMyView::kDateKind, CMyView::kSheetMode, "6日 水曜日 3件中2件目"},
      {Row("00012/00003"), CMyView::kPageKind, CMyView::kSheetMode, "12ページ 3行"},
      {Row("2024"), CMyView::kDateKind, CMyView::kListMode, "2024"},  // a group view's key
      {Row("2024/1x/03"), CMyView::kDateKind, CMyView::kSheetMode, "2024/1x/03"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(cp932::ToUtf8(SheetKeyText(c.row, c.kind, c.mode)), c.want) << c.row.key;
}

TEST(SheetText, ColumnsFollowReadingOrderWithTheCaptionAboveThem) {
  ScreenDoc d;
  auto header = [](const char* text, int x, int y, int w) {
    auto it = MakeItem(1, "", x, y, w, 100, cp932::FromUtf8(text));
    it.head.SetBandBits(2);
    return it;
  };
  auto hidden = MakeItem(0, "DAT009", 0, 0, 100, 100);
  hidden.head.visible = 0;
  d.items = {header("日記", 0, 0, 900),
             header("天気", 900, 0, 400),
             header("天気の欄", 900, 100, 400),
             MakeItem(0, "DAT001", 1000, 10, 300, 500),  // beside the memo, a little lower
             MakeItem(0, "MEM001", 0, 0, 900, 500),
             MakeItem(201, "IMG001", 1400, 600, 400, 400),
             MakeItem(1, "", 500, 600, 100, 100, "x"),
             hidden};
  CMyScr scr;
  ASSERT_EQ(0, scr.LoadScreenBytes(ScreenFileBytes(d)));
  auto alias = [](const std::string& field) { return field == "IMG001" ? "写真"_sj : std::string(); };
  const auto cols = SheetColumnsOf(scr, CMyView::kDateKind, alias);
  std::vector<std::string> got;
  for (const SheetTextColumn& c : cols) got.push_back(cp932::ToUtf8(c.caption) + "=" + c.field);
  // the lowest of two captions over a field names it; without one the form's name
  EXPECT_EQ((std::vector<std::string>{"日付=", "日記=MEM001", "天気の欄=DAT001", "写真=IMG001"}), got);
  EXPECT_TRUE(cols[3].picture);
  EXPECT_EQ("ページ・行"_sj, SheetColumnsOf(scr, CMyView::kPageKind, {})[0].caption);
}

TEST(SheetText, RowCellsReadTheRecordsValues) {
  ScreenDoc d;
  d.items = {MakeItem(0, "MEM001", 0, 0, 900, 500), MakeItem(201, "IMG001", 1000, 0, 400, 400)};
  CMyScr scr;
  ASSERT_EQ(0, scr.LoadScreenBytes(ScreenFileBytes(d)));
  FakeSheet rows;
  rows.rows = {Row("2024/11/02", 7), Row("2024/11/03", 1, 0)};
  MapRows values;
  // "表" ends in the byte of "\": the file name is not cut inside it
  values.values = {{"MEM001", "一行目\r\n二行目"_sj}, {"IMG001", "/home/u/写真/表.jpg"_sj}};
  int cursor = 7, positioned = -1;
  SheetText text({[&] { return &rows; },
                  [&] { return &scr; },
                  [&](int record) -> const RowSource* {
                    positioned = record;
                    return &values;
                  },
                  [&] { return cursor; },
                  {},
                  {}});
  ASSERT_EQ(3, text.ColumnCount());
  EXPECT_EQ("IMG001", text.Header(2));
  EXPECT_EQ((std::vector<std::string>{"2日 土曜日"_sj, "", ""}), text.RowCells(0));
  EXPECT_EQ(-1, positioned);  // an empty row asks for no values
  EXPECT_EQ((std::vector<std::string>{"3日 日曜日"_sj, "一行目\n二行目"_sj, "写真: 表.jpg"_sj}),
            text.RowCells(1));
  EXPECT_EQ(0, positioned);
  EXPECT_EQ(1, text.CursorRow());  // a cursor past the end is on the last row
  EXPECT_TRUE(text.RowCells(2).empty());
  rows.rows.clear();
  EXPECT_EQ(-1, text.CursorRow());
}
