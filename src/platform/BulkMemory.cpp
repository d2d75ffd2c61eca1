#include "platform/BulkMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace bulk {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;

size_t Rounded(size_t n) { return (n + kHugePage - 1) & ~(kHugePage - 1); }
}  // namespace

char* Allocate(size_t n) {
  if (n < kBulkThreshold) return static_cast<char*>(std::calloc(n ? n : 1, 1));
  if (n > SIZE_MAX - 2 * kHugePage) return nullptr;
  const size_t size = Rounded(n);
  // One page more than needed, so an aligned start can be cut out of it: the
  // kernel only backs aligned 2 MB ranges with huge pages.
  void* raw = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const uintptr_t end = aligned + size;
  const uintptr_t rawEnd = start + size + kHugePage;
  if (rawEnd > end) ::munmap(reinterpret_cast<void*>(end), rawEnd - end);
  char* p = reinterpret_cast<char*>(aligned);
  // Only a hint: where the kernel offers no huge pages the area is mapped in
  // ordinary pages, still zero-filled.
#ifdef MADV_HUGEPAGE
  (void)::madvise(p, size, MADV_HUGEPAGE);
#endif
  return p;
}

char* Reallocate(char* p, size_t from, size_t to) {
  if (!p) return Allocate(to);
  if (from >= kBulkThreshold && to >= kBulkThreshold) {
    const size_t oldSize = Rounded(from), newSize = Rounded(to);
    if (oldSize == newSize) return p;
    void* q = ::mremap(p, oldSize, newSize, MREMAP_MAYMOVE);
    if (q == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    if (newSize > oldSize) (void)::madvise(q, newSize, MADV_HUGEPAGE);
#endif
    return static_cast<char*>(q);
  }
  if (from < kBulkThreshold && to < kBulkThreshold) {
    return static_cast<char*>(std::realloc(p, to ? to : 1));
  }
  char* q = Allocate(to);
  if (!q) return nullptr;
  std::memcpy(q, p, from < to ? from : to);
  Free(p, from);
  return q;
}

void Prefault(char* p, size_t n) noexcept {
#ifdef MADV_POPULATE_WRITE
  const uintptr_t page = 4096;
  const uintptr_t start = reinterpret_cast<uintptr_t>(p) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + n + page - 1) & ~(page - 1);
  if (n > 0) (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
  (void)p;
  (void)n;
#endif
}

void Free(char* p, size_t n) noexcept {
  if (!p) return;
  if (n < kBulkThreshold) {
    std::free(p);
    return;
  }
  ::munmap(p, Rounded(n));
}

}  // namespace bulk
