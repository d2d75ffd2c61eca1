// jbx select: loads table files into one table, selects, sorts and prints.
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

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
  std::fprintf(stderr, "jbx select: %s cannot be written in CP932: %s\n", what, utf8.c_str());
  return false;
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

// Memo texts hold line breaks; escaping keeps one record per line.
void AppendEscaped(std::string& line, const std::string& value) {
  for (char c : value) {
    switch (c) {
      case '\\':
        line += "\\\\";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\r':
        line += "\\r";
        break;
      case '\n':
        line += "\\n";
        break;
      default:
        line += c;
    }
  }
}

}  // namespace

int CmdSelect(int argc, char** argv) {
  std::vector<std::string> files;
  std::string filter, sort, columns;
  bool memoSchema = false, countOnly = false, haveFilter = false, haveColumns = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "jbx select: %s needs a value\n", a.c_str());
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (a == "--memo") {
      memoSchema = true;
    } else if (a == "--count") {
      countOnly = true;
    } else if (a == "--filter") {
      if (!value(filter)) return 2;
      haveFilter = true;
    } else if (a == "--sort") {
      if (!value(sort)) return 2;
    } else if (a == "--columns") {
      if (!value(columns)) return 2;
      haveColumns = true;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      std::fprintf(stderr, "jbx select: unknown option %s\n", a.c_str());
      return 2;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr,
                 "usage: jbx select FILE.jdt... [--memo] [--filter EXPR] [--sort SPEC] "
                 "[--columns NAME,...] [--count]\n");
    return 2;
  }

  StderrPrompter prompter;
  CMyDB db(&prompter);
  if (memoSchema) DefineMemoSchema(db);
  for (size_t k = 0; k < files.size(); ++k) {
    bool define = !memoSchema && k == 0;
    int rc = db.ReadFile(files[k], define);
    if (rc != 0) {
      std::fprintf(stderr, "jbx select: %s: read failed (%d)\n", files[k].c_str(), rc);
      return 1;
    }
  }

  CMyRec rs(&db);
  if (!sort.empty()) {
    std::string spec;
    if (!ToCp932("sort", sort, spec)) return 2;
    int rc = rs.SetSort(spec, false);
    if (rc != 0) {
      std::fprintf(stderr, "%d\n", rc);
      return 2;
    }
  }
  std::string expr;
  if (haveFilter && !ToCp932("filter", filter, expr)) return 2;
  int rc = rs.MakeSql(expr, CMyRec::kListFilter);
  if (rc != 0) {
    std::fprintf(stderr, "%d\n", rc);
    return 2;
  }
  rc = rs.Requery();
  if (rc < 0) return 1;

  if (countOnly) {
    std::printf("%d\n", rs.Count());
    return 0;
  }
  std::vector<int> cols;
  if (haveColumns) {
    std::vector<std::string> names;
    SplitColumns(columns, names);
    for (const auto& n : names) {
      std::string sj;
      if (!ToCp932("column", n, sj)) return 2;
      int f = db.FindField(sj);
      if (f < 0) {
        std::fprintf(stderr, "jbx select: no field %s\n", n.c_str());
        return 2;
      }
      cols.push_back(f);
    }
  } else {
    for (int f = 0; f < db.FieldCount(); ++f) cols.push_back(f);
  }
  std::string line, utf8;
  for (int i = 0; i < rs.Count(); ++i) {
    line.clear();
    for (size_t c = 0; c < cols.size(); ++c) {
      if (c) line += '\t';
      cp932::ToUtf8(db.Value(cols[c], rs.Items()[i]), utf8);
      AppendEscaped(line, utf8);
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
    DefineMemoSchema(db);
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
