// CMyGroup: the group view of an extraction. From the extracted records it
// builds one row per group of records that share their group-key values,
// with MIN, MAX, SUM, COUNT or AVG in the columns the extraction dialog
// chose, into a table of its own that the main view shows read-only.
//
// The main window, for group display:
//   view records requeried with the dialog's filter and sort, then
//   group.Build(db, rec.Items(), rec.Count(), pickup.GroupColumns());
//   if (group.Show(pickup.Sort()) != 0) end the group display;
//   the sheet walks GroupRecords (a ViewRecords, mainview/sheet/GroupPorts)
//   and paints through GroupRowSource; the footer shows FooterText().
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "extract/CMyPickup.h"
#include "screens/CMyScr.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

class Prompter;

// A value of the group view read as a decimal number: an optional sign,
// digits, an optional fraction; blanks around it are allowed.
namespace groupnum {
constexpr int kScale = 9;  // fraction digits kept
// The value times 10^kScale. False for an empty text or one that is not a
// number (then `out` is 0).
bool Parse(std::string_view text, __int128& out);
// `total` (times 10^kScale) divided by `count`, rounded half away from zero
// to `decimals` places (0..9): "-" for negatives, "0." before a fraction.
std::string Format(__int128 total, long long count, int decimals);
}  // namespace groupnum

class CMyGroup {
 public:
  enum Mode { kKey = -1, kNone = -2, kMin = 0, kMax = 1, kSum = 2, kCount = 3, kAvg = 4 };
  static constexpr int kMaxKeys = 10;
  // Text columns of the group table hold at least this many bytes, so a
  // total or a count always fits a field that was made for a short code.
  static constexpr int kMinTextLength = 64;

  explicit CMyGroup(Prompter& prompter);
  CMyGroup(const CMyGroup&) = delete;
  CMyGroup& operator=(const CMyGroup&) = delete;

  // Empties the group table and builds the group rows from the records
  // `items[0..count)` of `source`, in that order. Records whose cut key
  // values are equal form one group wherever they stand, so a sort that
  // counts "abc" and "ABC" (or "5" and "05") as equal never splits a group;
  // the rows are in the order their groups first appear. Beyond ten keys
  // "グループ数がオーバーしました。" is shown and the rest are not keys. The
  // number of group rows; 0 when there are no records or no keys; -1 when
  // the table could not be defined.
  [[nodiscard]] int Build(const CMyDB& source, const int* items, int count,
                          const std::vector<GroupColumn>& columns);
  // Orders the group rows by the extraction's sort over an empty filter. 0,
  // or a negative code of the record set.
  [[nodiscard]] int SortRows(const std::string& sort);
  // SortRows, telling "抽出に失敗しました。" when it failed (the caller then
  // ends the group display).
  [[nodiscard]] int Show(const std::string& sort);
  void Clear();

  CMyDB& Table() { return table_; }
  const CMyDB& Table() const { return table_; }
  CMyRec& Records() { return rec_; }
  const CMyRec& Records() const { return rec_; }
  int RowCount() const { return rec_.Count(); }
  // The columns as resolved by the last Build (field index -1: not a field).
  struct Column {
    GroupColumn def;
    int field = -1;
    int mode = kNone;
    int notNumbers = 0;  // SUM / AVG: values that were not numbers and counted as 0
  };
  const std::vector<Column>& Columns() const { return columns_; }
  // What the sheet shows for a field of the group row at position `pos`:
  // an empty group key reads "（空白）".
  std::string DisplayValue(int pos, int field) const;
  // The number of extracted records in the group row at position `pos`
  // (0 outside the rows), whether or not a COUNT column shows it.
  long long GroupSize(int pos) const;
  // "数値でない値を0として集計: 金額 2件" for the SUM and AVG columns that met
  // such values; "" when none did.
  std::string FooterText() const;

 private:
  struct Acc;
  Prompter& prompter_;
  CMyDB table_;
  CMyRec rec_;
  std::vector<Column> columns_;
  std::vector<bool> keyField_;    // per table field: a group key in use
  std::vector<long long> sizes_;  // per table record: records in its group
};
