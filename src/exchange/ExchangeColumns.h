// The columns export and import share: the screen fields of the input
// form, the fixed pseudo-columns (key halves, weekday, colours, dates), the
// standard order of all column items, and the record writer that turns a
// record (or an empty row of the sheet) into one line of CSV values.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "exchange/CMyCSV.h"

class CMyDB;
class CMyGlobal;
class CMyMaster;
class CMyPeriods;
class CMyRec;
namespace jsc {
struct Control;
}

// One field control of the input form, as export and import see it.
struct ScreenField {
  std::string caption;  // the display name, or the field name when it has none (CP932)
  std::string field;    // the record field ("IMG001" for the photo box)
  int kind = 0;         // control kind (jsc::ControlKind)
  int dataType = 0;     // CSV check type: 1, 2, 10, 15, 16 for text editors, else 0
  int decimals = 0;
  int maxLength = 0;  // bytes the control takes; 0 the field's own limit
};

// The field controls of the input form's control list, in file order.
[[nodiscard]] std::vector<ScreenField> ScreenFieldsOf(const std::vector<jsc::Control>& controls);

// The file txt_Path names (file-system spelling): a name without "/" is
// taken in the current user's folder, a name without an extension gets
// ".CSV".
[[nodiscard]] std::string ResolveExchangePath(const CMyGlobal& global, const std::string& typed);

// One row the main view shows, as "表示中のデータ" writes it.
struct ShownRow {
  std::string key;  // "yyyy/mm/dd" or "%05d/%05d"
  int weekday = 0;  // 1 Sunday .. 7 Saturday, 0 none
  int record = -1;  // table row of its record; kNoRecord an empty row
  static constexpr int kNoRecord = -1;
  static constexpr int kUnreachable = -2;  // a record the view names but the table lacks
};

// The main view as export and import need it.
class ExchangeHost {
 public:
  virtual ~ExchangeHost() = default;
  // The table changed (the whole division was loaded, records came or
  // went): reapply the view's filter and sort and rebuild its rows.
  virtual void ReloadView() = 0;
};

// The open division as export and import work on it. Every object is the
// caller's (the main window's, or jbx's) and outlives the export or import.
struct ExchangeBook {
  CMyGlobal& global;                // paths of the user and the division, "Path.dat"
  CMyDB& db;                        // the shared table, defined with the memo schema
  CMyPeriods& periods;              // loads and saves the division's data files, gives line serials
  CMyMaster& divout;                // the period list the periods work on
  std::vector<ScreenField> fields;  // the input form's field list (ScreenFieldsOf)
  bool byPage = false;              // kept by page and line (data kind 100)
  int linesPerPage = 30;            // of the current display screen
  ExchangeHost* host = nullptr;     // told when the table changed; may be null
};

namespace exch {

enum ColumnKind {
  kFieldColumn = 0,  // a screen field
  kKeyColumn = 1,    // 年月日: the record key
  kWeekdayColumn = 2,
  kPageColumn = 3,  // the first 5 characters of the key
  kLineColumn = 4,  // the 5 characters from the 7th
  kTextColorColumn = 5,
  kBackColorColumn = 6,
  kUpdatedColumn = 7,
  kCreatedColumn = 8,
};

// The fixed items that are not screen fields ("1,01,キー項目" ...).
struct PseudoColumn {
  int group;            // 1 listed before the screen fields, 2 after them
  int kind;             // ColumnKind
  const char* field;    // source field (UTF-8)
  const char* caption;  // UTF-8
  int use;              // 0 both kinds of division, 1 by date, 2 by page
};
extern const PseudoColumn kPseudoColumns[8];

// The pseudo-column a caption (CP932) names in a division by date or by
// page, null when none.
[[nodiscard]] const PseudoColumn* FindPseudo(std::string_view caption, bool byPage);
// Captions (CP932) of a group's pseudo-columns for the division's kind.
[[nodiscard]] std::vector<std::string> PseudoCaptions(int group, bool byPage);
// Every column item in the standard order: group 1, the screen fields,
// group 2.
[[nodiscard]] std::vector<std::string> StandardColumns(const std::vector<ScreenField>& fields, bool byPage);

// A column as the record writer takes it.
struct OutColumn {
  int kind = kFieldColumn;
  int field = -1;  // table field read; -1 none
};

// Maps captions to columns: a pseudo-column caption by the table, else a
// screen field by caption, else a table field of that name or alias. False
// (with the caption in `unknown`) when a caption names nothing.
[[nodiscard]] bool MapColumns(const std::vector<std::string>& captions,
                              const std::vector<ScreenField>& fields, const CMyDB& db, bool byPage,
                              std::vector<OutColumn>& out, std::string* unknown);

// How values are changed on their way out.
struct ValueRules {
  bool memoBreak = false;     // line breaks become `memoBreakText`
  std::string memoBreakText;  // CP932
  bool formulaGuard = false;  // CMyCSV's formula guard
};

// "日" .. "土" for "1" .. "7"; any other text unchanged.
[[nodiscard]] std::string WeekdayText(std::string_view value);
// CR LF, a lone CR and a lone LF each become `text`.
[[nodiscard]] std::string ReplaceBreaks(std::string_view value, std::string_view text);

// The record at table row `r`, one value per column.
void WriteRecord(CsvWriter& w, const CMyDB& db, int r, const std::vector<OutColumn>& columns,
                 const ValueRules& rules);
// A sheet row without a record: its key (or page and line) and weekday, all
// other columns empty.
void WriteEmptyRow(CsvWriter& w, const ShownRow& row, const std::vector<OutColumn>& columns);

}  // namespace exch
