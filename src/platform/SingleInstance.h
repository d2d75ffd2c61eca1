// Stands in for the named mutex that keeps the program to one instance per
// desktop: an exclusive lock on a file. The kernel drops the lock when the
// process ends however it ends, so a crashed run never blocks the next start.
#pragma once
#include <string>

class SingleInstance {
 public:
  // `lockDir`: folder of the lock file; empty = the user's runtime folder
  // (LockFolder of $XDG_RUNTIME_DIR and /tmp/jotbox-<uid>).
  explicit SingleInstance(std::string name, std::string lockDir = {});
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this process now holds the lock; false only when another
  // process holds it. A lock that cannot be taken for any other reason
  // (no safe folder, no file, an error of the file system) does not stop
  // the program: better a second copy than none.
  [[nodiscard]] bool Acquire();
  void Release();
  // Empty when no safe folder for the lock was found.
  [[nodiscard]] const std::string& LockPath() const { return path_; }

  // The folder to keep the lock in: `runtimeDir` when it is an absolute
  // folder, else `fallback`, created 0700 when missing. The fallback lies in
  // a folder every user can write, so it is used only when it is a real
  // folder (not a link) owned by this user; its mode is tightened to 0700.
  // Empty when neither is safe.
  [[nodiscard]] static std::string LockFolder(const char* runtimeDir, const std::string& fallback);

 private:
  std::string path_;
  int fd_ = -1;
};
