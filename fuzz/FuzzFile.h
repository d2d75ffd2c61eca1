// The fuzz input as a file, for readers that take a path; removed afterwards.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/FileOps.h"

class FuzzFile {
 public:
  FuzzFile(const uint8_t* data, size_t size) {
    char tmpl[] = "/tmp/jbxfuzz.XXXXXX";
    int fd = mkstemp(tmpl);
    if (fd >= 0) {
      close(fd);
      path_ = tmpl;
      fileops::WriteAtomic(path_, std::string(reinterpret_cast<const char*>(data), size));
    }
  }
  ~FuzzFile() {
    if (!path_.empty()) fileops::Remove(path_);
  }
  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
