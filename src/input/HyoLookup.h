// The numbered look-up tables of calculated fields: "hyo%02d.dat" holds the
// cells, "hyo%02d.id1" / ".id2" the sorted row and column keys. Files are
// read a record at a time; nothing here writes them except BuildHyoTable,
// which makes a table's three files from rows of text (packages, tests).
#pragma once
#include <string>
#include <vector>

namespace hyo {

constexpr int kIndexHeader = 64;
constexpr int kMaxIndexRecord = 64;  // longer records make the index refused
constexpr int kDataHeader = 108;
constexpr int kMaxCell = 249;
constexpr int kMatchRange = 1;

std::string DataName(int table);              // "hyo03.dat"
std::string IndexName(int table, int index);  // "hyo03.id1"

// Position of `key` in an index file, or -1 (missing or short file, a record
// size outside 1..64, a key not there). Exact mode needs the key itself;
// range mode falls back to the largest key below it.
int FindKeyInFile(const std::string& path, const std::string& key);
int FindKey(const std::string& dir, int table, int index, const std::string& key);

// The text of cell number `cell` (row x columns + column) of a data file;
// "" on any failure.
std::string CellFromFile(const std::string& path, long long cell, int* columns = nullptr);
// The cell of table `table` (1-9) at the row keyed by `rowKey` and, for
// dimension 2, the column keyed by `columnKey`. "" when anything is missing.
std::string Lookup(const std::string& dir, int dimension, int table, const std::string& rowKey,
                   const std::string& columnKey);

// Whole files, for jbx dump. False when a header, a record or a cell
// cannot be read (what was read before stays in `out`).
struct IndexContents {
  bool range = false;
  int recordSize = 0;
  std::vector<std::string> keys;
};
bool ReadIndexFile(const std::string& path, IndexContents& out);
struct TableContents {
  int rows = 0, columns = 0;
  std::vector<std::string> cells;  // row by row
};
bool ReadDataFile(const std::string& path, TableContents& out);

// Keys compare as numbers when both are plain decimal numbers (so a range
// table of 5, 10, 20 works), otherwise as text.
int CompareKeys(const std::string& a, const std::string& b);

// The three files of a table: the column keys may be empty (a
// one-dimensional table has one column). Keys must be given in ascending
// order. `cells` is rows x columns, row by row.
struct TableFiles {
  std::string data, rowIndex, columnIndex;
};
// False with `error` when a key is too long, out of order or a cell too long.
bool BuildHyoTable(const std::vector<std::string>& rowKeys, const std::vector<std::string>& columnKeys,
                   const std::vector<std::vector<std::string>>& cells, bool rangeRows, TableFiles& out,
                   std::string& error);

}  // namespace hyo
