#include "extract/CMyGroup.h"

#include <algorithm>
#include <unordered_map>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/MemoSchema.h"

namespace groupnum {

bool Parse(std::string_view s, __int128& out) {
  out = 0;
  size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  while (n > i && s[n - 1] == ' ') --n;
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  __int128 v = 0;
  int intDigits = 0, fracDigits = 0;
  while (i < n && s[i] >= '0' && s[i] <= '9') {
    if (++intDigits > 20) return false;  // beyond any amount a book keeps
    v = v * 10 + (s[i++] - '0');
  }
  for (int k = 0; k < kScale; ++k) v *= 10;
  if (i < n && s[i] == '.') {
    ++i;
    __int128 unit = 1;
    for (int k = 0; k < kScale; ++k) unit *= 10;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
      ++fracDigits;
      unit /= 10;  // digits past the ninth add nothing
      v += (s[i++] - '0') * unit;
    }
  }
  if (i != n || intDigits + fracDigits == 0) return false;
  out = neg ? -v : v;
  return true;
}

std::string Format(__int128 total, long long count, int decimals) {
  if (count < 1) count = 1;
  decimals = std::clamp(decimals, 0, kScale);
  __int128 denom = count;
  for (int k = decimals; k < kScale; ++k) denom *= 10;
  const bool neg = total < 0;
  __int128 mag = neg ? -total : total;
  __int128 q = (mag + denom / 2) / denom;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(q % 10)));
    q /= 10;
  } while (q > 0);
  if (decimals > 0) {
    if (static_cast<int>(digits.size()) <= decimals)
      digits.insert(0, static_cast<size_t>(decimals + 1) - digits.size(), '0');
    digits.insert(digits.size() - static_cast<size_t>(decimals), 1, '.');
  }
  // a total that rounds to zero shows no sign
  if (neg && digits.find_first_not_of("0.") != std::string::npos) digits.insert(0, 1, '-');
  return digits;
}

}  // namespace groupnum

namespace {

// A key value cut to its leading `size` bytes, never inside a character.
std::string_view Cut(std::string_view v, int size) {
  if (size <= 0 || v.size() <= static_cast<size_t>(size)) return v;
  return v.substr(0, cp932::CharStart(v, static_cast<size_t>(size)));
}

}  // namespace

// What one group gathers per column while its records are read.
struct CMyGroup::Acc {
  int first = -1;       // record whose values the row starts with
  long long count = 0;  // records in the group
  std::vector<std::string> keys;
  std::vector<std::string_view> kept;  // MIN / MAX: the value kept
  std::vector<__int128> number;        // MIN / MAX numeric: the kept value as a number; SUM / AVG: the total
};

CMyGroup::CMyGroup(Prompter& prompter) : prompter_(prompter), table_(&prompter), rec_(&table_) {}

void CMyGroup::Clear() {
  rec_.Reset();
  table_.ClearRecords();
  columns_.clear();
  keyField_.clear();
  sizes_.clear();
}

int CMyGroup::Build(const CMyDB& source, const int* items, int count,
                    const std::vector<GroupColumn>& columns) {
  rec_.Reset();
  columns_.clear();
  sizes_.clear();
  keyField_.assign(static_cast<size_t>(source.FieldCount()), false);
  CMyField defs;
  for (int f = 0; f < source.FieldCount(); ++f) {
    FieldDef d = source.Fields()[f];
    d.alias.clear();
    if (d.type == fielddef::kTypeText) d.maxLength = std::max(d.maxLength, kMinTextLength);
    if (defs.Add(d) != CMyField::kOk) return -1;
  }
  if (table_.Define(defs) != CMyDB::kOk) return -1;
  for (int f = 0; f < source.FieldCount(); ++f) {
    const FieldDef& d = source.Fields()[f];
    if (!d.alias.empty()) (void)table_.SetAlias(d.name, d.alias);
  }

  std::vector<int> keyColumns;
  bool told = false;
  for (const GroupColumn& g : columns) {
    Column c;
    c.def = g;
    c.field = g.field.empty() ? -1 : source.FindField(g.field);
    c.mode = c.field < 0 ? kNone : g.mode;
    if (c.mode < kNone || c.mode > kAvg) c.mode = kNone;
    if (c.mode == kKey) {
      if (static_cast<int>(keyColumns.size()) >= kMaxKeys) {
        if (!told) prompter_.Warn("グループ数がオーバーしました。"_sj);
        told = true;
        c.mode = kNone;
      } else {
        keyColumns.push_back(static_cast<int>(columns_.size()));
        keyField_[static_cast<size_t>(c.field)] = true;
      }
    }
    columns_.push_back(c);
  }
  if (count <= 0 || !items || keyColumns.empty()) return 0;

  const size_t ncol = columns_.size();
  std::vector<Acc> groups;
  std::unordered_map<std::string, int> index;
  std::string joined;
  for (int k = 0; k < count; ++k) {
    const int r = items[k];
    if (r < 0 || r >= source.RecordCount()) continue;
    joined.clear();
    for (int kc : keyColumns) {
      const Column& c = columns_[static_cast<size_t>(kc)];
      const char* v = source.Value(c.field, r);
      joined.append(Cut(v ? v : "", c.def.keySize));
      joined += '\0';  // values hold no NUL, so keys never run together
    }
    auto [it, fresh] = index.try_emplace(joined, static_cast<int>(groups.size()));
    if (fresh) {
      Acc a;
      a.first = r;
      a.kept.assign(ncol, {});
      a.number.assign(ncol, 0);
      for (int kc : keyColumns) {
        const Column& c = columns_[static_cast<size_t>(kc)];
        const char* v = source.Value(c.field, r);
        a.keys.emplace_back(Cut(v ? v : "", c.def.keySize));
      }
      groups.push_back(std::move(a));
    }
    Acc& g = groups[static_cast<size_t>(it->second)];
    ++g.count;
    for (size_t ci = 0; ci < ncol; ++ci) {
      Column& c = columns_[ci];
      if (c.mode < kMin) continue;
      const char* raw = source.Value(c.field, r);
      const std::string_view v = raw ? raw : "";
      switch (c.mode) {
        case kSum:
        case kAvg: {
          __int128 x = 0;
          if (!groupnum::Parse(v, x) && !v.empty()) ++c.notNumbers;
          g.number[ci] += x;
          break;
        }
        case kMin:
        case kMax: {
          // a record without a value has nothing to compare: an empty value
          // is kept only when every record of the group lacks one
          if (v.empty()) break;
          if (g.kept[ci].empty()) {
            g.kept[ci] = v;
            if (c.def.numeric) (void)groupnum::Parse(v, g.number[ci]);
            break;
          }
          int cmp;
          __int128 x = 0;
          if (c.def.numeric) {
            (void)groupnum::Parse(v, x);  // not a number counts as 0
            cmp = x < g.number[ci] ? -1 : x > g.number[ci] ? 1 : 0;
          } else {
            cmp = v.compare(g.kept[ci]);  // byte order
          }
          if ((c.mode == kMin && cmp < 0) || (c.mode == kMax && cmp > 0)) {
            g.kept[ci] = v;
            g.number[ci] = x;
          }
          break;
        }
        default:
          break;
      }
    }
  }

  const int weekday = source.FindField("曜日"_sj);
  for (const Acc& g : groups) {
    table_.New();
    for (int f = 0; f < source.FieldCount(); ++f) {
      const char* v = source.Value(f, g.first);
      (void)table_.SetValue(f, v ? v : "");
    }
    if (weekday >= 0) (void)table_.SetValue(weekday, "0");
    size_t key = 0;
    for (size_t ci = 0; ci < ncol; ++ci) {
      const Column& c = columns_[ci];
      if (c.field < 0) continue;
      std::string out;
      switch (c.mode) {
        case kKey:
          out = g.keys[key++];
          break;
        case kSum:
          out = groupnum::Format(g.number[ci], 1, c.def.decimals);
          break;
        case kAvg:
          out = groupnum::Format(g.number[ci], g.count, c.def.decimals);
          break;
        case kCount:
          out = std::to_string(g.count);
          break;
        case kMin:
        case kMax:
          out = g.kept[ci];
          break;
        default:
          break;  // a column without an aggregate shows nothing
      }
      if (table_.SetValue(c.field, out) != CMyDB::kOk) (void)table_.SetValue(c.field, "");
    }
    if (table_.Store() != CMyDB::kOk) return -1;
    sizes_.push_back(g.count);
  }
  return static_cast<int>(groups.size());
}

int CMyGroup::SortRows(const std::string& sort) {
  int rc = rec_.SetSort(sort, false);
  if (rc < 0) return rc;
  rc = rec_.MakeSql(nullptr, CMyRec::kListFilter);
  if (rc < 0) return rc;
  rc = rec_.Requery();
  return rc == CMyRec::kNoneFound ? 0 : rc;
}

int CMyGroup::Show(const std::string& sort) {
  const int rc = SortRows(sort);
  if (rc != 0) prompter_.Warn("抽出に失敗しました。"_sj);
  return rc;
}

std::string CMyGroup::DisplayValue(int pos, int field) const {
  if (pos < 0 || pos >= rec_.Count()) return {};
  const char* v = table_.Value(field, rec_.Items()[pos]);
  if (v && *v) return v;
  if (field >= 0 && static_cast<size_t>(field) < keyField_.size() && keyField_[static_cast<size_t>(field)])
    return "（空白）"_sj;
  return {};
}

long long CMyGroup::GroupSize(int pos) const {
  if (pos < 0 || pos >= rec_.Count()) return 0;
  const int r = rec_.Items()[pos];
  return r >= 0 && static_cast<size_t>(r) < sizes_.size() ? sizes_[static_cast<size_t>(r)] : 0;
}

std::string CMyGroup::FooterText() const {
  std::string parts;
  for (const Column& c : columns_) {
    if ((c.mode != kSum && c.mode != kAvg) || c.notNumbers == 0) continue;
    if (!parts.empty()) parts += "、"_sj;
    parts += c.def.caption + " " + std::to_string(c.notNumbers) + "件"_sj;
  }
  return parts.empty() ? std::string() : "数値でない値を0として集計: "_sj + parts;
}
