#include "shell/UserName.h"

#include <unistd.h>

#include <algorithm>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "shell/CMyGlobal.h"

namespace username {

int Create(CMyGlobal& global, const std::string& name, bool* made) {
  // the folder first: a name that cannot have one never becomes current
  const std::string folder = global.DataRoot() + CMyGlobal::OnDisk(name);
  const bool existed = fileops::IsDir(folder);
  if (made) *made = false;
  if (!fileops::MakeDirs(folder)) return -1;
  if (made) *made = !existed;
  global.SetUserName(name);
  global.WriteSettings(false);
  return 0;
}

bool Abandon(CMyGlobal& global, const std::string& abandoned) {
  if (!abandoned.empty() && abandoned != global.UserName()) {
    // rmdir removes only an empty folder, so nothing the user wrote can go
    ::rmdir((global.DataRoot() + CMyGlobal::OnDisk(abandoned)).c_str());
  }
  return global.WriteSettings(false);
}

}  // namespace username

std::vector<std::string> username::Existing(const CMyGlobal& global) {
  std::vector<std::string> users;
  const std::string root = global.DataRoot();
  if (root.empty()) return users;
  for (const std::string& dir : fileops::List(root, "*", true)) {
    std::string sj;
    if (cp932::FromUtf8(dir, sj) != 0 || Check(sj) != kOk) continue;
    const std::string base = root.back() == '/' ? root : root + "/";
    if (fileops::IsFile(base + dir + "/jbxuser.jpr")) users.push_back(sj);
  }
  std::sort(users.begin(), users.end());
  return users;
}
