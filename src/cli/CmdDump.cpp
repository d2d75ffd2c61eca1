// jbx dump: any of the program's files as JSON, texts in UTF-8.
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "input/HyoLookup.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "store/CMyDB.h"
#include "store/CMyLine.h"

using nlohmann::ordered_json;

namespace {

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char a = s[s.size() - n + i], b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (a != b) return false;
  }
  return true;
}

ordered_json LinesJson(const CMyLine& lines) {
  ordered_json arr = ordered_json::array();
  for (int i = 0; i < lines.Count(); ++i) arr.push_back(jsontext::Value(lines.View(i)));
  return arr;
}

}  // namespace

namespace {

// Lines of an "LI" list or of a CR LF text file.
int DumpLines(const std::string& path, bool list, std::string& json) {
  CMyLine lines(2048);
  int rc = list ? lines.ReadList(path) : lines.ReadText(path);
  if (rc < 0) return rc;
  ordered_json j;
  j["format"] = list ? "LI" : "text";
  j["count"] = lines.Count();
  j["lines"] = LinesJson(lines);
  json = j.dump(2);
  return 0;
}

// "hyo01.dat" or "hyo01.id1": the look-up tables of calculated fields.
// 1 data, 2 index, 0 neither.
int HyoKind(const std::string& path) {
  const std::string name = path.substr(path.find_last_of('/') + 1);
  auto digit = [&name](size_t i) { return i < name.size() && name[i] >= '0' && name[i] <= '9'; };
  if (name.size() < 9 || name.compare(0, 3, "hyo") != 0 || !digit(3) || !digit(4)) return 0;
  if (name.size() == 9 && name.compare(5, 4, ".dat") == 0) return 1;
  if (name.size() == 9 && name.compare(5, 3, ".id") == 0 && digit(8)) return 2;
  return 0;
}

int DumpHyoJson(const std::string& path, int kind, std::string& json) {
  ordered_json j;
  bool whole;
  if (kind == 1) {
    hyo::TableContents t;
    whole = hyo::ReadDataFile(path, t);
    j["format"] = "look-up table";
    j["rows"] = t.rows;
    j["columns"] = t.columns;
    ordered_json cells = ordered_json::array();
    for (const auto& c : t.cells) cells.push_back(jsontext::Value(c));
    j["cells"] = cells;
  } else {
    hyo::IndexContents x;
    whole = hyo::ReadIndexFile(path, x);
    j["format"] = "look-up index";
    j["match"] = x.range ? "range" : "exact";
    j["recordSize"] = x.recordSize;
    ordered_json keys = ordered_json::array();
    for (const auto& k : x.keys) keys.push_back(jsontext::Value(k));
    j["keys"] = keys;
  }
  if (!whole) j["damaged"] = true;
  json = j.dump(2);
  return 0;
}

}  // namespace

int DumpListJson(const std::string& path, std::string& json) { return DumpLines(path, true, json); }
int DumpTextJson(const std::string& path, std::string& json) { return DumpLines(path, false, json); }

namespace {

// The reader's result code in words, for the kind of file it was read as.
std::string Why(const char* kind, int rc) {
  switch (rc) {
    case -1:
      return std::string(kind) + "として開けません";
    case -2:
      return std::string(kind) + "の中身がありません";
    case -3:
      return std::string(kind) + "ではありません（先頭の印が違います）";
    case -4:
      return std::string(kind) + "の版が違います";
    case CMyDB::kCannotOpen:
      return "データファイルとして開けません";
    case CMyDB::kFieldCountDiffers:
      return "項目数が違います";
    case CMyDB::kBadStructure:
      return "データファイルではありません（項目の定義が読めません）";
    case CMyDB::kNoNumbers:
      return "データファイルの数値が読めません";
    default:
      return std::string(kind) + "が壊れています（" + std::to_string(rc) + "）";
  }
}

// The JSON of a screen or input definition that did not load names its damage.
std::string JsonError(const std::string& json) {
  auto j = ordered_json::parse(json, nullptr, false);
  if (j.is_object() && j.contains("error") && j["error"].is_string()) return j["error"].get<std::string>();
  return {};
}

}  // namespace

int CmdDump(int argc, char** argv) {
  cli::Args args(argc, argv);
  const std::vector<std::string> rest = args.Rest();
  if (!args.Ok()) return cli::UsageError("dump", args.Error());
  if (rest.size() != 1)
    return cli::UsageError("dump", rest.empty() ? "ファイルがありません" : "ファイルは一つです");
  const std::string path = rest[0];
  const std::string problem = cli::FileProblem(path);
  if (!problem.empty()) return cli::Fail("dump", problem);
  std::string head;
  {
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) return cli::Fail("dump", "ファイルを読めません: " + path);
    char buf[32];
    size_t n = std::fread(buf, 1, sizeof buf, fp);
    head.assign(buf, n);
    std::fclose(fp);
  }
  std::string json, why;
  int rc;
  if (EndsWithNoCase(path, "alarm.dat") && (path.size() == 9 || path[path.size() - 10] == '/')) {
    rc = DumpAlarmJson(path, json);
    if (rc != 0) why = Why("アラームの一覧 (LI 形式)", rc);
  } else if (EndsWithNoCase(path, ".mbk")) {
    rc = DumpArchiveJson(path, json);
    if (rc != 0) why = Why("バックアップ", rc);
  } else if (HyoKind(path) != 0) {
    rc = DumpHyoJson(path, HyoKind(path), json);
  } else if (EndsWithNoCase(path, ".jdt")) {
    rc = DumpJdtJson(path, json);
    if (rc != 0) why = Why("データファイル", rc);
  } else if (EndsWithNoCase(path, ".jos") || EndsWithNoCase(path, ".jot")) {
    rc = DumpJosJson(path, json);
    if (rc != 0) why = "表示画面として読めません（" + JsonError(json) + "）";
  } else if (EndsWithNoCase(path, ".jsc") || EndsWithNoCase(path, ".jit")) {
    // an input definition by its name, whatever it holds: a file that is not
    // one is refused, never shown as text
    rc = DumpScrinJson(path, json);
    if (rc != 0) why = "入力画面の定義として読めません（" + JsonError(json) + "）";
  } else if (EndsWithNoCase(path, ".jpk") ||
             (head.size() >= 4 && head.compare(0, 4, std::string("JB\0\0", 4)) == 0)) {
    rc = DumpPackageJson(path, json);
    if (rc != 0) why = Why("パッケージ", rc);
  } else if (head.size() >= 2 && head[0] == 'L' && head[1] == 'I') {
    // a name table is a list whose first line is its 12-byte signature
    if (head.size() >= 20 && le::GetI32(head.data() + 6) == 12 && head[18] == 'M' && head[19] == 'S') {
      rc = DumpMasterJson(path, json);
      if (rc != 0) why = Why("名前表", rc);
    } else {
      rc = DumpListJson(path, json);
      if (rc != 0) why = Why("LI 形式のリスト", rc);
    }
  } else if (EndsWithNoCase(path, ".jpr")) {
    rc = -3;
    why = Why("名前表", rc);
  } else {
    rc = DumpTextJson(path, json);
    if (rc != 0) why = Why("テキスト", rc);
  }
  if (rc != 0) {
    // a definition that did not load leaves only its error object: nothing to show
    return cli::Fail("dump", why + ": " + path);
  }
  // what could be read is shown; damage found on the way still fails the work
  std::printf("%s\n", json.c_str());
  auto j = ordered_json::parse(json, nullptr, false);
  if (j.is_object() && (j.contains("damaged") || j.contains("error")))
    return cli::Fail("dump", "途中が壊れています（読めたところまでを書きました）: " + path);
  return cli::kSuccess;
}
