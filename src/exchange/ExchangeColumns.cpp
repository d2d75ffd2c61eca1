#include "exchange/ExchangeColumns.h"

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

std::vector<ScreenField> ScreenFieldsOf(const std::vector<jsc::Control>& controls) {
  std::vector<ScreenField> out;
  for (const jsc::Control& c : controls) {
    if (!c.IsField()) continue;
    ScreenField f;
    f.field = c.kind == jsc::kPhoto ? "IMG001" : c.field;
    f.caption = c.alias.empty() ? f.field : c.alias;
    f.kind = c.kind;
    // the input form checks types in its text editors only
    if (c.kind == jsc::kText) {
      switch (c.dataType) {
        case jsc::kNumber:
        case jsc::kDecimal:
        case jsc::kDate:
        case jsc::kTime:
        case jsc::kTime2:
          f.dataType = c.dataType;
          break;
        default:
          break;
      }
    }
    f.decimals = c.decimals;
    f.maxLength = c.maxLength > 0 ? c.maxLength : 0;
    out.push_back(std::move(f));
  }
  return out;
}

// A bare name goes where the user keeps their files; the extension is what
// the file chooser's filter offers.
std::string ResolveExchangePath(const CMyGlobal& global, const std::string& typed) {
  std::string path = typed;
  if (path.find('/') == std::string::npos) path = global.UserPath("") + "/" + path;
  const std::string base = fileops::BaseName(path);
  if (base.find('.') == std::string::npos) path += ".CSV";
  return path;
}

namespace exch {

const PseudoColumn kPseudoColumns[8] = {
    {1, kKeyColumn, "キー項目", "年月日", 1},        {1, kWeekdayColumn, "曜日", "曜日", 1},
    {1, kPageColumn, "キー項目", "ページ", 2},       {1, kLineColumn, "キー項目", "行番号", 2},
    {2, kTextColorColumn, "CR001", "テキスト色", 0}, {2, kBackColorColumn, "CR002", "背景色", 0},
    {2, kUpdatedColumn, "更新日", "更新日", 0},      {2, kCreatedColumn, "登録日", "登録日", 0},
};

namespace {
bool Applies(const PseudoColumn& p, bool byPage) { return p.use == 0 || p.use == (byPage ? 2 : 1); }
}  // namespace

const PseudoColumn* FindPseudo(std::string_view caption, bool byPage) {
  for (const PseudoColumn& p : kPseudoColumns)
    if (Applies(p, byPage) && caption == cp932::FromUtf8(p.caption)) return &p;
  return nullptr;
}

std::vector<std::string> PseudoCaptions(int group, bool byPage) {
  std::vector<std::string> out;
  for (const PseudoColumn& p : kPseudoColumns)
    if (p.group == group && Applies(p, byPage)) out.push_back(cp932::FromUtf8(p.caption));
  return out;
}

std::vector<std::string> StandardColumns(const std::vector<ScreenField>& fields, bool byPage) {
  std::vector<std::string> out = PseudoCaptions(1, byPage);
  for (const ScreenField& f : fields) out.push_back(f.caption);
  for (std::string& c : PseudoCaptions(2, byPage)) out.push_back(std::move(c));
  return out;
}

bool MapColumns(const std::vector<std::string>& captions, const std::vector<ScreenField>& fields,
                const CMyDB& db, bool byPage, std::vector<OutColumn>& out, std::string* unknown) {
  out.clear();
  for (const std::string& caption : captions) {
    OutColumn c;
    if (const PseudoColumn* p = FindPseudo(caption, byPage)) {
      c.kind = p->kind;
      c.field = db.FindField(cp932::FromUtf8(p->field));
    } else {
      for (const ScreenField& f : fields) {
        if (f.caption == caption) {
          c.field = db.FindField(f.field);
          break;
        }
      }
      if (c.field < 0) c.field = db.FindField(caption);
    }
    if (c.field < 0) {
      if (unknown) *unknown = caption;
      return false;
    }
    out.push_back(c);
  }
  return true;
}

std::string WeekdayText(std::string_view value) {
  static const std::string kNames[7] = {"日"_sj, "月"_sj, "火"_sj, "水"_sj, "木"_sj, "金"_sj, "土"_sj};
  if (value.size() == 1 && value[0] >= '1' && value[0] <= '7') return kNames[value[0] - '1'];
  return std::string(value);
}

std::string ReplaceBreaks(std::string_view value, std::string_view text) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    // CR and LF are never the second byte of a double-byte character
    if (c == '\r' || c == '\n') {
      out.append(text);
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      continue;
    }
    out += c;
  }
  return out;
}

namespace {

std::string Part(std::string_view key, size_t from, size_t n) {
  if (from >= key.size()) return {};
  return std::string(key.substr(from, n));
}

void Put(CsvWriter& w, std::string_view value, const ValueRules& rules) {
  std::string v;
  if (rules.memoBreak && value.find_first_of("\r\n") != std::string_view::npos) {
    v = ReplaceBreaks(value, rules.memoBreakText);
    value = v;
  }
  if (rules.formulaGuard && CMyCSV::NeedsGuard(value)) {
    v = CMyCSV::Guard(value);
    value = v;
  }
  w.Field(value);
}

}  // namespace

void WriteRecord(CsvWriter& w, const CMyDB& db, int r, const std::vector<OutColumn>& columns,
                 const ValueRules& rules) {
  for (const OutColumn& c : columns) {
    const char* raw = db.Value(c.field, r);
    std::string_view v = raw ? raw : "";
    switch (c.kind) {
      case kWeekdayColumn:
        Put(w, WeekdayText(v), rules);
        break;
      case kPageColumn:
        Put(w, Part(v, 0, 5), rules);
        break;
      case kLineColumn:
        Put(w, Part(v, 6, 5), rules);
        break;
      default:
        Put(w, v, rules);
        break;
    }
  }
  w.EndRecord();
}

void WriteEmptyRow(CsvWriter& w, const ShownRow& row, const std::vector<OutColumn>& columns) {
  for (const OutColumn& c : columns) {
    switch (c.kind) {
      case kKeyColumn:
        w.Field(row.key);
        break;
      case kWeekdayColumn:
        w.Field(row.weekday >= 1 && row.weekday <= 7 ? WeekdayText(std::to_string(row.weekday)) : "");
        break;
      case kPageColumn:
        w.Field(Part(row.key, 0, 5));
        break;
      case kLineColumn:
        w.Field(Part(row.key, 6, 5));
        break;
      default:
        w.Field("");
        break;
    }
  }
  w.EndRecord();
}

}  // namespace exch
