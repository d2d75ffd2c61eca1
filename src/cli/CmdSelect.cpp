// jbx select: loads table files into one table, selects, sorts and prints.
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

bool ToCp932(const char* what, const std::string& utf8, std::string& out) {
  if (cp932::FromUtf8(utf8, out) == 0) return true;
  cli::Fail("select", std::string(what) + "に CP932 で書けない文字があります: " + utf8);
  return false;
}

// A table reader's result in words.
std::string ReadProblem(int rc) {
  switch (rc) {
    case CMyDB::kCannotOpen:
      return "データファイルとして開けません";
    case CMyDB::kFieldCountDiffers:
      return "項目数が最初のファイルと違います";
    case CMyDB::kBadStructure:
      return "データファイルではありません（項目の定義が読めません）";
    case CMyDB::kDamagedRecord:
      return "途中のレコードが壊れています";
    default:
      return "読込に失敗しました（" + std::to_string(rc) + "）";
  }
}

void SplitColumns(const std::string& list, std::vector<std::string>& out) {
  size_t start = 0;
  for (;;) {
    size_t comma = list.find(',', start);
    out.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
}

}  // namespace

int CmdSelect(int argc, char** argv) {
  cli::Args args(argc, argv);
  std::string filter, sort, columns;
  const bool haveFilter = args.Value("--filter", filter);
  args.Value("--sort", sort);
  const bool haveColumns = args.Value("--columns", columns);
  const bool memoSchema = args.Flag("--memo");
  const bool countOnly = args.Flag("--count");
  const bool json = args.Flag("--json");
  const std::vector<std::string> files = args.Rest();
  if (!args.Ok()) return cli::UsageError("select", args.Error());
  if (files.empty()) return cli::UsageError("select", "データファイルがありません");
  for (const auto& f : files) {
    const std::string problem = cli::FileProblem(f);
    if (!problem.empty()) return cli::Fail("select", problem);
  }

  StderrPrompter prompter;
  CMyDB db(&prompter);
  if (memoSchema && DefineMemoSchema(db) != CMyDB::kOk) return cli::Fail("select", "メモリが足りません");
  size_t first = 0;
  if (!memoSchema) {
    const int rc = db.ReadFile(files[0], true);
    if (rc != 0) return cli::Fail("select", ReadProblem(rc) + ": " + files[0]);
    first = 1;
  }
  // the rest is read on a second thread while this one indexes
  const std::vector<std::string> rest(files.begin() + static_cast<std::ptrdiff_t>(first), files.end());
  std::vector<int> results;
  db.ReadFiles(rest, results, true);
  for (size_t k = 0; k < rest.size(); ++k)
    if (results[k] != 0) return cli::Fail("select", ReadProblem(results[k]) + ": " + rest[k]);

  CMyRec rs(&db);
  if (!sort.empty()) {
    std::string keys;
    if (!ToCp932("並べ替えの指定", sort, keys)) return cli::kFailed;
    int rc = rs.SetSort(keys, false);
    if (rc != 0)
      return cli::Fail("select", "並べ替えの指定が正しくありません（" + std::to_string(rc) + "）: " + sort);
  }
  std::string expr;
  if (haveFilter && !ToCp932("抽出条件", filter, expr)) return cli::kFailed;
  int rc = rs.MakeSql(expr, CMyRec::kListFilter);
  if (rc != 0)
    return cli::Fail("select", "抽出条件が正しくありません（" + std::to_string(rc) + "）: " + filter);
  rc = rs.Requery();
  if (rc < 0) return cli::Fail("select", "抽出に失敗しました（" + std::to_string(rc) + "）");

  if (countOnly) {
    std::printf("%d\n", rs.Count());
    return cli::kSuccess;
  }
  std::vector<int> cols;
  if (haveColumns) {
    std::vector<std::string> names;
    SplitColumns(columns, names);
    for (const auto& n : names) {
      std::string sj;
      if (!ToCp932("項目名", n, sj)) return cli::kFailed;
      int f = db.FindField(sj);
      if (f < 0) return cli::Fail("select", "そのような項目はありません: " + n);
      cols.push_back(f);
    }
  } else {
    for (int f = 0; f < db.FieldCount(); ++f) cols.push_back(f);
  }
  std::string line, utf8;
  if (json) {
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (int i = 0; i < rs.Count(); ++i) {
      nlohmann::ordered_json rec = nlohmann::ordered_json::object();
      for (int c : cols) rec[cp932::ToUtf8(db.Fields()[c].name)] = cp932::ToUtf8(db.Value(c, rs.Items()[i]));
      records.push_back(std::move(rec));
    }
    std::printf("%s\n", records.dump(2).c_str());
    return cli::kSuccess;
  }
  for (int i = 0; i < rs.Count(); ++i) {
    line.clear();
    for (size_t c = 0; c < cols.size(); ++c) {
      if (c) line += '\t';
      cp932::ToUtf8(db.Value(cols[c], rs.Items()[i]), utf8);
      cli::AppendEscaped(line, utf8);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}

int DumpJdtJson(const std::string& path, std::string& json) {
  json.clear();
  std::string bytes;
  if (!fileops::IsFile(path) || !fileops::ReadAll(path, bytes)) return CMyDB::kCannotOpen;
  StderrPrompter prompter;
  CMyDB db(&prompter);
  int flag = bytes.size() >= 4 ? le::GetI32(bytes.data()) : -1;
  int count = bytes.size() >= 8 ? le::GetI32(bytes.data() + 4) : -1;
  bool define = true;
  if (flag == jdt::kFlagWithoutFields && count == memo::kFieldCount) {
    if (const int rc = DefineMemoSchema(db); rc != CMyDB::kOk) return rc;
    define = false;
  }
  int rc = db.ReadBytes(bytes, define);
  if (rc != 0 && rc != CMyDB::kDamagedRecord) return rc;
  nlohmann::ordered_json out;
  out["flag"] = flag;
  auto& fields = out["fields"] = nlohmann::ordered_json::array();
  for (int f = 0; f < db.FieldCount(); ++f) {
    const FieldDef& d = db.Fields()[f];
    fields.push_back({{"name", cp932::ToUtf8(d.name)},
                      {"alias", cp932::ToUtf8(d.alias)},
                      {"type", d.type},
                      {"maxLength", d.maxLength},
                      {"flag", d.flag}});
  }
  auto& records = out["records"] = nlohmann::ordered_json::array();
  for (int r = 0; r < db.RecordCount(); ++r) {
    auto row = nlohmann::ordered_json::array();
    for (int f = 0; f < db.FieldCount(); ++f) row.push_back(cp932::ToUtf8(db.Value(f, r)));
    records.push_back(std::move(row));
  }
  if (rc == CMyDB::kDamagedRecord) out["damaged"] = true;
  json = out.dump(2);
  return 0;
}
