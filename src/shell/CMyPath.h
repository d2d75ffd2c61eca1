// Finds (and creates) the per-user application-data folder of the program.
#pragma once
#include <string>
#include <vector>

class CMyPath {
 public:
  // `dataHome`: the platform's per-user data folder; empty = look it up.
  explicit CMyPath(std::string dataHome = {});
  // dataHome/maker/program, created when missing and probed for writing with
  // an empty "make.chk". Returns the folder without a trailing "/", or an
  // empty text when it cannot be found or written.
  // `made` (when given) receives what this call created, in the order
  // created (folders, then the probe), so a first run that is cancelled can
  // take it all back.
  std::string AppDataFolder(const std::string& maker, const std::string& program,
                            std::vector<std::string>* made = nullptr) const;

 private:
  std::string dataHome_;
};
