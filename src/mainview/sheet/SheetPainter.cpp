#include "mainview/sheet/SheetPainter.h"

#include <algorithm>
#include <vector>

#include "platform/Cp932.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kAnniversaryMark = 0xFFBBBB;
constexpr uint32_t kTodayFrame = 0x808080;
constexpr uint32_t kNoteBack = 0xE8F4FF;  // a pale amber band: something to know, not an error
constexpr uint32_t kNoteText = 0x004080;
}  // namespace

int SheetPainter::SetFooterNote(const std::string& sj) {
  note_ = sj;
  return sj.empty() ? 0 : screen_.LogicalY(kNotePixels);
}

LogFont SheetPainter::KeyFont(bool today, bool marked, int height) {
  LogFont f;
  f.height = height;
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

SheetPass SheetPainter::ScreenPass(int width, int height) const {
  const ViewScreen& vs = view_.Screen();
  const int mode = view_.DisplayMode() == CMyView::kListMode ? 1 : 0;
  SheetPass pass;
  pass.first = view_.TopRow();
  pass.keyWidth = KeyAreaWidth();
  pass.keyColumnCount = std::min(vs.keyColumnCount[mode], 4);
  for (int k = 0; k < pass.keyColumnCount; ++k) pass.keyColumns[k] = vs.keyColumns[mode][k].width;
  pass.fieldWidth = vs.fieldAreaWidth;
  pass.keyFontHeight = -vs.keyFontPixels;
  // a note under the footer (the group view's) takes its band from the rows
  pass.rowsEnd = pass.footerTop = screen_.LogicalY(height) - vs.footerHeight - view_.NoteHeight();
  pass.width = width;
  pass.height = height;
  pass.memoLineHeight = vs.memoLineHeight;
  return pass;
}

int SheetPainter::RenderSheet(Canvas& c, int width, int height) {
  SheetPass pass = ScreenPass(width, height);
  // the field area's right frame line stays inside the box
  const int fitted =
      screen_.FitFieldArea(fitColumns_ > 0 ? std::max(width - 1 - pass.keyWidth, 1) : fitColumns_);
  if (fitted > pass.fieldWidth) pass.fieldWidth = fitted;
  shownFieldWidth_ = pass.fieldWidth;
  const int last = Paint(c, pass);
  return last < view_.TopRow() ? view_.TopRow() : last;
}

int SheetPainter::Paint(Canvas& c, const SheetPass& pass) {
  const ViewScreen& vs = view_.Screen();
  const SheetColours col = screen_.Colours();
  const int left = pass.left;
  const int x = left + pass.keyWidth;
  const int w = pass.fieldWidth;
  const int xl = screen_.LogicalX(x);
  c.SetTextColour(col.defaultText);
  if (!pass.paper) c.FillRect({0, 0, std::max(pass.width, x + w), pass.height}, kWhite);
  screen_.SetTextOverride(false, 0);
  CanvasPen grid{0, 1, pass.grid};
  screen_.BeginDraw(c);
  // on the screen the header sits one unit higher, its top frame at the
  // paint box's edge
  screen_.DrawPart(c, 2, xl, pass.paper ? pass.top : pass.top - 1, -1);
  const int headerBottom = pass.top + vs.headerHeight;
  c.SetPen(grid);
  c.Line(left, screen_.PixelsY(headerBottom), x, screen_.PixelsY(headerBottom));

  const auto& rows = view_.Rows();
  const int first = pass.first;
  auto heightOf = [&](int r) {
    if (pass.heights && r < static_cast<int>(pass.heights->size()))
      return (*pass.heights)[static_cast<size_t>(r)];
    return rows[static_cast<size_t>(r)].height;
  };
  int p = 0;
  if (col.option6) p = first % 2;
  if (col.option7) {
    for (int r = 0; r < first && r < static_cast<int>(rows.size()); ++r)
      if (rows[static_cast<size_t>(r)].lineNo == rows[static_cast<size_t>(r)].linesOfKey) ++p;
    p %= 2;
  }
  c.SetFont(KeyFont(false, false, pass.keyFontHeight));
  // On paper the grid goes over everything at the end: a viewer showing the
  // page small would let the next row's fill cover a hairline drawn before it.
  std::vector<CanvasRect> lines;
  auto gridLine = [&](int x1, int y1, int x2, int y2) {
    if (pass.paper) {
      lines.push_back({x1, y1, x2, y2});
    } else {
      c.SetPen(grid);
      c.Line(x1, y1, x2, y2);
    }
  };
  int last = first - 1;
  int y = headerBottom;
  int groupTop = y, groupHeight = 0;
  for (int r = first; r < static_cast<int>(rows.size()); ++r) {
    const SheetRow& row = rows[static_cast<size_t>(r)];
    const int rowHeight = heightOf(r);
    // on paper a page takes its first row whatever its height, and no row
    // after it that would cross the bottom
    if (pass.paper && r > first && int64_t{y} + rowHeight > pass.rowsEnd) break;
    ++last;
    screen_.SetTextOverride(false, 0);
    // the band starts one pixel below the row's top so the grid line above
    // stays visible; the grid line below is drawn over its last pixel
    const CanvasRect band{x, screen_.PixelsY(y) + 1, x + w,
                          screen_.PixelsY(y) + 1 + screen_.PixelsY(rowHeight)};
    if (row.record < 0) {
      if (p == 1 && col.shading) c.FillRect(band, col.shadeColour);
      if (col.option4) screen_.DrawPart(c, 1, xl, y, -1);
    } else {
      int restore = -1, oldHeight = 0;
      // the memo box grows with its lines (on paper from two lines on, in
      // the line height measured there)
      if (vs.memoField >= 0 && col.option5 && row.memoLines > (pass.paper ? 1 : 0)) {
        int h = row.memoLines * pass.memoLineHeight + 90;
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
    groupHeight += rowHeight;
    if (row.lineNo == row.linesOfKey) {
      DrawKeyArea(c, pass, groupTop, col.option7 ? p : 0, r, groupHeight, col);
      gridLine(left, screen_.PixelsY(groupTop + groupHeight), x, screen_.PixelsY(groupTop + groupHeight));
      groupTop = y + rowHeight;
      groupHeight = 0;
      if (col.option7) p = 1 - p;
    }
    y += rowHeight;
    if (!pass.paper && y >= pass.rowsEnd) break;
    gridLine(x, screen_.PixelsY(y), x + w, screen_.PixelsY(y));
    if (col.option6) p = 1 - p;
  }
  c.SetPen(grid);
  for (const CanvasRect& l : lines) c.Line(l.left, l.top, l.right, l.bottom);
  if (pass.paper) c.Line(left, screen_.PixelsY(headerBottom), left, screen_.PixelsY(y));
  int colX = left;
  for (int k = 0; k < pass.keyColumnCount; ++k) {
    colX += pass.keyColumns[k];
    c.Line(colX, screen_.PixelsY(headerBottom), colX, screen_.PixelsY(y));
  }
  c.Line(x + w, screen_.PixelsY(headerBottom), x + w, screen_.PixelsY(y));
  if (vs.footerHeight != 0) {
    const int fillLeft = pass.paper ? left : 0;
    const int fillRight = pass.paper ? x + w : std::max(pass.width, x + w);
    c.FillRect({fillLeft, screen_.PixelsY(pass.footerTop), fillRight,
                screen_.PixelsY(pass.footerTop) + screen_.PixelsY(vs.footerHeight)},
               kWhite);
    screen_.DrawPart(c, 3, xl, pass.footerTop, -1);
  }
  screen_.EndDraw(c);
  if (!pass.paper && !note_.empty()) {
    const int top = screen_.PixelsY(pass.footerTop + vs.footerHeight);
    const CanvasRect band{0, top, std::max(pass.width, x + w), pass.height};
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

void SheetPainter::DrawKeyArea(Canvas& c, const SheetPass& pass, int groupTop, int parity, int r,
                               int groupHeight, const SheetColours& col) {
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
  const int left = pass.left;
  const int x = left + pass.keyWidth;
  const int top = screen_.PixelsY(groupTop);
  const int bottom = screen_.PixelsY(groupTop + groupHeight);
  if (brush) c.FillRect({left, top + 1, x, top + 1 + screen_.PixelsY(groupHeight)}, brushColour);
  c.SetTextColour(text);
  // the screen's items leave their own fonts behind: the key font is chosen
  // for every cell
  c.SetFont(KeyFont(row.today != 0, row.hasAnniversary, pass.keyFontHeight));
  int cellLeft = left, right = left;
  for (int k = 0; k < pass.keyColumnCount; ++k) {
    right += pass.keyColumns[k];
    CanvasRect cell{cellLeft, top, right, bottom};
    if (k == 0 && row.hasAnniversary) {
      // paper has no pale colours to spare: the mark is an underline there
      c.SetTextColour(pass.paper ? 0 : kAnniversaryMark);
      c.DrawTextRect(cp932::FromUtf8(pass.paper ? "＿" : "●"), cell,
                     kTextCenter | kTextVCenter | kTextSingleLine);
      c.SetTextColour(text);
    }
    c.DrawTextRect(row.keyText[k], cell, kTextCenter | kTextVCenter | kTextSingleLine);
    cellLeft = right;
  }
  if (row.today && !pass.paper) {
    c.SetPen({0, 1, kTodayFrame});
    c.FrameRect({left + 1, top + 1, right - 1, bottom - 1});
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
  const int fields = shownFieldWidth_ >= 0 ? shownFieldWidth_ : view_.Screen().fieldAreaWidth;
  const int right = KeyAreaWidth() + fields - scrollX;
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
