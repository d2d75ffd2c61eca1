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
    fileops::MakeDir(dir);
    if (made && !existed && fileops::IsDir(dir)) made->push_back(dir);
  };
  // A fresh account may not have its data home yet; the platform's folder
  // always exists, so make ours exist too.
  fileops::MakeDirs(dataHome_);
  std::string dir = dataHome_ + "/" + maker;
  make(dir);
  dir += "/" + program;
  make(dir);
  std::string probe = dir + "/make.chk";
  const bool probeExisted = fileops::Exists(probe);
  FILE* fp = std::fopen(probe.c_str(), "wb");
  if (!fp) return {};
  if (made && !probeExisted) made->push_back(probe);
  if (std::fclose(fp) != 0) return {};
  return dir;
}
