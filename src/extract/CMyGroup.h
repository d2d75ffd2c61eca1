// CMyGroup: the group view of an extraction. From the extracted records it
// builds one row per group of records that share their group-key values,
// with MIN, MAX, SUM, COUNT or AVG in the columns the extraction dialog
// chose, into a table of its own that the main view shows read-only.
//
// The main window, for group display:
//   view records requeried with the dialog's filter and sort, then
//   group.Build(db, rec.Items(), rec.Count(), pickup.GroupColumns());
//   if (group.Show(pickup.Sort()) != 0) end the group display;
//   the sheet walks GroupRecords (a ViewRecords) and paints through
//   GroupRowSource; the footer shows FooterText().
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "extract/CMyPickup.h"
#include "mainview/ViewPorts.h"
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

// The group rows as the sheet's view model walks them. A requery sorts the
// rows and ignores the filter: the rows already are the filtered records.
class GroupRecords : public ViewRecords {
 public:
  explicit GroupRecords(CMyGroup& group) : group_(group) {}
  int Requery(const std::string& filter, const std::string& sort) override;
  int Count() const override { return group_.RowCount(); }
  std::string_view Key(int i) const override;
  std::string_view Value(int i, int field) const override;
  int FieldIndex(const std::string& name) const override { return group_.Table().FindField(name); }

 private:
  CMyGroup& group_;
};

// The group row at one position, for the screen's items.
class GroupRowSource : public RowSource {
 public:
  explicit GroupRowSource(const CMyGroup& group) : group_(group) {}
  void SetPosition(int pos) { pos_ = pos; }
  std::string Value(const std::string& field) const override;
  bool HasNext() const override { return pos_ >= 0 && pos_ + 1 < group_.RowCount(); }

 private:
  const CMyGroup& group_;
  int pos_ = -1;
};

// The records the sheet walks: the main record set, or the group rows while
// the group view is shown. The view model keeps one ViewRecords for its whole
// life; the main window gives it this one and switches what it forwards to.
class SwitchRecords : public ViewRecords {
 public:
  explicit SwitchRecords(ViewRecords& main) : main_(main) {}
  // The group rows (or null for the main record set again).
  void Use(ViewRecords* group) { group_ = group; }
  bool GroupShown() const { return group_ != nullptr; }
  int Requery(const std::string& filter, const std::string& sort) override {
    return Now().Requery(filter, sort);
  }
  // the main record set's cheaper ways stay in use while it is shown
  int RequeryAppended(const std::string& filter, const std::string& sort) override {
    return Now().RequeryAppended(filter, sort);
  }
  int SkipKeysBelow(std::string_view key) const override { return Now().SkipKeysBelow(key); }
  int Count() const override { return Now().Count(); }
  std::string_view Key(int i) const override { return Now().Key(i); }
  std::string_view Value(int i, int field) const override { return Now().Value(i, field); }
  int FieldIndex(const std::string& name) const override { return Now().FieldIndex(name); }
  int Step(int direction) override { return Now().Step(direction); }
  // A group row is no record of the main set: the main set's position stays.
  void GoTo(int i) override {
    if (!group_) main_.GoTo(i);
  }
  // Group rows are no records of the book: nothing of theirs is ever saved.
  bool PhotoCheck(int i, std::string& period) override {
    return group_ ? false : main_.PhotoCheck(i, period);
  }

 private:
  ViewRecords& Now() const { return group_ ? *group_ : main_; }
  ViewRecords& main_;
  ViewRecords* group_ = nullptr;
};
