#include "shell/UserNameRules.h"

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FolderName.h"

namespace username {
namespace {

// Blanks and quotes an INI reader strips from the ends of a value.
bool EdgeByte(char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; }

}  // namespace

int Check(const std::string& name) {
  if (name.empty()) return kEmpty;
  if (!foldername::IsOneFolder(name)) return kBadCharacter;
  // a full-width blank (0x81 0x40) at either end is as invisible as a space
  const std::string wide = "\x81\x40";
  if (EdgeByte(name.front()) || EdgeByte(name.back()) || name.compare(0, 2, wide) == 0 ||
      (name.size() >= 2 && cp932::CharStart(name, name.size() - 1) == name.size() - 2 &&
       name.compare(name.size() - 2, 2, wide) == 0))
    return kBadEdge;
  if (name.size() > static_cast<size_t>(kMaxBytes)) return kTooLong;
  if (collate::EqualNoCase(name, "tmp")) return kReserved;
  return kOk;
}

std::string Message(int code) {
  switch (code) {
    case kEmpty:
      return "ユーザー名を入力して下さい。"_sj;
    case kBadCharacter:
      return "ユーザー名に「/」「\\」などフォルダ名に使えない文字は使えません。"_sj;
    case kBadEdge:
      return "ユーザー名の前後に空白や引用符は使えません。"_sj;
    case kTooLong:
      return "ユーザー名が長すぎます。全角7文字（半角14文字）以内にして下さい。"_sj;
    case kReserved:
      return "そのユーザー名はシステムで使用するため設定できません。"_sj;
    default:
      return {};
  }
}

}  // namespace username
