#include "platform/Opener.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

bool XdgOpener::Open(const std::string& target) {
  // Double fork through a shell-free spawn so the opened program never
  // becomes our zombie; the argument is passed as one argv entry, never
  // through a shell.
  pid_t pid;
  const char* argv[] = {"xdg-open", target.c_str(), nullptr};
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
