// CP932 (Windows Shift-JIS) <-> UTF-8 conversion and double-byte helpers.
// All text inside the program is CP932 bytes; UTF-8 appears only in source
// literals (through the _sj literal), on the command line and at the Qt
// boundary.
#pragma once
#include <string>
#include <string_view>

namespace cp932 {

// True for a byte that starts a double-byte CP932 character.
inline bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool IsLead(char c) { return IsLead(static_cast<unsigned char>(c)); }

// Converts UTF-8 to CP932. Returns 0, or -1 when the input is not valid
// UTF-8 or holds a character CP932 cannot represent; then `bad` (when given)
// receives the byte offset of the first offending input byte.
[[nodiscard]] int FromUtf8(std::string_view utf8, std::string& out, size_t* bad = nullptr);

// Converts CP932 to UTF-8. Returns 0, or -1 when an invalid byte sequence was
// met; the offending bytes are replaced by U+FFFD so the caller still gets
// a readable text.
int ToUtf8(std::string_view sj, std::string& out);

// Convenience forms for code that has already validated its input.
[[nodiscard]] std::string FromUtf8(std::string_view utf8);
[[nodiscard]] std::string ToUtf8(std::string_view sj);

// True when every byte sequence of `sj` is a valid CP932 character.
[[nodiscard]] bool IsValid(std::string_view sj);

// Byte index where the character containing byte `pos` starts: a trail byte
// maps back to its lead byte. Used so cuts never split a character.
size_t CharStart(std::string_view sj, size_t pos);

}  // namespace cp932

// "日記"_sj is the CP932 form of a UTF-8 source literal.
std::string operator""_sj(const char* s, size_t n);
