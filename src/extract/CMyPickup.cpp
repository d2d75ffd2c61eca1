#include "extract/CMyPickup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SharedFile.h"
#include "screens/InputDef.h"
#include "shell/CMyPublic.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

namespace {

// The fixed texts of the dialog, converted once.
struct Texts {
  std::string group = "(ｸﾞﾙｰﾌﾟ)"_sj;
  std::string up = "0:昇順"_sj;
  std::string down = "1:降順"_sj;
  std::string aggregates[5] = {"0:MIN", "1:MAX", "2:SUM", "3:COUNT", "4:AVG"};
  std::string all = "（全て）"_sj;
  std::string noSort = "（指定なし）"_sj;
  std::string previous = "（前の内容）"_sj;
  std::string keyField = "キー項目"_sj;
  std::string serial = "行連番"_sj;
  std::string colorKind = "色種類"_sj;
  std::string rowNames[4] = {"年月日"_sj, "色種類"_sj, "更新日"_sj, "登録日"_sj};
  std::string kinds[4] = {"完全に一致"_sj, "先頭文字が一致"_sj, "最後の文字が一致"_sj,
                          "一致する文字がある"_sj};
};

const Texts& T() {
  static const Texts t;
  return t;
}

// Whole text as a decimal integer (an optional sign, then 1 to 18 digits).
bool ReadInteger(const std::string& s, long long& out) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  if (i == s.size() || s.size() - i > 18) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  out = neg ? -v : v;
  return true;
}

// A literal of the expression language: a quote inside is written twice, so
// a typed "'" can never end the literal and start a condition of its own.
std::string Quote(const std::string& value) {
  std::string out;
  out.reserve(value.size() + 2);
  out += '\'';
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return out;
}

std::string Printf5(const char* fmt, long long v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, v);
  return buf;
}

bool EqualsNoCase(const std::string& a, const char* b) { return collate::CompareNoCase(a, b) == 0; }

}  // namespace

std::vector<PickupField> FieldsFromInputDef(const jsc::InputDef& def) {
  std::vector<PickupField> out;
  for (const jsc::Control& c : def.controls) {
    if (!c.IsField() || c.field.empty()) continue;
    bool seen = false;
    for (const auto& f : out) seen = seen || collate::CompareNoCase(f.name, c.field) == 0;
    if (seen) continue;  // the form edits a field once; so does the grid
    PickupField f;
    f.name = c.field;
    f.caption = c.alias.empty() ? c.field : c.alias;
    f.numeric = c.dataType == jsc::kNumber || c.dataType == jsc::kDecimal;
    f.decimals = f.numeric && c.decimals > 0 ? c.decimals : 0;
    f.list = c.kind == jsc::kCombo && c.slot >= 0 && c.slot <= 99 ? c.slot : -1;
    out.push_back(std::move(f));
  }
  return out;
}

CMyPickup::CMyPickup(CMyDB& table, Prompter& prompter, Beeper& beeper, const Clock& clock)
    : table_(table), prompter_(prompter), beeper_(beeper), clock_(clock), shownDate_(clock.Today()) {
  ResetState();
}

void CMyPickup::Setup(const PickupSetup& setup) {
  dataKind_ = setup.dataKind;
  fields_ = setup.fields;
  colors_ = setup.colors;
  dir_ = setup.divisionDir;
  if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
  defaultLines_ = setup.defaultLines;
  shownDate_ = setup.shownDate.year > 0 ? setup.shownDate : clock_.Today();
  shownPage_ = setup.shownPage > 0 ? setup.shownPage : 1;
  rows_.clear();
  auto special = [this](int kind) {
    Row r;
    r.kind = kind;
    r.name = std::to_string(kind);
    r.caption = T().rowNames[kind];
    r.list = kind == kColorRow ? kColorList : -1;
    rows_.push_back(r);
  };
  if (!ByPage()) special(kKeyRow);
  for (size_t i = 0; i < fields_.size(); ++i) {
    Row r;
    r.name = fields_[i].name;
    r.caption = fields_[i].caption.empty() ? fields_[i].name : fields_[i].caption;
    r.field = static_cast<int>(i);
    r.numeric = fields_[i].numeric;
    r.decimals = fields_[i].decimals;
    r.list = fields_[i].list;
    rows_.push_back(r);
  }
  special(kColorRow);
  special(kUpdatedRow);
  special(kCreatedRow);
  ResetState();
}

void CMyPickup::ResetState() {
  mode_ = kCompactList;
  noData_ = true;
  lineText_ = "30";
  period_ = kAll;
  from_.clear();
  to_.clear();
  keyDown_ = false;
  detail_ = false;
  simpleName_ = T().all;
  simpleText_.clear();
  simpleKind_ = kContains;
  caseSensitive_ = false;
  simpleSort_ = T().noSort;
  simpleSortDown_ = false;
  for (Row& r : rows_) r.sortNo = r.order = r.aggregate = r.aggSize = r.value = {};
  applied_ = false;
  filter_.clear();
  sort_.clear();
  message_.clear();
  focusRow_ = focusColumn_ = -1;
  methods_.assign(1, T().previous);
  selected_ = 0;
  listDamaged_ = false;
}

// ---- captions ----

std::string CMyPickup::PeriodBoxCaption() const { return ByPage() ? "範囲"_sj : "期間"_sj; }
std::string CMyPickup::CurrentPeriodCaption() const { return ByPage() ? "当ページ"_sj : "当月"_sj; }
std::string CMyPickup::RangeCaption() const { return ByPage() ? "ページ"_sj : "期間"_sj; }
std::string CMyPickup::KeyDownCaption() const { return ByPage() ? "ページ降順"_sj : "期間降順"_sj; }

// ---- state ----

void CMyPickup::SetMode(int mode) {
  if (mode != kPageDisplay && mode != kCompactList && mode != kGroupDisplay) return;
  const bool group = mode == kGroupDisplay;
  const bool was = mode_ == kGroupDisplay;
  mode_ = mode;
  if (group != was) SetGroupLayout(group);
}

// The grid's two layouts: the group layout adds 集約種類 and 集約サイズ, marks
// the sorted rows as group keys and sums the numeric fields, and leaves only
// the detail page (groups are set up there).
void CMyPickup::SetGroupLayout(bool on) {
  for (Row& r : rows_) {
    if (on) {
      if (!r.sortNo.empty()) {
        r.aggregate = T().group;
        r.aggSize = "0";
      } else if (r.kind == kFieldRow && r.numeric) {
        r.aggregate = T().aggregates[2];
      }
    } else {
      r.aggregate.clear();
      r.aggSize.clear();
    }
  }
  if (on) detail_ = true;
}

void CMyPickup::SetPeriod(int period) {
  if (period != kAll && period != kCurrent && period != kYear && period != kRange) return;
  if (period == kYear && ByPage()) return;  // the button is hidden there
  if (period != kRange) {
    from_.clear();
    to_.clear();
  }
  period_ = period;
}

void CMyPickup::SetFromText(const std::string& t) {
  from_ = t;
  period_ = kRange;
}

void CMyPickup::SetToText(const std::string& t) {
  to_ = t;
  period_ = kRange;
}

std::vector<std::string> CMyPickup::NameItems() const {
  std::vector<std::string> out{T().all};
  for (const auto& f : fields_) out.push_back(f.caption.empty() ? f.name : f.caption);
  return out;
}

std::vector<std::string> CMyPickup::SortItems() const {
  std::vector<std::string> out{T().noSort};
  for (const auto& f : fields_) out.push_back(f.caption.empty() ? f.name : f.caption);
  return out;
}

std::vector<std::string> CMyPickup::KindItems() const { return {T().kinds, T().kinds + 4}; }

// ---- the grid ----

int CMyPickup::RowOfCaption(const std::string& caption) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].caption == caption) return static_cast<int>(i);
  return -1;
}

CMyPickup::Cell CMyPickup::CellAt(int column) const {
  switch (column) {
    case 0:
      return kKind;
    case 1:
      return kCaption;
    case 2:
      return kSortNo;
    case 3:
      return kOrder;
    case 4:
      return GroupLayout() ? kAggregate : kValue;
    case 5:
      return GroupLayout() ? kAggSize : kNoCell;
    case 6:
      return GroupLayout() ? kValue : kNoCell;
    default:
      return kNoCell;
  }
}

int CMyPickup::ColumnOf(Cell cell) const {
  for (int c = 0; c < GridColumns(); ++c)
    if (CellAt(c) == cell) return c;
  return -1;
}

std::string CMyPickup::HeaderText(int column) const {
  switch (CellAt(column)) {
    case kCaption:
      return "項目名"_sj;
    case kSortNo:
      return "並び番号"_sj;
    case kOrder:
      return "昇降順"_sj;
    case kAggregate:
      return "集約種類"_sj;
    case kAggSize:
      return "集約サイズ"_sj;
    case kValue:
      return "条件値"_sj;
    default:
      return {};
  }
}

std::string CMyPickup::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount()) return {};
  const Row& r = rows_[static_cast<size_t>(row)];
  switch (CellAt(column)) {
    case kKind:
      return r.name;
    case kCaption:
      return r.caption;
    case kSortNo:
      return r.sortNo;
    case kOrder:
      return r.order;
    case kAggregate:
      return r.aggregate;
    case kAggSize:
      return r.aggSize;
    case kValue:
      return r.value;
    default:
      return {};
  }
}

void CMyPickup::ClearSortNo(Row& r) {
  r.sortNo.clear();
  r.order.clear();
  if (GroupLayout()) {
    r.aggregate.clear();
    r.aggSize.clear();
  }
}

// Editing rules of the grid. 並び番号: a digit 1..3 takes that place in the
// order; when another row holds it, every other row at or after it moves one
// place on, and a row pushed past 3 drops out of the order. Any other key
// takes the row out of the order. 昇降順 needs a 並び番号. 集約種類: a group
// key stays a group key; other rows take 0..4 as MIN..AVG.
void CMyPickup::TypeKey(int row, int column, char key) {
  if (row < 0 || row >= RowCount()) return;
  Row& r = rows_[static_cast<size_t>(row)];
  switch (CellAt(column)) {
    case kSortNo: {
      if (key < '1' || key > '0' + kMaxSortNo) {
        ClearSortNo(r);
        return;
      }
      const int d = key - '0';
      bool taken = false;
      for (const Row& o : rows_) taken = taken || (&o != &r && o.sortNo == std::string(1, key));
      if (taken) {
        for (Row& o : rows_) {
          if (&o == &r || o.sortNo.empty()) continue;
          const int n = o.sortNo[0] - '0';
          if (n < d) continue;
          if (n + 1 > kMaxSortNo)
            ClearSortNo(o);
          else
            o.sortNo = std::string(1, static_cast<char>('0' + n + 1));
        }
      }
      r.sortNo = std::string(1, key);
      r.order = T().up;
      if (GroupLayout()) {
        r.aggregate = T().group;
        r.aggSize = "0";
      }
      return;
    }
    case kOrder:
      if (r.sortNo.empty()) {
        r.order.clear();
        beeper_.Beep();
      } else {
        r.order = key == '1' ? T().down : T().up;
      }
      return;
    case kAggregate:
      if (!r.sortNo.empty()) {
        r.aggregate = T().group;
        r.aggSize = "0";
      } else if (key >= '0' && key <= '4') {
        r.aggregate = T().aggregates[key - '0'];
      } else {
        r.aggregate.clear();
      }
      return;
    case kAggSize:
      if (r.sortNo.empty()) r.aggSize.clear();
      return;
    default:
      return;
  }
}

void CMyPickup::EraseKey(int row, int column) {
  if (row < 0 || row >= RowCount()) return;
  Row& r = rows_[static_cast<size_t>(row)];
  switch (CellAt(column)) {
    case kSortNo:
      ClearSortNo(r);
      return;
    case kOrder:
      r.order = r.sortNo.empty() ? std::string() : T().up;
      return;
    case kAggregate:
      if (r.sortNo.empty()) r.aggregate.clear();
      r.aggSize.clear();
      return;
    case kAggSize:
      r.aggSize.clear();
      return;
    case kValue:
      r.value.clear();
      return;
    default:
      return;
  }
}

void CMyPickup::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount()) return;
  Row& r = rows_[static_cast<size_t>(row)];
  switch (CellAt(column)) {
    case kValue:
      r.value = text;
      return;
    case kAggSize:
      r.aggSize = r.sortNo.empty() ? std::string() : text;
      return;
    default:
      return;
  }
}

std::string CMyPickup::ColumnHelp(int row, int column) const {
  switch (CellAt(column)) {
    case kSortNo:
      return "並び順の設定（１～３の値を設定）"_sj;
    case kOrder:
      if (row >= 0 && row < RowCount() && rows_[static_cast<size_t>(row)].sortNo.empty())
        return "※並び順が設定されてある必要があります。"_sj;
      return "昇順・降順を設定（0:昇順 1:降順）"_sj;
    case kAggregate:
      return "集約種類を設定（0:MIN 1:MAX 2:SUM 3:COUNT 4:AVG）"_sj;
    case kAggSize:
      return "集約文字のサイズを設定（0:全て 1-15:指定サイズ）"_sj;
    case kValue:
      return "対象データを入力（例:'ABC'でABCを検索。'*ABC*'でABCを含むデータの検索）"_sj;
    default:
      return {};
  }
}

bool CMyPickup::ValueChoices(int row, std::vector<std::string>& out) const {
  out.clear();
  if (row < 0 || row >= RowCount()) return false;
  const Row& r = rows_[static_cast<size_t>(row)];
  if (r.list == kColorList) {
    for (const auto& k : colors_) out.push_back(k.name);
    return true;
  }
  if (r.list < 0 || r.list > 99) return false;
  char name[32];
  std::snprintf(name, sizeof name, "cboms%02d.ms", r.list);
  std::string bytes;
  if (!fileops::ReadAll(dir_ + name, bytes)) return true;  // no list yet: nothing to choose
  size_t start = 0;
  bool first = true;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end;
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
    if (first && line.compare(0, 3, "$$$") == 0) {
      first = false;
      continue;
    }
    first = false;
    if (!line.empty()) out.push_back(line);
  }
  return true;
}

bool CMyPickup::ChooseValue(int row, const std::vector<std::string>& items, int chosen) {
  if (chosen < 0 || chosen >= static_cast<int>(items.size())) {
    prompter_.Warn("リストを選択して下さい。"_sj);
    return false;
  }
  const std::string& item = items[static_cast<size_t>(chosen)];
  if (item.size() >= 60) {
    prompter_.Warn("サイズが大きいです。"_sj);
    return false;
  }
  if (row >= 0 && row < RowCount()) rows_[static_cast<size_t>(row)].value = item;
  return true;
}

// ---- boxes ----

bool CMyPickup::LeaveRangeBox(std::string& text) {
  if (text.empty()) return true;
  if (!ByPage()) {
    std::string d = CMyPublic(clock_).FormatDate(text, false);
    if (d.empty()) {
      prompter_.Warn("不正な日付です。"_sj);
      return false;
    }
    text = d;
    return true;
  }
  long long p = 0;
  if (!ReadInteger(text, p)) {
    prompter_.Warn("不正なページです。"_sj);
    return false;
  }
  if (p < 1 || p > 99999) {
    prompter_.Warn("範囲をオーバーしました。"_sj);
    return false;
  }
  return true;
}

bool CMyPickup::LeaveLineBox() {
  if (lineText_.empty()) {
    prompter_.Warn("値を入力して下さい。"_sj);
    return false;
  }
  long long n = 0;
  if (!ReadInteger(lineText_, n)) {
    prompter_.Warn("不正な表示行数です。"_sj);
    return false;
  }
  if (n < 1 || n > 99999) {
    prompter_.Warn("範囲をオーバーしました。"_sj);
    return false;
  }
  return true;
}

std::string CMyPickup::ViewSort() const {
  return mode_ == kPageDisplay ? T().keyField + "," + T().serial : sort_;
}

int CMyPickup::LinesPerPage() const {
  long long n = 0;
  // 0 or less would leave the view dividing by zero; one line per page is
  // what "not a number" gives as well
  if (!ReadInteger(lineText_, n) || n < 1) return 1;
  return n > 99999 ? 99999 : static_cast<int>(n);
}

// ---- building the strings ----

int CMyPickup::Fail(int code, const char* utf8, int row, int column) {
  return FailText(code, cp932::FromUtf8(utf8), row, column);
}

int CMyPickup::FailText(int code, const std::string& sj, int row, int column) {
  message_ = sj;
  focusRow_ = row;
  focusColumn_ = column;
  return code;
}

std::string CMyPickup::RowField(const Row& r) const {
  switch (r.kind) {
    case kKeyRow:
      return T().keyField;
    case kColorRow:
      return T().colorKind;
    case kUpdatedRow:
    case kCreatedRow:
      return T().rowNames[r.kind];
    default:
      return r.field >= 0 ? fields_[static_cast<size_t>(r.field)].name : std::string();
  }
}

std::string CMyPickup::SortField(const Row& r) const {
  return r.kind == kColorRow ? std::string("CR002") : RowField(r);
}

bool CMyPickup::FindColor(const std::string& name, ColorKind& out) const {
  // as everywhere else, a colour kind's name is matched ignoring ASCII case
  for (const auto& k : colors_) {
    if (collate::EqualNoCase(k.name, name)) {
      out = k;
      return true;
    }
  }
  return false;
}

const PickupField* CMyPickup::FieldByCaption(const std::string& text) const {
  for (const auto& f : fields_)
    if (collate::CompareNoCase(f.caption, text) == 0) return &f;
  for (const auto& f : fields_)
    if (collate::CompareNoCase(f.name, text) == 0) return &f;
  return nullptr;
}

std::string CMyPickup::ResolveField(const std::string& text) const {
  const PickupField* f = FieldByCaption(text);
  int i = table_.FindField(f ? f->name : text);
  if (i < 0 && f) i = table_.FindField(text);
  return i < 0 ? std::string() : table_.Fields()[i].name;
}

int CMyPickup::BuildPeriod(std::vector<std::string>& terms) {
  const std::string& key = T().keyField;
  if (!ByPage()) {
    char buf[16];
    if (period_ == kCurrent) {
      std::snprintf(buf, sizeof buf, "%04d/%02d", shownDate_.year, shownDate_.month);
      terms.push_back(key + " == '" + buf + "*'");
    } else if (period_ == kYear) {
      std::snprintf(buf, sizeof buf, "%04d", shownDate_.year);
      terms.push_back(key + " == '" + buf + "*'");
    } else if (period_ == kRange) {
      if (from_.empty() && to_.empty()) return Fail(kPeriodRefused, "期間を入力して下さい。");
      // a range read from a file never went through the box's check
      CMyPublic pub(clock_);
      const std::string from = from_.empty() ? std::string() : pub.FormatDate(from_, false);
      const std::string to = to_.empty() ? std::string() : pub.FormatDate(to_, false);
      if ((!from_.empty() && from.empty()) || (!to_.empty() && to.empty()))
        return Fail(kPeriodRefused, "不正な日付です。");
      if (!from.empty() && !to.empty() && from > to)
        return Fail(kPeriodRefused, "左の期間が右の期間より大きいです。");
      if (!from.empty()) terms.push_back(key + " >= " + Quote(from));
      if (!to.empty()) terms.push_back(key + " <= " + Quote(to));
    }
    return kOk;
  }
  if (period_ == kCurrent) {
    terms.push_back(key + " == '" + Printf5("%05lld", shownPage_) + "*'");
  } else if (period_ == kRange) {
    if (from_.empty() && to_.empty()) return Fail(kPeriodRefused, "ページを入力して下さい。");
    long long from = 0, to = 0;
    if ((!from_.empty() && !ReadInteger(from_, from)) || (!to_.empty() && !ReadInteger(to_, to)))
      return Fail(kPeriodRefused, "不正なページです。");
    if ((!from_.empty() && (from < 1 || from > 99999)) || (!to_.empty() && (to < 1 || to > 99999)))
      return Fail(kPeriodRefused, "範囲をオーバーしました。");
    if (!from_.empty() && !to_.empty() && to < from)
      return Fail(kPeriodRefused, "左のページが右のページより大きいです。");
    if (!from_.empty()) terms.push_back(key + " >= '" + Printf5("%05lld", from) + "/00000'");
    if (!to_.empty()) terms.push_back(key + " <= '" + Printf5("%05lld", to) + "/99999'");
  }
  return kOk;
}

int CMyPickup::BuildGridTerms(std::vector<std::string>& terms) {
  for (const Row& r : rows_) {
    if (r.value.empty()) continue;
    if (r.kind == kColorRow) {
      ColorKind kind;
      if (!FindColor(r.value, kind)) return Fail(kRefused, "該当しない色種類名です。");
      std::string cr1, cr2;
      CMyColorKinds::Apply(kind, cr1, cr2);
      terms.push_back("CR001 = " + Quote(cr1) + " and CR002 = " + Quote(cr2));
      continue;
    }
    const std::string name = RowField(r);
    if (name.empty() || table_.FindField(name) < 0) return Fail(kRefused, "設定に失敗しました。");
    if (EqualsNoCase(r.value, "IS NULL"))
      terms.push_back(name + " = ''");
    else if (EqualsNoCase(r.value, "IS NOT NULL"))
      terms.push_back(name + " <> ''");
    else
      terms.push_back(name + " = " + Quote(r.value));
  }
  return kOk;
}

int CMyPickup::BuildSimpleTerms(std::vector<std::string>& terms) {
  if (simpleName_.empty()) return Fail(kRefused, "項目名を入力して下さい。");
  if (simpleText_.empty()) return Fail(kRefused, "検索文字列を入力して下さい。");
  if (simpleKind_ < 0 || simpleKind_ >= kKindCount) return Fail(kRefused, "検索方法を選択して下さい。");
  const bool all = simpleName_ == T().all;
  // The caption resolves to its field, and the strings carry the field's
  // name: a caption may hold a blank or an operator character that would end
  // a name of the expression language.
  const std::string field = all ? std::string() : ResolveField(simpleName_);
  if (!all && field.empty()) return FailText(kRefused, "『"_sj + simpleName_ + "』は検索できません。"_sj);
  if (!simpleSort_.empty() && simpleSort_ != T().noSort && ResolveField(simpleSort_).empty())
    return FailText(kRefused, "『"_sj + simpleSort_ + "』はソートできません。"_sj);
  std::string value = simpleText_;
  if (simpleKind_ == kEnds || simpleKind_ == kContains) value.insert(0, 1, '*');
  if (simpleKind_ == kBegins || simpleKind_ == kContains) value += '*';
  const std::string op = caseSensitive_ ? "==" : "= ";
  if (!all) {
    terms.push_back(field + op + Quote(value));
    return kOk;
  }
  if (fields_.empty()) return FailText(kRefused, "『"_sj + simpleName_ + "』は検索できません。"_sj);
  std::string any = "(";
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (i) any += " or ";
    any += fields_[i].name + op + Quote(value);
  }
  any += ")";
  terms.push_back(any);
  return kOk;
}

int CMyPickup::BuildSort() {
  std::string s;
  if (detail_) {
    for (int k = 1; k <= kMaxSortNo; ++k) {
      const std::string no(1, static_cast<char>('0' + k));
      for (const Row& r : rows_) {
        if (r.sortNo != no) continue;
        const std::string name = SortField(r);
        if (name.empty() || table_.FindField(name) < 0) return Fail(kRefused, "ソートの設定に失敗しました。");
        if (!s.empty()) s += ',';
        s += name;
        if (r.order == T().down)
          s += r.numeric ? " ND " : " D ";
        else if (r.numeric)
          s += " NU ";
        long long size = 0;
        if (GroupLayout() && ReadInteger(r.aggSize, size) && size > 0) s += " L" + std::to_string(size) + " ";
        break;
      }
    }
  } else if (!simpleSort_.empty() && simpleSort_ != T().noSort) {
    const std::string field = ResolveField(simpleSort_);
    if (field.empty()) return FailText(kRefused, "『"_sj + simpleSort_ + "』はソートできません。"_sj);
    const PickupField* f = FieldByCaption(simpleSort_);
    const bool numeric = f && f->numeric;
    s = field;
    if (simpleSortDown_)
      s += numeric ? " ND" : " D";
    else if (numeric)
      s += " NU";
  }
  if (!s.empty()) s += ',';
  s += T().keyField;
  if (keyDown_) s += " D";
  s += "," + T().serial;
  if (static_cast<int>(s.size()) > kMaxSort)
    return Fail(kRefused, "並び順の指定が長すぎます。並び番号を減らして下さい。");
  sort_ = s;
  return kOk;
}

int CMyPickup::BuildExtraction() {
  filter_.clear();
  sort_.clear();
  message_.clear();
  focusRow_ = focusColumn_ = -1;
  // 1. group display needs its keys
  if (mode_ == kGroupDisplay) {
    if (!detail_) return Fail(kRefused, "表示モードが「グループ」の場合、「詳細」を選択して下さい。");
    bool anyKey = false;
    for (size_t i = 0; i < rows_.size(); ++i) {
      const Row& r = rows_[i];
      if (r.sortNo.empty()) continue;
      anyKey = true;
      long long size = 0;
      const bool digits = r.aggSize.find_first_not_of("0123456789") == std::string::npos;
      if (!r.aggSize.empty() && (!digits || !ReadInteger(r.aggSize, size) || size > kMaxAggSize))
        return Fail(kCellRefused, "不正な集約サイズです。", static_cast<int>(i), ColumnOf(kAggSize));
    }
    if (!anyKey) return Fail(kRefused, "グループとなる項目を選択して下さい。");
  }
  // 2. condition values fit a literal
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (static_cast<int>(rows_[i].value.size()) > kMaxValue)
      return Fail(kCellRefused, "サイズがオーバーしました。50byte以内で登録して下さい。", static_cast<int>(i),
                  ValueColumn());
  }
  // 3. period, 4. conditions, 5. colour-only records
  std::vector<std::string> terms;
  int rc = BuildPeriod(terms);
  if (rc != kOk) return rc;
  rc = detail_ ? BuildGridTerms(terms) : BuildSimpleTerms(terms);
  if (rc != kOk) return rc;
  if (noData_) terms.push_back("NODATA = '1'");
  std::string filter;
  for (size_t i = 0; i < terms.size(); ++i) {
    if (i) filter += " and ";
    filter += terms[i];
  }
  if (static_cast<int>(filter.size()) > kMaxFilter)
    return Fail(kRefused, "抽出条件が長すぎます。条件を減らして下さい。");
  // 6. the record store must accept it
  if (!filter.empty()) {
    CMyRec check(&table_);
    if (!check.CheckSyntax(filter.c_str())) return Fail(kRefused, "設定できない条件です。");
  }
  // 7. sort
  rc = BuildSort();
  if (rc != kOk) return rc;
  filter_ = filter;
  return kOk;
}

int CMyPickup::Apply() {
  applied_ = false;
  const int rc = BuildExtraction();
  if (rc != kOk) return rc;
  const std::string path = DivisionPath(pickfile::kLastApplied);
  pickfile::Image old;
  bool writable = true;
  if (pickfile::Read(path, old) == pickfile::kDamaged) {
    // never write over a file that did not read: it goes aside first
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, ".damaged-%08d", clock_.Today().Ymd());
    std::string kept = path + stamp;
    for (int n = 2; fileops::Exists(kept) && n < 1000; ++n) kept = path + stamp + "-" + std::to_string(n);
    writable = !fileops::Exists(kept) && fileops::Move(path, kept);
  }
  if (!writable || !pickfile::Write(path, SaveImage())) prompter_.Warn("抽出条件の保存に失敗しました。"_sj);
  applied_ = true;
  return kOk;
}

std::vector<GroupColumn> CMyPickup::GroupColumns() const {
  std::vector<GroupColumn> out;
  for (const Row& r : rows_) {
    GroupColumn c;
    // grouping by colour kind groups by the background colour, as the sort does
    c.field = SortField(r);
    c.caption = r.caption;
    c.numeric = r.numeric;
    c.decimals = r.decimals;
    const char a = r.aggregate.empty() ? '\0' : r.aggregate[0];
    if (!r.sortNo.empty() && !r.aggregate.empty()) {
      c.mode = -1;
      long long size = 0;
      if (ReadInteger(r.aggSize, size) && size > 0 && size <= kMaxAggSize) c.keySize = static_cast<int>(size);
    } else if (a >= '0' && a <= '4') {
      c.mode = a - '0';
    }
    out.push_back(c);
  }
  return out;
}

// ---- condition files ----

pickfile::Image CMyPickup::SaveImage() const {
  pickfile::Image img;
  img.head.assign(pickfile::kHeadFields, {});
  img.head[pickfile::kMode] = std::to_string(mode_);
  img.head[pickfile::kNoData] = noData_ ? "1" : "0";
  img.head[pickfile::kLines] = lineText_;
  img.head[pickfile::kPeriod] = std::to_string(period_);
  img.head[pickfile::kFrom] = from_;
  img.head[pickfile::kTo] = to_;
  img.head[pickfile::kPage] = detail_ ? "1" : "0";
  img.head[pickfile::kSimpleField] = simpleName_;
  img.head[pickfile::kSimpleText] = simpleText_;
  img.head[pickfile::kSimpleKind] =
      std::to_string(simpleKind_ >= 0 && simpleKind_ < kKindCount ? simpleKind_ : 3);
  img.head[pickfile::kCase] = caseSensitive_ ? "1" : "0";
  img.head[pickfile::kSimpleSort] = simpleSort_;
  img.head[pickfile::kSimpleSortDown] = simpleSortDown_ ? "1" : "0";
  img.head[pickfile::kKeyDown] = keyDown_ ? "1" : "0";
  img.head[pickfile::kReserved] = "0";
  for (const Row& r : rows_) {
    std::vector<std::string> line(pickfile::kRowFields);
    line[pickfile::kCaption] = r.caption;
    line[pickfile::kSortNo] = r.sortNo;
    line[pickfile::kOrder] = r.order;
    line[pickfile::kValue] = r.value;
    if (GroupLayout()) {
      line[pickfile::kAggregate] = r.aggregate;
      line[pickfile::kAggSize] = r.aggSize;
    }
    img.rows.push_back(std::move(line));
  }
  return img;
}

void CMyPickup::LoadImage(const pickfile::Image& image) {
  std::vector<std::string> h = image.head;
  h.resize(pickfile::kHeadFields);
  const std::string& m = h[pickfile::kMode];
  SetMode(m == "0" ? kPageDisplay : m == "1" ? kCompactList : kGroupDisplay);
  noData_ = h[pickfile::kNoData] != "0";
  lineText_ = h[pickfile::kLines].empty() ? std::to_string(defaultLines_) : h[pickfile::kLines];
  const std::string& p = h[pickfile::kPeriod];
  period_ = p == "1" ? kCurrent : p == "2" && !ByPage() ? kYear : p == "5" ? kRange : kAll;
  from_ = h[pickfile::kFrom];
  to_ = h[pickfile::kTo];
  // a group display is set up on the detail page only (its layout hides the
  // simple page), whatever the file says
  detail_ = h[pickfile::kPage] == "1" || mode_ == kGroupDisplay;
  simpleName_ = h[pickfile::kSimpleField].empty() ? T().all : h[pickfile::kSimpleField];
  simpleText_ = h[pickfile::kSimpleText];
  long long kind = 0;
  simpleKind_ = ReadInteger(h[pickfile::kSimpleKind], kind) && kind >= 0 && kind < kKindCount
                    ? static_cast<int>(kind)
                    : kContains;
  caseSensitive_ = h[pickfile::kCase] == "1";
  simpleSort_ = h[pickfile::kSimpleSort].empty() ? T().noSort : h[pickfile::kSimpleSort];
  simpleSortDown_ = h[pickfile::kSimpleSortDown] == "1";
  keyDown_ = h[pickfile::kKeyDown] == "1";

  // A line fills the row whose caption it carries, taking rows and lines in
  // order: the lines of fields that are gone are passed over when a later
  // row finds its own line after them, and rows of new fields come up empty.
  size_t next = 0;
  for (Row& r : rows_) {
    r.sortNo = r.order = r.aggregate = r.aggSize = r.value = {};
    size_t at = next;
    while (at < image.rows.size() && (image.rows[at].empty() || image.rows[at][0] != r.caption)) ++at;
    if (at >= image.rows.size()) continue;
    next = at + 1;
    std::vector<std::string> line = image.rows[at];
    line.resize(pickfile::kRowFields);
    const std::string& no = line[pickfile::kSortNo];
    if (no.size() == 1 && no[0] >= '1' && no[0] <= '0' + kMaxSortNo) r.sortNo = no;
    if (!r.sortNo.empty()) r.order = line[pickfile::kOrder].compare(0, 1, "1") == 0 ? T().down : T().up;
    r.value = line[pickfile::kValue];
    if (GroupLayout()) {
      // a sorted row of the group layout is always a group key, as the
      // editing rules keep it
      const std::string& a = line[pickfile::kAggregate];
      if (!r.sortNo.empty())
        r.aggregate = T().group;
      else if (!a.empty() && a[0] >= '0' && a[0] <= '4')
        r.aggregate = T().aggregates[a[0] - '0'];
      if (!r.sortNo.empty()) r.aggSize = line[pickfile::kAggSize];
    }
  }
}

int CMyPickup::LoadFile(const std::string& path) {
  pickfile::Image img;
  const int rc = pickfile::Read(path, img);
  if (rc == pickfile::kRead) LoadImage(img);
  return rc;
}

// ---- saved methods ----

bool CMyPickup::ValidMethodName(const std::string& name) {
  if (name.empty() || static_cast<int>(name.size()) > kMaxMethodName || !cp932::IsValid(name)) return false;
  if (name.find("..") != std::string::npos) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (cp932::IsLead(c)) {
      ++i;  // a trail byte may be 0x5C; it is no folder separator
      continue;
    }
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  }
  return true;
}

namespace {
// The names of "pickout.lst", `previous` (entry 0) first.
std::vector<std::string> MethodNames(const std::string& bytes, const std::string& previous) {
  std::vector<std::string> names(1, previous);
  size_t start = 0;
  bool first = true;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end;
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
    const bool entry0 = first;
    first = false;
    if (entry0 && line == previous) continue;         // entry 0 is always there
    if (!CMyPickup::ValidMethodName(line)) continue;  // it could not name a file of this folder
    if (std::find(names.begin() + 1, names.end(), line) == names.end()) names.push_back(line);
  }
  return names;
}
}  // namespace

// Names are CP932 inside; the file system spells them in UTF-8.
std::string CMyPickup::MethodPath(const std::string& name) const {
  return dir_ + cp932::ToUtf8(name) + pickfile::kMethodExtension;
}

void CMyPickup::OpenDialog() {
  methods_.assign(1, T().previous);
  selected_ = 0;
  listDamaged_ = false;
  const std::string path = DivisionPath(pickfile::kMethodList);
  // taken before the read: a write that lands during it shows at the save
  (void)fileops::Identify(path, listId_);
  std::string bytes;
  if (fileops::Exists(path)) {
    if (!fileops::IsFile(path) || fileops::Size(path) > static_cast<int64_t>(pickfile::kMaxBytes) ||
        !fileops::ReadAll(path, bytes) || bytes.find('\0') != std::string::npos || !cp932::IsValid(bytes)) {
      listDamaged_ = true;
      prompter_.Warn("抽出方法の一覧（pickout.lst）が読めません。一覧は書き換えずにおきます。"_sj);
    } else {
      methods_ = MethodNames(bytes, T().previous);
    }
  }
  listBase_ = methods_;
  if (LoadFile(DivisionPath(pickfile::kLastApplied)) == pickfile::kDamaged)
    prompter_.Warn("抽出条件の読み込み失敗"_sj);
}

void CMyPickup::SelectMethod(int index) {
  if (index < 0 || index >= static_cast<int>(methods_.size())) return;
  selected_ = index;
  const std::string path =
      index == 0 ? DivisionPath(pickfile::kLastApplied) : MethodPath(methods_[static_cast<size_t>(index)]);
  if (LoadFile(path) == pickfile::kDamaged) prompter_.Warn("抽出条件の読み込み失敗"_sj);
}

std::string CMyPickup::SaveNamePrefill() const {
  return selected_ > 0 ? methods_[static_cast<size_t>(selected_)] : std::string();
}

bool CMyPickup::WriteMethodList() {
  if (listDamaged_) return false;
  const std::string path = DivisionPath(pickfile::kMethodList);
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockOfDivision(dir_), &prompter_)) return false;
  std::vector<std::string> list = methods_;
  fileops::FileId now;
  const int changed = sharedfile::Compare(path, listId_, now);
  std::string bytes;
  if (changed < 0 || (changed > 0 && now.Exists() && !fileops::ReadAll(path, bytes))) {
    lock.Release();  // never held while a message is up
    prompter_.Warn(sharedfile::UnreadableText(path));
    return false;
  }
  if (changed > 0) {
    // another window saved or deleted methods meanwhile: both sides' changes
    list = sharedfile::MergeRecords(listBase_, methods_, MethodNames(bytes, T().previous));
    std::erase(list, T().previous);
    list.insert(list.begin(), T().previous);
  }
  bytes.clear();
  for (const auto& m : list) bytes += m + "\r\n";
  if (!fileops::WriteAtomic(path, bytes)) return false;
  methods_ = std::move(list);
  listBase_ = methods_;
  (void)fileops::Identify(path, listId_);
  return true;
}

int CMyPickup::SaveMethod(const std::string& name) {
  if (name.empty()) {
    prompter_.Warn("抽出方法名を入力して下さい。"_sj);
    return 1;
  }
  if (static_cast<int>(name.size()) > kMaxMethodName) {
    prompter_.Warn("抽出方法名は30byte以内で入力して下さい。"_sj);
    return 1;
  }
  if (!ValidMethodName(name)) {
    prompter_.Warn("抽出方法名に「/」「\\」「..」や制御文字は使えません。"_sj);
    return 1;
  }
  if (listDamaged_) {
    prompter_.Warn("抽出方法の一覧（pickout.lst）が読めないため、保存できません。"_sj);
    return 1;
  }
  int existing = -1;
  for (size_t i = 1; i < methods_.size(); ++i)
    if (methods_[i] == name) existing = static_cast<int>(i);
  const std::string path = MethodPath(name);
  const bool fileThere = fileops::Exists(path);
  // a file of that name that the list lost counts as a method too
  if ((existing > 0 || fileThere) &&
      !prompter_.Confirm("既に登録されている名前です。上書きしてよろしいですか？"_sj))
    return 1;
  pickfile::Image old;
  if (fileThere && pickfile::Read(path, old) == pickfile::kDamaged) {
    prompter_.Warn("抽出条件ファイルが壊れているため上書きできません。削除してから保存して下さい。"_sj);
    return 1;
  }
  if (!pickfile::Write(path, SaveImage())) {
    prompter_.Warn("抽出条件の保存に失敗しました。"_sj);
    return 1;
  }
  if (existing > 0) {
    selected_ = existing;
    return 0;
  }
  methods_.push_back(name);
  if (!WriteMethodList()) {
    // the method and the list change together or not at all
    methods_.pop_back();
    if (!fileThere) (void)fileops::Remove(path);
    prompter_.Warn("抽出条件リストの保存に失敗しました。"_sj);
    return 1;
  }
  selected_ = static_cast<int>(std::find(methods_.begin(), methods_.end(), name) - methods_.begin());
  return 0;
}

int CMyPickup::DeleteMethod() {
  if (selected_ <= 0 || selected_ >= static_cast<int>(methods_.size())) {
    beeper_.Beep();
    return 1;
  }
  if (!prompter_.Confirm("選択している抽出方法を削除します。よろしいですか？"_sj, true)) return 1;
  const std::string path = MethodPath(methods_[static_cast<size_t>(selected_)]);
  if (fileops::Exists(path) && !fileops::Remove(path)) {
    prompter_.Warn("削除に失敗しました。"_sj);
    return 1;
  }
  methods_.erase(methods_.begin() + selected_);
  selected_ = 0;
  if (!WriteMethodList()) prompter_.Warn("抽出方法リストからの削除に失敗しました。"_sj);
  return 0;
}

int CMyPickup::RunSavedExtraction(const std::string& reference) {
  filter_.clear();
  sort_.clear();
  message_.clear();
  applied_ = false;
  if (reference.empty() || reference[0] != '=' || reference.size() >= 60) return kOk;
  const std::string name = reference.substr(1);
  pickfile::Image img;
  int rc = pickfile::kMissing;
  if (ValidMethodName(name)) {
    rc = pickfile::Read(dir_ + cp932::ToUtf8(name) + pickfile::kAutoExtension, img);
    if (rc == pickfile::kMissing) rc = pickfile::Read(MethodPath(name), img);
  }
  if (rc != pickfile::kRead) return Fail(kRefused, "抽出条件の読み込み失敗");
  LoadImage(img);
  rc = BuildExtraction();
  applied_ = rc == kOk;
  return rc;
}
