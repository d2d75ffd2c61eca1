#include "exchange/CMyCSV.h"

#include <algorithm>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CMyPublic.h"

namespace {

const std::string kEmpty;

// Names of fields compare without ASCII case; the trail byte of a
// double-byte character is compared as it is.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (cp932::IsLead(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool AllAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool HasDigit(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The code point of the UTF-8 sequence at `at`, or -1 when the bytes there
// are not one.
long CodePointAt(std::string_view s, size_t at) {
  if (at >= s.size()) return -1;
  const auto b0 = static_cast<unsigned char>(s[at]);
  if (b0 < 0x80) return b0;
  size_t n = 0;
  long cp = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 2;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 3;
    cp = b0 & 0x07;
  } else {
    return -1;
  }
  if (at + n >= s.size()) return -1;
  for (size_t k = 1; k <= n; ++k) {
    const auto b = static_cast<unsigned char>(s[at + k]);
    if ((b & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (b & 0x3F);
  }
  return cp;
}

// A header name or value as a message shows it: its line breaks written
// out, and cut short, so that a name that swallowed lines stays readable.
std::string Shown(std::string_view name) {
  constexpr size_t kMost = 60;
  std::string out;
  for (size_t i = 0; i < name.size() && out.size() < kMost; ++i) {
    const char c = name[i];
    if (cp932::IsLead(c) && i + 1 < name.size()) {
      out.append(name.substr(i, 2));
      ++i;
    } else if (c == '\r' || c == '\n') {
      out += "(改行)"_sj;
      if (c == '\r' && i + 1 < name.size() && name[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
    if (out.size() >= kMost && i + 1 < name.size()) out += "…"_sj;
  }
  return out;
}

}  // namespace

CMyCSV::CMyCSV(Prompter& prompter, const Clock& clock) : prompter_(prompter), clock_(clock) {}

CMyCSV::~CMyCSV() { Close(); }

void CMyCSV::UseDefinitions(bool on) {
  useDefs_ = on;
  defs_.clear();
}

int CMyCSV::AddDefinition(const std::string& name, int type, int size, int decimals, int flag, int required,
                          int id) {
  if (name.size() > static_cast<size_t>(kMaxNameBytes)) {
    prompter_.Error("P:フィールド名のサイズが大きい"_sj);
    return -1;
  }
  Definition d;
  d.name = name;
  d.type = type;
  d.size = size < 0 ? 0 : size;
  d.decimals = decimals < 0 ? 0 : decimals;
  d.flag = flag;
  d.required = required == 1;
  d.id = id;
  defs_.push_back(std::move(d));
  return 0;
}

int CMyCSV::Fail(int code, const std::string& text) {
  error_ = text;
  return code;
}

void CMyCSV::Close() {
  if (fp_) std::fclose(fp_);
  fp_ = nullptr;
  eof_ = true;
  window_.clear();
  window_.shrink_to_fit();
  pos_ = 0;
  field_.clear();
  field_.shrink_to_fit();
  values_.clear();
  fieldCount_ = 0;
}

int CMyCSV::Open(const std::string& path, bool header) {
  Close();
  error_.clear();
  names_.clear();
  map_.clear();
  header_ = false;
  records_ = 0;
  utf8Valid_ = true;
  utf8Seen_ = false;
  utf8Need_ = 0;
  fp_ = std::fopen(path.c_str(), "rb");
  if (!fp_) return Fail(kCannotOpen, "ファイルが見つかりません。"_sj);
  eof_ = false;
  fileEncoding_ = encoding_;
  Fill();
  if (window_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    pos_ = 3;
    fileEncoding_ = CsvEncoding::kUtf8;
  }
  ScanLineEnds();
  if (!header) return kOk;
  const int n = ReadRecord();
  if (n < 0) {
    Close();
    return n;
  }
  if (n == 0) {
    Close();
    return Fail(kNoFields, "フィールドが存在しません。"_sj);
  }
  names_.assign(values_.begin(), values_.begin() + n);
  map_.assign(static_cast<size_t>(n), -1);
  if (useDefs_) {
    for (int c = 0; c < n; ++c) {
      for (size_t d = 0; d < defs_.size(); ++d) {
        if (SameName(names_[static_cast<size_t>(c)], defs_[d].name)) {
          map_[static_cast<size_t>(c)] = static_cast<int>(d);
          break;
        }
      }
      if (map_[static_cast<size_t>(c)] < 0) {
        const std::string name = Shown(names_[static_cast<size_t>(c)]);
        Close();
        return Fail(kUndefined, "フィールド【"_sj + name + "】は定義出来ません。"_sj);
      }
    }
  }
  header_ = true;
  return kOk;
}

// ---- the read window ------------------------------------------------------------

bool CMyCSV::Fill() {
  if (!fp_ || eof_) return false;
  window_.erase(0, pos_);
  pos_ = 0;
  char buf[kBlockSize];
  const size_t n = std::fread(buf, 1, sizeof buf, fp_);
  // a short block is the end of the file (fread reads on until it is full)
  if (n < sizeof buf) eof_ = true;
  window_.append(buf, n);
  return n > 0;
}

void CMyCSV::ScanLineEnds() {
  lineEnds_ = CsvLineEnds::kNone;
  // a quote, CR or LF is never the second byte of a character in either
  // encoding, so the bytes alone tell inside from outside quotes
  bool quoted = false, lf = false, cr = false;
  auto scan = [&](std::string_view bytes) {
    for (char c : bytes) {
      if (cr) {
        lineEnds_ = c == '\n' ? CsvLineEnds::kCrLf : CsvLineEnds::kCr;
        return true;
      }
      if (c == '"')
        quoted = !quoted;
      else if (!quoted && c == '\r')
        cr = true;
      else if (!quoted && c == '\n')
        lf = true;
    }
    return false;
  };
  if (scan(std::string_view(window_).substr(pos_))) return;
  if (!eof_) {
    const long back = std::ftell(fp_);
    if (back < 0) {
      lineEnds_ = CsvLineEnds::kCrLf;  // cannot look ahead: read as always
      return;
    }
    char buf[kBlockSize];
    size_t n;
    bool found = false;
    while (!found && (n = std::fread(buf, 1, sizeof buf, fp_)) > 0) found = scan(std::string_view(buf, n));
    std::clearerr(fp_);
    if (std::fseek(fp_, back, SEEK_SET) != 0) {
      eof_ = true;  // nothing more can be read; the reader says so
      std::clearerr(fp_);
    }
    if (found) return;
  }
  if (cr)
    lineEnds_ = CsvLineEnds::kCr;
  else if (lf)
    lineEnds_ = CsvLineEnds::kLf;
}

std::string CMyCSV::LineEndsText(CsvLineEnds e) {
  switch (e) {
    case CsvLineEnds::kCrLf:
      return "CR LF";
    case CsvLineEnds::kCr:
      return "CR";
    case CsvLineEnds::kLf:
      return "LF";
    case CsvLineEnds::kNone:
      break;
  }
  return "なし"_sj;
}

void CMyCSV::TrackUtf8(unsigned char c) {
  if (!utf8Valid_) return;
  if (c < 0x80) {
    if (utf8Need_ > 0) utf8Valid_ = false;
  } else if ((c & 0xC0) == 0x80) {
    if (utf8Need_ == 0)
      utf8Valid_ = false;
    else
      --utf8Need_;
  } else if (c >= 0xC2 && c <= 0xF4 && utf8Need_ == 0) {
    utf8Need_ = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    utf8Seen_ = true;
  } else {
    utf8Valid_ = false;
  }
}

int CMyCSV::Get() {
  // the byte after this one stays in the window, for the looks ahead
  if (pos_ + 1 >= window_.size()) Fill();
  if (pos_ >= window_.size()) return -1;
  const auto c = static_cast<unsigned char>(window_[pos_++]);
  TrackUtf8(c);
  return c;
}

int CMyCSV::Peek() {
  if (pos_ >= window_.size()) Fill();
  return pos_ < window_.size() ? static_cast<unsigned char>(window_[pos_]) : -1;
}

void CMyCSV::Append(char c) {
  if (field_.size() >= static_cast<size_t>(kMaxFieldBytes)) {
    overflow_ = true;  // the rest of the field is read, not kept
    return;
  }
  field_.push_back(c);
}

// ---- records ---------------------------------------------------------------------

const std::string& CMyCSV::Value(int column) const {
  if (column < 0 || column >= fieldCount_ || static_cast<size_t>(column) >= values_.size()) {
    // a header column the record does not reach reads as empty
    return kEmpty;
  }
  return values_[static_cast<size_t>(column)];
}

const std::string& CMyCSV::ColumnName(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= names_.size()) return kEmpty;
  return names_[static_cast<size_t>(column)];
}

int CMyCSV::DefinitionOf(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= map_.size()) return -1;
  return map_[static_cast<size_t>(column)];
}

std::string CMyCSV::Label(int column) const {
  const int d = useDefs_ ? DefinitionOf(column) : -1;
  if (d >= 0) return defs_[static_cast<size_t>(d)].name;
  if (!ColumnName(column).empty()) return Shown(ColumnName(column));
  return std::to_string(column + 1) + "列目"_sj;
}

int CMyCSV::ReadRecord() {
  fieldCount_ = 0;
  if (!fp_) return 0;
  for (std::string& v : values_) v.clear();
  if (values_.size() < names_.size()) values_.resize(names_.size());
  recordError_ = 0;
  field_.clear();
  overflow_ = false;
  const bool sj = fileEncoding_ == CsvEncoding::kShiftJis;
  const bool lfEnds = lineEnds_ == CsvLineEnds::kLf;
  bool quoted = false, any = false;
  int column = 0;
  for (;;) {
    const int c = Get();
    if (c < 0) {
      if (std::ferror(fp_) && !recordError_) recordError_ = Fail(kFieldFailed, "フィールドデータ取得失敗"_sj);
      if (!any && !recordError_) return 0;
      // a quote still open at the end: the file was cut inside a value
      if (quoted && !recordError_)
        recordError_ =
            Fail(kOpenQuote, "【"_sj + Label(column) + "】の引用符が閉じないままファイルが終わりました。"_sj);
      if (!field_.empty() || overflow_) EndField(column++);
      break;
    }
    any = true;
    const char ch = static_cast<char>(c);
    if (sj && cp932::IsLead(ch)) {
      // a double-byte character goes in whole, whatever its second byte
      Append(ch);
      const int d = Get();
      if (d >= 0) Append(static_cast<char>(d));
      continue;
    }
    if (!quoted) {
      if (ch == '"') {
        quoted = true;
      } else if (ch == ',') {
        EndField(column++);
      } else if (ch == '\r') {
        EndField(column++);
        if (Peek() == '\n') Get();
        break;
      } else if (ch == '\n' && lfEnds) {
        EndField(column++);
        break;
      } else {
        Append(ch);
      }
    } else if (ch == '"') {
      if (Peek() == '"') {
        Get();
        Append('"');
      } else {
        quoted = false;
      }
    } else if (ch == '\r' || ch == '\n') {
      if (ch == '\r' && Peek() != '\n') {
        Append('\r');
        continue;
      }
      if (ch == '\r') Get();
      Append('\r');
      Append('\n');
    } else {
      Append(ch);
    }
  }
  ++records_;
  if (!recordError_ && header_ && useDefs_) {
    // a line without any value is a blank line, not a record missing its key
    bool blank = true;
    for (int k = 0; k < column && blank; ++k)
      if (static_cast<size_t>(k) < values_.size() && !values_[static_cast<size_t>(k)].empty()) blank = false;
    for (int k = 0; k < ColumnCount() && !blank; ++k) {
      const int d = DefinitionOf(k);
      if (d < 0 || !defs_[static_cast<size_t>(d)].required) continue;
      if (k >= column || values_[static_cast<size_t>(k)].empty()) {
        recordError_ =
            Fail(kRequired, "【"_sj + defs_[static_cast<size_t>(d)].name + "】は必須項目です。"_sj);
        break;
      }
    }
  }
  if (recordError_) {
    fieldCount_ = 0;
    return recordError_;
  }
  fieldCount_ = column;
  return fieldCount_;
}

void CMyCSV::EndField(int column) {
  if (!recordError_ && column >= kMaxColumns)
    recordError_ = Fail(kTooManyFields, "フィールド数をオーバーしました。"_sj);
  if (recordError_) {
    // the rest of a refused record is read but not kept
    field_.clear();
    overflow_ = false;
    return;
  }
  if (values_.size() <= static_cast<size_t>(column)) values_.resize(static_cast<size_t>(column) + 1);
  std::string& v = values_[static_cast<size_t>(column)];
  v.assign(field_);
  field_.clear();
  const int rc = Check(column, v);
  overflow_ = false;
  if (rc != 0) {
    v.clear();
    recordError_ = rc;
  }
}

int CMyCSV::Check(int column, std::string& v) {
  const int d = useDefs_ ? DefinitionOf(column) : -1;
  const Definition* def = d >= 0 ? &defs_[static_cast<size_t>(d)] : nullptr;
  if (overflow_) {
    if (def && def->size > 0)
      return Fail(kTooLong, "【"_sj + def->name + "】のサイズがオーバーしました。"_sj);
    return Fail(kFieldFailed, "フィールドデータ取得失敗（【"_sj + Label(column) + "】が長すぎます。）"_sj);
  }
  if (std::memchr(v.data(), '\0', v.size()))
    return Fail(kBadBytes, "【"_sj + Label(column) + "】に文字として読めないバイトがあります。"_sj);
  if (!AllAscii(v)) {
    if (fileEncoding_ == CsvEncoding::kUtf8) {
      std::string sj;
      size_t bad = 0;
      if (cp932::FromUtf8(v, sj, &bad) != 0) {
        const long cp = CodePointAt(v, bad);
        if (cp < 0)
          return Fail(kBadBytes, "【"_sj + Label(column) + "】にUTF-8として読めないバイトがあります。"_sj);
        char buf[32];
        std::snprintf(buf, sizeof buf, "U+%04lX", cp);
        return Fail(kNotShiftJis,
                    "【"_sj + Label(column) + "】の文字「"_sj + buf + "」はShift-JISで表せません。"_sj);
      }
      v.swap(sj);
    } else if (!cp932::IsValid(v)) {
      return Fail(kBadBytes, "【"_sj + Label(column) + "】にShift-JISとして読めないバイトがあります。"_sj);
    }
  }
  if (unguard_) {
    std::string plain = Unguard(v);
    v.swap(plain);
  }
  if (!def) return 0;
  if (def->size > 0 && v.size() > static_cast<size_t>(def->size))
    return Fail(kTooLong, "【"_sj + def->name + "】のサイズがオーバーしました。"_sj);
  // an empty required value is told after the record: a blank line is none
  if (v.empty()) return 0;
  switch (def->type) {
    case kInteger:
    case kDecimal: {
      if (!CMyPublic::IsNumber(v) || !HasDigit(v))
        return Fail(kBadNumber, "【"_sj + def->name + "】は不正な数値です。"_sj);
      if (def->type == kInteger) {
        // "12.00" is twelve; "12.5" is not an integer, and cutting it off
        // would change what the file says
        const size_t dot = v.find('.');
        if (dot != std::string::npos) {
          if (v.find_first_not_of('0', dot + 1) != std::string::npos)
            return Fail(kBadNumber, "【"_sj + def->name + "】は不正な数値です。"_sj);
          v.erase(dot);
          if (!HasDigit(v)) v += '0';
        }
      } else {
        const std::string fixed = CMyPublic::FixDecimals(v, def->decimals);
        if (!fixed.empty()) v = fixed;
      }
      return 0;
    }
    case kDate: {
      const std::string date = CMyPublic(clock_).FormatDate(v, false);
      if (date.empty()) return Fail(kBadDate, "【"_sj + def->name + "】は不正な日付です。"_sj);
      v = date;
      return 0;
    }
    case kTime:
    case kTimeOfDay: {
      const std::string t = CMyPublic::NormalizeTime(v);
      if (t.empty() || !CMyPublic::IsTime(v, def->type == kTimeOfDay))
        return Fail(kBadTime, "【"_sj + def->name + "】は不正な時間です。"_sj);
      v = t;
      return 0;
    }
    default:
      return 0;
  }
}

// ---- the formula guard ----------------------------------------------------------

namespace {

// "'"* then a character a spreadsheet starts a formula with
bool FormulaLike(std::string_view value) {
  size_t i = 0;
  while (i < value.size() && value[i] == '\'') ++i;
  if (i >= value.size()) return false;
  const char c = value[i];
  if (c == '=' || c == '+' || c == '-' || c == '@') return true;
  if (c != '\x81' || i + 1 >= value.size()) return false;
  // ＝ ＋ － ＠ in CP932
  const char t = value[i + 1];
  return t == '\x81' || t == '\x7B' || t == '\x7C' || t == '\x97';
}

}  // namespace

bool CMyCSV::NeedsGuard(std::string_view value) {
  // a refund of -500 is a number to the spreadsheet too, and must stay one
  // for its totals; a spreadsheet runs nothing in a plain number
  if (CMyPublic::IsNumber(value) && HasDigit(value)) return false;
  return FormulaLike(value);
}

std::string CMyCSV::Guard(std::string_view value) {
  std::string out;
  if (!NeedsGuard(value)) return out.assign(value);
  out.reserve(value.size() + 1);
  out += '\'';
  return out.append(value);
}

std::string CMyCSV::Unguard(std::string_view value) {
  // also "'-500", which older exports wrote for a number
  if (value.empty() || value[0] != '\'' || !FormulaLike(value.substr(1))) return std::string(value);
  return std::string(value.substr(1));
}

// ---- writing ---------------------------------------------------------------------

CsvWriter::CsvWriter(std::string path, CsvEncoding encoding) : file_(std::move(path)), encoding_(encoding) {}

bool CsvWriter::Open() {
  failed_ = false;
  first_ = true;
  chunk_.clear();
  if (!file_.Open()) return false;
  if (encoding_ == CsvEncoding::kUtf8) chunk_ = "\xEF\xBB\xBF";
  return true;
}

std::string CsvWriter::Quote(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  out += '"';
  for (char c : value) {
    // a quote cannot be the second byte of a double-byte character
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

void CsvWriter::Field(std::string_view value) {
  if (!first_) chunk_ += ',';
  first_ = false;
  chunk_ += '"';
  std::string utf8;
  if (encoding_ == CsvEncoding::kUtf8 && !AllAscii(value)) {
    cp932::ToUtf8(value, utf8);
    value = utf8;
  }
  for (char c : value) {
    if (c == '"') chunk_ += '"';
    chunk_ += c;
  }
  chunk_ += '"';
  // bigger pieces than the 1024 bytes of old: fewer calls, same bytes
  if (chunk_.size() >= 65536) Flush();
}

void CsvWriter::EndRecord() {
  chunk_ += "\r\n";
  first_ = true;
}

void CsvWriter::Flush() {
  if (!chunk_.empty() && !file_.Write(chunk_)) failed_ = true;
  chunk_.clear();
}

bool CsvWriter::Commit() {
  Flush();
  if (failed_) {
    file_.Abort();
    return false;
  }
  return file_.Commit();
}
