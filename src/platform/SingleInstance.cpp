#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/FileOps.h"

std::string SingleInstance::LockFolder(const char* runtimeDir, const std::string& fallback) {
  if (runtimeDir && runtimeDir[0] == '/' && fileops::IsDir(runtimeDir)) return runtimeDir;
  ::mkdir(fallback.c_str(), 0700);
  // another user may have made the folder first, or put a link there
  struct stat st;
  if (::lstat(fallback.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
  if ((st.st_mode & 0777) != 0700 && ::chmod(fallback.c_str(), 0700) != 0) return {};
  return fallback;
}

SingleInstance::SingleInstance(std::string name, std::string lockDir) {
  if (lockDir.empty())
    lockDir = LockFolder(std::getenv("XDG_RUNTIME_DIR"), "/tmp/jotbox-" + std::to_string(::getuid()));
  if (!lockDir.empty()) path_ = lockDir + "/" + name + ".lock";
}

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::Acquire() {
  if (fd_ >= 0) return true;
  if (path_.empty()) return true;  // nowhere safe to lock
  int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;  // nowhere to lock: better a second copy than none
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // only a lock held elsewhere means another copy runs
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  fd_ = fd;
  return true;
}

void SingleInstance::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}
