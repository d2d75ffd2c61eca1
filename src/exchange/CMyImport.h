// The import: a CSV file with a header line read into the open division,
// each data line a new record after the existing ones of its date or page.
// "追加" keeps the existing records, "全データ入替" replaces them all. Before
// anything changes, the day's safety copy "BK<yyyymmdd>.csv" of the whole
// division is written (once a day; it imports back), and the whole file is
// checked. The writing pass then changes every file it touches or, when
// anything fails on the way, none: the division is left as it was.
//
// The dialog (TfrmInport) keeps its controls in an ImportOptions and hands
// it to Run with the path its file chooser gave; `jbx import` fills the
// same struct from its command line.
#pragma once
#include <string>
#include <vector>

#include "exchange/CMyCSV.h"
#include "exchange/ExchangeColumns.h"

class Clock;
class FileTransaction;
class Prompter;

// Everything the import dialog lets the user choose.
struct ImportOptions {
  // txt_Path: the file as typed or chosen, in the file system's spelling
  // (UTF-8); resolved like the export's (ResolveExchangePath).
  std::string path;
  bool replaceAll = false;  // rdo_DelIn "全データ入替"; false: rdo_Add "追加"
  // "Shift-JIS" or "UTF-8 (BOM付き)"; a file that starts with the UTF-8
  // byte order mark is read as UTF-8 whatever is chosen.
  CsvEncoding encoding = CsvEncoding::kShiftJis;
  // "表計算ソフトで式として解釈されないようにする": the "'" the export put
  // before formula-like values is taken off again (CMyCSV::Unguard).
  bool formulaGuard = false;
  // true (the dialog): asks "データを取り込みます。よろしいですか？" (and
  // "再確認" for 全データ入替), shows what the import will do with OK and
  // cancel, and ends with "正常にインポートしました。". false (jbx): none
  // of these boxes; refusals and failures are still told.
  bool interactive = true;
  // After a successful import, keep the path and the options in "Path.dat".
  bool remember = true;
  // Where the user asks for UTF-8, named by the hint for a UTF-8 file read
  // as Shift-JIS: the dialog's choice, or jbx's option.
  bool commandLine = false;
};

struct ImportResult {
  int code = 0;
  std::string path;                // the file (resolved)
  std::string safetyCopy;          // the day's safety copy
  bool safetyCopyWritten = false;  // false: it was there already, or failed
  int added = 0;                   // records added (or that would have been)
  int skipped = 0;                 // data lines without any value
  int deleted = 0;                 // records replaced (全データ入替)
  int record = 0;                  // the record number (the header is 1) where it stopped, 0 none
  // the line ends the file was read with
  CsvLineEnds lineEnds = CsvLineEnds::kNone;
};

class CMyImport {
 public:
  enum Code : int {
    kOk = 0,
    kCancelled = 1,   // a question answered No, or the preview cancelled
    kNoPath = 2,      // "ファイル名を入力してください。" (focus txt_Path)
    kNotFound = 3,    // "ファイルが見つかりません。"
    kOpenFailed = 4,  // the reader refused the file or its header
    kMissingKey = 5,  // "年月日は必須項目です。" / "ページと行番号は必須項目です。"
    kCheckFailed = 6,   // the checking pass found an error: nothing changed
    kStopped = 7,       // a record refused while writing: everything taken back
    kNoSafetyCopy = 8,  // 全データ入替 without the day's safety copy: refused
    kSaveFailed = -1,   // a file could not be written: everything taken back
    kNotRestored = -2,  // taking back failed too; the message names the files
  };
  // Identifiers of the reader's definitions: a pseudo-column's kind
  // (exch::ColumnKind), or kFieldId + the screen field's index.
  static constexpr int kFieldId = 100;

  CMyImport(ExchangeBook& book, Prompter& prompter, const Clock& clock);
  // The division it works on (the dialog's help and paths).
  const ExchangeBook& Book() const { return book_; }

  // The dialog's opening state: the last path and options from "Path.dat".
  [[nodiscard]] ImportOptions LastOptions() const;
  [[nodiscard]] std::string ResolvePath(const std::string& typed) const;
  // "BK<today>.csv" in the division folder.
  [[nodiscard]] std::string SafetyCopyPath() const;
  // Writes the whole division (load it first) to `path` in the layout the
  // import reads. 0, or -1 after "ページ追加用抽出処理に失敗しました。" or when
  // the file could not be written (no message).
  [[nodiscard]] int WriteSafetyCopy(const std::string& path) const;
  // The definitions the reader checks the file with.
  void DefineColumns(CMyCSV& csv) const;

  // cmd_Inport. Every message goes through the prompter; returns a Code.
  [[nodiscard]] int Run(const ImportOptions& options, ImportResult* result = nullptr);

 private:
  struct Columns;
  int MapColumns(const CMyCSV& csv, Columns& cols) const;
  bool Blank(const CMyCSV& csv, const Columns& cols) const;
  // Checks a line's key; false with the refusal's text.
  bool KeyOf(const CMyCSV& csv, const Columns& cols, bool checking, std::string& period, std::string& key,
             int& weekday, std::string& refusal) const;
  // Takes back every change; the code to return.
  int TakeBack(FileTransaction& tx, int code, ImportResult& r);

  ExchangeBook& book_;
  Prompter& prompter_;
  const Clock& clock_;
};
