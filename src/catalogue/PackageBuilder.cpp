#include "catalogue/PackageBuilder.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <numeric>

#include "catalogue/CMyMaster.h"
#include "input/CMyHyo.h"
#include "input/HyoLookup.h"
#include "options/CMyColorKinds.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"

using nlohmann::json;

namespace {

bool Sj(const std::string& utf8, std::string& out, std::string& error, const std::string& where) {
  if (cp932::FromUtf8(utf8, out) == 0) return true;
  error = where + ": \"" + utf8 + "\" holds a character CP932 cannot store";
  return false;
}

// A name kept in a fixed field of a name table must fit it whole: cut, two
// names could become one, and the book would show a name nobody wrote.
bool SjName(const std::string& utf8, std::string& out, std::string& error, const std::string& where,
            size_t maxBytes = CMyMaster::kRNameSize - 1) {
  if (!Sj(utf8, out, error, where)) return false;
  if (out.size() <= maxBytes) return true;
  error = where + ": \"" + utf8 + "\" is longer than " + std::to_string(maxBytes) + " bytes in CP932";
  return false;
}

std::string SlotName(const char* prefix, int slot) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%02d.ms", prefix, slot);
  return buf;
}

}  // namespace

bool PackageBuilder::ParseColour(const std::string& text, int& out) {
  if (text.size() != 7 || text[0] != '#') return false;
  unsigned v = 0;
  for (size_t i = 1; i < 7; ++i) {
    char c = text[i];
    int d = (c >= '0' && c <= '9')   ? c - '0'
            : (c >= 'a' && c <= 'f') ? c - 'a' + 10
            : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                     : -1;
    if (d < 0) return false;
    v = v * 16 + static_cast<unsigned>(d);
  }
  unsigned r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
  out = static_cast<int>(b << 16 | g << 8 | r);
  return true;
}

int PackageBuilder::BuildImpl(const std::string& sourceDir, std::string& packageBytes,
                              std::string& error) const {
  std::string text;
  const std::string manifest = sourceDir + "/package.json";
  if (!fileops::ReadAll(manifest, text)) {
    error = manifest + ": cannot be read";
    return -1;
  }
  json pkg = json::parse(text, nullptr, false);
  if (pkg.is_discarded() || !pkg.is_object()) {
    error = manifest + ": not valid JSON";
    return -1;
  }
  fileName_ = pkg.value("file", "");
  if (fileName_.empty()) {
    error = manifest + ": \"file\" is missing";
    return -1;
  }
  PackageWriter out(pkg.value("version", 100), pkg.value("dataKind", 0));
  // a name the package cannot store is a mistake in the source, never a
  // package that silently lacks the file
  std::string refused;
  auto add = [&](const std::string& name, const std::string& bytes, int type = 1) {
    if (!out.Add(name, bytes, type) && refused.empty()) refused = name;
  };
  auto compile = [&](const Compiler& c, const std::string& file, std::string& bytes) {
    std::string src;
    if (!fileops::ReadAll(sourceDir + "/" + file, src)) {
      error = sourceDir + "/" + file + ": cannot be read";
      return false;
    }
    if (!c) {
      error = file + ": no compiler for this kind of file";
      return false;
    }
    std::string why;
    if (!c(src, bytes, why)) {
      error = sourceDir + "/" + file + ": " + why;
      return false;
    }
    return true;
  };

  // the input definition
  std::string bytes;
  if (!compile(input_, pkg.value("input", "input.json"), bytes)) return -1;
  add("scrin.jsc", bytes);

  // display screens and their list
  CMyMaster divin("DIVIN");
  for (const auto& s : pkg.value("screens", json::array())) {
    std::string name;
    if (!SjName(s.value("name", ""), name, error, manifest)) return -1;
    if (name.empty()) {
      error = manifest + ": a screen without a name";
      return -1;
    }
    if (!compile(screen_, s.value("source", ""), bytes)) return -1;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, name);
    if (divin.Append(rec) != 0) {
      error = manifest + ": screen name \"" + s.value("name", "") + "\" twice";
      return -1;
    }
    add(name + ".jos", bytes);
  }
  add("divin.jpr", divin.Bytes());

  // colour kinds; the file is written even when empty, so the division
  // starts with a table of its own
  CMyMaster colors("COLOR");
  for (const auto& c : pkg.value("colors", json::array())) {
    std::string rec = CMyMaster::Blank();
    std::string name;
    if (!SjName(c.value("name", ""), name, error, manifest)) return -1;
    CMyMaster::SetName(rec, name);
    int text = 0, back = 0xFFFFFF;
    bool useText = c.contains("text") && c["text"].is_string();
    bool useBack = c.contains("back") && c["back"].is_string();
    if ((useText && !ParseColour(c["text"].get<std::string>(), text)) ||
        (useBack && !ParseColour(c["back"].get<std::string>(), back))) {
      error = manifest + ": colour of \"" + c.value("name", "") + "\" is not #RRGGBB";
      return -1;
    }
    le::PutI32(&rec[CMyColorKinds::kUseText], useText ? 1 : 0);
    le::PutI32(&rec[CMyColorKinds::kUseBack], useBack ? 1 : 0);
    le::PutI32(&rec[CMyColorKinds::kF6], c.value("f6", false) ? 1 : 0);
    le::PutI32(&rec[CMyColorKinds::kPalette], c.value("palette", 0));
    le::PutI32(&rec[CMyColorKinds::kTextColor], text);
    le::PutI32(&rec[CMyColorKinds::kBackColor], back);
    if (colors.Append(rec) != 0) {
      error = manifest + ": colour \"" + c.value("name", "") + "\" twice";
      return -1;
    }
  }
  add("color.dat", colors.Bytes());
  // relations: which field's change recomputes which calculated field
  if (pkg.contains("relations")) {
    CMyMaster relations("RELATION");
    for (const auto& r : pkg["relations"]) {
      std::string rec = CMyMaster::Blank();
      std::string source, target;
      if (!SjName(r.value("source", ""), source, error, manifest) ||
          !Sj(r.value("target", ""), target, error, manifest))
        return -1;
      if (target.size() != 6) {
        error = manifest + ": relation target \"" + r.value("target", "") + "\" is not a six-letter field";
        return -1;
      }
      le::PutFixedText(&rec[CMyMaster::kRText2], 32, source);
      le::PutFixedText(&rec[CMyMaster::kRText3], 20, target);
      le::PutI32(&rec[CMyMaster::kRKey11], r.value("kind", 1));
      if (relations.Append(rec) != 0) {
        error = manifest + ": relation " + source + " is given twice";
        return -1;
      }
    }
    add("relation.dat", relations.Bytes());
  }

  // combo-box lists: "$$$ 1" / "$$$ 0" header, then one item per line;
  // type 2 so a re-install keeps what the user has taught them
  for (const auto& c : pkg.value("combos", json::array())) {
    std::string lines = c.value("learn", false) ? "$$$ 1\r\n" : "$$$ 0\r\n";
    for (const auto& item : c.value("items", json::array())) {
      std::string sj;
      if (!Sj(item.get<std::string>(), sj, error, manifest)) return -1;
      lines += sj + "\r\n";
    }
    add(SlotName("cboms", c.value("slot", 0)), lines, 2);
  }
  // table lists of text editors ("selms") and of combo pairs ("cbsms")
  for (const char* kind : {"lists", "pairs"}) {
    for (const auto& l : pkg.value(kind, json::array())) {
      CMyHyo table;
      table.SetSwitch(0, true);
      table.SetSwitch(1, l.value("learn", false));
      table.SetSwitch(2, l.value("twoLevel", false));
      int row = 0;
      for (const auto& r : l.value("rows", json::array())) {
        for (int col = 0; col < static_cast<int>(r.size()) && col < 3; ++col) {
          std::string sj;
          if (!Sj(r[static_cast<size_t>(col)].get<std::string>(), sj, error, manifest)) return -1;
          table.SetCell(col, row, sj);
        }
        ++row;
      }
      add(SlotName(std::string(kind) == "lists" ? "selms" : "cbsms", l.value("slot", 0)), table.Bytes(), 2);
    }
  }
  // look-up tables of calculated fields: hyo<n>.dat and its key indexes
  std::vector<int> tableNumbers;
  for (const auto& t : pkg.value("tables", json::array())) {
    const int number = t.value("number", 0);
    const std::string where = manifest + ": table " + std::to_string(number);
    if (number < 1 || number > 9) {
      error = where + ": the number must be 1 to 9";
      return -1;
    }
    if (std::find(tableNumbers.begin(), tableNumbers.end(), number) != tableNumbers.end()) {
      error = where + " is given twice";
      return -1;
    }
    tableNumbers.push_back(number);
    std::vector<std::string> columns;
    for (const auto& c : t.value("columns", json::array())) {
      std::string sj;
      if (!Sj(c.get<std::string>(), sj, error, where)) return -1;
      columns.push_back(sj);
    }
    // each row is its key followed by one cell per column
    const size_t width = columns.empty() ? 1 : columns.size();
    std::vector<std::string> keys;
    std::vector<std::vector<std::string>> cells;
    for (const auto& r : t.value("rows", json::array())) {
      if (!r.is_array() || r.size() != width + 1) {
        error = where + ": a row must be [key, " + std::to_string(width) + " cell(s)]";
        return -1;
      }
      std::vector<std::string> row;
      for (const auto& v : r) {
        std::string sj;
        if (!Sj(v.get<std::string>(), sj, error, where)) return -1;
        row.push_back(sj);
      }
      keys.push_back(row.front());
      row.erase(row.begin());
      cells.push_back(std::move(row));
    }
    // the reader searches keys in its own order, so the source may list
    // them as a person reads them
    std::vector<size_t> byRow(keys.size()), byColumn(columns.size());
    std::iota(byRow.begin(), byRow.end(), size_t{0});
    std::iota(byColumn.begin(), byColumn.end(), size_t{0});
    auto less = [](const std::vector<std::string>& k) {
      return [&k](size_t a, size_t b) { return hyo::CompareKeys(k[a], k[b]) < 0; };
    };
    std::stable_sort(byRow.begin(), byRow.end(), less(keys));
    std::stable_sort(byColumn.begin(), byColumn.end(), less(columns));
    std::vector<std::string> sortedKeys, sortedColumns;
    std::vector<std::vector<std::string>> sortedCells;
    for (size_t c : byColumn) sortedColumns.push_back(columns[c]);
    for (size_t r : byRow) {
      sortedKeys.push_back(keys[r]);
      std::vector<std::string> row;
      if (columns.empty()) {
        row = cells[r];
      } else {
        for (size_t c : byColumn) row.push_back(cells[r][c]);
      }
      sortedCells.push_back(std::move(row));
    }
    hyo::TableFiles files;
    std::string why;
    if (!hyo::BuildHyoTable(sortedKeys, sortedColumns, sortedCells, t.value("range", false), files, why)) {
      error = where + ": " + why;
      return -1;
    }
    add(hyo::DataName(number), files.data);
    add(hyo::IndexName(number, 1), files.rowIndex);
    if (!files.columnIndex.empty()) add(hyo::IndexName(number, 2), files.columnIndex);
  }
  if (!refused.empty()) {
    error = manifest + ": " + refused + ": name too long for a package entry";
    return -1;
  }
  packageBytes = out.Bytes();
  return 0;
}

int PackageBuilder::Build(const std::string& sourceDir, std::string& packageBytes, std::string& error) const {
  // a value of the wrong JSON type is a mistake in the source, not a crash
  try {
    return BuildImpl(sourceDir, packageBytes, error);
  } catch (const json::exception& e) {
    error = sourceDir + "/package.json: " + e.what();
    return -1;
  }
}
