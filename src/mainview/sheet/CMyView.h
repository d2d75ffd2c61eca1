// The sheet's view model: which rows the main window shows for the current
// month, page or list page, where the cursor and the visible window are,
// and how every navigation command moves them. Qt-free; painting reads the
// rows it builds.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "mainview/sheet/SheetRow.h"
#include "mainview/sheet/SheetScroll.h"
#include "mainview/sheet/ViewPorts.h"
#include "platform/Clock.h"

class Prompter;
class Beeper;

struct SumEntry {
  int control = -1;
  int field = -1;
  int decimals = 0;
  double total = 0;
  std::string text;  // what the "SUM" control shows
};

// What painting reads of a sheet: the screen's settings, the rows and the
// window onto them, and the totals. The main view is one; the reference
// window's copy of another month is another.
class SheetRows {
 public:
  virtual ~SheetRows() = default;
  virtual const ViewScreen& Screen() const = 0;
  virtual int DisplayMode() const = 0;
  virtual const std::vector<SheetRow>& Rows() const = 0;
  virtual int TopRow() const = 0;
  virtual int LastVisibleRow() const = 0;
  virtual const std::vector<SumEntry>& Sums() const = 0;
  // A band below the footer that rows leave free (logical units).
  virtual int NoteHeight() const { return 0; }
};

class CMyView : public SheetRows {
 public:
  enum { kDateKind = 0, kPageKind = 100, kSheetMode = 0, kListMode = 10 };

  CMyView(ViewRecords& records, ViewCalendar& calendar, ViewPeriods& periods, Prompter& prompter,
          Beeper& beeper, const Clock& clock);

  // Opening a screen: display mode, rows per list page, sums, memo growth.
  void SetScreen(const ViewScreen& screen);
  // The sizes in pixels of `sized` (the same screen at another zoom); the
  // mode, the rows and the totals stay.
  void SetPixelSizes(const ViewScreen& sized) { CopyPixelSizes(sized, screen_); }
  static void CopyPixelSizes(const ViewScreen& from, ViewScreen& to);
  const ViewScreen& Screen() const override { return screen_; }
  void SetDataKind(int kind) { dataKind_ = kind; }
  int DataKind() const { return dataKind_; }
  // Height of the paint box in logical units.
  void SetViewHeight(int logical) { viewHeight_ = logical; }
  // A band below the screen's footer that rows leave free (a note of the
  // group view), in logical units; 0 none.
  void SetNoteHeight(int logical) { noteHeight_ = logical > 0 ? logical : 0; }
  int NoteHeight() const override { return noteHeight_; }
  void SetExtraction(bool active, const std::string& filter, const std::string& sort);
  // Rows per list page while an extraction is shown (the dialog's lines per
  // page, at least 1); SetScreen puts back the screen's own value.
  void SetRowsPerListPage(int n) { rowsPerListPage_ = n > 0 ? n : 1; }

  // ---- the navigation primitive and its helpers ----
  // Moves by months, pages or list pages. Returns 0, or 1 when it beeped.
  int MoveView(int delta, int force);
  // appendedOnly: the table only grew since the last reload (a period was
  // loaded), so the record set may merge the new records in.
  int ReloadView(bool appendedOnly = false);
  // The filter and sort ReloadView gives the record set for `screen` when
  // no extraction is active (also how `jbx find` orders a book).
  static void ScreenOrder(const ViewScreen& screen, int dataKind, int displayMode, std::string& filter,
                          std::string& sort);
  void RebuildRows();
  void MoveCursorTo(int row);
  // A click on a row: the cursor goes there without scrolling.
  void ClickRow(int row);
  int StepCursor(int direction);  // 0, or -1 at either end
  int LayoutFromTop(int top);     // -> last visible row
  int GotoRecord(int direction);  // 1, or 0 (beep) without a record
  std::string NewRecordKey(bool forceNext) const;

  // ---- commands ----
  void GoToday();              // lbl_YYYYMM click, Home
  void StepPeriod(int delta);  // tbt_Left / tbt_Right, Left / Right keys
  void MoveYear(int delta);    // one year back / forward
  void KeyUp();
  void KeyDown();
  void KeyPageDown();
  void KeyPageUp();
  void Wheel(int delta);  // +1 down, -1 up: one row
  void SetDisplayMode(int mode);
  void SetTop(int top);  // the vertical scroll bar moved
  // The scroll range's end: the top row that puts the last row at the
  // bottom (0 when every row fits).
  int MaxTopRow() const;
  // Show a given month, page or list page (renders, tests).
  void ShowMonth(int year, int month);
  void ShowPage(int page);
  void ShowListPage(int listPage);

  // "yyyy/mm", "yyyymm" or "yyyy/mm/dd" of the first day n months after d.
  static std::string AddMonths(CivilDate d, int n, const char* format);
  // A total as its control shows it; false when it would need 60 digits.
  static bool FormatTotal(double total, int decimals, std::string& out);

  // ---- state ----
  const std::vector<SheetRow>& Rows() const override { return rows_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int TotalHeight() const { return totalHeight_; }
  int CursorRow() const { return cursor_; }
  int TopRow() const override { return top_; }
  int LastVisibleRow() const override { return lastVisible_; }
  int DisplayMode() const override { return displayMode_; }
  CivilDate CurrentDate() const { return current_; }
  CivilDate PeriodStart() const { return start_; }
  CivilDate PeriodEnd() const { return end_; }
  int CurrentPage() const { return page_; }
  int ListPage() const { return listPage_; }
  int LastListPage() const { return lastListPage_; }
  const std::vector<SumEntry>& Sums() const override { return sums_; }
  std::string Label() const;       // lbl_YYYYMM
  std::string StatusText() const;  // status panel 0
  // Status panel 1 for a row: holiday name, anniversary and its years.
  std::string RowStatus(int row, const std::string& holidayName, const std::string& anniversaryName,
                        int anniversaryStartYear) const;
  // The same for any row (the reference window's too).
  static std::string RowStatusOf(const SheetRow& row, const std::string& holidayName,
                                 const std::string& anniversaryName, int anniversaryStartYear);
  int RepaintCount() const { return repaints_; }

 private:
  void PlaceCursor(int row);
  SheetScroll Scroll();
  // The record set stands on the cursor's record, so that what acts on "the
  // current record" (search, the input form) acts on the one shown.
  void FollowCursor();
  void BuildDateRows();
  void BuildPageRows();
  void BuildListRows();
  // Walks the records from position `i` for one key; returns the rows made.
  void FillKeyRows(const std::string& key, int& i, bool& more, const std::string& endKey, SheetRow proto);
  void FinishRecordRow(SheetRow& row);
  void KeyColumnTexts(SheetRow& row, CivilDate d, int page, int line) const;
  void ListKeyTexts(SheetRow& row) const;
  SheetRow FreshRow() const;
  int AvailableHeight() const { return viewHeight_ - screen_.footerHeight - noteHeight_; }
  void Repaint() { ++repaints_; }

  ViewRecords& records_;
  ViewCalendar& calendar_;
  ViewPeriods& periods_;
  Prompter& prompter_;
  Beeper& beeper_;
  const Clock& clock_;

  ViewScreen screen_;
  int dataKind_ = kDateKind;
  int displayMode_ = kSheetMode;
  CivilDate current_;
  CivilDate start_, end_;
  int page_ = 1;
  int listPage_ = 0;
  int lastListPage_ = 0;
  int rowsPerListPage_ = 30;
  int holidayYear_ = 0;
  int viewHeight_ = 10000;
  int noteHeight_ = 0;
  bool extraction_ = false;
  std::string extractionFilter_, extractionSort_;
  std::string pendingSave_;
  int weekdayField_ = -1, cr1Field_ = -1, cr2Field_ = -1;

  std::vector<SheetRow> rows_;
  std::vector<SumEntry> sums_;
  int totalHeight_ = 0;
  int cursor_ = 0;
  int top_ = 0;
  int lastVisible_ = 0;
  int repaints_ = 0;
  std::array<std::string, 7> dayNames_;  // CP932 "日" .. "土"
};
