// Stands in for the named mutex that keeps the program to one instance per
// desktop: an exclusive lock on a file. The kernel drops the lock when the
// process ends however it ends, so a crashed run never blocks the next start.
#pragma once
#include <string>

class SingleInstance {
 public:
  // `lockDir`: folder of the lock file; empty = the user's runtime folder
  // ($XDG_RUNTIME_DIR, else /tmp/jotbox-<uid>).
  explicit SingleInstance(std::string name, std::string lockDir = {});
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this process now holds the lock; false when another holds it.
  // A lock file that cannot be created at all does not stop the program.
  bool Acquire();
  void Release();
  const std::string& LockPath() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};
