// The fuzz input as a file, for readers that take a path, and folders for
// what a target writes: each input's own folder under the system's
// temporary folder ($TMPDIR, else /tmp), removed with everything in it
// afterwards; never the home, the working folder or a fixed path.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/FileOps.h"

inline std::string FuzzTempRoot() {
  const char* t = std::getenv("TMPDIR");
  return t && *t == '/' ? std::string(t) : std::string("/tmp");
}

// A fresh folder for one input, removed with everything in it afterwards.
class FuzzDir {
 public:
  FuzzDir() {
    std::string tmpl = FuzzTempRoot() + "/jbxfuzzdir.XXXXXX";
    if (mkdtemp(tmpl.data())) path_ = tmpl;
  }
  ~FuzzDir() {
    if (!path_.empty()) (void)fileops::RemoveTree(path_);  // temporary, as above
  }
  FuzzDir(const FuzzDir&) = delete;
  FuzzDir& operator=(const FuzzDir&) = delete;
  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The input as the file "input" in a FuzzDir of its own: whatever a reader
// puts beside the file it was given (a damaged file kept aside, a backup)
// goes with the folder.
class FuzzFile {
 public:
  FuzzFile(const uint8_t* data, size_t size) {
    // a file that could not be written is no input: ok() says so
    if (dir_.ok() &&
        fileops::WriteAtomic(dir_ / "input", std::string(reinterpret_cast<const char*>(data), size)))
      path_ = dir_ / "input";
  }
  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  // The input's own folder, for anything else the target writes.
  const FuzzDir& dir() const { return dir_; }

 private:
  FuzzDir dir_;
  std::string path_;
};
