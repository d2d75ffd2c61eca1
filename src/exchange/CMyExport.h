// The export: the records of the open division, all of them or the rows the
// main view shows, written to a CSV file with the columns the user chose,
// in the order chosen. The choice is remembered per division in
// "JotBoxExp.dat". The dialog (TfrmExport) keeps its controls in an
// ExportOptions and hands it to Run with the path its file chooser gave;
// `jbx export` fills the same struct from its command line.
#pragma once
#include <string>
#include <vector>

#include "exchange/CMyCSV.h"
#include "exchange/ExchangeColumns.h"

class Beeper;
class Prompter;

// Everything the export dialog lets the user choose.
struct ExportOptions {
  // txt_Path: the file as typed or chosen, in the file system's spelling
  // (UTF-8). A name without "/" goes into the user's folder; a name without
  // an extension gets ".CSV" (ResolvePath).
  std::string path;
  // lst_To: the column captions (CP932) in output order; at most 99.
  std::vector<std::string> columns;
  bool allData = true;     // rdo_AllData "全データ"; false: rdo_ViewData "表示中のデータ"
  bool header = true;      // chk_Field: a first line with the captions
  bool memoBreak = false;  // chk_MemoRet: line breaks inside values become memoBreakText
  std::string memoBreakText = "<BR>";             // txt_MemoRet (CP932, at most 10 characters)
  CsvEncoding encoding = CsvEncoding::kShiftJis;  // "Shift-JIS" or "UTF-8 (BOM付き)"
  // "表計算ソフトで式として解釈されないようにする": values a spreadsheet
  // would take for a formula get a "'" before them (CMyCSV::Guard).
  bool formulaGuard = false;
  // true (the dialog): asks "データを出力します。よろしいですか？" and before
  // overwriting, and ends with "正常にエクスポートされました。". false (jbx):
  // no questions (an existing file is replaced) and no closing box.
  bool interactive = true;
  // After a successful export, rewrite "JotBoxExp.dat" and keep the path
  // in "Path.dat" (the dialog); jbx leaves both alone.
  bool remember = true;
};

// What the dialog opens with.
struct ExportChoice {
  ExportOptions options;          // the remembered flags, memo text, lst_To and last path
  std::vector<std::string> from;  // lst_From: every other item, in the standard order
};

struct ExportResult {
  int code = 0;
  std::string path;  // the file (resolved), also when it failed
  int lines = 0;     // data lines written
};

class CMyExport {
 public:
  enum Code : int {
    kOk = 0,
    kCancelled = 1,       // a question answered No
    kNoPath = 2,          // "ファイル名を入力してください。" (focus txt_Path)
    kNoColumns = 3,       // "転送項目を選択してください。" (focus lst_To)
    kTooManyColumns = 4,  // "フィールド数を超えました。"
    kUnknownColumn = 5,   // a caption that names no column item
    kCannotCreate = -1,   // "ファイルオープンに失敗しました。"
    kSelectFailed = -2,   // "ページ追加用抽出処理に失敗しました。"
    kWriteFailed = -3,    // the file could not be written whole (the old one, if any, is intact)
  };
  static constexpr int kMaxColumns = 99;

  CMyExport(ExchangeBook& book, Prompter& prompter);
  // The division it works on (the dialog's help and paths).
  const ExchangeBook& Book() const { return book_; }

  // Every column item in the standard order (>> puts them so).
  [[nodiscard]] std::vector<std::string> StandardColumns() const;
  // The dialog's opening state from "JotBoxExp.dat" (every item exported,
  // with the default options, when the file is missing or unreadable) and
  // the last export path.
  [[nodiscard]] ExportChoice LoadChoice() const;
  // Writes "JotBoxExp.dat" from the options. False when it failed.
  [[nodiscard]] bool SaveChoice(const ExportOptions& options) const;
  // txt_Path as the export takes it.
  [[nodiscard]] std::string ResolvePath(const std::string& typed) const;

  // cmd_Ok. `shown` are the main view's rows for "表示中のデータ". Every
  // message goes through the prompter; returns a Code. The file is written
  // through a temporary and replaces an existing one only when complete.
  [[nodiscard]] int Run(const ExportOptions& options, const std::vector<ShownRow>& shown = {},
                        ExportResult* result = nullptr);

 private:
  ExchangeBook& book_;
  Prompter& prompter_;
};

// lst_From and lst_To with the six move buttons. Each move returns the
// index the moved item has in its new list (the selection to show), or -1
// after a beep.
class ExportColumnLists {
 public:
  ExportColumnLists(std::vector<std::string> standard, Beeper& beeper);
  void Set(std::vector<std::string> from, std::vector<std::string> to);
  const std::vector<std::string>& From() const { return from_; }
  const std::vector<std::string>& To() const { return to_; }
  int Right(int fromIndex);  // cmd_Right, double click in lst_From: to the end of lst_To
  int Left(int toIndex);     // cmd_Left, double click in lst_To: to the end of lst_From
  void RightAll();           // cmd_RightAll: every item into lst_To, in the standard order
  void LeftAll();            // cmd_LeftAll: every item into lst_From, in the standard order
  int Up(int toIndex);       // cmd_Up
  int Down(int toIndex);     // cmd_Down

 private:
  std::vector<std::string> standard_, from_, to_;
  Beeper& beeper_;
};
