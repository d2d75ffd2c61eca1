// Zero-filled memory for the few large areas of the program: the pools that
// hold a loaded book's records and the tables that index them. Areas of
// kBulkThreshold bytes or more are mapped in whole 2 MB pages where the kernel
// offers them, so a book of several hundred megabytes is mapped in with a few
// hundred page faults instead of a hundred thousand; smaller ones come from
// the ordinary heap.
#pragma once
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace bulk {

constexpr size_t kBulkThreshold = size_t{2} << 20;

// n zero bytes, or null when memory is exhausted. Free with the same n.
char* Allocate(size_t n);
void Free(char* p, size_t n) noexcept;
// Maps in the pages of [p, p + n) at once, before they are written: cheaper
// than a fault on each first touch. Only a hint; nothing happens where the
// kernel cannot do it.
void Prefault(char* p, size_t n) noexcept;
// Grows or shrinks an area of `from` bytes to `to` bytes, keeping its first
// bytes (those after them are unspecified); large areas are moved by the
// kernel without copying. Null when memory is exhausted: the old area is
// then unchanged.
char* Reallocate(char* p, size_t from, size_t to);

// A growable array of a trivially copyable type over Reallocate: a table of
// a million entries grows without being copied or mapped in again.
template <class T>
class Array {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  Array() = default;
  ~Array() { Free(reinterpret_cast<char*>(data_), capacity_ * sizeof(T)); }
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  Array(Array&& o) noexcept { swap(o); }
  Array& operator=(Array&& o) noexcept {
    swap(o);
    return *this;
  }
  void swap(Array& o) noexcept {
    std::swap(data_, o.data_);
    std::swap(size_, o.size_);
    std::swap(capacity_, o.capacity_);
  }

  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& back() { return data_[size_ - 1]; }

  // Throws std::bad_alloc when memory is exhausted, as std::vector does.
  void reserve(size_t n) {
    if (n <= capacity_) return;
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    char* p = Reallocate(reinterpret_cast<char*>(data_), capacity_ * sizeof(T), n * sizeof(T));
    if (!p) throw std::bad_alloc();
    data_ = reinterpret_cast<T*>(p);
    capacity_ = n;
  }
  void shrink_to_fit() {
    if (size_ == capacity_) return;
    char* p = Reallocate(reinterpret_cast<char*>(data_), capacity_ * sizeof(T), size_ * sizeof(T));
    if (!p && size_ > 0) return;  // keeping the larger area is harmless
    data_ = reinterpret_cast<T*>(p);
    capacity_ = size_;
  }
  void clear() { size_ = 0; }
  // New entries are value-initialised.
  void resize(size_t n) {
    if (n > capacity_) reserve(Grown(n));
    for (size_t i = size_; i < n; ++i) new (data_ + i) T();
    size_ = n;
  }
  void push_back(const T& v) {
    if (size_ == capacity_) reserve(Grown(size_ + 1));
    data_[size_++] = v;
  }
  void append(const T* from, const T* to) {
    const size_t n = static_cast<size_t>(to - from);
    if (size_ + n > capacity_) reserve(Grown(size_ + n));
    if (n) std::memcpy(static_cast<void*>(data_ + size_), from, n * sizeof(T));
    size_ += n;
  }
  void insert(size_t at, const T& v) {
    if (size_ == capacity_) reserve(Grown(size_ + 1));
    std::memmove(static_cast<void*>(data_ + at + 1), data_ + at, (size_ - at) * sizeof(T));
    data_[at] = v;
    ++size_;
  }
  void erase(size_t at) {
    std::memmove(static_cast<void*>(data_ + at), data_ + at + 1, (size_ - at - 1) * sizeof(T));
    --size_;
  }

 private:
  size_t Grown(size_t need) const {
    size_t cap = capacity_ + capacity_ / 2 + 8;
    return cap < need ? need : cap;
  }
  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace bulk
