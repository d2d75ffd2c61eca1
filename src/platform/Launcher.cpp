#include "platform/Launcher.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

Launcher::Result FromErrno(int e) {
  if (e == ENOMEM || e == EAGAIN) return Launcher::kNoResources;
  if (e == ENOEXEC || e == EACCES || e == ENOENT || e == ENOTDIR || e == ELOOP)
    return Launcher::kInvalidProgram;
  return Launcher::kFailed;
}

}  // namespace

Launcher::Result ProcessLauncher::Start(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return FromErrno(errno);
  const pid_t child = ::fork();
  if (child < 0) {
    const int e = errno;
    ::close(fds[0]);
    ::close(fds[1]);
    return FromErrno(e);
  }
  if (child == 0) {
    ::close(fds[0]);
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
      ::execv(program.c_str(), argv.data());
      const int e = errno;
      (void)!::write(fds[1], &e, sizeof e);
      ::_exit(127);
    }
    if (grandchild < 0) {
      const int e = errno;
      (void)!::write(fds[1], &e, sizeof e);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int e = 0;
  ssize_t n;
  while ((n = ::read(fds[0], &e, sizeof e)) < 0 && errno == EINTR) {
  }
  ::close(fds[0]);
  if (n == static_cast<ssize_t>(sizeof e)) return FromErrno(e);
  return kStarted;
}
