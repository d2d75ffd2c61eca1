// jbx unpack / package listing for jbx dump.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "catalogue/CMyPackage.h"
#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"

int CmdUnpack(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: jbx unpack FILE.jpk DIR [ONLY-NAME]\n");
    return 2;
  }
  std::string dir = argv[2];
  if (!fileops::MakeDirs(dir)) {
    std::fprintf(stderr, "jbx unpack: cannot create %s\n", dir.c_str());
    return 1;
  }
  std::string only;
  if (argc == 4) only = cp932::FromUtf8(argv[3]);
  StderrPrompter prompter;
  CMyPackage package(prompter);
  return package.UnpackTo(argv[1], dir, argc == 4 ? &only : nullptr, false) == 0 ? 0 : 1;
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
