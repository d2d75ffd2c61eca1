#include "catalogue/PackageList.h"

#include <cstdio>

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"

namespace packagelist {

std::vector<std::string> Names(const std::string& programFolder) {
  std::vector<std::string> names;
  for (const std::string& onDisk : fileops::List(programFolder, "*.jpk")) {
    std::string file;
    if (cp932::FromUtf8(onDisk, file) != 0) continue;  // a name the program could not show
    // the last four characters (".jpk") are cut from names longer than five
    names.push_back(file.size() > 5 ? file.substr(0, file.size() - 4) : file);
  }
  return names;
}

int Preselect(const std::vector<std::string>& names, int packageId) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "PK%d", packageId / 1000);
  const std::string want = buf;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& n = names[i];
    if (n.size() < want.size() || !collate::EqualNoCase(n.substr(0, want.size()), want)) continue;
    // "PK1" must not pick "PK10": the number ends where the name's does
    if (n.size() > want.size() && n[want.size()] >= '0' && n[want.size()] <= '9') continue;
    return static_cast<int>(i);
  }
  return -1;
}

std::string PathOf(const std::string& programFolder, const std::string& name) {
  std::string dir = programFolder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + cp932::ToUtf8(name) + ".jpk";
}

}  // namespace packagelist
