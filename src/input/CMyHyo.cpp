#include "input/CMyHyo.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/Collate.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "store/CMyLine.h"

void CMyHyo::Clear() {
  rows_.clear();
  cursor_ = -1;
}

void CMyHyo::SetSwitch(int n, bool on) {
  if (n >= 0 && n < 3) switches_[n] = on ? "1" : "0";
}

bool CMyHyo::Switch(int n) const {
  return n >= 0 && n < 3 && !switches_[n].empty() && switches_[n][0] == '1';
}

std::string CMyHyo::Cell(int column, int row) const {
  if (row < 0 || row >= RowCount() || column < 0) return {};
  const auto& r = rows_[static_cast<size_t>(row)];
  return column < static_cast<int>(r.size()) ? r[static_cast<size_t>(column)] : std::string();
}

int CMyHyo::CellNumber(int column, int row, int def) const {
  std::string c = Cell(column, row);
  if (c.empty()) return def;
  char* end = nullptr;
  long v = std::strtol(c.c_str(), &end, 10);
  return (end && *end == '\0') ? static_cast<int>(v) : def;
}

void CMyHyo::SetCell(int column, int row, const std::string& text) {
  if (column < 0 || row < 0 || column >= kMaxColumns || row >= kMaxRows) return;
  if (row >= RowCount()) rows_.resize(static_cast<size_t>(row) + 1);
  auto& r = rows_[static_cast<size_t>(row)];
  if (column >= static_cast<int>(r.size())) r.resize(static_cast<size_t>(column) + 1);
  r[static_cast<size_t>(column)] = text;
}

void CMyHyo::InsertRow(int row) {
  if (row < 0) return;
  if (row >= RowCount()) {
    rows_.resize(static_cast<size_t>(row) + 1);
    return;
  }
  rows_.insert(rows_.begin() + row, std::vector<std::string>{});
}

void CMyHyo::DeleteRow(int row) {
  if (row >= 0 && row < RowCount()) rows_.erase(rows_.begin() + row);
}

void CMyHyo::MoveRow(int from, int to) {
  if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount() || from == to) return;
  auto r = std::move(rows_[static_cast<size_t>(from)]);
  rows_.erase(rows_.begin() + from);
  rows_.insert(rows_.begin() + to, std::move(r));
}

void CMyHyo::AddCondition(int column, const std::string& value, const std::string& op, bool numeric) {
  conditions_.push_back({column, value, op, numeric});
}

bool CMyHyo::RowPasses(int row) const {
  for (const auto& c : conditions_) {
    std::string cell = Cell(c.column, row);
    int cmp;
    if (c.numeric) {
      double a = std::strtod(cell.c_str(), nullptr), b = std::strtod(c.value.c_str(), nullptr);
      cmp = a < b ? -1 : (a > b ? 1 : 0);
    } else {
      cmp = collate::CompareNoCase(cell, c.value);
    }
    const std::string& op = c.op;
    bool ok;
    if (op == "<>")
      ok = cmp != 0;
    else if (op == "<")
      ok = cmp < 0;
    else if (op == ">")
      ok = cmp > 0;
    else if (op == "<=")
      ok = cmp <= 0;
    else if (op == ">=")
      ok = cmp >= 0;
    else
      ok = cmp == 0;
    if (!ok) return false;
  }
  return true;
}

int CMyHyo::Find(int start, int n) {
  if (n < 1) n = 1;
  int row, step;
  switch (start) {
    case 0:
      row = 0;
      step = 1;
      break;
    case 1:
      row = cursor_ + 1;
      step = 1;
      break;
    case 2:
      row = cursor_ < 0 ? 0 : cursor_;
      step = 1;
      break;
    case -1:
      row = cursor_ - 1;
      step = -1;
      break;
    default:
      row = RowCount() - 1;
      step = -1;
      break;
  }
  for (; row >= 0 && row < RowCount(); row += step) {
    if (RowPasses(row) && --n == 0) {
      cursor_ = row;
      return row;
    }
  }
  return -1;
}

void CMyHyo::CopyRow(CMyHyo& target, int targetRow, int sourceRow) const {
  if (sourceRow < 0 || sourceRow >= RowCount()) return;
  const auto& r = rows_[static_cast<size_t>(sourceRow)];
  for (size_t c = 0; c < r.size(); ++c) target.SetCell(static_cast<int>(c), targetRow, r[c]);
}

std::string CMyHyo::Bytes() const {
  std::string out("HY", 2);
  le::AppendI32(out, 1);
  CMyLine sw(512);
  for (const auto& s : switches_) sw.Append(s);
  out += sw.ListBytes();
  int32_t count = 0;
  for (const auto& r : rows_)
    for (const auto& c : r) count += c.empty() ? 0 : 1;
  le::AppendI32(out, count);
  for (size_t row = 0; row < rows_.size(); ++row) {
    for (size_t col = 0; col < rows_[row].size(); ++col) {
      const std::string& c = rows_[row][col];
      if (c.empty()) continue;
      le::AppendI32(out, static_cast<int32_t>(col));
      le::AppendI32(out, static_cast<int32_t>(row));
      le::AppendI32(out, static_cast<int32_t>(c.size() + 1));
      out += c;
      out += '\0';
    }
  }
  le::AppendI32(out, -1);
  le::AppendI32(out, -1);
  le::AppendI32(out, 0);
  return out;
}

int CMyHyo::Save(const std::string& path) const {
  std::string bytes = Bytes();
  if (!fileops::WriteAtomic(path, bytes)) return -1;
  readPath_ = path;
  (void)fileops::Identify(path, readId_);
  int count = 0;
  for (const auto& r : rows_)
    for (const auto& c : r) count += c.empty() ? 0 : 1;
  return count;
}

bool CMyHyo::ChangedOnDisk(const std::string& path) const {
  fileops::FileId now;
  const int looked = fileops::Identify(path, now);
  if (looked != 0 && looked != ENOENT) return true;
  // no file: nothing on disk that a write could lose
  return now.Exists() && !(now == readId_);
}

int CMyHyo::Load(const std::string& path) {
  Clear();
  // taken before the read: a write that lands during it shows at the save
  readPath_ = path;
  (void)fileops::Identify(path, readId_);
  std::string bytes;
  if (!fileops::ReadAll(path, bytes)) return -1;
  if (bytes.size() < 6 || bytes[0] != 'H' || bytes[1] != 'Y') return -3;
  // the switches are an embedded list; read it through a memory file
  FILE* fp = fmemopen(bytes.data(), bytes.size(), "rb");
  if (!fp) return -6;
  std::fseek(fp, 6, SEEK_SET);
  CMyLine sw(512);
  int n = sw.ReadList(fp, static_cast<int64_t>(bytes.size()) - 6);
  long pos = std::ftell(fp);
  std::fclose(fp);
  if (n < 0) return -6;
  for (int i = 0; i < 3; ++i) switches_[i] = i < n ? sw.Str(i) : "0";
  size_t p = static_cast<size_t>(pos);
  auto readI32 = [&](int32_t& v) {
    if (p + 4 > bytes.size()) return false;
    v = le::GetI32(bytes.data() + p);
    p += 4;
    return true;
  };
  int32_t count;
  if (!readI32(count)) return -6;
  for (int32_t k = 0; k < count; ++k) {
    int32_t col, row, len;
    if (!readI32(col) || !readI32(row) || !readI32(len)) return -6;
    if (col < 0 || row < 0 || col >= kMaxColumns || row >= kMaxRows || len < 0 ||
        static_cast<size_t>(len) > bytes.size() - p)
      return -6;
    std::string text(bytes.data() + p, static_cast<size_t>(len));
    p += static_cast<size_t>(len);
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    SetCell(col, row, text);
  }
  int32_t a, b, c;
  if (!readI32(a) || !readI32(b) || !readI32(c)) return -6;
  if (a != -1 || b != -1 || c != 0) return -7;
  return 0;
}
