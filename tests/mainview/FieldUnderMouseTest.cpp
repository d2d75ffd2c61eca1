#include <gtest/gtest.h>

#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/FieldUnderMouse.h"
#include "platform/Cp932.h"

namespace {

// Three rows of 100 logical units (1 pixel = 10 units) under a header of
// 50; the key area is 40 pixels wide.
struct Sheet : SheetRows {
  ViewScreen screen;
  std::vector<SheetRow> rows;
  std::vector<SumEntry> sums;
  int top = 0, last = 2;
  Sheet() {
    screen.headerHeight = 50;
    screen.rowHeight = 100;
    screen.keyAreaWidth[0] = 40;
    rows.resize(3);
    for (auto& r : rows) r.height = 100;
    rows[1].height = 400;  // a memo row grown tall
  }
  const ViewScreen& Screen() const override { return screen; }
  int DisplayMode() const override { return 0; }
  const std::vector<SheetRow>& Rows() const override { return rows; }
  int TopRow() const override { return top; }
  int LastVisibleRow() const override { return last; }
  const std::vector<SumEntry>& Sums() const override { return sums; }
};

// A row with MARK at x 0..19 and MEM001 at x 20..99, both 0..10 high, and a
// caption with no field at x 100..120.
struct Items : FieldHitTest {
  mutable std::vector<std::pair<int, int>> asked;
  int PixelsY(int logical) const override { return logical / 10; }
  std::string FieldAt(int x, int y) const override {
    asked.push_back({x, y});
    if (y < 0 || y > 10) return {};
    if (x >= 0 && x < 20) return "mark";
    if (x >= 20 && x < 100) return "MEM001";
    return {};
  }
};

jsc::Control Field(const char* name, const char* caption) {
  jsc::Control c;
  c.kind = jsc::kText;
  c.field = name;
  c.alias = cp932::FromUtf8(caption);
  return c;
}

}  // namespace

TEST(FieldUnderMouse, FindsTheFieldOfTheCursorRowAndItsCaption) {
  Sheet sheet;
  Items items;
  const std::vector<jsc::Control> form = {Field("MARK", "気分"), Field("MEM001", "")};
  struct Case {
    int cursor, x, y, scrollX;
    const char* field;
    const char* caption;
  } cases[] = {
      {0, 45, 7, 0, "MARK", "気分"},            // field names match without case; the caption shown
      {0, 70, 7, 0, "MEM001", "MEM001"},        // no caption: the field name
      {0, 30, 7, 0, "", ""},                    // in the key area
      {0, 45, 7, 30, "MEM001", "MEM001"},       // scrolled: the same point is further right on the row
      {0, 150, 7, 0, "", ""},                   // a caption item or nothing
      {1, 70, 15 + 35, 0, "MEM001", "MEM001"},  // far down a tall row counts as its first line
      {1, 70, 10, 0, "", ""},                   // above the cursor row
      {2, 45, 5 + 45 + 5, 0, "MARK", "気分"},
  };
  for (const Case& c : cases) {
    const FieldHit hit = FieldUnderMouse(sheet, c.cursor, c.x, c.y, c.scrollX, items, form);
    EXPECT_EQ(c.field, hit.field) << c.cursor << " " << c.x << "," << c.y;
    EXPECT_EQ(cp932::FromUtf8(c.caption), hit.caption) << c.cursor << " " << c.x << "," << c.y;
  }
  // a row out of view, or a field the form does not have, finds nothing
  sheet.top = 1;
  EXPECT_FALSE(FieldUnderMouse(sheet, 0, 45, 7, 0, items, form).Found());
  sheet.top = 0;
  EXPECT_FALSE(FieldUnderMouse(sheet, 0, 45, 7, 0, items, {Field("MEM001", "")}).Found());
  EXPECT_FALSE(FieldUnderMouse(sheet, 5, 45, 7, 0, items, form).Found());
}
