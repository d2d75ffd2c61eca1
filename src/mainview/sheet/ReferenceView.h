// The reference window's sheet: a read-only copy of the rows the main view
// showed for another month, with a cursor and a visible window of its own
// that move by the main sheet's rules. Qt-free; the same painter draws it.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "calendar/CMyHoliday.h"
#include "mainview/sheet/CMyView.h"

class ReferenceView : public SheetRows {
 public:
  // Copies what `main` shows now: its screen settings, rows, cursor, top and
  // last visible row, totals and label. A row's record becomes an index into
  // this view's own list of table records (`tableRecordOf` gives the table
  // record of a position of the main record set), and its holiday and
  // anniversary are copied too: the copy shows the same thing however the
  // main view's record set and calendar change afterwards.
  void Fill(const CMyView& main, const std::function<int(int position)>& tableRecordOf);

  // "yyyy/mm" of the month shown.
  const std::string& Label() const { return label_; }
  // Year and month of the label; false before the first fill.
  bool LabelMonth(int& year, int& month) const;
  // Table records of the rows (a row's `record` indexes this list).
  const std::vector<int>& Records() const { return records_; }
  // The table record of the cursor row, -1 when it has none.
  int CursorRecord() const;

  // Height of the paint box in logical units.
  void SetViewHeight(int logical) { viewHeight_ = logical; }
  int LayoutFromTop(int top);
  int MaxTopRow() const;
  void SetTop(int top);
  void MoveCursorTo(int row);
  void ClickRow(int row);  // the frame moves, the rows stay
  void KeyUp();
  void KeyDown();
  void KeyPageDown();
  void KeyPageUp();
  void Wheel(int delta);  // +1 down, -1 up: one row

  int RowCount() const { return static_cast<int>(rows_.size()); }
  int CursorRow() const { return cursor_; }
  int TotalHeight() const { return totalHeight_; }
  // Status panel 1 for a row: holiday, anniversary and its years.
  std::string RowStatus(int row) const;

  const ViewScreen& Screen() const override { return screen_; }
  int DisplayMode() const override { return CMyView::kSheetMode; }
  const std::vector<SheetRow>& Rows() const override { return rows_; }
  int TopRow() const override { return top_; }
  int LastVisibleRow() const override { return lastVisible_; }
  const std::vector<SumEntry>& Sums() const override { return sums_; }

 private:
  SheetScroll Scroll();
  SheetScroll::Frame Frame() const {
    return {rows_, screen_.headerHeight, viewHeight_ - screen_.footerHeight};
  }

  ViewScreen screen_;
  const CMyView* main_ = nullptr;  // the view the rows were taken from
  std::vector<SheetRow> rows_;
  std::vector<int> records_;
  std::deque<HolidayEntry> holidays_;  // the rows point here; a deque never moves them
  std::vector<SumEntry> sums_;
  std::string label_;
  int cursor_ = 0;
  int top_ = 0;
  int lastVisible_ = 0;
  int totalHeight_ = 0;
  int viewHeight_ = 10000;
};
