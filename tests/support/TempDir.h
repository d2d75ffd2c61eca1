// A fresh folder under the system's temporary folder for one test; removed
// with everything in it when the test ends. Tests never touch the working
// directory or the real home.
#pragma once
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes bytes to a file (test fixtures).
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
