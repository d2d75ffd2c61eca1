// jbx unpack / package listing for jbx dump.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "catalogue/CMyPackage.h"
#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"

int CmdUnpack(int argc, char** argv) {
  cli::Args args(argc, argv);
  const std::vector<std::string> rest = args.Rest();
  if (!args.Ok()) return cli::UsageError("unpack", args.Error());
  if (rest.size() < 2 || rest.size() > 3)
    return cli::UsageError("unpack", "パッケージと展開先のフォルダを指定してください");
  const std::string& path = rest[0];
  const std::string& dir = rest[1];
  const std::string problem = cli::FileProblem(path);
  if (!problem.empty()) return cli::Fail("unpack", problem);
  // the package is read before anything is made, so a bad one leaves no folder
  int version = 0, kind = 0;
  std::vector<CMyPackage::Entry> entries;
  if (CMyPackage::List(path, version, kind, entries) != 0)
    return cli::Fail("unpack", "パッケージではないか、壊れています: " + path);
  std::string only;
  if (rest.size() == 3 && cp932::FromUtf8(rest[2], only) != 0)
    return cli::Fail("unpack", "CP932 で書けない文字があります: " + rest[2]);
  const bool existed = fileops::IsDir(dir);
  if (!fileops::MakeDirs(dir)) return cli::Fail("unpack", "フォルダを作れません: " + dir);
  StderrPrompter prompter;
  CMyPackage package(prompter);
  if (package.UnpackTo(path, dir, rest.size() == 3 ? &only : nullptr, false) != 0) {
    if (!existed) (void)fileops::RemoveTree(dir);  // nothing was moved into it: at worst it stays empty
    return cli::Fail("unpack", "展開に失敗しました: " + path);
  }
  return cli::kSuccess;
}

int DumpPackageJson(const std::string& path, std::string& json) {
  int version = 0, kind = 0;
  std::vector<CMyPackage::Entry> entries;
  int rc = CMyPackage::List(path, version, kind, entries);
  if (rc < 0) return rc;
  nlohmann::ordered_json j;
  j["format"] = "jpk";
  j["version"] = version;
  j["dataKind"] = kind;
  nlohmann::ordered_json arr = nlohmann::ordered_json::array();
  for (const auto& e : entries)
    arr.push_back({{"type", e.type}, {"name", cp932::ToUtf8(e.name)}, {"size", e.size}});
  j["entries"] = arr;
  if (rc != 0) j["error"] = rc;  // what was listed before the damage
  json = j.dump(2);
  return 0;
}
