#include "shell/CMyPath.h"

#include "platform/FileOps.h"
#include "platform/SystemPaths.h"

CMyPath::CMyPath(std::string dataHome) : dataHome_(std::move(dataHome)) {
  if (dataHome_.empty()) dataHome_ = syspaths::UserDataHome();
}

std::string CMyPath::AppDataFolder(const std::string& maker, const std::string& program,
                                   std::vector<std::string>* made) const {
  if (dataHome_.empty()) return {};
  auto make = [made](const std::string& dir) {
    const bool existed = fileops::Exists(dir);
    if (!fileops::MakeDir(dir)) return false;
    if (made && !existed) made->push_back(dir);
    return true;
  };
  // A fresh account may not have its data home yet; the platform's folder
  // always exists, so make ours exist too.
  if (!fileops::MakeDirs(dataHome_)) return {};
  std::string dir = dataHome_ + "/" + maker;
  if (!make(dir)) return {};
  dir += "/" + program;
  if (!make(dir)) return {};
  std::string probe = dir + "/make.chk";
  const bool probeExisted = fileops::Exists(probe);
  FILE* fp = std::fopen(probe.c_str(), "wb");
  if (!fp) return {};
  if (made && !probeExisted) made->push_back(probe);
  if (std::fclose(fp) != 0) return {};
  return dir;
}
