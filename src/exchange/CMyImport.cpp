#include "exchange/CMyImport.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "exchange/FileTransaction.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"
#include "shell/CMyPublic.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

constexpr int kMaxPage = 4999;  // as the input form takes pages

// Path.dat lines of the import
constexpr int kLinePath = 1;
constexpr int kLineMode = 2;      // "1" replace all, "2" add
constexpr int kLineEncoding = 3;  // "1" UTF-8
constexpr int kLineGuard = 4;     // "1" formula guard

std::string Num(int n) { return std::to_string(n); }

std::string Serial5(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%05d", n);
  return buf;
}

bool IsJpg(const std::string& path) {
  std::string ext = CMyPublic::Extension(path);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return ext == ".jpg";
}

// Digits with an optional sign, as the reader leaves an integer.
bool ToInt(const std::string& s, long& out) {
  if (s.empty() || s.size() > 9) return false;
  char* end = nullptr;
  out = std::strtol(s.c_str(), &end, 10);
  return end && *end == '\0';
}

}  // namespace

// Which column of the file holds what.
struct CMyImport::Columns {
  int key = -1, page = -1, line = -1;
  struct Mapped {
    int column;
    int field;      // table field
    bool data;      // a screen field (counts for NODATA)
    bool memo;      // the memo: its line count goes to field + "L"
    int lineField;  // that field, -1 none
    bool photo;     // IMG001: a JPEG or nothing
  };
  std::vector<Mapped> mapped;
  bool updated = false, created = false;
};

CMyImport::CMyImport(ExchangeBook& book, Prompter& prompter, const Clock& clock)
    : book_(book), prompter_(prompter), clock_(clock) {}

ImportOptions CMyImport::LastOptions() const {
  ImportOptions o;
  o.path = cp932::ToUtf8(book_.global.GetPathLine(kLinePath));
  o.replaceAll = book_.global.GetPathLine(kLineMode) == "1";
  o.encoding = book_.global.GetPathLine(kLineEncoding) == "1" ? CsvEncoding::kUtf8 : CsvEncoding::kShiftJis;
  o.formulaGuard = book_.global.GetPathLine(kLineGuard) == "1";
  return o;
}

std::string CMyImport::ResolvePath(const std::string& typed) const {
  return ResolveExchangePath(book_.global, typed);
}

std::string CMyImport::SafetyCopyPath() const {
  char name[32];
  const CivilDate d = clock_.Today();
  std::snprintf(name, sizeof name, "BK%04d%02d%02d.csv", d.year % 10000, d.month % 100, d.day % 100);
  return book_.global.DivisionPath(name);
}

void CMyImport::DefineColumns(CMyCSV& csv) const {
  using exch::PseudoColumn;
  csv.UseDefinitions(true);
  auto pseudo = [&](const char* caption, int type, int size, int required, int id) {
    (void)csv.AddDefinition(cp932::FromUtf8(caption), type, size, 0, 0, required, id);
  };
  if (book_.byPage) {
    pseudo("ページ", CMyCSV::kInteger, 5, 1, exch::kPageColumn);
    pseudo("行番号", CMyCSV::kInteger, 5, 1, exch::kLineColumn);
  } else {
    pseudo("年月日", CMyCSV::kDate, 10, 1, exch::kKeyColumn);
    pseudo("曜日", CMyCSV::kText, 10, 0, exch::kWeekdayColumn);
  }
  for (size_t i = 0; i < book_.fields.size(); ++i) {
    const ScreenField& f = book_.fields[i];
    const int field = book_.db.FindField(f.field);
    if (field < 0) continue;
    // no more than the field holds, or the record would refuse it later
    int size = book_.db.Fields()[field].maxLength;
    if (f.maxLength > 0 && (size <= 0 || f.maxLength < size)) size = f.maxLength;
    (void)csv.AddDefinition(f.caption, f.dataType, size, f.decimals, 0, 0, kFieldId + static_cast<int>(i));
  }
  pseudo("テキスト色", CMyCSV::kInteger, 15, 0, exch::kTextColorColumn);
  pseudo("背景色", CMyCSV::kInteger, 15, 0, exch::kBackColorColumn);
  pseudo("更新日", CMyCSV::kDate, 10, 0, exch::kUpdatedColumn);
  pseudo("登録日", CMyCSV::kDate, 10, 0, exch::kCreatedColumn);
}

int CMyImport::MapColumns(const CMyCSV& csv, Columns& cols) const {
  std::set<int> seen;
  for (int c = 0; c < csv.ColumnCount(); ++c) {
    const int d = csv.DefinitionOf(c);
    if (d < 0) continue;
    const int id = csv.DefinitionAt(d).id;
    if (!seen.insert(id).second) {
      // two columns for one field: which one was meant cannot be known
      prompter_.Warn("フィールド【"_sj + csv.ColumnName(c) + "】が重複しています。"_sj);
      return kOpenFailed;
    }
    Columns::Mapped m{c, -1, false, false, -1, false};
    switch (id) {
      case exch::kKeyColumn:
        cols.key = c;
        continue;
      case exch::kPageColumn:
        cols.page = c;
        continue;
      case exch::kLineColumn:
        cols.line = c;
        continue;
      case exch::kWeekdayColumn:
        continue;  // the weekday comes from the date
      case exch::kTextColorColumn:
        m.field = memo::kCr001;
        break;
      case exch::kBackColorColumn:
        m.field = memo::kCr002;
        break;
      case exch::kUpdatedColumn:
        m.field = memo::kUpdated;
        cols.updated = true;
        break;
      case exch::kCreatedColumn:
        m.field = memo::kCreated;
        cols.created = true;
        break;
      default: {
        const ScreenField& f = book_.fields[static_cast<size_t>(id - kFieldId)];
        m.field = book_.db.FindField(f.field);
        m.data = true;
        m.memo = f.kind == jsc::kMemo;
        m.lineField = m.memo ? book_.db.FindField(f.field + "L") : -1;
        m.photo = m.field == memo::kImg001;
        break;
      }
    }
    cols.mapped.push_back(m);
  }
  if (!book_.byPage && cols.key < 0) {
    prompter_.Warn("年月日は必須項目です。"_sj);
    return kMissingKey;
  }
  if (book_.byPage && (cols.page < 0 || cols.line < 0)) {
    prompter_.Warn("ページと行番号は必須項目です。"_sj);
    return kMissingKey;
  }
  return kOk;
}

bool CMyImport::Blank(const CMyCSV& csv, const Columns& cols) const {
  for (const Columns::Mapped& m : cols.mapped)
    if (!csv.Value(m.column).empty()) return false;
  return true;
}

bool CMyImport::KeyOf(const CMyCSV& csv, const Columns& cols, bool checking, std::string& period,
                      std::string& key, int& weekday, std::string& refusal) const {
  if (!book_.byPage) {
    const std::string& v = csv.Value(cols.key);
    CivilDate d;
    if (v.empty()) return refusal = "年月日を入力して下さい。"_sj, false;
    if (v.size() != 10 || !civil::ParseYmd(v, d)) return refusal = "不正な年月日が入力されました。"_sj, false;
    key = v;
    weekday = civil::Weekday(d);
    period = v.substr(0, 4) + v.substr(5, 2);
    return true;
  }
  const std::string& p = csv.Value(cols.page);
  const std::string& l = csv.Value(cols.line);
  if (p.empty()) return refusal = "ページを入力して下さい。"_sj, false;
  if (l.empty()) return refusal = "行番号を入力して下さい。"_sj, false;
  long page = 0, line = 0;
  if (!ToInt(p, page) || !ToInt(l, line)) return refusal = "ページ・行が不正です。"_sj, false;
  if (checking && (line < 1 || line > book_.linesPerPage))
    return refusal = "行番号がオーバーしました。1から"_sj + Num(book_.linesPerPage) + "までです。"_sj, false;
  // a page the input form could not open would hold lines nobody sees
  if (checking && (page < 1 || page > kMaxPage))
    return refusal = "ページがオーバーしました。1から"_sj + Num(kMaxPage) + "までです。"_sj, false;
  if (page < 1) page = 1;
  if (line < 1) line = 1;
  char buf[64];  // both at most 5 digits: the columns hold 5 bytes
  std::snprintf(buf, sizeof buf, "%05ld/%05ld", page, line);
  key = buf;
  period = key.substr(0, 5);
  weekday = 0;
  return true;
}

int CMyImport::WriteSafetyCopy(const std::string& path) const {
  std::vector<std::string> captions;
  if (book_.byPage) {
    captions = {"ページ"_sj, "行番号"_sj};
  } else {
    captions = {"年月日"_sj};
  }
  for (const ScreenField& f : book_.fields) captions.push_back(f.caption);
  for (std::string& c : exch::PseudoCaptions(2, book_.byPage)) captions.push_back(std::move(c));
  std::vector<exch::OutColumn> columns;
  if (!exch::MapColumns(captions, book_.fields, book_.db, book_.byPage, columns, nullptr)) return -1;
  CMyRec all(&book_.db);
  if (all.SetSort("キー項目,行連番"_sj, false) != 0 || all.Select(nullptr) < 0) {
    prompter_.Warn("ページ追加用抽出処理に失敗しました。"_sj);
    return -1;
  }
  CsvWriter w(path, CsvEncoding::kShiftJis);
  if (!w.Open()) return -1;
  for (const std::string& c : captions) w.Field(c);
  w.EndRecord();
  const exch::ValueRules plain;
  for (int k = 0; k < all.Count(); ++k) exch::WriteRecord(w, book_.db, all.Items()[k], columns, plain);
  return w.Commit() ? 0 : -1;
}

int CMyImport::TakeBack(FileTransaction& tx, int code, ImportResult& r) {
  const bool restored = tx.Rollback();
  // the table follows the files again
  book_.db.ClearRecords();
  (void)book_.periods.LoadTable();
  book_.periods.LoadAll();
  if (book_.host) book_.host->ReloadView();
  if (!restored) {
    std::string files;
    for (const std::string& f : tx.Unrestored()) {
      files += '\n';
      files += cp932::FromUtf8(f);
    }
    prompter_.Error("取り込む前の状態に戻せなかったファイルがあります。"_sj + files + "\n" +
                    "元の内容はファイル名に「.before-import」を付けて残してあります。"_sj + "\n" +
                    "取り込む前のデータ: "_sj + cp932::FromUtf8(r.safetyCopy));
    return r.code = kNotRestored;
  }
  return r.code = code;
}

int CMyImport::Run(const ImportOptions& o, ImportResult* out) {
  ImportResult local;
  ImportResult& r = out ? *out : local;
  r = ImportResult{};
  auto fail = [&](int code, const std::string& text) {
    prompter_.Warn(text);
    return r.code = code;
  };
  if (o.path.empty()) return fail(kNoPath, "ファイル名を入力してください。"_sj);
  r.path = ResolvePath(o.path);
  if (!fileops::IsFile(r.path)) return fail(kNotFound, "ファイルが見つかりません。"_sj);
  if (o.interactive) {
    if (!prompter_.Confirm("データを取り込みます。よろしいですか？"_sj)) return r.code = kCancelled;
    if (o.replaceAll &&
        !prompter_.ConfirmAgain("取り込み種類が「全データ入替」です。\n本当によろしいですか？"_sj))
      return r.code = kCancelled;
  }

  // The whole division first: the safety copy must hold every month, not
  // the ones the view happened to load, and a month that did not read whole
  // would be missing from it.
  if (book_.periods.AdoptUnlisted() < 0) return r.code = kNoSafetyCopy;
  book_.periods.LoadAll();
  if (!book_.periods.AllReadWhole("取り込み"_sj)) return r.code = kNoSafetyCopy;
  r.safetyCopy = SafetyCopyPath();
  if (!fileops::Exists(r.safetyCopy)) {
    if (WriteSafetyCopy(r.safetyCopy) == 0) {
      r.safetyCopyWritten = true;
    } else if (o.replaceAll) {
      // replacing every record with no copy of them anywhere is not done
      return fail(kNoSafetyCopy,
                  "バックアップ出来ませんでした。"_sj + "\n" + "全データ入替は行いません。"_sj);
    } else {
      prompter_.Warn("バックアップ出来ませんでした。"_sj);
    }
  }

  CMyCSV csv(prompter_, clock_);
  DefineColumns(csv);
  csv.SetEncoding(o.encoding);
  csv.SetFormulaGuard(o.formulaGuard);
  const std::string utf8Hint =
      "\n"_sj + "ファイルはUTF-8で書かれているようです。"_sj +
      (o.commandLine ? "--utf8 を付けてください（取り込みの画面では文字コードに「UTF-8 (BOM付き)」）。"_sj
                     : "文字コードに「UTF-8 (BOM付き)」を選んでください。"_sj);
  // UTF-8 read as Shift-JIS gives names and values nobody wrote
  auto hint = [&] {
    return csv.FileEncoding() == CsvEncoding::kShiftJis && csv.LooksLikeUtf8() ? utf8Hint : std::string();
  };
  int rc = csv.Open(r.path, true);
  if (rc != CMyCSV::kOk) return fail(kOpenFailed, csv.ErrorText() + hint());
  r.lineEnds = csv.LineEnds();
  Columns cols;
  if ((rc = MapColumns(csv, cols)) != kOk) return r.code = rc;

  // The checking pass: nothing changes until the whole file is known good.
  auto lineError = [&](int record, const std::string& text) {
    r.record = record;
    return fail(kCheckFailed, Num(record) + "レコード目でエラーが発生しました。\n"_sj + text);
  };
  // every line to add, in file order: the serials are given before any new
  // record is in the table, so finding a free serial looks only at the
  // records that were there
  struct Line {
    int record;
    std::string period, key;
    int serial;
  };
  std::vector<Line> lines;
  for (;;) {
    const int n = csv.ReadRecord();
    if (n == 0) break;
    const int record = csv.RecordsRead();
    if (n < 0) return lineError(record, csv.ErrorText() + hint());
    if (Blank(csv, cols)) {
      ++r.skipped;
      continue;
    }
    std::string period, key, refusal;
    int weekday = 0;
    if (!KeyOf(csv, cols, true, period, key, weekday, refusal)) return lineError(record, refusal);
    for (const Columns::Mapped& m : cols.mapped) {
      if (m.photo && !csv.Value(m.column).empty() && !IsJpg(csv.Value(m.column)))
        return lineError(record, "画像ファイルにJPG以外が指定されました。"_sj);
    }
    lines.push_back({record, period, key, 0});
    ++r.added;
  }
  if (!hint().empty()) return fail(kCheckFailed, utf8Hint.substr(1));
  csv.Close();
  r.deleted = o.replaceAll ? book_.db.LiveCount() : 0;
  if (o.interactive) {
    std::string plan =
        "追加: "_sj + Num(r.added) + "件 / 空行のため読み飛ばし: "_sj + Num(r.skipped) + "件"_sj;
    if (o.replaceAll) plan += " (全データ入替: 既存 "_sj + Num(r.deleted) + "件を削除)"_sj;
    // a file saved on another system may end its lines differently
    plan += "\n"_sj + "行末: "_sj + CMyCSV::LineEndsText(r.lineEnds);
    plan += "\nこの内容で取り込みますか？"_sj;  // OK writes: the box says so
    if (prompter_.Show(plan, "確認"_sj, PromptIcon::Question, PromptButtons::OkCancel) != kAnswerOk)
      return r.code = kCancelled;
  }

  // The writing pass. Every file is kept aside before it is first changed.
  FileTransaction tx;
  const std::string divoutPath = book_.global.DivisionPath("divout.jpr");
  if (!tx.Protect(divoutPath)) {
    (void)tx.Rollback();
    return fail(kSaveFailed, "取り込みの準備に失敗しました。"_sj + "\n" + cp932::FromUtf8(divoutPath));
  }
  // Replacing: every month file now in the folder goes, with the writing of
  // the new ones (one batch: after a crash the next opening finishes it).
  // Until then each stays where it is, listed as read and empty, so that no
  // serial is looked for in it.
  std::vector<std::string> oldPeriods;
  if (o.replaceAll) {
    std::vector<std::string> names;
    const std::string dir = book_.global.DivisionPath("");
    if (!fileops::List(dir, "dt*.jdt", names)) {
      (void)tx.Rollback();
      return fail(kSaveFailed, "取り込みの準備に失敗しました。"_sj + "\n" + cp932::FromUtf8(dir));
    }
    for (const std::string& name : names) {
      if (CMyPeriods::PeriodOfFile(name).empty()) continue;  // a conflict copy, say: not a month of the book
      const std::string path = dir + name;
      if (!tx.Protect(path)) {
        (void)tx.Rollback();
        return fail(kSaveFailed, "取り込みの準備に失敗しました。"_sj + "\n" + cp932::FromUtf8(path));
      }
      oldPeriods.push_back(CMyPeriods::PeriodOfFile(name));
    }
    book_.db.ClearRecords();
    book_.divout.Init("DIVOUT");
    for (const std::string& period : oldPeriods) {
      std::string rec = CMyMaster::Blank();
      CMyMaster::SetName(rec, period);
      if (book_.divout.Append(rec) != 0 ||
          !book_.divout.SetInt(book_.divout.RecordCount() - 1, CMyMaster::kRFlag, 1)) {
        (void)tx.Rollback();
        return fail(kSaveFailed, "取り込みの準備に失敗しました。"_sj);
      }
    }
  }
  const int expected = r.added;
  r.added = 0;
  auto stop = [&](int record, const std::string& text) {
    r.record = record;
    prompter_.Warn(text);
    const int code = TakeBack(tx, kStopped, r);
    if (code == kStopped)
      prompter_.Warn(Num(record) + "レコード目で処理を中断しました。"_sj + "\n" +
                     "データは取り込む前のままです。"_sj);
    return code;
  };
  std::set<std::pair<std::string, int>> given;
  for (Line& line : lines) {
    line.serial = book_.periods.RegisterKey(line.period, line.key, false);
    // a period whose serials ran up to 99999 is searched for gaps, which
    // cannot see the serials given here before: never give one twice
    if (line.serial < 1 || line.serial > 99999 || !given.insert({line.period, line.serial}).second)
      return stop(line.record, "不正な行連番が入力されました。"_sj);
  }
  if ((rc = csv.Open(r.path, true)) != CMyCSV::kOk) {
    prompter_.Warn(csv.ErrorText());
    return TakeBack(tx, kOpenFailed, r);
  }
  const std::string today = civil::Ymd(clock_.Today());
  std::set<std::string> touched;
  const std::string changed = "ファイルが取り込みの途中で変わりました。"_sj;
  for (;;) {
    const int n = csv.ReadRecord();
    if (n == 0) break;
    const int record = csv.RecordsRead();
    // the file changed since it was checked
    if (n < 0) return stop(record, Num(record) + "レコード目でエラーが発生しました。\n"_sj + csv.ErrorText());
    if (Blank(csv, cols)) continue;
    std::string period, key, refusal;
    int weekday = 0;
    if (!KeyOf(csv, cols, false, period, key, weekday, refusal)) return stop(record, refusal);
    const size_t at = static_cast<size_t>(r.added);
    if (at >= lines.size() || lines[at].record != record || lines[at].key != key)
      return stop(record, changed);
    const int serial = lines[at].serial;
    CMyDB& db = book_.db;
    db.New();
    if (db.SetValue(memo::kKey, key) != 0)
      return stop(record, book_.byPage ? "ページ・行が不正です。"_sj : "不正な年月日が入力されました。"_sj);
    if (!book_.byPage && db.SetValue(memo::kWeekday, Num(weekday)) != 0)
      return stop(record, "不正な曜日です。"_sj);
    if (db.SetValue(memo::kKubun, "0") != 0) return stop(record, "不正な区分が入力されました。"_sj);
    if (db.SetValue(memo::kLineSerial, Serial5(serial)) != 0)
      return stop(record, "不正な行連番が入力されました。"_sj);
    bool any = false;
    for (const Columns::Mapped& m : cols.mapped) {
      const std::string& v = csv.Value(m.column);
      if (db.SetValue(m.field, v) != 0) return stop(record, "不正な値が入力されました。"_sj);
      if (m.memo && m.lineField >= 0 && db.SetValue(m.lineField, Num(textlines::Count(v))) != 0)
        return stop(record, "不正な値が入力されました。"_sj);
      // a record has data when a field of the form holds some, as the
      // input form counts it; colours and dates are not data
      if (m.data && !v.empty()) any = true;
    }
    if (db.SetValue(memo::kNoData, any ? "1" : "0") != 0)
      return stop(record, "不正な「データ有無」です。"_sj);
    if ((!cols.updated && db.SetValue(memo::kUpdated, today) != 0) ||
        (!cols.created && db.SetValue(memo::kCreated, today) != 0))
      return stop(record, "不正な値が入力されました。"_sj);
    if (db.Store() != 0) return stop(record, "不正な値が入力されました。"_sj);
    touched.insert(period);
    ++r.added;
  }
  csv.Close();
  if (r.added != expected) return stop(csv.RecordsRead(), changed);

  for (const std::string& period : touched) {
    const std::string path = book_.global.DivisionPath(CMyPeriods::FileName(period));
    if (!tx.Protect(path)) {
      prompter_.Warn("取り込みの準備に失敗しました。"_sj + "\n" + cp932::FromUtf8(path));
      return TakeBack(tx, kSaveFailed, r);
    }
  }
  // the old months no new record went into leave the list and the folder
  std::vector<std::string> removed;
  for (const std::string& period : oldPeriods) {
    if (touched.count(period)) continue;
    removed.push_back(period);
    const int at = book_.divout.FindByText(0, period);
    if (at >= 0) (void)book_.divout.Delete(at);
  }
  // every month in one pass, made durable with one sync
  if (book_.periods.SavePeriods(std::vector<std::string>(touched.begin(), touched.end()), removed) != 0) {
    const int code = TakeBack(tx, kSaveFailed, r);
    if (code == kSaveFailed) prompter_.Warn("取り込みを取り止めました。データは取り込む前のままです。"_sj);
    return code;
  }
  // the period list is saved with each period; with none (a file of no
  // records replacing everything) it is written here
  if (touched.empty() && removed.empty() && book_.divout.Write(divoutPath) < 0) {
    prompter_.Warn("保存に失敗しました。"_sj);
    const int code = TakeBack(tx, kSaveFailed, r);
    if (code == kSaveFailed) prompter_.Warn("取り込みを取り止めました。データは取り込む前のままです。"_sj);
    return code;
  }
  tx.Commit();
  if (book_.host) book_.host->ReloadView();
  if (o.remember) {
    std::string sjPath;
    if (cp932::FromUtf8(r.path, sjPath) == 0) (void)book_.global.SetPathLine(kLinePath, sjPath);
    (void)book_.global.SetPathLine(kLineMode, o.replaceAll ? "1" : "2");
    (void)book_.global.SetPathLine(kLineEncoding, o.encoding == CsvEncoding::kUtf8 ? "1" : "0");
    (void)book_.global.SetPathLine(kLineGuard, o.formulaGuard ? "1" : "0");
  }
  if (o.interactive)
    prompter_.Show("正常にインポートしました。"_sj, "ひとこと帳"_sj, PromptIcon::Information,
                   PromptButtons::Ok);
  return r.code = kOk;
}
