#include "shell/CMyPath.h"

#include "platform/FileOps.h"
#include "platform/SystemPaths.h"

CMyPath::CMyPath(std::string dataHome) : dataHome_(std::move(dataHome)) {
  if (dataHome_.empty()) dataHome_ = syspaths::UserDataHome();
}

std::string CMyPath::AppDataFolder(const std::string& maker, const std::string& program) const {
  if (dataHome_.empty()) return {};
  // A fresh account may not have its data home yet; the platform's folder
  // always exists, so make ours exist too.
  fileops::MakeDirs(dataHome_);
  std::string dir = dataHome_ + "/" + maker;
  fileops::MakeDir(dir);
  dir += "/" + program;
  fileops::MakeDir(dir);
  std::string probe = dir + "/make.chk";
  FILE* fp = std::fopen(probe.c_str(), "wb");
  if (!fp) return {};
  if (std::fclose(fp) != 0) return {};
  return dir;
}
