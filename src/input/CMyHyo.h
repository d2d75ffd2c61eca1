// A small table of text cells used by the selection lists of the input form
// ("selms%02d.ms", "cbsms%02d.ms"): rows of cells (column 0 numeric key,
// 1 parent value or "NoP", 2 item text), three switches, a filter and a
// cursor. The file format "HY" is read and written only here.
#pragma once
#include <string>
#include <vector>

#include "platform/FileOps.h"

class CMyHyo {
 public:
  // Columns a file may address and rows it may hold; beyond these a file is
  // damaged and reading stops (a list edited by hand never comes near).
  static constexpr int kMaxColumns = 64;
  static constexpr int kMaxRows = 200000;

  void Clear();
  // 0; -1 missing file (empty table); -3 not "HY"; -6 no end mark; -7 a
  // wrong end mark. Cells read before a problem are kept.
  int Load(const std::string& path);
  // Number of cells written, or -1. Atomic.
  int Save(const std::string& path) const;
  // Whether `path` holds a file other than the one this table was last
  // read from or saved to (another program wrote it meanwhile, or the
  // table never came from it); false when there is no file.
  bool ChangedOnDisk(const std::string& path) const;
  std::string Bytes() const;

  void SetSwitch(int n, bool on);
  bool Switch(int n) const;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  std::string Cell(int column, int row) const;
  int CellNumber(int column, int row, int def) const;
  void SetCell(int column, int row, const std::string& text);
  void InsertRow(int row);
  void DeleteRow(int row);
  void MoveRow(int from, int to);

  // Filter: every condition must hold. Operators "<", ">", "<=", ">=",
  // "<>", anything else equal; numeric compares as numbers.
  void ClearFilter() { conditions_.clear(); }
  void AddCondition(int column, const std::string& value, const std::string& op, bool numeric);
  bool RowPasses(int row) const;
  // The n-th passing row from `start` (0 first row forward, 1 after the
  // cursor forward, 2 the cursor forward, -1 before the cursor backward,
  // -2 last row backward); it becomes the cursor. -1 when none.
  int Find(int start, int n = 1);
  int Cursor() const { return cursor_; }
  void CopyRow(CMyHyo& target, int targetRow, int sourceRow) const;

 private:
  struct Condition {
    int column;
    std::string value;
    std::string op;
    bool numeric;
  };
  std::vector<std::vector<std::string>> rows_;
  std::string switches_[3] = {"0", "0", "0"};
  std::vector<Condition> conditions_;
  int cursor_ = -1;
  mutable std::string readPath_;  // the file as last read or written
  mutable fileops::FileId readId_;
};
