// Paints the sheet of the main window (and the reference window and the
// printout) through a Canvas: the key area with dates, weekdays, holiday and
// today marks, the field area drawn by the display screen row by row, grid
// lines, header and footer, shading and per-record colours, and the cursor.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "mainview/sheet/CMyView.h"
#include "platform/Canvas.h"

// The colours of a display screen that the sheet uses.
struct SheetColours {
  uint32_t defaultText = 0;
  struct DayClass {
    bool backUsed = false;
    uint32_t back = 0xFFFFFF;
    uint32_t text = 0;
  };
  DayClass day[4];  // 1 Sunday, 2 Saturday, 3 holiday
  bool shading = false;
  uint32_t shadeColour = 0xF0F0F0;
  uint32_t shadeText = 0;
  bool option4 = false, option5 = false, option6 = false, option7 = false;
};

// What painting needs of the display screen model.
class SheetScreen {
 public:
  virtual ~SheetScreen() = default;
  virtual void BeginDraw(Canvas& c) = 0;  // make pens and brushes
  virtual void EndDraw(Canvas& c) = 0;
  // part 1 row, 2 header, 3 footer; record = position in the record set or
  // -1 for empty values; x, y in logical units.
  virtual void DrawPart(Canvas& c, int part, int x, int y, int record) = 0;
  virtual void SetTextOverride(bool on, uint32_t colour) = 0;
  virtual int PixelsX(int logical) const = 0;
  virtual int PixelsY(int logical) const = 0;
  virtual int LogicalY(int pixels) const = 0;
  virtual int LogicalX(int pixels) const = 0;
  virtual int ControlHeight(int control) const = 0;
  virtual void SetControlHeight(int control, int height) = 0;
  virtual SheetColours Colours() const = 0;
  // On the screen: widens the widest text column so the field area is
  // `pixels` wide (below 0: the screen's own widths; 0: the own widths for
  // this drawing only, what another window stretched comes back at
  // EndDraw). Returns the field area's width then, -1 when it keeps its own.
  virtual int FitFieldArea(int /*pixels*/) { return -1; }
};

// One pass of the painter over the rows: the paint box, or one page of paper.
// Key widths are pixels of the target; tops and bottoms are logical units.
struct SheetPass {
  bool paper = false;
  int first = 0;  // the first row drawn
  int left = 0;   // pixels: the key area's left edge
  int top = 0;    // the header part's top
  int keyWidth = 0;
  int keyColumns[4] = {};
  int keyColumnCount = 0;
  int fieldWidth = 0;  // pixels
  // Screen: rows are drawn until one reaches `rowsEnd`. Paper: a row after
  // the first is drawn only when it ends by `rowsEnd`.
  int rowsEnd = 0;
  int footerTop = 0;
  int width = 0, height = 0;  // screen: the paint box (pixels), filled white first
  uint32_t grid = 0xC0C0C0;
  int keyFontHeight = -12;  // the characters' height (negative), as KeyFont takes it
  int memoLineHeight = 0;
  // paper: each row's print height; null: the rows' own heights
  const std::vector<int>* heights = nullptr;
};

class SheetPainter {
 public:
  // `view`: the main view, or the reference window's rows.
  SheetPainter(const SheetRows& view, SheetScreen& screen) : view_(view), screen_(screen) {}

  // Draws the whole visible sheet; `width`, `height`: the paint box in
  // pixels. Returns the last visible row.
  int RenderSheet(Canvas& c, int width, int height);
  // The screen's pass for a paint box of that size.
  SheetPass ScreenPass(int width, int height) const;
  // Draws one pass: header, rows, key areas, grid lines and footer. Returns
  // the last row drawn (first - 1 when there is none).
  int Paint(Canvas& c, const SheetPass& pass);
  // While a print job has the screen definition in paper units the window
  // only copies what it drew last.
  void SetPrinting(bool on) { printing_ = on; }
  // The screen's widest text column takes what the paint box has over the
  // sheet's width (on screen only: paper keeps the screen's widths).
  // A painter never told draws the own widths and leaves the screen model
  // as the window that was told has it (the reference window's).
  void SetFitColumns(bool on) { fitColumns_ = on ? 1 : -1; }
  bool Printing() const { return printing_; }
  // The cursor frame around the field area of `row`, on the paint box;
  // `scrollX` is the horizontal scroll position in pixels.
  void DrawCursor(Canvas& c, int row, int scrollX);
  // The row under a mouse position (pixels), -1 for none.
  int RowAt(int y) const;
  // The key font; `height` is the characters' height in pixels when
  // negative: 12 pixels of character height on the screen (as a cell height
  // the canvas takes 12 for a 10-pixel em, and the day numbers came out 7
  // pixels tall, 08 hard to tell from 06).
  static LogFont KeyFont(bool today = false, bool marked = false, int height = -12);
  // A line of text under the sheet's footer (the group view tells there how
  // many values it could not count); "" none. Returns the note's height in
  // logical units, which the view must leave free (CMyView::SetNoteHeight).
  int SetFooterNote(const std::string& sj);
  const std::string& FooterNote() const { return note_; }
  static constexpr int kNotePixels = 18;

 private:
  void DrawKeyArea(Canvas& c, const SheetPass& pass, int groupTop, int parity, int row, int groupHeight,
                   const SheetColours& col);
  int KeyAreaWidth() const;
  const SheetRows& view_;
  SheetScreen& screen_;
  std::string note_;
  bool printing_ = false;
  int fitColumns_ = 0;        // 1 fit, -1 the screen's widths, 0 never told
  int shownFieldWidth_ = -1;  // the field area last drawn on screen, pixels
};
