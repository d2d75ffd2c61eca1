// CMyPickup: the extraction dialog ("抽出条件設定") without its widgets. It
// holds everything the dialog shows (display mode, period, the simple page,
// the condition grid), applies the grid's editing rules, turns the state
// into a filter and a sort text of the record store's expression language
// (BuildExtraction), reads and writes the state as a condition file, and
// keeps the saved extraction methods of the division ("pickout.lst" and
// "<name>.pic"). Texts are CP932.
//
// How the dialog uses it:
//   CMyPickup m(table, prompter, beeper, clock);
//   m.Setup(setup);              // fields, colour kinds, folder, shown date/page
//   m.OpenDialog();              // the method combo and "pickout.pit"
//   ... widgets read the getters; every edit goes back through the setters,
//   ... the grid's keys through TypeKey / EraseKey / SetCellText ...
//   int rc = m.Apply();          // cmd_Ok
//   if (rc != 0) { prompter.Warn(m.Message()); focus m.FocusRow()/FocusColumn(); }
//   else the view shows the extraction:
//        view.SetExtraction(true, m.Filter(), m.ViewSort());
//        view.SetRowsPerListPage(m.LinesPerPage());
//        list mode unless m.Mode() is kPageDisplay; for kGroupDisplay the
//        group rows are built from m.GroupColumns() (CMyGroup) and the sheet
//        is switched to them (SwitchRecords, GroupRowSource).
//   A screen whose first text begins with "=": m.RunSavedExtraction(text),
//   then the same as after Apply; on an error m.Message() with "注意".
// The grid is addressed by row (0 = first data row, the header is not a
// row) and by the visible column of the current layout (GridColumns()).
#pragma once
#include <string>
#include <vector>

#include "extract/ConditionFile.h"
#include "options/CMyColorKinds.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"

class CMyDB;
class Prompter;
class Beeper;
namespace jsc {
struct InputDef;
}

// A field row of the condition grid: one field control of the input form.
struct PickupField {
  std::string name;      // the record field ("DAT004")
  std::string caption;   // the form's display name; the name when it has none
  bool numeric = false;  // the control's data type is a number or a decimal
  int decimals = 0;      // of that number, for SUM and AVG
  int list = -1;         // combo slot 0..99 whose "cboms%02d.ms" offers values; -1 none
};

// The field controls of an input definition in file order, each field once.
std::vector<PickupField> FieldsFromInputDef(const jsc::InputDef& def);

// What the dialog is given before it is shown.
struct PickupSetup {
  int dataKind = 0;                 // 0 by date, 100 by page and line
  std::vector<PickupField> fields;  // the grid's field rows
  std::vector<ColorKind> colors;    // the division's colour kinds
  std::string divisionDir;          // folder of the condition files ("" = current folder)
  int defaultLines = 30;            // the screen's lines per page
  CivilDate shownDate;              // the month the main view shows
  int shownPage = 1;                // the page it shows
};

// One entry of the group column table (CMyGroup reads it).
struct GroupColumn {
  std::string field;    // record field; empty when the row names none
  std::string caption;  // the grid row's caption
  int mode = -2;        // -1 group key, 0 MIN, 1 MAX, 2 SUM, 3 COUNT, 4 AVG, -2 none
  int keySize = 0;      // group keys: leading bytes that form the group, 0 all
  bool numeric = false;
  int decimals = 0;
};

class CMyPickup {
 public:
  enum Mode { kPageDisplay = 0, kCompactList = 1, kGroupDisplay = 2 };
  enum Period { kAll = 0, kCurrent = 1, kYear = 2, kRange = 5 };  // kCurrent: month or page
  enum SearchKind { kEqual = 0, kBegins = 1, kEnds = 2, kContains = 3, kKindCount = 4 };
  // Row kinds (column 0 of the grid); field rows carry the field's name there.
  enum RowKind { kFieldRow = -1, kKeyRow = 0, kColorRow = 1, kUpdatedRow = 2, kCreatedRow = 3 };
  // What a visible grid column holds.
  enum Cell { kKind = 0, kCaption, kSortNo, kOrder, kAggregate, kAggSize, kValue, kNoCell };
  // BuildExtraction's results.
  static constexpr int kOk = 0;
  static constexpr int kRefused = -1;        // Message() only
  static constexpr int kCellRefused = -2;    // Message(), focus FocusRow() / FocusColumn()
  static constexpr int kPeriodRefused = -3;  // Message(), focus txt_KikanFrom
  // Limits of the strings the view's buffers take.
  static constexpr int kMaxFilter = 2023;
  static constexpr int kMaxSort = 63;
  static constexpr int kMaxValue = 50;       // 条件値
  static constexpr int kMaxSearchText = 30;  // txt_Data
  static constexpr int kMaxLineText = 4;     // txt_Line
  static constexpr int kMaxMethodName = 30;
  static constexpr int kMaxSortNo = 3;
  static constexpr int kMaxAggSize = 15;
  static constexpr int kMaxGroupKeys = 10;
  static constexpr int kColorList = 100;  // Row::list of the colour row

  struct Row {
    int kind = kFieldRow;
    std::string name;       // column 0: the field name, or the kind's digit
    std::string caption;    // column 1
    std::string sortNo;     // 並び番号: "" or "1".."3"
    std::string order;      // 昇降順: "", "0:昇順", "1:降順"
    std::string aggregate;  // 集約種類: "", "(ｸﾞﾙｰﾌﾟ)", "0:MIN" .. "4:AVG"
    std::string aggSize;    // 集約サイズ: "" or "0".."15" (as typed)
    std::string value;      // 条件値
    int field = -1;         // index into the setup's fields, -1 for the other kinds
    bool numeric = false;
    int decimals = 0;
    int list = -1;  // "..." values: combo slot 0..99, kColorList, -1 none
  };

  CMyPickup(CMyDB& table, Prompter& prompter, Beeper& beeper, const Clock& clock);

  // Builds the grid rows (key row for divisions by date, the field rows, the
  // colour, updated and created rows) and resets the state to its defaults.
  void Setup(const PickupSetup& setup);
  bool ByPage() const { return dataKind_ == 100; }

  // ---- captions that depend on the division ----
  std::string PeriodBoxCaption() const;         // "期間" / "範囲"
  std::string CurrentPeriodCaption() const;     // "当月" / "当ページ"
  std::string RangeCaption() const;             // "期間" / "ページ"
  std::string KeyDownCaption() const;           // "期間降順" / "ページ降順"
  bool YearShown() const { return !ByPage(); }  // rdo_KikanYYYY

  // ---- state (what the widgets show) ----
  int Mode() const { return mode_; }
  // Switches the display mode; to and from group display the grid changes
  // layout (see SetGroupLayout).
  void SetMode(int mode);
  bool NoData() const { return noData_; }
  void SetNoData(bool on) { noData_ = on; }
  const std::string& LineText() const { return lineText_; }
  void SetLineText(const std::string& t) { lineText_ = t; }
  int GetPeriod() const { return period_; }
  // Choosing a period other than the range clears both range boxes.
  void SetPeriod(int period);
  const std::string& FromText() const { return from_; }
  const std::string& ToText() const { return to_; }
  // Typing in a range box selects the range period.
  void SetFromText(const std::string& t);
  void SetToText(const std::string& t);
  bool KeyDown() const { return keyDown_; }
  void SetKeyDown(bool on) { keyDown_ = on; }
  bool DetailPage() const { return detail_; }
  void SetDetailPage(bool on) { detail_ = on; }
  bool SimplePageShown() const { return mode_ != kGroupDisplay; }

  // Simple page.
  std::vector<std::string> NameItems() const;  // "（全て）", then the captions
  std::vector<std::string> SortItems() const;  // "（指定なし）", then the captions
  std::vector<std::string> KindItems() const;  // the four search kinds
  const std::string& SimpleName() const { return simpleName_; }
  void SetSimpleName(const std::string& t) { simpleName_ = t; }
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& t) { simpleText_ = t; }
  int SimpleKind() const { return simpleKind_; }  // -1: none chosen
  void SetSimpleKind(int k) { simpleKind_ = k; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool on) { caseSensitive_ = on; }
  const std::string& SimpleSort() const { return simpleSort_; }
  void SetSimpleSort(const std::string& t) { simpleSort_ = t; }
  bool SimpleSortDown() const { return simpleSortDown_; }
  void SetSimpleSortDown(bool on) { simpleSortDown_ = on; }

  // ---- the condition grid ----
  bool GroupLayout() const { return mode_ == kGroupDisplay; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const Row& GetRow(int row) const { return rows_[static_cast<size_t>(row)]; }
  int RowOfCaption(const std::string& caption) const;  // -1 none
  // Visible columns of the layout, column 0 (the hidden kind) included:
  // 5 in the normal layout, 7 in the group layout.
  int GridColumns() const { return GroupLayout() ? 7 : 5; }
  std::string HeaderText(int column) const;
  Cell CellAt(int column) const;
  int ColumnOf(Cell cell) const;  // -1 when the layout does not show it
  int ValueColumn() const { return GroupLayout() ? 6 : 4; }
  std::string CellText(int row, int column) const;
  // A key typed in a cell of columns 2-5 (never inserted as typed; see the
  // editing rules in the .cpp). `key` is the character typed.
  void TypeKey(int row, int column, char key);
  // Backspace or Delete in a cell.
  void EraseKey(int row, int column);
  // Text put in a cell whose text is edited freely: 条件値 (any row) and
  // 集約サイズ (kept only on rows with a 並び番号).
  void SetCellText(int row, int column, const std::string& text);
  // The status bar's help for a column of a row.
  std::string ColumnHelp(int row, int column) const;
  // Whether the input method is on in a column (条件値 only).
  bool ImeOn(int column) const { return CellAt(column) == kValue; }
  // The "..." button of a row: the values to choose from (the selection
  // list's lines without a "$$$" header, or the colour kind names); empty
  // and false when the row has none (the dialog beeps).
  bool ValueChoices(int row, std::vector<std::string>& out) const;
  // The list chooser's OK: `chosen` index into `items`, -1 none. True with
  // the row's 条件値 set; false after "リストを選択して下さい。" or
  // "サイズが大きいです。".
  bool ChooseValue(int row, const std::vector<std::string>& items, int chosen);

  // ---- boxes left (focus out); false after the message ----
  bool LeaveFromBox() { return LeaveRangeBox(from_); }
  bool LeaveToBox() { return LeaveRangeBox(to_); }
  bool LeaveLineBox();

  // ---- the result ----
  // Checks the state and builds the two strings, in the order the dialog
  // has always checked. 0, or kRefused / kCellRefused / kPeriodRefused with
  // Message() (not shown: the caller shows it with "注意") and the focus.
  // Writes nothing.
  [[nodiscard]] int BuildExtraction();
  // cmd_Ok: BuildExtraction, then the state goes to "pickout.pit" and the
  // dialog is applied. A "pickout.pit" that could not be read is kept aside
  // as "pickout.pit.damaged-yyyymmdd" first; a failed write is told but does
  // not undo the extraction.
  [[nodiscard]] int Apply();
  bool Applied() const { return applied_; }
  const std::string& Filter() const { return filter_; }
  const std::string& Sort() const { return sort_; }
  const std::string& Message() const { return message_; }
  int FocusRow() const { return focusRow_; }
  int FocusColumn() const { return focusColumn_; }
  // The sort the view applies: page display keeps the book's own order
  // ("キー項目,行連番") under the filter; the lists use Sort().
  std::string ViewSort() const;
  // txt_Line as a number, 1 when it is not one.
  int LinesPerPage() const;
  // The group column table of the grid (group display).
  std::vector<GroupColumn> GroupColumns() const;

  // ---- condition files ----
  pickfile::Image SaveImage() const;
  // Takes a condition file's state by the reading rules: missing fields and
  // unknown values fall back to defaults; grid lines fill the rows whose
  // caption they carry, in order (lines of fields that are gone are passed
  // over), and rows without a line come up empty.
  void LoadImage(const pickfile::Image& image);
  // pickfile::kRead, kMissing (state kept) or kDamaged (state kept).
  [[nodiscard]] int LoadFile(const std::string& path);

  // ---- saved methods (the combo cbo_PickupName) ----
  // On show: the combo from "pickout.lst" ("（前の内容）" first), entry 0
  // selected and "pickout.pit" loaded. A list that cannot be read is told
  // once and is never written over; lines that cannot name a file of the
  // division folder are left out.
  void OpenDialog();
  const std::vector<std::string>& MethodItems() const { return methods_; }
  int SelectedMethod() const { return selected_; }
  // Entry 0 loads "pickout.pit", a method its ".pic"; a file that is missing
  // changes nothing, a damaged one is told.
  void SelectMethod(int index);
  bool DeleteEnabled() const { return selected_ > 0; }
  // What the name-entry dialog ("抽出方法の保存", "抽出方法名") starts with.
  std::string SaveNamePrefill() const;
  // cmd_Save with the name typed (the entry dialog was confirmed). 0 saved
  // and selected; 1 refused or not confirmed (after the message).
  [[nodiscard]] int SaveMethod(const std::string& name);
  // cmd_Del: 0 deleted (entry 0 selected), 1 not (beep, No, or a message).
  [[nodiscard]] int DeleteMethod();
  // True for a name that can be a method: 1..30 bytes of CP932 text without
  // control characters, "/" or "\", and not "." or ".." or holding "..".
  static bool ValidMethodName(const std::string& name);
  // The method's ".pic" in the division folder, its name spelled in UTF-8.
  std::string MethodPath(const std::string& name) const;
  std::string DivisionPath(const char* file) const { return dir_ + file; }

  // ---- a screen's automatic extraction ----
  // `reference` is the screen's first text: "=" + method name, under 60
  // bytes. The method is read from "<name>.pit" or, when there is none,
  // from the saved method "<name>.pic", and BuildExtraction runs; nothing is
  // written. 0 with empty strings when the text is not a reference; -1 with
  // "抽出条件の読み込み失敗" when nothing could be read; else the result of
  // BuildExtraction.
  [[nodiscard]] int RunSavedExtraction(const std::string& reference);

 private:
  void ResetState();
  // Stores the message and the focus; returns `code`.
  int Fail(int code, const char* utf8, int row = -1, int column = -1);
  int FailText(int code, const std::string& sj, int row = -1, int column = -1);
  // The record field a simple-page text (a caption or a name) stands for;
  // "" when the table has none.
  std::string ResolveField(const std::string& text) const;
  bool LeaveRangeBox(std::string& text);
  // Record field a row names ("キー項目", "色種類", ...); "" when none.
  std::string RowField(const Row& r) const;
  std::string SortField(const Row& r) const;
  bool FindColor(const std::string& name, ColorKind& out) const;
  const PickupField* FieldByCaption(const std::string& text) const;
  int BuildPeriod(std::vector<std::string>& terms);
  int BuildGridTerms(std::vector<std::string>& terms);
  int BuildSimpleTerms(std::vector<std::string>& terms);
  int BuildSort();
  void ClearSortNo(Row& r);
  void SetGroupLayout(bool on);
  bool WriteMethodList();

  CMyDB& table_;
  Prompter& prompter_;
  Beeper& beeper_;
  const Clock& clock_;

  int dataKind_ = 0;
  std::vector<PickupField> fields_;
  std::vector<ColorKind> colors_;
  std::string dir_;
  int defaultLines_ = 30;
  CivilDate shownDate_;
  int shownPage_ = 1;

  int mode_ = kCompactList;
  bool noData_ = true;
  std::string lineText_ = "30";
  int period_ = kAll;
  std::string from_, to_;
  bool keyDown_ = false;
  bool detail_ = false;
  std::string simpleName_, simpleText_, simpleSort_;
  int simpleKind_ = kContains;
  bool caseSensitive_ = false;
  bool simpleSortDown_ = false;
  std::vector<Row> rows_;

  bool applied_ = false;
  std::string filter_, sort_, message_;
  int focusRow_ = -1, focusColumn_ = -1;

  std::vector<std::string> methods_;  // entry 0 stands for "pickout.pit"
  int selected_ = 0;
  bool listDamaged_ = false;  // "pickout.lst" exists but could not be read
  // "pickout.lst" as read or last written here, and its names then: a
  // method another window saved meanwhile stays in the list
  fileops::FileId listId_;
  std::vector<std::string> listBase_;
};
