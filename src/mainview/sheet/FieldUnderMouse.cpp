#include "mainview/sheet/FieldUnderMouse.h"

#include <algorithm>

#include "mainview/sheet/CMyView.h"
#include "platform/Collate.h"
#include "screens/CMyScr.h"

int ScrFieldHitTest::PixelsY(int logical) const { return scr_.ToDevice(1, logical); }

std::string ScrFieldHitTest::FieldAt(int x, int y) const {
  const int i = scr_.ItemAt(x, y, 1);
  return i < 0 ? std::string() : scr_.GetItem(i).head.field;
}

FieldHit FieldUnderMouse(const SheetRows& sheet, int cursorRow, int x, int y, int scrollX,
                         const FieldHitTest& screen, const std::vector<jsc::Control>& fields) {
  const auto& rows = sheet.Rows();
  if (cursorRow < sheet.TopRow() || cursorRow > sheet.LastVisibleRow() ||
      cursorRow >= static_cast<int>(rows.size()))
    return {};
  const ViewScreen& vs = sheet.Screen();
  long top = vs.headerHeight;
  for (int r = sheet.TopRow(); r < cursorRow; ++r) top += rows[static_cast<size_t>(r)].height;
  const int rowY = std::min(y - screen.PixelsY(static_cast<int>(top)), screen.PixelsY(vs.rowHeight));
  const int keyArea = vs.keyAreaWidth[sheet.DisplayMode() == CMyView::kListMode ? 1 : 0];
  const int rowX = x + scrollX - keyArea;
  if (rowX < 0 || rowY < 0) return {};
  const std::string field = screen.FieldAt(rowX, rowY);
  if (field.empty()) return {};
  for (const jsc::Control& c : fields) {
    if (!c.IsField() || !collate::EqualNoCase(c.field, field)) continue;
    return {c.field, c.alias.empty() ? c.field : c.alias};
  }
  return {};
}
