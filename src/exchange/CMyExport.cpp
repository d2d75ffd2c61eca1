#include "exchange/CMyExport.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyLine.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

namespace {

constexpr int kFlagCount = 36;
constexpr int kFirstCaptionLine = 10;  // lines 4 to 10 are empty
// positions in the flag line (0-based)
constexpr int kFlagMemoBreak = 0;
constexpr int kFlagAllData = 1;
constexpr int kFlagHeader = 2;
constexpr int kFlagUtf8 = 3;   // taken from the reserved positions
constexpr int kFlagGuard = 4;  // likewise; old files have "0" there

bool Contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

std::string OneLine(std::string s) {
  s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }), s.end());
  return s;
}

}  // namespace

CMyExport::CMyExport(ExchangeBook& book, Prompter& prompter) : book_(book), prompter_(prompter) {}

std::vector<std::string> CMyExport::StandardColumns() const {
  return exch::StandardColumns(book_.fields, book_.byPage);
}

std::string CMyExport::ResolvePath(const std::string& typed) const {
  return ResolveExchangePath(book_.global, typed);
}

ExportChoice CMyExport::LoadChoice() const {
  ExportChoice c;
  c.options.path = cp932::ToUtf8(book_.global.GetPathLine(0));
  const std::vector<std::string> all = StandardColumns();
  CMyLine lines(2048);
  const int n = lines.ReadText(book_.global.DivisionPath("JotBoxExp.dat"));
  if (n < 1) {
    c.options.columns = all;
    return c;
  }
  if (n >= 2) {
    const std::string flags = lines.Str(1);
    auto on = [&](int i) {
      return static_cast<int>(flags.size()) > i && flags[static_cast<size_t>(i)] == '1';
    };
    c.options.memoBreak = on(kFlagMemoBreak);
    c.options.allData = on(kFlagAllData);
    c.options.header = on(kFlagHeader);
    c.options.encoding = on(kFlagUtf8) ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis;
    c.options.formulaGuard = on(kFlagGuard);
  } else {
    c.options.memoBreak = c.options.allData = c.options.header = false;
  }
  if (n >= 3) c.options.memoBreakText = lines.Str(2);
  const int count = std::atoi(lines.Text(0));
  for (int i = 0; i < count && kFirstCaptionLine + i < n; ++i) {
    // a field no longer on the screen is dropped; a new one waits in lst_From
    const std::string caption = lines.Str(kFirstCaptionLine + i);
    if (Contains(all, caption) && !Contains(c.options.columns, caption)) c.options.columns.push_back(caption);
  }
  for (const std::string& item : all)
    if (!Contains(c.options.columns, item)) c.from.push_back(item);
  return c;
}

bool CMyExport::SaveChoice(const ExportOptions& o) const {
  CMyLine lines(2048);
  lines.Set(0, std::to_string(o.columns.size()));
  std::string flags(kFlagCount, '0');
  if (o.memoBreak) flags[kFlagMemoBreak] = '1';
  if (o.allData) flags[kFlagAllData] = '1';
  if (o.header) flags[kFlagHeader] = '1';
  if (o.encoding == CsvEncoding::kUtf8) flags[kFlagUtf8] = '1';
  if (o.formulaGuard) flags[kFlagGuard] = '1';
  lines.Set(1, flags);
  lines.Set(2, OneLine(o.memoBreakText));
  for (int i = 3; i < kFirstCaptionLine; ++i) lines.Set(i, "");
  for (size_t i = 0; i < o.columns.size(); ++i)
    lines.Set(kFirstCaptionLine + static_cast<int>(i), OneLine(o.columns[i]));
  return lines.WriteText(book_.global.DivisionPath("JotBoxExp.dat")) >= 0;
}

int CMyExport::Run(const ExportOptions& o, const std::vector<ShownRow>& shown, ExportResult* out) {
  ExportResult local;
  ExportResult& r = out ? *out : local;
  r = ExportResult{};
  auto fail = [&](int code, const std::string& text) {
    prompter_.Warn(text);
    return r.code = code;
  };
  if (o.path.empty()) return fail(kNoPath, "ファイル名を入力してください。"_sj);
  if (o.columns.empty()) return fail(kNoColumns, "転送項目を選択してください。"_sj);
  r.path = ResolvePath(o.path);
  if (o.interactive) {
    if (!prompter_.Confirm("データを出力します。よろしいですか？"_sj)) return r.code = kCancelled;
    if (fileops::Exists(r.path) &&
        prompter_.Show("既にファイルが存在します。上書きしてよろしいですか？"_sj, "注意"_sj,
                       PromptIcon::Warning, PromptButtons::YesNo, kAnswerNo) != kAnswerYes)
      return r.code = kCancelled;
  }
  if (static_cast<int>(o.columns.size()) > kMaxColumns)
    return fail(kTooManyColumns, "フィールド数を超えました。"_sj);
  std::vector<exch::OutColumn> columns;
  std::string unknown;
  if (!exch::MapColumns(o.columns, book_.fields, book_.db, book_.byPage, columns, &unknown))
    return fail(kUnknownColumn, "転送項目【"_sj + unknown + "】はこの分類にありません。"_sj);
  if (o.allData) {
    book_.periods.LoadAll();
    if (book_.host) book_.host->ReloadView();
  }
  CsvWriter w(r.path, o.encoding);
  if (!w.Open()) return fail(kCannotCreate, "ファイルオープンに失敗しました。"_sj);
  if (o.header) {
    for (const std::string& caption : o.columns) w.Field(caption);
    w.EndRecord();
  }
  exch::ValueRules rules;
  rules.memoBreak = o.memoBreak;
  rules.memoBreakText = o.memoBreakText;
  rules.formulaGuard = o.formulaGuard;
  if (o.allData) {
    CMyRec all(&book_.db);
    // nothing is left behind: the writer drops its temporary file
    if (all.SetSort("キー項目,行連番"_sj, false) != 0 || all.Select(nullptr) < 0)
      return fail(kSelectFailed, "ページ追加用抽出処理に失敗しました。"_sj);
    for (int k = 0; k < all.Count(); ++k) {
      exch::WriteRecord(w, book_.db, all.Items()[k], columns, rules);
      ++r.lines;
    }
  } else {
    for (const ShownRow& row : shown) {
      if (row.record >= 0 && row.record < book_.db.RecordCount() && !book_.db.IsDeleted(row.record))
        exch::WriteRecord(w, book_.db, row.record, columns, rules);
      else if (row.record != ShownRow::kNoRecord)
        w.EndRecord();  // a record the view names but cannot reach
      else
        exch::WriteEmptyRow(w, row, columns);
      ++r.lines;
    }
  }
  if (!w.Commit())
    return fail(kWriteFailed, "ファイルの書き込みに失敗しました。"_sj + "\n" + cp932::FromUtf8(r.path));
  if (o.remember) {
    (void)SaveChoice(o);
    std::string sjPath;
    if (cp932::FromUtf8(r.path, sjPath) == 0) (void)book_.global.SetPathLine(0, sjPath);
  }
  if (o.interactive)
    prompter_.Show("正常にエクスポートされました。"_sj, "ひとこと帳"_sj, PromptIcon::Information,
                   PromptButtons::Ok);
  return r.code = kOk;
}

// ---- the two lists ------------------------------------------------------------------

ExportColumnLists::ExportColumnLists(std::vector<std::string> standard, Beeper& beeper)
    : standard_(std::move(standard)), beeper_(beeper) {}

void ExportColumnLists::Set(std::vector<std::string> from, std::vector<std::string> to) {
  from_ = std::move(from);
  to_ = std::move(to);
}

int ExportColumnLists::Right(int i) {
  if (i < 0 || i >= static_cast<int>(from_.size())) {
    beeper_.Beep();
    return -1;
  }
  to_.push_back(from_[static_cast<size_t>(i)]);
  from_.erase(from_.begin() + i);
  return static_cast<int>(to_.size()) - 1;
}

int ExportColumnLists::Left(int i) {
  if (i < 0 || i >= static_cast<int>(to_.size())) {
    beeper_.Beep();
    return -1;
  }
  from_.push_back(to_[static_cast<size_t>(i)]);
  to_.erase(to_.begin() + i);
  return static_cast<int>(from_.size()) - 1;
}

void ExportColumnLists::RightAll() {
  to_ = standard_;
  from_.clear();
}

void ExportColumnLists::LeftAll() {
  from_ = standard_;
  to_.clear();
}

int ExportColumnLists::Up(int i) {
  if (i <= 0 || i >= static_cast<int>(to_.size())) {
    beeper_.Beep();
    return -1;
  }
  std::swap(to_[static_cast<size_t>(i)], to_[static_cast<size_t>(i - 1)]);
  return i - 1;
}

int ExportColumnLists::Down(int i) {
  if (i < 0 || i + 1 >= static_cast<int>(to_.size())) {
    beeper_.Beep();
    return -1;
  }
  std::swap(to_[static_cast<size_t>(i)], to_[static_cast<size_t>(i + 1)]);
  return i + 1;
}
