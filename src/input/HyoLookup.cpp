#include "input/HyoLookup.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "platform/Collate.h"
#include "platform/LittleEndian.h"

namespace hyo {
namespace {

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

FilePtr Open(const std::string& path) { return FilePtr(std::fopen(path.c_str(), "rb"), &std::fclose); }

bool ReadAt(FILE* fp, long long offset, void* buf, size_t n) {
  if (offset < 0 || fseeko(fp, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return std::fread(buf, 1, n, fp) == n;
}

bool PlainNumber(const std::string& s) {
  size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  bool dot = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9')
      ++digits;
    else if (s[i] == '.' && !dot)
      dot = true;
    else
      return false;
  }
  return digits > 0;
}

// The header of an index file: its key count, record size and match mode;
// false when short or when the record size is outside 1..64.
bool ReadIndexHeader(FILE* fp, int32_t& n, int32_t& size, bool& range) {
  unsigned char head[kIndexHeader];
  if (!ReadAt(fp, 0, head, sizeof head)) return false;
  n = le::GetI32(head + 8);
  size = le::GetI32(head + 12);
  range = le::GetI32(head + 48) == kMatchRange;
  return n >= 0 && size >= 1 && size <= kMaxIndexRecord;
}

// Cell number `cell` of a data file through its offset table.
bool ReadCell(FILE* fp, long long cell, std::string& out) {
  unsigned char word[4];
  if (!ReadAt(fp, kDataHeader + 4 * cell, word, 4)) return false;
  if (!ReadAt(fp, le::GetU32(word), word, 4)) return false;
  const int32_t len = le::GetI32(word);
  if (len < 0 || len > kMaxCell) return false;
  std::string text(static_cast<size_t>(len), '\0');
  if (len > 0 && std::fread(text.data(), 1, text.size(), fp) != text.size()) return false;
  out = text.c_str();  // the stored text may carry its NUL
  return true;
}

}  // namespace

std::string DataName(int table) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "hyo%02d.dat", table);
  return buf;
}

std::string IndexName(int table, int index) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "hyo%02d.id%d", table, index);
  return buf;
}

int CompareKeys(const std::string& a, const std::string& b) {
  if (PlainNumber(a) && PlainNumber(b)) {
    double x = std::strtod(a.c_str(), nullptr), y = std::strtod(b.c_str(), nullptr);
    if (x != y) return x < y ? -1 : 1;
  }
  return collate::Compare(a, b);
}

int FindKeyInFile(const std::string& path, const std::string& key) {
  FilePtr fp = Open(path);
  if (!fp) return -1;
  int32_t n = 0, size = 0;
  bool range = false;
  if (!ReadIndexHeader(fp.get(), n, size, range)) return -1;
  char rec[kMaxIndexRecord + 1];
  bool failed = false;
  auto keyAt = [&](int32_t i) {
    if (!ReadAt(fp.get(), kIndexHeader + static_cast<long long>(i) * size, rec, static_cast<size_t>(size))) {
      failed = true;
      return std::string();
    }
    rec[size] = '\0';
    return std::string(rec);
  };
  int32_t lo = 0, hi = n;
  while (lo < hi) {
    int32_t mid = lo + (hi - lo) / 2;
    std::string k = keyAt(mid);
    if (failed) return -1;
    if (CompareKeys(k, key) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  int cmp = 1;  // record lo is above the key when lo = n
  if (lo < n) {
    std::string k = keyAt(lo);
    if (failed) return -1;
    cmp = CompareKeys(k, key);
    if (cmp == 0) return lo;
  }
  if (!range || cmp < 0 || lo == 0) return -1;
  std::string below = keyAt(lo - 1);
  if (failed) return -1;
  return CompareKeys(below, key) < 0 ? lo - 1 : -1;
}

int FindKey(const std::string& dir, int table, int index, const std::string& key) {
  return FindKeyInFile(dir + "/" + IndexName(table, index), key);
}

std::string CellFromFile(const std::string& path, long long cell, int* columnsOut) {
  FilePtr fp = Open(path);
  if (!fp) return {};
  unsigned char head[kDataHeader];
  if (!ReadAt(fp.get(), 0, head, sizeof head)) return {};
  const long long rows = le::GetI32(head + 16), columns = le::GetI32(head + 20);
  if (columnsOut) *columnsOut = static_cast<int>(columns);
  if (rows <= 0 || columns <= 0 || cell < 0 || cell >= rows * columns) return {};
  std::string text;
  return ReadCell(fp.get(), cell, text) ? text : std::string();
}

bool ReadIndexFile(const std::string& path, IndexContents& out) {
  out = {};
  FilePtr fp = Open(path);
  if (!fp) return false;
  int32_t n = 0;
  if (!ReadIndexHeader(fp.get(), n, out.recordSize, out.range)) return false;
  char rec[kMaxIndexRecord + 1];
  for (int32_t i = 0; i < n; ++i) {
    if (!ReadAt(fp.get(), kIndexHeader + static_cast<long long>(i) * out.recordSize, rec,
                static_cast<size_t>(out.recordSize)))
      return false;
    rec[out.recordSize] = '\0';
    out.keys.emplace_back(rec);
  }
  return true;
}

bool ReadDataFile(const std::string& path, TableContents& out) {
  out = {};
  FilePtr fp = Open(path);
  if (!fp) return false;
  unsigned char head[kDataHeader];
  if (!ReadAt(fp.get(), 0, head, sizeof head)) return false;
  out.rows = le::GetI32(head + 16);
  out.columns = le::GetI32(head + 20);
  if (out.rows < 0 || out.columns < 0) return false;
  const long long cells = static_cast<long long>(out.rows) * out.columns;
  for (long long c = 0; c < cells; ++c) {
    std::string text;
    if (!ReadCell(fp.get(), c, text)) return false;  // also ends a hostile count
    out.cells.push_back(std::move(text));
  }
  return true;
}

std::string Lookup(const std::string& dir, int dimension, int table, const std::string& rowKey,
                   const std::string& columnKey) {
  if (rowKey.empty() || (dimension == 2 && columnKey.empty())) return {};
  int row = FindKey(dir, table, 1, rowKey);
  if (row < 0) return {};
  int column = 0;
  if (dimension == 2) {
    column = FindKey(dir, table, 2, columnKey);
    if (column < 0) return {};
  }
  const std::string path = dir + "/" + DataName(table);
  if (dimension != 2) return CellFromFile(path, row);
  int columns = 0;
  CellFromFile(path, -1, &columns);  // only the header
  if (columns <= 0) return {};
  return CellFromFile(path, static_cast<long long>(row) * columns + column);
}

namespace {

std::string IndexBytes(const std::vector<std::string>& keys, bool range, std::string& error) {
  size_t width = 1;
  for (const auto& k : keys) width = std::max(width, k.size() + 1);
  if (width > static_cast<size_t>(kMaxIndexRecord)) {
    error = "a key is longer than " + std::to_string(kMaxIndexRecord - 1) + " bytes";
    return {};
  }
  for (size_t i = 1; i < keys.size(); ++i) {
    if (CompareKeys(keys[i - 1], keys[i]) >= 0) {
      error = "keys are not in ascending order at \"" + keys[i] + "\"";
      return {};
    }
  }
  std::string out(kIndexHeader, '\0');
  le::PutI32(&out[8], static_cast<int32_t>(keys.size()));
  le::PutI32(&out[12], static_cast<int32_t>(width));
  le::PutI32(&out[48], range ? kMatchRange : 0);
  for (const auto& k : keys) {
    std::string rec(width, '\0');
    rec.replace(0, k.size(), k);
    out += rec;
  }
  return out;
}

}  // namespace

bool BuildHyoTable(const std::vector<std::string>& rowKeys, const std::vector<std::string>& columnKeys,
                   const std::vector<std::vector<std::string>>& cells, bool rangeRows, TableFiles& out,
                   std::string& error) {
  const size_t rows = rowKeys.size(), columns = columnKeys.empty() ? 1 : columnKeys.size();
  if (rows == 0) {
    error = "the table has no rows";
    return false;
  }
  if (cells.size() != rows) {
    error = "the table needs one row of cells per row key";
    return false;
  }
  out.rowIndex = IndexBytes(rowKeys, rangeRows, error);
  if (out.rowIndex.empty()) return false;
  out.columnIndex.clear();
  if (!columnKeys.empty()) {
    out.columnIndex = IndexBytes(columnKeys, false, error);
    if (out.columnIndex.empty()) return false;
  }
  std::string head(kDataHeader, '\0');
  le::PutI32(&head[16], static_cast<int32_t>(rows));
  le::PutI32(&head[20], static_cast<int32_t>(columns));
  std::string offsets, body;
  const size_t base = kDataHeader + 4 * rows * columns;
  for (const auto& r : cells) {
    if (r.size() != columns) {
      error = "every row needs one cell per column";
      return false;
    }
    for (const auto& c : r) {
      if (c.size() > static_cast<size_t>(kMaxCell)) {
        error = "a cell is longer than " + std::to_string(kMaxCell) + " bytes";
        return false;
      }
      le::AppendI32(offsets, static_cast<int32_t>(base + body.size()));
      le::AppendI32(body, static_cast<int32_t>(c.size()));
      body += c;
    }
  }
  out.data = head + offsets + body;
  return true;
}

}  // namespace hyo
