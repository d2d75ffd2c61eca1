#include "platform/FolderName.h"

#include "platform/Cp932.h"

namespace foldername {

bool IsOneFolder(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (cp932::IsLead(c) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32) return false;
  }
  return true;
}

}  // namespace foldername
