// How `jbx dump` shows stored bytes: CP932 text as a UTF-8 string, anything
// else (binary records, invalid sequences) as {"hex": "..."}.
#pragma once
#include <nlohmann/json.hpp>
#include <string_view>

#include "platform/Cp932.h"

namespace jsontext {

inline bool LooksLikeText(std::string_view bytes) {
  for (unsigned char c : bytes)
    if (c < 32 && c != '\t') return false;
  return cp932::IsValid(bytes);
}

inline std::string Hex(std::string_view bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

inline nlohmann::ordered_json Value(std::string_view bytes) {
  if (LooksLikeText(bytes)) return cp932::ToUtf8(bytes);
  return nlohmann::ordered_json{{"hex", Hex(bytes)}};
}

}  // namespace jsontext
