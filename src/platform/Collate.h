// Stand-ins for the platform's lstrcmpi / lstrcmp on CP932 text: bytes are
// compared as unsigned values character by character; the case-insensitive
// form folds ASCII A-Z to a-z in single-byte characters only (a trail byte
// in 0x41-0x5A is part of a double-byte character and is never folded).
// Deterministic, so "yyyy/mm/dd" and "%05d/%05d" keys sort as expected.
#pragma once
#include <string_view>

namespace collate {

// <0, 0, >0 like strcmp.
int CompareNoCase(std::string_view a, std::string_view b);
int Compare(std::string_view a, std::string_view b);

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

// ASCII upper/lower for single bytes.
inline char FoldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline char FoldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace collate
