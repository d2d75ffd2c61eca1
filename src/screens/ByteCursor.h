// A bounds-checked reader over bytes already in memory: every get either
// yields the whole field or reports a short read, so a damaged file never
// reads past its end.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/LittleEndian.h"

class ByteCursor {
 public:
  ByteCursor(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  explicit ByteCursor(const std::string& s) : ByteCursor(s.data(), s.size()) {}

  size_t Remaining() const { return size_ - pos_; }
  size_t Position() const { return pos_; }
  // Returns a pointer to the next n bytes and steps over them; null (and
  // no step) when fewer remain.
  const uint8_t* Take(size_t n) {
    if (n > Remaining()) return nullptr;
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  bool I32(int32_t& v) {
    const uint8_t* p = Take(4);
    if (!p) return false;
    v = le::GetI32(p);
    return true;
  }
  bool U8(uint8_t& v) {
    const uint8_t* p = Take(1);
    if (!p) return false;
    v = *p;
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};
