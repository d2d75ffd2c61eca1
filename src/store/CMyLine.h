// An indexed list of byte strings ("lines") whose bytes live in a pool of
// large blocks, so thousands of short strings cost few allocations. It is
// the storage under every table of the program, and it reads and writes CR LF
// text-line files and the tagged binary list file "LI".
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BulkMemory.h"

class Prompter;

class CMyLine {
 public:
  struct Entry {
    char* bytes = nullptr;  // into a pool block; null for a line never given bytes
    int length = 0;         // bytes, not counting the NUL that always follows
    int block = -1;         // index into the block table
    int reserved = 0;       // bytes set aside for the line (its length + 10)
  };

  // minBlock: 2048 for records, screen files and work lists; 512 for name tables.
  explicit CMyLine(int minBlock = 2048, Prompter* prompter = nullptr);
  ~CMyLine();
  CMyLine(const CMyLine&) = delete;
  CMyLine& operator=(const CMyLine&) = delete;

  void SetPrompter(Prompter* p) { prompter_ = p; }

  void Clear();
  int Count() const { return static_cast<int>(lines_.size()); }
  int Length(int i) const;  // 0 when out of range
  // null when out of range. Inline: record sets call it once per record scanned.
  const char* Item(int i) const {
    return (i >= 0 && i < static_cast<int>(lines_.size())) ? lines_[static_cast<size_t>(i)].bytes : nullptr;
  }
  // Line i for changing bytes in place (never its length); null when out of range.
  char* MutableItem(int i) {
    return (i >= 0 && i < static_cast<int>(lines_.size())) ? lines_[static_cast<size_t>(i)].bytes : nullptr;
  }
  const char* Text(int i) const;       // "" when out of range or without bytes
  std::string_view View(int i) const;  // bytes of line i, empty when out of range
  std::string Str(int i) const { return std::string(View(i)); }
  const Entry* GetEntry(int i) const;  // null when i >= count
  int MaxLength() const { return maxLength_; }

  // Stores n bytes as line i, extending the list with empty lines when
  // i >= count. 1 on success, 0 when memory is exhausted.
  int Set(int i, const void* bytes, int n);
  int Set(int i, std::string_view s) { return Set(i, s.data(), static_cast<int>(s.size())); }
  int Append(const void* bytes, int n) { return Set(Count(), bytes, n); }
  int Append(std::string_view s) { return Set(Count(), s); }
  // Stores the text up to its first control character below 32 other than TAB.
  int SetText(int i, const char* text);
  int Insert(int i);
  void Delete(int i);
  int Swap(int i, int j);  // 0 when either index is out of range, else 1

  // Whole file images. Reserve gives room for n bytes at the end of the pool,
  // which the caller fills (one read of a file) and then indexes: Adopt
  // appends a line over bytes that lie in that room, without copying them;
  // the byte after them becomes the line's NUL, so it must belong to the room
  // too. Commit ends the filling with the number of bytes kept (0 when no line
  // was adopted, so the room is given back); the byte after them stays
  // reserved for a NUL. The room stays the pool's for as long as a line
  // points into it; no other change of the list may come between Reserve
  // and Commit.
  // REQUIRES: Adopt and Commit only after a successful Reserve.
  [[nodiscard]] char* Reserve(size_t n);  // null when memory is exhausted
  // 1, or 0 when the line table cannot grow or bytes lie outside the room
  [[nodiscard]] int Adopt(char* bytes, int n);
  void Commit(size_t n);
  // A block of n bytes of its own for images read elsewhere (by another
  // thread) before they are indexed: AdoptIn appends a line over bytes in
  // it, as Adopt does in the room. It never becomes the block that Set takes
  // bytes from; ReleaseIfUnused frees it when no line was adopted into it.
  [[nodiscard]] char* AddBlock(size_t n, int& block);  // null (block -1) when memory is exhausted
  [[nodiscard]] int AdoptIn(int block, char* bytes, int n);
  void ReleaseIfUnused(int block);

  // Text lines: count; -1 cannot open/create; -2 memory exhausted; -3 a read
  // failed part-way.
  [[nodiscard]] int ReadText(const std::string& path);
  [[nodiscard]] int WriteText(const std::string& path) const;

  // "LI" lists: count; -1 cannot open/create (the list is then empty);
  // -3 wrong header; -4/-5 work buffer could not be obtained/enlarged.
  [[nodiscard]] int ReadList(const std::string& path);
  // True when the last ReadList reached the list's end marker (nothing was
  // cut off or damaged on the way).
  bool ReadWhole() const { return whole_; }
  [[nodiscard]] int WriteList(const std::string& path) const;
  // On an open handle, so other files can embed a list; the handle is left
  // just after the list's end marker. `limit` bounds the bytes the list may
  // occupy (-1: up to the end of the file).
  [[nodiscard]] int ReadList(FILE* fp, int64_t limit = -1);
  [[nodiscard]] int WriteList(FILE* fp) const;
  // The list as the bytes of an "LI" file.
  std::string ListBytes() const;

 private:
  bool whole_ = false;  // the last list read ended at its end marker
  // A block owns its bytes; large blocks are mapped in huge pages.
  struct Block {
    Block() = default;
    Block(Block&& o) noexcept : bytes(o.bytes), used(o.used), size(o.size), lines(o.lines) {
      o.bytes = nullptr;
    }
    Block& operator=(Block&& o) noexcept {
      if (this != &o) {
        FreeBytes();
        bytes = o.bytes;
        used = o.used;
        size = o.size;
        lines = o.lines;
        o.bytes = nullptr;
      }
      return *this;
    }
    ~Block() { FreeBytes(); }
    void FreeBytes() noexcept {
      bulk::Free(bytes, size);
      bytes = nullptr;
    }
    char* bytes = nullptr;
    size_t used = 0;
    size_t size = 0;
    int lines = 0;
  };

  // Opens a block of at least `need` bytes; it becomes the current block.
  [[nodiscard]] bool NewBlock(size_t need);
  // The first block of an empty pool; never fails (see there).
  void OpenFirstBlock();
  [[nodiscard]] int AddLine(int block, char* bytes, int n);
  void ReleaseFrom(int block);  // one line left the block
  void RecomputeMax();
  [[nodiscard]] bool GrowLines(size_t need);

  int minBlock_;
  Prompter* prompter_;
  std::vector<Block> blocks_;
  int current_ = 0;  // the block that Set and Reserve take bytes from
  // A table of a million records is 24 MB: mapped in large pages too.
  bulk::Array<Entry> lines_;
  size_t pooled_ = 0;  // bytes of the blocks held, which sets the size of the next one
  size_t room_ = 0;    // bytes reserved at the current block's end by Reserve
  int maxLength_ = 0;
};
