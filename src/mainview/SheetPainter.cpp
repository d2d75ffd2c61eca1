#include "mainview/SheetPainter.h"

#include "platform/Cp932.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGrid = 0xC0C0C0;
constexpr uint32_t kAnniversaryMark = 0xFFBBBB;
constexpr uint32_t kTodayFrame = 0x808080;
constexpr uint32_t kNoteBack = 0xE8F4FF;  // a pale amber band: something to know, not an error
constexpr uint32_t kNoteText = 0x004080;
}  // namespace

int SheetPainter::SetFooterNote(const std::string& sj) {
  note_ = sj;
  return sj.empty() ? 0 : screen_.LogicalY(kNotePixels);
}

LogFont SheetPainter::KeyFont(bool today, bool marked) {
  LogFont f;
  // 12 pixels of character height: as a cell height the canvas takes it for
  // a 10-pixel em, and the day numbers came out 7 pixels tall (08 and 06
  // could not be told apart)
  f.height = -12;
  f.charSet = 128;
  f.pitchAndFamily = 49;
  // today and anniversaries use a font without a face name: bold italic for
  // today, upright for an anniversary
  if (today || marked) {
    f.weight = today ? 700 : 400;
    f.italic = today ? 1 : 0;
  } else {
    f.faceName = cp932::FromUtf8("ＭＳ ゴシック(True Type)");
  }
  return f;
}

int SheetPainter::KeyAreaWidth() const {
  const ViewScreen& s = view_.Screen();
  return s.keyAreaWidth[view_.DisplayMode() == CMyView::kListMode ? 1 : 0];
}

int SheetPainter::RenderSheet(Canvas& c, int width, int height) {
  const ViewScreen& vs = view_.Screen();
  const SheetColours col = screen_.Colours();
  const int x = KeyAreaWidth();
  const int w = vs.fieldAreaWidth;
  const int xl = screen_.LogicalX(x);
  c.SetTextColour(col.defaultText);
  c.FillRect({0, 0, std::max(width, x + w), height}, kWhite);
  screen_.SetTextOverride(false, 0);
  CanvasPen grid{0, 1, kGrid};
  screen_.BeginDraw(c);
  screen_.DrawPart(c, 2, xl, -1, -1);
  c.SetPen(grid);
  c.Line(0, screen_.PixelsY(vs.headerHeight), x, screen_.PixelsY(vs.headerHeight));

  const auto& rows = view_.Rows();
  const int top = view_.TopRow();
  int p = 0;
  if (col.option6) p = top % 2;
  if (col.option7) {
    for (int r = 0; r < top && r < static_cast<int>(rows.size()); ++r)
      if (rows[static_cast<size_t>(r)].lineNo == rows[static_cast<size_t>(r)].linesOfKey) ++p;
    p %= 2;
  }
  c.SetFont(KeyFont());
  const int available = screen_.LogicalY(height) - vs.footerHeight - view_.NoteHeight();
  int last = top - 1;
  int y = vs.headerHeight;
  int groupTop = y, groupHeight = 0;
  for (int r = top; r < static_cast<int>(rows.size()); ++r) {
    const SheetRow& row = rows[static_cast<size_t>(r)];
    ++last;
    screen_.SetTextOverride(false, 0);
    // the band starts one pixel below the row's top so the grid line above
    // stays visible; the grid line below is drawn over its last pixel
    const CanvasRect band{x, screen_.PixelsY(y) + 1, x + w,
                          screen_.PixelsY(y) + 1 + screen_.PixelsY(row.height)};
    if (row.record < 0) {
      if (p == 1 && col.shading) c.FillRect(band, col.shadeColour);
      if (col.option4) screen_.DrawPart(c, 1, xl, y, -1);
    } else {
      int restore = -1, oldHeight = 0;
      if (vs.memoField >= 0 && col.option5 && row.memoLines > 0) {
        int h = row.memoLines * vs.memoLineHeight + 90;
        if (h > screen_.ControlHeight(vs.memoControl)) {
          restore = vs.memoControl;
          oldHeight = screen_.ControlHeight(restore);
          screen_.SetControlHeight(restore, h);
        }
      }
      if (row.hasTextColor) {
        screen_.SetTextOverride(true, static_cast<uint32_t>(row.textColor));
      } else if (p == 1) {
        screen_.SetTextOverride(true, col.shadeText);
      }
      if (row.hasBackColor) {
        c.FillRect(band, static_cast<uint32_t>(row.backColor));
      } else if (p == 1 && col.shading) {
        c.FillRect(band, col.shadeColour);
      }
      screen_.DrawPart(c, 1, xl, y, row.record);
      if (restore >= 0) screen_.SetControlHeight(restore, oldHeight);
    }
    groupHeight += row.height;
    if (row.lineNo == row.linesOfKey) {
      DrawKeyArea(c, groupTop, col.option7 ? p : 0, r, groupHeight, col);
      c.SetPen(grid);
      c.Line(0, screen_.PixelsY(groupTop + groupHeight), x, screen_.PixelsY(groupTop + groupHeight));
      groupTop = y + row.height;
      groupHeight = 0;
      if (col.option7) p = 1 - p;
    }
    y += row.height;
    if (y >= available) break;
    c.SetPen(grid);
    c.Line(x, screen_.PixelsY(y), x + w, screen_.PixelsY(y));
    if (col.option6) p = 1 - p;
  }
  if (last < top) last = top;
  c.SetPen(grid);
  int colX = 0;
  const int mode = view_.DisplayMode() == CMyView::kListMode ? 1 : 0;
  for (int k = 0; k < vs.keyColumnCount[mode] && k < 4; ++k) {
    colX += vs.keyColumns[mode][k].width;
    c.Line(colX, screen_.PixelsY(vs.headerHeight), colX, screen_.PixelsY(y));
  }
  c.Line(x + w, screen_.PixelsY(vs.headerHeight), x + w, screen_.PixelsY(y));
  if (vs.footerHeight != 0) {
    c.FillRect({0, screen_.PixelsY(available), std::max(width, x + w),
                screen_.PixelsY(available) + screen_.PixelsY(vs.footerHeight)},
               kWhite);
    screen_.DrawPart(c, 3, xl, available, -1);
  }
  screen_.EndDraw(c);
  if (!note_.empty()) {
    const int top = screen_.PixelsY(available + vs.footerHeight);
    const CanvasRect band{0, top, std::max(width, x + w), height};
    c.FillRect(band, kNoteBack);
    c.SetPen(grid);
    c.Line(band.left, top, band.right, top);
    c.SetFont(KeyFont());
    c.SetTextColour(kNoteText);
    c.DrawTextRect(note_, {band.left + 4, top, band.right, band.bottom}, kTextVCenter | kTextSingleLine);
    c.SetTextColour(col.defaultText);
  }
  return last;
}

void SheetPainter::DrawKeyArea(Canvas& c, int groupTop, int parity, int r, int groupHeight,
                               const SheetColours& col) {
  const SheetRow& row = view_.Rows()[static_cast<size_t>(r)];
  int cls = 0;
  if (row.holiday)
    cls = 3;
  else if (row.weekday == 1)
    cls = 1;
  else if (row.weekday == 7)
    cls = 2;
  bool brush = false;
  uint32_t brushColour = 0;
  uint32_t text = 0;
  if (cls) {
    text = col.day[cls].text;
    if (col.day[cls].backUsed) {
      brush = true;
      brushColour = col.day[cls].back;
    }
  }
  if (!brush && parity == 1 && col.shading) {
    brush = true;
    brushColour = col.shadeColour;
  }
  const int x = KeyAreaWidth();
  const int top = screen_.PixelsY(groupTop);
  const int bottom = screen_.PixelsY(groupTop + groupHeight);
  if (brush) c.FillRect({0, top + 1, x, top + 1 + screen_.PixelsY(groupHeight)}, brushColour);
  c.SetTextColour(text);
  // the screen's items leave their own fonts behind: the key font is chosen
  // for every cell
  c.SetFont(KeyFont(row.today != 0, row.hasAnniversary));
  const ViewScreen& vs = view_.Screen();
  const int mode = view_.DisplayMode() == CMyView::kListMode ? 1 : 0;
  int left = 0, right = 0;
  for (int k = 0; k < vs.keyColumnCount[mode] && k < 4; ++k) {
    right += vs.keyColumns[mode][k].width;
    CanvasRect cell{left, top, right, bottom};
    if (k == 0 && row.hasAnniversary) {
      c.SetTextColour(kAnniversaryMark);
      c.DrawTextRect(cp932::FromUtf8("●"), cell, kTextCenter | kTextVCenter | kTextSingleLine);
      c.SetTextColour(text);
    }
    c.DrawTextRect(row.keyText[k], cell, kTextCenter | kTextVCenter | kTextSingleLine);
    left = right;
  }
  if (row.today) {
    c.SetPen({0, 1, kTodayFrame});
    c.FrameRect({1, top + 1, right - 1, bottom - 1});
  }
  if (cls) c.SetTextColour(col.defaultText);
}

void SheetPainter::DrawCursor(Canvas& c, int row, int scrollX) {
  const auto& rows = view_.Rows();
  if (row < view_.TopRow() || row > view_.LastVisibleRow() || row >= static_cast<int>(rows.size())) return;
  int y = view_.Screen().headerHeight;
  for (int r = view_.TopRow(); r < row; ++r) y += rows[static_cast<size_t>(r)].height;
  const int py = screen_.PixelsY(y);
  const int h = screen_.PixelsY(rows[static_cast<size_t>(row)].height);
  const int left = KeyAreaWidth() - scrollX;
  const int right = KeyAreaWidth() + view_.Screen().fieldAreaWidth - scrollX;
  c.SetPen({0, 1, 0x000000});
  c.FrameRect({left, py - 2, right - 1, py + h + 2});
  c.SetPen({0, 1, 0xFFFFFF});
  c.FrameRect({left + 1, py - 1, right - 2, py + h + 1});
  c.SetPen({0, 1, 0x000000});
  c.FrameRect({left + 2, py, right - 3, py + h});
}

int SheetPainter::RowAt(int y) const {
  const auto& rows = view_.Rows();
  if (rows.empty()) return -1;
  const int yl = screen_.LogicalY(y) - view_.Screen().headerHeight;
  int sum = 0;
  for (int r = view_.TopRow(); r <= view_.LastVisibleRow() && r < static_cast<int>(rows.size()); ++r) {
    sum += rows[static_cast<size_t>(r)].height;
    if (sum > yl) return r;
  }
  return -1;
}
