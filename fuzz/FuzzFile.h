// The fuzz input as a file, for readers that take a path; removed afterwards.
// Everything a target writes lives under the system's temporary folder
// ($TMPDIR, else /tmp), never the home or the working folder.
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

class FuzzFile {
 public:
  FuzzFile(const uint8_t* data, size_t size) {
    std::string tmpl = FuzzTempRoot() + "/jbxfuzz.XXXXXX";
    int fd = mkstemp(tmpl.data());
    if (fd >= 0) {
      close(fd);
      // a file that could not be written is no input: ok() says so
      if (fileops::WriteAtomic(tmpl, std::string(reinterpret_cast<const char*>(data), size)))
        path_ = tmpl;
      else
        (void)fileops::Remove(tmpl);
    }
  }
  ~FuzzFile() {
    if (!path_.empty()) (void)fileops::Remove(path_);  // a temporary file: one left over is harmless
  }
  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

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
