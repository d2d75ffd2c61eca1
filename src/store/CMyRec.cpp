#include "store/CMyRec.h"

#include <algorithm>
#include <cstring>

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "platform/WidthFold.h"
#include "store/CMyDB.h"

namespace {
constexpr unsigned char kLess = 1;
constexpr unsigned char kEqual = 2;
constexpr unsigned char kGreater = 4;
constexpr int kSmallRange = 10;   // ranges this small are left to the insertion pass
constexpr int kStackRanges = 32;  // quicksort gives up to the insertion pass here
constexpr int kMaxDigits = 9;

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The decimal integer a value starts with: leading blanks, optional sign,
// digits; anything else ends it; no digits = 0. At most `limit` bytes.
int64_t ReadInteger(const char* v, size_t limit) {
  size_t i = 0;
  while (i < limit && v[i] && IsBlank(v[i])) ++i;
  bool neg = false;
  if (i < limit && (v[i] == '+' || v[i] == '-')) neg = v[i++] == '-';
  int64_t n = 0;
  int digits = 0;
  while (i < limit && v[i] >= '0' && v[i] <= '9') {
    if (digits++ < 18) n = n * 10 + (v[i] - '0');  // beyond 18 digits the value saturates
    ++i;
  }
  return neg ? -n : n;
}

inline const char* FieldValue(const char* rec, int field) { return rec + le::GetU16(rec + 1 + 2 * field); }

inline size_t CharWidth(const char* p) { return (cp932::IsLead(p[0]) && p[1] != '\0') ? 2 : 1; }

// Literal found at p (at a character boundary), double-byte characters
// compared exactly, single bytes folded when kFold.
template <bool kFold>
inline bool MatchAt(const char* p, const char* lit, int n) {
  int k = 0;
  while (k < n) {
    char vc = p[k];
    if (vc == '\0') return false;
    if (cp932::IsLead(vc)) {
      if (k + 1 >= n || vc != lit[k] || p[k + 1] != lit[k + 1]) return false;
      k += 2;
    } else {
      if (kFold ? collate::FoldLower(vc) != collate::FoldLower(lit[k]) : vc != lit[k]) return false;
      ++k;
    }
  }
  return true;
}

// Whether p starts a character, given `walk`, a character start at or
// before p: the bytes of the lead range just before p pair up into whole
// characters from the last byte outside that range (or from walk). Moves
// walk up to p, so each byte is looked at once however many candidates
// a value has.
inline bool StartsCharacter(const char*& walk, const char* p) {
  const char* q = p;
  while (q > walk && cp932::IsLead(q[-1])) --q;
  const bool start = ((p - q) & 1) == 0;
  walk = start ? p : p + 1;  // a trail byte ends its character
  return start;
}

// Searches at character boundaries only, so a literal never matches the
// trail byte of one character and the lead byte of the next. One library
// scan finds each place the literal's first byte (in either case when
// kFold) stands, up to the value's end; only those are tried, and only when
// they start a character.
template <bool kFold>
bool Contains(const char* v, const char* lit, int n) {
  if (n <= 0) return false;
  const char lower = kFold ? collate::FoldLower(lit[0]) : lit[0];
  const char upper = kFold ? collate::FoldUpper(lower) : lower;
  const char both[3] = {lower, upper, '\0'};
  auto next = [&](const char* from) {
    return lower == upper ? std::strchr(from, lower) : std::strpbrk(from, both);
  };
  const char* walk = v;
  for (const char* p = next(v); p; p = next(p + 1))
    if (StartsCharacter(walk, p) && MatchAt<kFold>(p, lit, n)) return true;
  return false;
}

// The same search as Contains where byte equality is the whole rule: the
// literal is whole characters and, when case is folded, holds no ASCII
// letter of its own. memmem finds the candidates; the walk over the value's
// characters goes only as far as they do, to tell a match at a character
// boundary from one that starts on a trail byte.
bool ContainsBytes(const char* v, const char* lit, int n) {
  if (n <= 0) return false;
  const size_t len = std::strlen(v);
  const size_t need = static_cast<size_t>(n);
  const char* end = v + len;
  const char* walk = v;  // a character boundary at or before the next candidate
  const char* p = v;
  while (static_cast<size_t>(end - p) >= need) {
    const char* c = static_cast<const char*>(memmem(p, static_cast<size_t>(end - p), lit, need));
    if (!c) return false;
    while (walk < c) walk += CharWidth(walk);
    if (walk == c) return true;
    p = c + 1;
  }
  return false;
}

// Whether ContainsBytes may stand for Contains with this literal.
bool BytesSearchable(const char* lit, int n, bool foldCase) {
  int i = 0;
  while (i < n) {
    if (cp932::IsLead(lit[i])) {
      if (i + 1 >= n || lit[i + 1] == '\0') return false;  // half a character at the end
      i += 2;
      continue;
    }
    if (foldCase && collate::FoldLower(lit[i]) != collate::FoldUpper(lit[i])) return false;
    ++i;
  }
  return true;
}

bool MatchMode(const char* v, const char* lit, int n, int mode) {
  const bool exact = mode >= 4;
  std::string_view l(lit, static_cast<size_t>(n));
  switch (mode & 3) {
    case 0: {
      size_t len = strnlen(v, static_cast<size_t>(n) + 1);
      if (len != static_cast<size_t>(n)) return false;
      std::string_view s(v, len);
      return exact ? collate::Compare(s, l) == 0 : collate::CompareNoCase(s, l) == 0;
    }
    case 1: {
      if (strnlen(v, static_cast<size_t>(n)) < static_cast<size_t>(n)) return false;
      std::string_view s(v, static_cast<size_t>(n));
      return exact ? collate::Compare(s, l) == 0 : collate::CompareNoCase(s, l) == 0;
    }
    case 2: {
      size_t len = std::strlen(v);
      if (len < static_cast<size_t>(n)) return false;
      size_t start = len - static_cast<size_t>(n);
      std::string_view whole(v, len);
      if (cp932::CharStart(whole, start) != start) return false;  // would start inside a character
      std::string_view s = whole.substr(start);
      return exact ? collate::Compare(s, l) == 0 : collate::CompareNoCase(s, l) == 0;
    }
    default:
      return exact ? Contains<false>(v, lit, n) : Contains<true>(v, lit, n);
  }
}

// Puts `sel` (in record order) in the order of `old`, a sorted selection
// without ties over the same table. False, with `sel` as it came, when `sel`
// holds a record `old` does not: only a sort can place it.
bool KeepOrder(bulk::Array<int>& sel, const bulk::Array<int>& old, int total) {
  std::vector<unsigned char> chosen(static_cast<size_t>(total));
  for (int r : sel) chosen[static_cast<size_t>(r)] = 1;
  size_t kept = 0;
  for (int r : old) {
    if (!chosen[static_cast<size_t>(r)]) continue;
    chosen[static_cast<size_t>(r)] = 0;
    sel[kept++] = r;  // every record counted here was read from sel above
  }
  if (kept == sel.size()) return true;
  for (size_t i = 0; i < chosen.size(); ++i)
    if (chosen[i]) sel[kept++] = static_cast<int>(i);
  std::sort(sel.begin(), sel.end());
  return false;
}

}  // namespace

CMyRec::CMyRec(CMyDB* table) : db_(table) {}

void CMyRec::Reset() {
  sel_.clear();
  keys_.clear();
  ++sortVersion_;
  base_.valid = false;
  pos_ = -1;
}

void CMyRec::Bind(CMyDB* table) {
  db_ = table;
  base_.valid = false;
}

void CMyRec::Mark(char* rec, unsigned char status, bool matched) {
  const unsigned char s = matched ? (status | jdt::kMatchedBit) : (status & ~jdt::kMatchedBit);
  if (s != status) rec[0] = static_cast<char>(s);
}

// ---- compiling ---------------------------------------------------------------

int CMyRec::MakeSql(const char* expression, int list) {
  if (list < 0 || list > 2) return -1;
  CMyLine& out = lists_[list];
  std::string before;
  if (list == kListFilter) before = out.ListBytes();
  out.Clear();
  const size_t maxText = list == kListFind ? sqlnode::kMaxFindText : sqlnode::kMaxText;
  const int rc = expression ? Compile(expression, out, maxText) : 0;
  // the same nodes select the same records: a selection made with them stays valid
  if (list == kListFilter && (rc != 0 || out.ListBytes() != before)) ++filterVersion_;
  return rc;
}

int CMyRec::Compile(std::string_view s, CMyLine& out, size_t maxText) {
  if (!db_) return -6;
  const size_t n = s.size();
  size_t p = 0;
  auto skip = [&] {
    while (p < n && s[p] == ' ') ++p;
  };
  auto step = [&] { p += (cp932::IsLead(s[p]) && p + 1 < n) ? 2 : 1; };
  std::vector<int> open;
  char node[sqlnode::kSize];
  char connector = sqlnode::kOr;

  skip();
  if (p == n) return 0;
  for (;;) {
    if (s[p] == '(') {
      if (static_cast<int>(open.size()) >= kMaxGroups) return -20;
      std::memset(node, 0, sizeof node);
      node[sqlnode::kKindOffset] = connector == sqlnode::kAnd ? sqlnode::kGroupAnd : sqlnode::kGroupOr;
      open.push_back(out.Count());
      out.Append(node, sizeof node);
      connector = sqlnode::kOr;  // the first node inside a group starts its chain
      ++p;
      skip();
      if (p == n) return -4;
    }
    size_t start = p;
    while (p < n && s[p] != ' ' && s[p] != '<' && s[p] != '=' && s[p] != '>') step();
    if (p == n) return -5;
    int field = db_->FindField(s.substr(start, p - start));
    if (field < 0) return -6;
    skip();
    if (p == n) return -7;
    char op1 = s[p];
    if (op1 != '<' && op1 != '=' && op1 != '>') return -8;
    ++p;
    char op2 = 0;
    if (p < n && (s[p] == '<' || s[p] == '=' || s[p] == '>')) {
      op2 = s[p++];
      bool valid = (op1 == '=' && op2 == '=') || (op1 == '<' && (op2 == '=' || op2 == '>')) ||
                   (op1 == '>' && op2 == '=');
      if (!valid) return -9;
    }
    skip();
    if (p == n) return -10;

    std::memset(node, 0, sizeof node);
    node[sqlnode::kKindOffset] = connector;
    le::PutI32(node + sqlnode::kRefOffset, field);
    node[sqlnode::kOp1Offset] = op1;
    node[sqlnode::kOp2Offset] = op2;
    const int type = db_->Fields()[field].type;
    if (type == fielddef::kTypeText) {
      if (s[p] != '\'') return -13;
      ++p;
      std::string lit;
      bool closed = false;
      while (p < n) {
        char c = s[p];
        if (c == '\'') {
          if (p + 1 < n && s[p + 1] == '\'') {
            lit += '\'';
            p += 2;
          } else {
            ++p;
            closed = true;
            break;
          }
        } else if (cp932::IsLead(c) && p + 1 < n) {
          lit.append(s.substr(p, 2));
          p += 2;
        } else {
          lit += c;
          ++p;
        }
        if (lit.size() > maxText) return -14;
      }
      if (!closed) return -13;
      if (op1 == '=' && (op2 == 0 || op2 == '=')) {
        int mode = 0;
        if (lit.size() >= 2) {
          bool lead = lit[0] == '*';
          size_t last = lit.size() - 1;
          bool trail = lit[last] == '*' && cp932::CharStart(lit, last) == last;
          if (lead && trail) {
            mode = 3;
            lit = lit.substr(1, lit.size() - 2);
          } else if (lead) {
            mode = 2;
            lit.erase(0, 1);
          } else if (trail) {
            mode = 1;
            lit.pop_back();
          }
        }
        if (op2 == '=') mode += 4;
        node[sqlnode::kOp2Offset] = static_cast<char>('0' + mode);
      }
      le::PutI32(node + sqlnode::kValueKindOffset, 0);
      std::memcpy(node + sqlnode::kTextOffset, lit.data(), lit.size());
    } else if (type == fielddef::kTypeNumber) {
      bool neg = false;
      if (s[p] == '+' || s[p] == '-') neg = s[p++] == '-';
      int digits = 0;
      int32_t value = 0;
      while (p < n && s[p] != ' ') {
        if (s[p] < '0' || s[p] > '9') return -15;
        if (++digits > kMaxDigits) return -16;
        value = value * 10 + (s[p] - '0');
        ++p;
      }
      if (digits == 0) return -15;
      le::PutI32(node + sqlnode::kValueKindOffset, 1);
      le::PutI32(node + sqlnode::kNumberOffset, neg ? -value : value);
    } else {
      if (db_->GetPrompter())
        db_->GetPrompter()->Warn("PG(MakeSql):条件判定できないフィールドがセットされた"_sj);
      return -17;
    }
    out.Append(node, sizeof node);

    skip();
    if (p < n && s[p] == ')') {
      if (open.empty()) return -21;
      char* group = out.MutableItem(open.back());
      le::PutI32(group + sqlnode::kRefOffset, out.Count());
      open.pop_back();
      ++p;
      skip();
    }
    if (p == n) break;
    // The connector is matched letter by letter: a wrong letter is -2, the
    // end of the text inside or right after the word is -1.
    const char first = collate::FoldUpper(s[p]);
    const char* word = first == 'A' ? "AND" : first == 'O' ? "OR" : nullptr;
    if (!word) return -2;
    for (const char* w = word; *w; ++w, ++p) {
      if (p == n) return -1;
      if (collate::FoldUpper(s[p]) != *w) return -2;
    }
    if (p == n) return -1;
    if (s[p] != ' ') return -2;
    connector = first == 'A' ? sqlnode::kAnd : sqlnode::kOr;
    skip();
    if (p == n) return -4;
  }
  if (!open.empty()) return -22;
  return 0;
}

bool CMyRec::CheckSyntax(const char* expression) { return MakeSql(expression, kListCheck) == 0; }

// ---- evaluating --------------------------------------------------------------

void CMyRec::Decode(int list, Scan& scan) const {
  const CMyLine& l = lists_[list];
  scan.nodes.clear();
  scan.folded.clear();
  // one folded literal at most per node: no reallocation moves them
  scan.folded.reserve(static_cast<size_t>(l.Count()));
  scan.broken = false;
  scan.groupError = false;
  const int fields = db_ ? db_->FieldCount() : 0;
  const bool fold = list == kListFind && findFold_;
  for (int i = 0; i < l.Count(); ++i) {
    const char* b = l.Item(i);
    if (!b || l.Length(i) < sqlnode::kSize) {
      scan.broken = true;
      continue;
    }
    Node nd{};
    nd.kind = b[sqlnode::kKindOffset];
    nd.ref = le::GetI32(b + sqlnode::kRefOffset);
    nd.mode = -1;
    if (nd.kind == sqlnode::kOr || nd.kind == sqlnode::kAnd) {
      if (nd.ref < 0 || nd.ref >= fields) scan.broken = true;
      char op1 = b[sqlnode::kOp1Offset];
      char op2 = b[sqlnode::kOp2Offset];
      nd.number = le::GetI32(b + sqlnode::kValueKindOffset) == 1;
      nd.num = le::GetI32(b + sqlnode::kNumberOffset);
      nd.text = b + sqlnode::kTextOffset;
      nd.textLength = static_cast<int>(strnlen(nd.text, sqlnode::kTextSize - 1));
      if (!nd.number && op1 == '=' && op2 >= '0' && op2 <= '7') {
        nd.mode = op2 - '0';
        nd.truth = kEqual;
        if (fold) {
          std::string folded = widthfold::Fold(std::string_view(nd.text, static_cast<size_t>(nd.textLength)));
          // a literal with nothing folding can give matches folded values
          // as it matches the values themselves
          if (widthfold::HasFoldedForms(folded)) {
            nd.fold = true;
            scan.folded.push_back(std::move(folded));
            nd.text = scan.folded.back().c_str();
            nd.textLength = static_cast<int>(scan.folded.back().size());
          }
        }
        nd.bytes = (nd.mode & 3) == 3 && BytesSearchable(nd.text, nd.textLength, nd.mode < 4);
      } else if (op1 == '=') {
        nd.truth = kEqual;
      } else if (op1 == '<') {
        nd.truth = op2 == '>' ? (kLess | kGreater) : op2 == '=' ? (kLess | kEqual) : kLess;
      } else {
        nd.truth = op2 == '=' ? (kGreater | kEqual) : kGreater;
      }
    }
    scan.nodes.push_back(nd);
  }
}

int CMyRec::EvalCondition(const char* rec, const Node& nd) const {
  const char* v = FieldValue(rec, nd.ref);
  int64_t d;
  if (nd.number) {
    d = ReadInteger(v, static_cast<size_t>(-1)) - nd.num;
  } else if (nd.mode >= 0) {
    // A literal beginning with a double-byte character is found only in a
    // value that holds it or a half-width form folding into it: any other
    // value is passed by without being folded.
    if (nd.fold && nd.textLength >= 2 && cp932::IsLead(nd.text[0]) &&
        !widthfold::MayGive(v, nd.text[0], nd.text[1])) {
      d = 1;
    } else {
      if (nd.fold) {
        widthfold::Fold(v, foldedValue_);
        v = foldedValue_.c_str();
      }
      d = (nd.bytes ? ContainsBytes(v, nd.text, nd.textLength)
                    : MatchMode(v, nd.text, nd.textLength, nd.mode))
              ? 0
              : 1;
    }
  } else if (nd.textLength == 0) {
    d = v[0] ? 1 : 0;
  } else {
    // Only the first textLength + 1 bytes can decide the comparison, so a
    // long memo is never measured.
    size_t len = strnlen(v, static_cast<size_t>(nd.textLength) + 1);
    d = collate::CompareNoCase(std::string_view(v, len),
                               std::string_view(nd.text, static_cast<size_t>(nd.textLength)));
  }
  unsigned char bit = d < 0 ? kLess : d == 0 ? kEqual : kGreater;
  return (nd.truth & bit) ? 1 : 0;
}

int CMyRec::EvalRange(const char* rec, Scan& scan, int from, int to) const {
  if (from >= to) return 1;
  bool chain = false;
  int i = from;
  while (i < to) {
    const Node& nd = scan.nodes[static_cast<size_t>(i)];
    if (nd.kind == sqlnode::kOr || nd.kind == sqlnode::kGroupOr) {
      if (chain) return 1;
      chain = true;
    }
    if (nd.kind == sqlnode::kGroupOr || nd.kind == sqlnode::kGroupAnd) {
      if (nd.ref <= i || nd.ref > to) {
        scan.groupError = true;
        return 0;
      }
      if (chain) {
        int r = EvalRange(rec, scan, i + 1, nd.ref);
        if (r < 0) return r;
        chain = r == 1;
      }
      i = nd.ref;
      continue;
    }
    // A false chain cannot become true, so its remaining conditions are
    // skipped; the result is the same.
    if (chain) chain = EvalCondition(rec, nd) == 1;
    ++i;
  }
  return chain ? 1 : 0;
}

void CMyRec::ReportGroupError(Scan& scan) {
  if (scan.groupError && db_ && db_->GetPrompter())
    db_->GetPrompter()->Error("P):括弧処理で不正な処理になりました。"_sj);
  scan.groupError = false;
}

int CMyRec::Evaluate(int record, int list, int from, int to) {
  if (!db_ || list < 0 || list > 2) return -1;
  const char* rec = db_->RecordData(record);
  if (!rec) return -1;
  Decode(list, scan_);
  if (scan_.broken) return -1;
  int count = static_cast<int>(scan_.nodes.size());
  if (from == 0) to = count;
  if (from < 0 || to > count) return -1;
  int r = EvalRange(rec, scan_, from, to);
  ReportGroupError(scan_);
  return r;
}

int CMyRec::Requery() {
  pos_ = -1;
  if (!db_) {
    sel_.clear();
    base_.valid = false;
    return kNoneFound;
  }
  const int total = db_->RecordCount();
  // The last selection's order stands for any of its records while the
  // table and the sort keys stay as they were and no two of them tie: a new
  // selection among them is put in that order without sorting again (a
  // search over the book the window shows, a screen's filter over the whole
  // book). Kept in added_, which is scratch until RequeryAppended.
  const bool ordered = base_.valid && base_.sort == sortVersion_ && sortedAt_ == sortVersion_ &&
                       base_.tieFree && base_.changes == db_->Changes() && base_.records == total &&
                       sorted_ != SortState::kFailed && !keys_.empty();
  added_.clear();
  if (ordered) added_.swap(sel_);
  sel_.clear();
  base_.valid = false;
  Decode(kListFilter, scan_);
  const int count = static_cast<int>(scan_.nodes.size());
  bool groupShown = false;
  constexpr int kAhead = 8;  // records lie in separate blocks: fetch ahead of the scan
  for (int r = 0; r < total; ++r) {
    if (r + kAhead < total) {
      const char* next = db_->RecordData(r + kAhead);
      __builtin_prefetch(next);
      __builtin_prefetch(next + 64);
      __builtin_prefetch(next + 128);
    }
    char* rec = db_->MutableRecordData(r);
    const unsigned char status = static_cast<unsigned char>(rec[0]);
    if (status & jdt::kDeletedBit) continue;
    if (scan_.broken) {
      if (db_->GetPrompter()) db_->GetPrompter()->Warn("PG_Err:不正なデータが混入しています。"_sj);
      sel_.clear();
      return -1;
    }
    int m = EvalRange(rec, scan_, 0, count);
    // One message per requery, not one per record.
    if (scan_.groupError && !groupShown) {
      ReportGroupError(scan_);
      groupShown = true;
    }
    Mark(rec, status, m == 1);
    if (m == 1) sel_.push_back(r);
  }
  if (ordered && KeepOrder(sel_, added_, total)) {
    sorted_ = SortState::kTieFree;
    sortedAt_ = sortVersion_;
  } else {
    Sort();
  }
  // what a later RequeryAppended may build on
  base_.valid = sorted_ != SortState::kFailed;
  base_.filter = filterVersion_;
  base_.sort = sortVersion_;
  base_.changes = db_->Changes();
  base_.records = total;
  base_.tieFree = sorted_ != SortState::kTies;
  if (sel_.empty()) return kNoneFound;
  pos_ = 0;
  return 0;
}

bool CMyRec::ListSound(int from, int to) const {
  for (int i = from; i < to;) {
    const Node& nd = scan_.nodes[static_cast<size_t>(i)];
    if (nd.kind == sqlnode::kGroupOr || nd.kind == sqlnode::kGroupAnd) {
      if (nd.ref <= i || nd.ref > to || !ListSound(i + 1, nd.ref)) return false;
      i = nd.ref;
    } else {
      ++i;
    }
  }
  return true;
}

int CMyRec::RequeryAppended() {
  if (!db_ || !base_.valid || base_.filter != filterVersion_ || base_.sort != sortVersion_ ||
      base_.changes != db_->Changes() || base_.records > db_->RecordCount() ||
      (!keys_.empty() && !base_.tieFree))
    return Requery();
  Decode(kListFilter, scan_);
  const int count = static_cast<int>(scan_.nodes.size());
  // A list that can meet a data error or a broken group reports it on every
  // requery: only a full one does that the same way.
  if (scan_.broken || !ListSound(0, count)) return Requery();
  for (const SortKey& k : keys_)
    if (k.field < 0 || k.field >= db_->FieldCount()) return Requery();
  const int total = db_->RecordCount();
  added_.clear();
  for (int r = base_.records; r < total; ++r) {
    char* rec = db_->MutableRecordData(r);
    const unsigned char status = static_cast<unsigned char>(rec[0]);
    if (status & jdt::kDeletedBit) continue;
    const bool m = EvalRange(rec, scan_, 0, count) == 1;
    Mark(rec, status, m);
    if (m) added_.push_back(r);
  }
  pos_ = -1;
  if (!added_.empty() && !MergeAdded()) return Requery();
  base_.records = total;
  if (sel_.empty()) return kNoneFound;
  pos_ = 0;
  return 0;
}

bool CMyRec::MergeAdded() {
  if (keys_.empty()) {
    // unsorted selections are in record order, and the new records come last
    sel_.append(added_.begin(), added_.end());
    return true;
  }
  const int cached = std::min(static_cast<int>(keys_.size()), kCachedKeys);
  auto entry = [&](int record) {
    SortEntry e;
    e.record = record;
    e.rec = db_->RecordData(record);
    e.complete = 0;
    for (int k = 0; k < cached; ++k) Normalize(e, k);
    return e;
  };
  std::vector<SortEntry> fresh;
  fresh.reserve(added_.size());
  for (int r : added_) fresh.push_back(entry(r));
  std::sort(fresh.begin(), fresh.end(),
            [&](const SortEntry& a, const SortEntry& b) { return CompareEntries(a, b) < 0; });
  // With no two records equal on every key the sorted order is unique, so
  // placing each new record by binary search gives exactly what the full
  // sort gives. Equal keys leave their order to the full sort.
  for (size_t i = 1; i < fresh.size(); ++i)
    if (CompareEntries(fresh[i - 1], fresh[i]) == 0) return false;
  const int n = Count();
  Selection merged;
  merged.reserve(static_cast<size_t>(n) + fresh.size());
  int from = 0;
  for (const SortEntry& x : fresh) {
    // the first old entry above x
    int lo = from, hi = n;
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      if (CompareEntries(entry(sel_[static_cast<size_t>(mid)]), x) <= 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo > 0 && CompareEntries(entry(sel_[static_cast<size_t>(lo - 1)]), x) == 0) return false;
    merged.append(sel_.begin() + from, sel_.begin() + lo);
    merged.push_back(x.record);
    from = lo;
  }
  merged.append(sel_.begin() + from, sel_.end());
  sel_.swap(merged);
  return true;
}

int CMyRec::Select(const char* expression) {
  int rc = MakeSql(expression, kListFilter);
  if (rc != 0) return rc;
  return Requery();
}

// ---- sorting -----------------------------------------------------------------

int CMyRec::SetSort(std::string_view spec, bool sortNow) {
  const std::vector<SortKey> before = keys_;
  const int rc = ParseSort(spec);
  if (rc != 0 || !SameKeys(before, keys_)) ++sortVersion_;
  if (rc == 0 && sortNow) Sort();
  return rc;
}

bool CMyRec::SameKeys(const std::vector<SortKey>& a, const std::vector<SortKey>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].field != b[i].field || a[i].flags != b[i].flags || a[i].prefix != b[i].prefix) return false;
  return true;
}

int CMyRec::ParseSort(std::string_view spec) {
  keys_.clear();
  if (!db_) return -6;
  const size_t n = spec.size();
  size_t p = 0;
  auto skip = [&] {
    while (p < n && spec[p] == ' ') ++p;
  };
  auto word = [&] {
    size_t start = p;
    while (p < n && spec[p] != ' ' && spec[p] != ',') p += (cp932::IsLead(spec[p]) && p + 1 < n) ? 2 : 1;
    return spec.substr(start, p - start);
  };
  while (p < n && static_cast<int>(keys_.size()) < kMaxSortKeys) {  // keys after the tenth are ignored
    skip();
    std::string_view name = word();
    if (name.empty() && p == n) break;  // trailing comma or blanks
    int field = db_->FindField(name);
    if (field < 0) return -6;
    SortKey key{field, 0, 0};
    skip();
    if (p < n && spec[p] != ',') {
      std::string_view w = word();
      size_t k = 0;
      if (w[0] == 'L' || w[0] == 'l') {
        k = w.size();  // no direction, only a prefix length
        p -= w.size();
      } else {
        if (w[k] == 'N' || w[k] == 'n') {
          key.flags |= kNumeric;
          ++k;
        }
        if (k < w.size() && (w[k] == 'D' || w[k] == 'd')) {
          key.flags |= kDescending;
        } else if (!(k < w.size() && (w[k] == 'U' || w[k] == 'u'))) {
          return -7;
        }
      }
      skip();
      if (p < n && (spec[p] == 'L' || spec[p] == 'l')) {
        std::string_view len = word();
        int v = static_cast<int>(ReadInteger(len.data() + 1, len.size() - 1));
        key.prefix = (v >= 0 && v <= 30) ? v : 0;
      }
    }
    while (p < n && spec[p] != ',') ++p;  // anything else up to the comma is ignored
    if (p < n) ++p;
    keys_.push_back(key);
  }
  return 0;
}

int CMyRec::CompareKey(const char* a, const char* b, const SortKey& k) const {
  const char* va = FieldValue(a, k.field);
  const char* vb = FieldValue(b, k.field);
  int c;
  if (k.flags & kNumeric) {
    size_t limit = k.prefix > 0 ? static_cast<size_t>(k.prefix) : static_cast<size_t>(-1);
    int64_t x = ReadInteger(va, limit);
    int64_t y = ReadInteger(vb, limit);
    c = x < y ? -1 : x > y ? 1 : 0;
  } else {
    size_t la = k.prefix > 0 ? strnlen(va, static_cast<size_t>(k.prefix)) : std::strlen(va);
    size_t lb = k.prefix > 0 ? strnlen(vb, static_cast<size_t>(k.prefix)) : std::strlen(vb);
    c = collate::CompareNoCase(std::string_view(va, la), std::string_view(vb, lb));
  }
  if (c == 0) return 0;
  c = c < 0 ? -1 : 1;
  return (k.flags & kDescending) ? -c : c;
}

// Text keys become their bytes with single-byte characters folded to lower
// case and double-byte characters kept as they are; compared as unsigned
// bytes, zero-padded, this orders exactly as collate::CompareNoCase (folding
// moves A-Z only within the single-byte range below every lead byte).
// Numbers become their value with the sign bit flipped.
void CMyRec::Normalize(SortEntry& e, int k) const {
  const SortKey& key = keys_[static_cast<size_t>(k)];
  const char* v = FieldValue(e.rec, key.field);
  const size_t limit = key.prefix > 0 ? static_cast<size_t>(key.prefix) : static_cast<size_t>(-1);
  if (key.flags & kNumeric) {
    e.key[k][0] = static_cast<uint64_t>(ReadInteger(v, limit)) ^ (uint64_t{1} << 63);
    e.key[k][1] = 0;
    e.complete |= static_cast<unsigned char>(1u << k);
    return;
  }
  unsigned char buf[16] = {};
  size_t i = 0;
  size_t o = 0;
  bool trail = false;
  while (i < limit && v[i] && o < sizeof buf) {
    char c = v[i];
    if (trail) {
      buf[o++] = static_cast<unsigned char>(c);
      trail = false;
    } else if (cp932::IsLead(c)) {
      buf[o++] = static_cast<unsigned char>(c);
      trail = true;
    } else {
      buf[o++] = static_cast<unsigned char>(collate::FoldLower(c));
    }
    ++i;
  }
  if (!(i < limit && v[i])) e.complete |= static_cast<unsigned char>(1u << k);
  for (int w = 0; w < 2; ++w) {
    uint64_t x = 0;
    for (int b = 0; b < 8; ++b) x = (x << 8) | buf[w * 8 + b];
    e.key[k][w] = x;
  }
}

int CMyRec::CompareEntries(const SortEntry& a, const SortEntry& b) const {
  const int n = static_cast<int>(keys_.size());
  for (int k = 0; k < n; ++k) {
    const SortKey& key = keys_[static_cast<size_t>(k)];
    int c = 0;
    if (k < kCachedKeys) {
      if (a.key[k][0] != b.key[k][0]) {
        c = a.key[k][0] < b.key[k][0] ? -1 : 1;
      } else if (a.key[k][1] != b.key[k][1]) {
        c = a.key[k][1] < b.key[k][1] ? -1 : 1;
      } else if ((a.complete & b.complete) & (1u << k)) {
        continue;  // both values whole and equal
      } else {
        c = CompareKey(a.rec, b.rec, key);
        if (c == 0) continue;
        return c;
      }
      return (key.flags & kDescending) ? -c : c;
    }
    c = CompareKey(a.rec, b.rec, key);
    if (c != 0) return c;
  }
  return 0;
}

bool CMyRec::OrderedBy(int field) const {
  if (sorted_ == SortState::kFailed || sortedAt_ != sortVersion_ || keys_.empty()) return false;
  const SortKey& k = keys_[0];
  return k.field == field && k.flags == 0 && k.prefix == 0;
}

void CMyRec::Sort() {
  sorted_ = SortState::kFailed;
  sortedAt_ = sortVersion_;
  if (!db_) return;
  if (keys_.empty()) {
    sorted_ = SortState::kTieFree;  // record order stays
    return;
  }
  Prompter* prompter = db_->GetPrompter();
  for (const SortKey& k : keys_) {
    if (k.field < 0 || k.field >= db_->FieldCount()) {
      if (prompter) prompter->Warn("PG:ソート番号がフィールド数をオーバーしました。"_sj);
      return;
    }
  }
  if (static_cast<int>(keys_.size()) > kMaxSortKeys) {
    if (prompter) prompter->Warn("PG:ソート数をオーバーしました。"_sj);
    return;
  }
  const int count = Count();
  if (count < 2) {
    sorted_ = SortState::kTieFree;
    return;
  }
  // A book kept in key order is selected in that order: one pass of
  // comparisons tells, where a sort would cost many. Equal neighbours leave
  // the order of ties to the sort.
  auto below = [&](const char* a, const char* b) {
    for (const SortKey& k : keys_)
      if (const int c = CompareKey(a, b, k); c != 0) return c < 0;
    return false;
  };
  int rising = 1;
  for (const char* prev = db_->RecordData(sel_[0]); rising < count; ++rising) {
    const char* rec = db_->RecordData(sel_[static_cast<size_t>(rising)]);
    if (!below(prev, rec)) break;
    prev = rec;
  }
  if (rising == count) {
    sorted_ = SortState::kTieFree;
    return;
  }
  work_.resize(static_cast<size_t>(count));
  const int cached = std::min(static_cast<int>(keys_.size()), kCachedKeys);
  for (int i = 0; i < count; ++i) {
    if (i + 8 < count) {
      const char* next = db_->RecordData(sel_[static_cast<size_t>(i) + 8]);
      __builtin_prefetch(next);
      __builtin_prefetch(next + 64);
      __builtin_prefetch(next + 128);
    }
    SortEntry& e = work_[static_cast<size_t>(i)];
    e.record = sel_[static_cast<size_t>(i)];
    e.rec = db_->RecordData(e.record);
    e.complete = 0;
    for (int k = 0; k < cached; ++k) Normalize(e, k);
  }
  SortEntry* a = work_.data();

  // Quicksort without recursion; small ranges are left to the insertion pass.
  struct Range {
    int low, high;
  };
  Range stack[kStackRanges];
  int depth = 0;
  int low = 0;
  int high = count - 1;
  for (;;) {
    if (high - low > kSmallRange) {
      const SortEntry pivot = a[(low + high) / 2];
      int i = low;
      int j = high;
      while (i <= j) {
        while (CompareEntries(a[i], pivot) < 0) ++i;
        while (CompareEntries(a[j], pivot) > 0) --j;
        if (i <= j) {
          std::swap(a[i], a[j]);
          ++i;
          --j;
        }
      }
      Range left{low, j};
      Range right{i, high};
      bool leftSmaller = (j - low) < (high - i);
      Range small = leftSmaller ? left : right;
      Range large = leftSmaller ? right : left;
      if (large.high - large.low + 1 > kSmallRange) {
        stack[depth++] = large;
        if (depth == kStackRanges) break;
      }
      low = small.low;
      high = small.high;
    } else {
      if (depth == 0) break;
      --depth;
      low = stack[depth].low;
      high = stack[depth].high;
    }
  }
  // Insertion pass: moves an entry left only past entries that compare
  // above it, so runs of equal keys cost linear time.
  for (int i = 1; i < count; ++i) {
    SortEntry x = a[i];
    int j = i;
    while (j > 0 && CompareEntries(a[j - 1], x) > 0) {
      a[j] = a[j - 1];
      --j;
    }
    a[j] = x;
  }
  sorted_ = SortState::kTieFree;
  for (int i = 0; i < count; ++i) {
    sel_[static_cast<size_t>(i)] = a[i].record;
    if (i > 0 && sorted_ == SortState::kTieFree && CompareEntries(a[i - 1], a[i]) == 0)
      sorted_ = SortState::kTies;
  }
}

// ---- navigation ----------------------------------------------------------------

int CMyRec::First() {
  if (sel_.empty()) {
    pos_ = -1;
    return -1;
  }
  pos_ = 0;
  return 0;
}

int CMyRec::Last() {
  if (sel_.empty()) {
    pos_ = -1;
    return -1;
  }
  pos_ = Count() - 1;
  return 0;
}

int CMyRec::Prev() {
  if (pos_ < 0) return 2;
  --pos_;
  if (pos_ < 0) {
    pos_ = -1;
    return 1;
  }
  return 0;
}

int CMyRec::Next() {
  if (pos_ >= Count()) return 2;
  ++pos_;
  return pos_ >= Count() ? 1 : 0;
}

int CMyRec::GoTo(int i) {
  if (i < 0 || i >= Count()) {
    pos_ = -1;
    return -1;
  }
  pos_ = i;
  return i;
}

int CMyRec::LoadCurrent() {
  if (!db_) return kNoCurrent;
  if (NoCurrent()) {
    db_->New();
    return kNoCurrent;
  }
  return db_->Load(CurrentRecord());
}

void CMyRec::New() {
  if (db_) db_->New();
}
int CMyRec::SetValue(int field, std::string_view text) { return db_ ? db_->SetValue(field, text) : -1; }
int CMyRec::SetValueByName(std::string_view name, std::string_view text) {
  return db_ ? db_->SetValueByName(name, text) : -1;
}
int CMyRec::Store() { return db_ ? db_->Store() : -1; }

const char* CMyRec::Value(int field) const {
  if (!db_ || NoCurrent()) return nullptr;
  return db_->Value(field, CurrentRecord());
}

const char* CMyRec::ValueByName(std::string_view name) const {
  if (!db_ || NoCurrent()) return nullptr;
  return db_->ValueByName(name, CurrentRecord());
}

int CMyRec::DeleteCurrent(bool requery) {
  if (!db_ || NoCurrent()) return 0;
  if (db_->MarkDeleted(CurrentRecord()) == 0) return 0;
  if (requery) {
    int at = pos_;
    // the record is deleted either way; a data error was shown by Requery
    (void)Requery();
    GoTo(at);
  }
  return 1;
}

// ---- finding -----------------------------------------------------------------

int CMyRec::Search(int from, bool forward) {
  if (!db_) return -1;
  Decode(kListFind, scan_);
  const int count = static_cast<int>(scan_.nodes.size());
  const int step = forward ? 1 : -1;
  bool groupShown = false;
  for (int i = from; i >= 0 && i < Count(); i += step) {
    const char* rec = db_->RecordData(sel_[static_cast<size_t>(i)]);
    if (!rec || (static_cast<unsigned char>(rec[0]) & jdt::kDeletedBit)) continue;
    if (scan_.broken) {
      if (db_->GetPrompter()) db_->GetPrompter()->Warn("PG_Err:不正なデータが混入しています。"_sj);
      return -1;
    }
    int m = EvalRange(rec, scan_, 0, count);
    if (scan_.groupError && !groupShown) {
      ReportGroupError(scan_);
      groupShown = true;
    }
    if (m == 1) {
      pos_ = i;
      return i;
    }
  }
  return -1;
}

int CMyRec::Find(const char* expression, int start, bool forward) {
  const int current = NoCurrent() ? -1 : pos_;
  pos_ = -1;
  if (MakeSql(expression, kListFind) != 0) return -1;
  int from;
  switch (start) {
    case 0:
      from = 0;
      break;
    case 2:
      from = Count() - 1;
      break;
    case 1:
      // Without a current record the search starts at the end it runs from.
      from = current >= 0 ? current : (forward ? 0 : Count() - 1);
      break;
    default:
      return -1;
  }
  return Search(from, forward);
}

int CMyRec::FindNext() {
  const int current = NoCurrent() ? -1 : pos_;
  pos_ = -1;
  return Search(current >= 0 ? current + 1 : 0, true);
}

int CMyRec::FindPrev() {
  const int current = NoCurrent() ? -1 : pos_;
  pos_ = -1;
  return Search(current >= 0 ? current - 1 : Count() - 1, false);
}
