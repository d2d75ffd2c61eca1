// Which field of the display screen lies under the mouse in the sheet's
// cursor row, for the popup menu's commands on "the field under the mouse"
// (search for its text, copy it, run it). Qt-free: the window passes the
// mouse position on the paint box and the screen's hit test.
#pragma once
#include <string>
#include <vector>

#include "screens/InputDef.h"

class CMyScr;
class SheetRows;

// The field found, or both empty.
struct FieldHit {
  std::string field;    // the table's field name ("MEM001"); empty = none
  std::string caption;  // its display name in the input form, the field name when it has none
  bool Found() const { return !field.empty(); }
};

// What the lookup asks of the display screen.
class FieldHitTest {
 public:
  virtual ~FieldHitTest() = default;
  virtual int PixelsY(int logical) const = 0;
  // The field name of the visible row item whose box holds the point (x, y),
  // in pixels from the row's top left; "" when none or the item shows no field.
  virtual std::string FieldAt(int x, int y) const = 0;
};

// The hit test of the display screen model.
class ScrFieldHitTest : public FieldHitTest {
 public:
  explicit ScrFieldHitTest(const CMyScr& scr) : scr_(scr) {}
  int PixelsY(int logical) const override;
  std::string FieldAt(int x, int y) const override;

 private:
  const CMyScr& scr_;
};

// The field under the point (x, y) of the paint box (pixels) in row
// `cursorRow` of `sheet`, with the sheet scrolled `scrollX` pixels to the
// right. Only the cursor row counts: the point's height within it is taken
// as at most the screen's default row height, so a tall memo row still
// finds its memo. The item's field must be one of the input form's
// `fields`. None when the cursor row is not in view, the point lies left
// of the field area, or no field is there.
FieldHit FieldUnderMouse(const SheetRows& sheet, int cursorRow, int x, int y, int scrollX,
                         const FieldHitTest& screen, const std::vector<jsc::Control>& fields);
