// CMyRec: a record set over one CMyDB. Compiles filter expressions into
// condition lists, selects and sorts the live records that satisfy them,
// walks the selection and finds records in it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BulkMemory.h"
#include "store/CMyLine.h"

class CMyDB;

// Layout of one compiled condition node (88 bytes, one line of a list).
namespace sqlnode {
constexpr int kSize = 88;
constexpr int kKindOffset = 0;        // 'o' / 'a' condition, '(' / '{' group (joined by OR / AND)
constexpr int kRefOffset = 4;         // condition: field index; group: first node after the group
constexpr int kOp1Offset = 8;         // '<', '=' or '>'
constexpr int kOp2Offset = 9;         // 0, '=' or '>'; for = / == on text the match mode '0'..'7'
constexpr int kValueKindOffset = 12;  // 0 text, 1 number
constexpr int kNumberOffset = 16;
constexpr int kTextOffset = 20;
constexpr int kTextSize = 65;  // the longest literal + NUL
constexpr int kMaxText = 50;
// A find condition (list 1) takes longer literals: a search text of 30
// double-byte characters with a wildcard at each end is 62 bytes.
constexpr int kMaxFindText = 64;
constexpr char kOr = 'o';
constexpr char kAnd = 'a';
constexpr char kGroupOr = '(';
constexpr char kGroupAnd = '{';
}  // namespace sqlnode

class CMyRec {
 public:
  static constexpr int kListFilter = 0;  // the selection filter
  static constexpr int kListFind = 1;    // the find condition
  static constexpr int kListCheck = 2;   // syntax checks only
  static constexpr int kMaxSortKeys = 10;
  static constexpr int kMaxGroups = 10;
  static constexpr int kNoneFound = 202;
  static constexpr int kNoCurrent = 201;

  // Sort flags.
  static constexpr int kDescending = 1;
  static constexpr int kNumeric = 2;

  struct SortKey {
    int field;
    int flags;   // kDescending | kNumeric
    int prefix;  // 0 = whole value, else bytes compared
  };

  explicit CMyRec(CMyDB* table = nullptr);
  CMyRec(const CMyRec&) = delete;
  CMyRec& operator=(const CMyRec&) = delete;

  void Bind(CMyDB* table);
  CMyDB* Table() const { return db_; }
  // Empties the selection and the sort keys; no position.
  void Reset();

  // "name [N][U|D...] [Lnn], ..." up to 10 keys. 0; -6 unknown field; -7 bad
  // direction. Keys parsed before an error stay in force.
  [[nodiscard]] int SetSort(std::string_view spec, bool sortNow);
  const std::vector<SortKey>& SortKeys() const { return keys_; }

  // Compiles `expression` (CP932) into list 0, 1 or 2. 0 or a negative code:
  // -1 ends in/after a connector; -2 bad connector; -4 nothing after a
  // connector or "("; -5 ends in a field name; -6 unknown field; -7 ends
  // after the name; -8 no operator; -9 bad operator pair; -10 no value;
  // -13 text not quoted; -14 text over 50 bytes; -15 non-digit in a number;
  // -16 number over 9 digits; -17 field type neither text nor number;
  // -20 11th open group; -21 ")" without "("; -22 group left open.
  // Literals of the find list (1) may hold up to 64 bytes.
  // A null expression gives an empty list. On an error the list holds the
  // nodes compiled before it.
  [[nodiscard]] int MakeSql(const char* expression, int list);
  [[nodiscard]] int MakeSql(const std::string& expression, int list) {
    return MakeSql(expression.c_str(), list);
  }
  // MakeSql into list 0, then Requery; a compile error leaves the selection.
  [[nodiscard]] int Select(const char* expression);
  [[nodiscard]] int Select(const std::string& expression) { return Select(expression.c_str()); }
  // Rebuilds and sorts the selection from list 0: 0 found (position 0),
  // 202 none (no position), -1 data error (with a message).
  [[nodiscard]] int Requery();
  // The same result as Requery, found without going over every record again
  // when the table has only grown since this record set's last selection
  // (a period loaded, records appended) and neither the filter nor the sort
  // keys were set anew: the new records are tested and merged into the
  // sorted selection. Falls back to Requery whenever it could differ from it
  // (records changed or deleted, records equal on every sort key).
  [[nodiscard]] int RequeryAppended();
  [[nodiscard]] bool CheckSyntax(const char* expression);
  const CMyLine& List(int list) const { return lists_[list < 0 || list > 2 ? 2 : list]; }
  // 1 when record r satisfies list `list` (nodes [from, to); the whole list
  // when from is 0), 0 when not, -1 on a data error.
  [[nodiscard]] int Evaluate(int record, int list, int from = 0, int to = 0);

  // Sorts the selection by the sort keys (nothing without keys).
  void Sort();
  // True when the selection is in ascending order of `field` as its first
  // sort key (whole values compared as text), as the last sort left it.
  bool OrderedBy(int field) const;

  int Count() const { return static_cast<int>(sel_.size()); }
  const int* Items() const { return sel_.data(); }
  int Position() const { return pos_; }
  int CurrentRecord() const { return NoCurrent() ? -1 : sel_[static_cast<size_t>(pos_)]; }
  bool NoCurrent() const { return pos_ < 0 || pos_ >= Count(); }
  int First();  // 0, or -1 when empty
  int Last();   // 0, or -1 when empty
  int Prev();   // 0 moved; 1 fell before the first; 2 no position
  int Next();   // 0 moved; 1 reached the end; 2 already at/after the end
  bool HasNext() const { return pos_ + 1 < Count(); }
  int GoTo(int i);  // i, or -1 (no current) when out of range

  // Edit buffer of the bound table.
  [[nodiscard]] int LoadCurrent();  // 0, or 201 with an emptied edit buffer
  void New();
  [[nodiscard]] int SetValue(int field, std::string_view text);
  [[nodiscard]] int SetValueByName(std::string_view name, std::string_view text);
  [[nodiscard]] int Store();
  const char* Value(int field) const;  // null without a current record
  const char* ValueByName(std::string_view name) const;
  // Marks the current record deleted; with `requery` reselects and stays at
  // the same position. 1, or 0 without a current record.
  [[nodiscard]] int DeleteCurrent(bool requery);

  // Compiles into list 1 and searches the selection; start 0 first record,
  // 1 current record (the first / last when there is none), 2 last record.
  // The new position, or -1 (no current record).
  int Find(const char* expression, int start, bool forward);
  int FindNext();
  int FindPrev();
  // With folding on, the text matches of the find condition (= and == with
  // or without wildcards) do not tell full-width from half-width forms
  // (platform/WidthFold.h): the value and the literal are both folded
  // before they are compared. Off by default; it stays as set for
  // FindNext and FindPrev.
  void SetFindWidthFold(bool on) { findFold_ = on; }
  bool FindWidthFold() const { return findFold_; }

 private:
  // A compiled node decoded once per scan, so evaluation never re-parses bytes.
  struct Node {
    char kind;
    int ref;
    unsigned char truth;  // bits: true when d < 0, d == 0, d > 0
    int mode;             // -1 compare; 0..7 match mode
    bool number;
    int64_t num;
    const char* text;
    int textLength;
    bool fold;   // compare width-folded forms
    bool bytes;  // a contains-match that byte equality decides
  };
  struct Scan {
    std::vector<Node> nodes;
    std::vector<std::string> folded;  // folded literals the nodes point into
    bool broken = false;              // a node names a field the table no longer has
    bool groupError = false;          // a group whose end index is impossible
  };

  [[nodiscard]] int Compile(std::string_view s, CMyLine& out, size_t maxText);
  void Decode(int list, Scan& scan) const;
  int EvalRange(const char* rec, Scan& scan, int from, int to) const;
  int EvalCondition(const char* rec, const Node& n) const;
  // True when no record can meet a group whose end index is impossible in
  // nodes [from, to) of the decoded filter.
  bool ListSound(int from, int to) const;
  // Sets or clears the selection mark, writing the byte only when it changes.
  static void Mark(char* rec, unsigned char status, bool matched);
  [[nodiscard]] int ParseSort(std::string_view spec);
  static bool SameKeys(const std::vector<SortKey>& a, const std::vector<SortKey>& b);
  // Places added_ into the sorted selection; false when equal keys leave
  // the order to a full sort.
  [[nodiscard]] bool MergeAdded();
  // One selected record while sorting: the leading keys in a form that
  // compares byte-wise like the key comparison, so most comparisons never
  // touch the records themselves (which lie scattered over the table).
  struct SortEntry {
    uint64_t key[2][2];  // first two keys, 16 normalized bytes each, big-endian
    const char* rec;
    int record;
    unsigned char complete;  // bit k: key k's whole value is in key[k]
  };
  static constexpr int kCachedKeys = 2;
  void Normalize(SortEntry& e, int k) const;
  int CompareKey(const char* ra, const char* rb, const SortKey& key) const;
  int CompareEntries(const SortEntry& a, const SortEntry& b) const;
  int Search(int from, bool forward);
  void ReportGroupError(Scan& scan);

  // Large selections and sort tables are mapped in large pages.
  using Selection = bulk::Array<int>;
  enum class SortState { kFailed, kTieFree, kTies };
  // What the last Requery was made from, for RequeryAppended.
  struct Base {
    bool valid = false;
    uint64_t filter = 0, sort = 0, changes = 0;
    int records = 0;       // the table's record count then
    bool tieFree = false;  // no two selected records equal on every key
  };

  CMyDB* db_;
  Selection sel_;
  Selection added_;             // records matched by RequeryAppended
  uint64_t filterVersion_ = 0;  // counts changes of list 0 (a compilation that gave other nodes)
  uint64_t sortVersion_ = 0;    // counts changes of the sort keys
  SortState sorted_ = SortState::kFailed;
  uint64_t sortedAt_ = static_cast<uint64_t>(-1);  // the sort version the last sort used
  Base base_;
  int pos_ = -1;
  bool findFold_ = false;
  mutable std::string foldedValue_;  // a value's folded form while it is matched
  std::vector<SortKey> keys_;
  CMyLine lists_[3];
  Scan scan_;                    // reused between scans so a requery allocates nothing per record
  bulk::Array<SortEntry> work_;  // reused between sorts
};
