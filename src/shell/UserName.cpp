#include "shell/UserName.h"

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "shell/CMyGlobal.h"

namespace username {

int Check(const std::string& name) {
  if (name.empty()) return kEmpty;
  if (name == "." || name == "..") return kBadCharacter;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (cp932::IsLead(c) && i + 1 < name.size()) {
      ++i;  // a trail byte 0x5C is part of a character, not a backslash
      continue;
    }
    if (c == '/' || c == '\\' || c == '\0' || static_cast<unsigned char>(c) < 32) return kBadCharacter;
  }
  return kOk;
}

std::string Message(int code) {
  switch (code) {
    case kEmpty:
      return "ユーザー名を入力して下さい。"_sj;
    case kBadCharacter:
      return "ユーザー名に「/」「\\」などフォルダ名に使えない文字は使えません。"_sj;
    default:
      return {};
  }
}

int Create(CMyGlobal& global, const std::string& name) {
  global.SetUserName(name);
  if (!fileops::MakeDirs(global.UserPath(""))) return -1;
  global.WriteSettings(false);
  return 0;
}

}  // namespace username
