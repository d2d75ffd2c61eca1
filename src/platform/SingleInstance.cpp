#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/FileOps.h"

SingleInstance::SingleInstance(std::string name, std::string lockDir) {
  if (lockDir.empty()) {
    const char* run = std::getenv("XDG_RUNTIME_DIR");
    if (run && run[0] == '/' && fileops::IsDir(run)) {
      lockDir = run;
    } else {
      lockDir = "/tmp/jotbox-" + std::to_string(::getuid());
      ::mkdir(lockDir.c_str(), 0700);
    }
  }
  path_ = lockDir + "/" + name + ".lock";
}

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::Acquire() {
  if (fd_ >= 0) return true;
  int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // nowhere to lock: better a second copy than none
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
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
