// The sheet as words: its column headers and each row's cells as text, the
// way the screen shows them, so that a screen reader can say what a person
// who sees the sheet reads off it. Qt-free; the window's accessibility
// adapter only passes these texts on.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "mainview/sheet/CMyView.h"

class CMyScr;
class RowSource;

// One column of the sheet read aloud: the key area, or one row item of the
// display screen that shows a field.
struct SheetTextColumn {
  std::string caption;   // CP932
  std::string field;     // the table field shown; "" for the key area
  bool picture = false;  // an image item: its cell names the picture's file
};

// The columns of a display screen: the key area first, then every visible
// row item that shows a field, in reading order (line by line from the top,
// each line from the left). A column's caption is the header caption above
// it; else `aliasOf(field)` when given and not empty; else the field name.
std::vector<SheetTextColumn> SheetColumnsOf(const CMyScr& scr, int dataKind,
                                            const std::function<std::string(const std::string&)>& aliasOf);

// The key area of a row in words: 「3日 木曜日 祝日 文化の日」, 「1ページ 3行」; a
// list row's date is said whole (「2024年11月3日 日曜日」); an anniversary, today
// and the place among several entries of one day are said too. A key that is
// neither a date nor a page and line (a group view's) is said as it is.
std::string SheetKeyText(const SheetRow& row, int dataKind, int displayMode);

// A sheet read aloud: a main sheet, the reference window's copy or the
// group view, through what the window that shows it knows.
class SheetText {
 public:
  struct Ports {
    // Asked each time: the window may have no book open, or none any more.
    std::function<const SheetRows*()> sheet;
    std::function<const CMyScr*()> screen;
    // Positions on a row's record and gives its values (null: none).
    std::function<const RowSource*(int record)> values;
    std::function<int()> cursor;    // the cursor row
    std::function<int()> dataKind;  // CMyView::kDateKind or kPageKind
    // A field's display name in the input form ("" when it has none).
    std::function<std::string(const std::string&)> aliasOf;
  };
  explicit SheetText(Ports ports) : ports_(std::move(ports)) { Refresh(); }
  SheetText(const SheetText&) = delete;
  SheetText& operator=(const SheetText&) = delete;

  // Takes the display screen's columns again (a screen was opened).
  void Refresh();
  int RowCount() const;
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // -1 when the sheet has no rows.
  int CursorRow() const;
  // Header of a column, "" outside the columns.
  std::string Header(int column) const;
  // Every cell of a row (CP932), one per column; empty outside the rows.
  std::vector<std::string> RowCells(int row) const;

 private:
  int DataKind() const { return ports_.dataKind ? ports_.dataKind() : CMyView::kDateKind; }
  const SheetRows* Sheet() const { return ports_.sheet ? ports_.sheet() : nullptr; }
  Ports ports_;
  std::vector<SheetTextColumn> columns_;
};
