// Explicit little-endian field access for the program's binary formats.
// Formats are read and written one field at a time through these helpers,
// never by casting structs, so layout and host byte order never matter.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

namespace le {

inline int32_t GetI32(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  uint32_t v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  return static_cast<int32_t>(v);
}
inline uint16_t GetU16(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}
inline int16_t GetI16(const void* p) { return static_cast<int16_t>(GetU16(p)); }
inline uint32_t GetU32(const void* p) { return static_cast<uint32_t>(GetI32(p)); }

inline void PutI32(void* p, int32_t v) {
  auto* b = static_cast<unsigned char*>(p);
  uint32_t u = static_cast<uint32_t>(v);
  b[0] = u & 0xff;
  b[1] = (u >> 8) & 0xff;
  b[2] = (u >> 16) & 0xff;
  b[3] = (u >> 24) & 0xff;
}
inline void PutU16(void* p, uint16_t v) {
  auto* b = static_cast<unsigned char*>(p);
  b[0] = v & 0xff;
  b[1] = (v >> 8) & 0xff;
}
inline void PutU32(void* p, uint32_t v) { PutI32(p, static_cast<int32_t>(v)); }

// Appending writers for building a file image in memory.
inline void AppendI32(std::string& out, int32_t v) {
  char b[4];
  PutI32(b, v);
  out.append(b, 4);
}
inline void AppendU16(std::string& out, uint16_t v) {
  char b[2];
  PutU16(b, v);
  out.append(b, 2);
}

// Copies a NUL-terminated text into a fixed field of `size` bytes: at most
// size-1 bytes of text, the rest zero-filled.
inline void PutFixedText(void* p, size_t size, const std::string& text) {
  auto* b = static_cast<char*>(p);
  std::memset(b, 0, size);
  if (size == 0) return;
  std::memcpy(b, text.data(), text.size() < size - 1 ? text.size() : size - 1);
}
// Reads a fixed text field; stops at the first NUL and never reads past `size`.
inline std::string GetFixedText(const void* p, size_t size) {
  const auto* b = static_cast<const char*>(p);
  size_t n = 0;
  while (n < size && b[n] != '\0') ++n;
  return std::string(b, n);
}

}  // namespace le
