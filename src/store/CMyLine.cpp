#include "store/CMyLine.h"

#include <sys/stat.h>

#include <cstring>
#include <new>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"

namespace {
constexpr int kTableStep = 10;   // block and line tables grow 10 records at a time
constexpr int kReserve = 10;     // extra bytes set aside with every line
constexpr int kTextRun = 1024;   // a text line longer than this is cut
constexpr int kListWork = 1027;  // initial work buffer of the list reader
constexpr size_t kMaxGrowth = size_t{32} << 20;
char kEmpty[1] = {0};
}  // namespace

CMyLine::CMyLine(int minBlock, Prompter* prompter)
    : minBlock_(minBlock > 0 ? minBlock : 2048), prompter_(prompter) {
  blocks_.reserve(kTableStep);
  lines_.reserve(kTableStep);
  OpenFirstBlock();
}

CMyLine::~CMyLine() = default;

void CMyLine::OpenFirstBlock() {
  current_ = 0;
  // Set and Reserve always look at the current block: when memory is short
  // an empty one stands in, so they ask for a block of their own and fail
  // there instead of reading past the table.
  if (!NewBlock(static_cast<size_t>(minBlock_))) blocks_.emplace_back();
}

bool CMyLine::NewBlock(size_t need) {
  // Blocks grow with the pool (a quarter of what it holds, up to kMaxGrowth),
  // so a table of a million records takes a few dozen allocations, while a
  // short list keeps its small blocks.
  size_t size = need > static_cast<size_t>(minBlock_) ? need : static_cast<size_t>(minBlock_);
  const size_t growth = pooled_ / 4 < kMaxGrowth ? pooled_ / 4 : kMaxGrowth;
  if (growth > size) size = growth;
  if (size >= bulk::kBulkThreshold) size = (size + bulk::kBulkThreshold - 1) & ~(bulk::kBulkThreshold - 1);
  // Geometric growth: a table of a million records must not copy its block
  // table once per block.
  if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() + kTableStep + blocks_.size() / 2);
  Block b;
  b.bytes = bulk::Allocate(size);
  if (!b.bytes) return false;
  b.size = size;
  blocks_.push_back(std::move(b));
  pooled_ += size;
  current_ = static_cast<int>(blocks_.size()) - 1;
  return true;
}

void CMyLine::Clear() {
  lines_.clear();
  lines_.shrink_to_fit();
  lines_.reserve(kTableStep);
  blocks_.clear();
  blocks_.shrink_to_fit();
  pooled_ = 0;
  room_ = 0;
  maxLength_ = 0;
  OpenFirstBlock();
}

int CMyLine::Length(int i) const { return (i >= 0 && i < Count()) ? lines_[i].length : 0; }

const char* CMyLine::Text(int i) const {
  if (i < 0 || i >= Count() || !lines_[i].bytes) return kEmpty;
  return lines_[i].bytes;
}

std::string_view CMyLine::View(int i) const {
  if (i < 0 || i >= Count() || !lines_[i].bytes) return {};
  return std::string_view(lines_[i].bytes, static_cast<size_t>(lines_[i].length));
}

const CMyLine::Entry* CMyLine::GetEntry(int i) const {
  return (i >= 0 && i < Count()) ? &lines_[i] : nullptr;
}

bool CMyLine::GrowLines(size_t need) {
  if (need <= lines_.capacity()) return true;
  size_t cap = lines_.capacity();
  // Geometric growth, so appending n lines costs O(n) copies, not O(n^2).
  while (cap < need) cap += kTableStep + cap / 2;
  try {
    lines_.reserve(cap);
  } catch (const std::bad_alloc&) {
    lines_.clear();
    if (prompter_) prompter_->Warn("メモリが足りません。"_sj);
    return false;
  }
  return true;
}

void CMyLine::ReleaseFrom(int block) {
  if (block < 0 || block >= static_cast<int>(blocks_.size())) return;
  Block& b = blocks_[block];
  if (b.lines > 0) --b.lines;
  // The first block and the current block are never freed.
  if (b.lines == 0 && b.bytes && block != 0 && block != current_) {
    pooled_ -= b.size;
    b.FreeBytes();
    b.used = b.size;  // nothing may be taken from it again
  }
}

void CMyLine::RecomputeMax() {
  maxLength_ = 0;
  for (const auto& e : lines_)
    if (e.length > maxLength_) maxLength_ = e.length;
}

int CMyLine::Set(int i, const void* bytes, int n) {
  if (i < 0 || n < 0) return 0;
  if (i >= Count()) {
    if (!GrowLines(static_cast<size_t>(i) + 1)) return 0;
    lines_.resize(static_cast<size_t>(i) + 1);
  }
  Entry& e = lines_[i];
  int oldLength = e.length;
  if (e.bytes && n + 2 < e.reserved) {
    if (n) std::memmove(e.bytes, bytes, static_cast<size_t>(n));
    e.bytes[n] = '\0';
    e.length = n;
  } else {
    const size_t need = static_cast<size_t>(n) + kReserve;
    Block* cur = &blocks_[static_cast<size_t>(current_)];
    if (!cur->bytes || cur->size - cur->used < need) {
      if (!NewBlock(need)) return 0;
      cur = &blocks_[static_cast<size_t>(current_)];
    }
    char* dst = cur->bytes + cur->used;
    if (n) std::memcpy(dst, bytes, static_cast<size_t>(n));  // bytes never alias a fresh area
    dst[n] = '\0';
    cur->used += need;
    cur->lines += 1;
    int oldBlock = e.bytes ? e.block : -1;
    e.bytes = dst;
    e.length = n;
    e.block = current_;
    e.reserved = static_cast<int>(need);
    if (oldBlock >= 0) ReleaseFrom(oldBlock);
  }
  if (n >= maxLength_) {
    maxLength_ = n;
  } else if (oldLength == maxLength_) {
    RecomputeMax();
  }
  return 1;
}

int CMyLine::SetText(int i, const char* text) {
  int n = 0;
  while (text && (static_cast<unsigned char>(text[n]) >= 32 || text[n] == '\t')) ++n;
  return Set(i, text ? text : "", n);
}

int CMyLine::Insert(int i) {
  if (i < 0) return 0;
  if (i >= Count()) {
    if (!GrowLines(static_cast<size_t>(i) + 1)) return 0;
    lines_.resize(static_cast<size_t>(i) + 1);
    return 1;
  }
  if (!GrowLines(lines_.size() + 1)) return 0;
  lines_.insert(static_cast<size_t>(i), Entry{});
  return 1;
}

void CMyLine::Delete(int i) {
  if (i < 0 || i >= Count()) return;
  Entry e = lines_[i];
  lines_.erase(static_cast<size_t>(i));
  if (e.bytes) ReleaseFrom(e.block);
  if (e.length == maxLength_ && maxLength_ > 0) RecomputeMax();
}

int CMyLine::Swap(int i, int j) {
  if (i < 0 || j < 0 || i >= Count() || j >= Count()) return 0;
  std::swap(lines_[i], lines_[j]);
  return 1;
}

char* CMyLine::Reserve(size_t n) {
  room_ = 0;
  // one byte more: the NUL after the last adopted line
  const size_t need = n + 1;
  Block* cur = &blocks_[static_cast<size_t>(current_)];
  if (!cur->bytes || cur->size - cur->used < need) {
    if (!NewBlock(need)) return nullptr;
    cur = &blocks_[static_cast<size_t>(current_)];
  }
  room_ = need;
  return cur->bytes + cur->used;
}

int CMyLine::Adopt(char* bytes, int n) {
  Block& cur = blocks_[static_cast<size_t>(current_)];
  const char* room = cur.bytes + cur.used;
  // the line and its NUL must lie in the room, or a later Set could overwrite it
  if (n < 0 || !cur.bytes || bytes < room || bytes + n >= room + room_) return 0;
  return AddLine(current_, bytes, n);
}

int CMyLine::AddLine(int block, char* bytes, int n) {
  if (!GrowLines(lines_.size() + 1)) return 0;
  bytes[n] = '\0';
  Entry e;
  e.bytes = bytes;
  e.length = n;
  e.block = block;
  e.reserved = n + 1;  // rewritten in place only when shorter
  lines_.push_back(e);
  ++blocks_[static_cast<size_t>(block)].lines;
  if (n > maxLength_) maxLength_ = n;
  return 1;
}

char* CMyLine::AddBlock(size_t n, int& block) {
  block = -1;
  if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() + kTableStep + blocks_.size() / 2);
  Block b;
  b.bytes = bulk::Allocate(n ? n : 1);
  if (!b.bytes) return nullptr;
  b.size = n ? n : 1;
  b.used = b.size;  // no Set takes bytes from it
  blocks_.push_back(std::move(b));
  pooled_ += blocks_.back().size;
  block = static_cast<int>(blocks_.size()) - 1;
  return blocks_.back().bytes;
}

int CMyLine::AdoptIn(int block, char* bytes, int n) {
  if (block < 0 || block >= static_cast<int>(blocks_.size()) || n < 0) return 0;
  const Block& b = blocks_[static_cast<size_t>(block)];
  if (!b.bytes || bytes < b.bytes || bytes + n >= b.bytes + b.size) return 0;
  return AddLine(block, bytes, n);
}

void CMyLine::ReleaseIfUnused(int block) {
  if (block < 0 || block >= static_cast<int>(blocks_.size())) return;
  Block& b = blocks_[static_cast<size_t>(block)];
  if (b.lines == 0 && b.bytes && block != 0 && block != current_) {
    pooled_ -= b.size;
    b.FreeBytes();
    b.used = b.size;
  }
}

void CMyLine::Commit(size_t n) {
  Block& cur = blocks_[static_cast<size_t>(current_)];
  // the byte after the kept ones may hold the last line's NUL
  if (n > 0) n = n + 1 < room_ ? n + 1 : room_;
  cur.used += n;
  room_ = 0;
}

int CMyLine::ReadText(const std::string& path) {
  FILE* fp = fileops::OpenRead(path);
  if (!fp) return -1;
  Clear();
  char chunk[kTextRun];
  std::string cur;
  cur.reserve(kTextRun);
  bool pending = false;  // bytes seen since the last line end
  size_t got;
  int rc = 0;
  while (rc == 0 && (got = std::fread(chunk, 1, sizeof chunk, fp)) > 0) {
    for (size_t k = 0; k < got; ++k) {
      char c = chunk[k];
      if (c == '\n') continue;
      if (c == '\r') {
        if (!Append(cur)) {
          rc = -2;
          break;
        }
        cur.clear();
        pending = false;
        continue;
      }
      if (cur.size() == static_cast<size_t>(kTextRun)) {
        if (!Append(cur)) {
          rc = -2;
          break;
        }
        cur.clear();
      }
      cur += c;
      pending = true;
    }
  }
  // a read that failed part-way is not the end of the file: the lines so far
  // are not the whole list and must not be written back as if they were
  if (rc == 0 && std::ferror(fp)) rc = -3;
  std::fclose(fp);
  if (rc) return rc;
  if (pending && !Append(cur)) return -2;
  return Count();
}

int CMyLine::WriteText(const std::string& path) const {
  fileops::AtomicFile f(path);
  if (!f.Open()) return -1;
  for (int i = 0; i < Count(); ++i) {
    f.Write(View(i).data(), View(i).size());
    f.Write("\r\n", 2);
  }
  return f.Commit() ? Count() : -1;
}

int CMyLine::ReadList(const std::string& path) {
  FILE* fp = fileops::OpenRead(path);
  if (!fp) {
    Clear();
    return -1;
  }
  int rc = ReadList(fp, -1);
  std::fclose(fp);
  return rc;
}

int CMyLine::ReadList(FILE* fp, int64_t limit) {
  Clear();
  whole_ = false;
  if (!fp) return -1;
  // Bytes this list may still occupy: never allocate for a length the
  // file cannot hold, so a hostile length cannot force a huge allocation.
  int64_t remaining = limit;
  {
    struct stat st;
    long pos = std::ftell(fp);
    if (::fstat(::fileno(fp), &st) == 0 && pos >= 0) {
      int64_t left = static_cast<int64_t>(st.st_size) - pos;
      if (remaining < 0 || left < remaining) remaining = left;
    }
  }
  unsigned char head[6];
  if (std::fread(head, 1, 6, fp) != 6 || head[0] != 'L' || head[1] != 'I') return -3;
  if (remaining >= 0) remaining -= 6;
  std::vector<char> work;
  try {
    work.resize(kListWork);
  } catch (const std::bad_alloc&) {
    if (prompter_) prompter_->Notice("メモリが足りません。(-070106)"_sj);
    return -4;
  }
  for (;;) {
    unsigned char lb[4];
    if (std::fread(lb, 1, 4, fp) != 4) break;
    if (remaining >= 0) remaining -= 4;
    int32_t n = le::GetI32(lb);
    if (n < 0) {  // -1 is the end marker; any other negative is damage
      whole_ = n == -1;
      break;
    }
    if (remaining >= 0 && n > remaining) break;  // cannot be complete
    if (static_cast<size_t>(n) >= work.size()) {
      try {
        work.resize(static_cast<size_t>(n) + kListWork);
      } catch (const std::bad_alloc&) {
        if (prompter_) prompter_->Notice("メモリが足りません。(-070106b)"_sj);
        return -5;
      }
    }
    if (n > 0 && std::fread(work.data(), 1, static_cast<size_t>(n), fp) != static_cast<size_t>(n)) break;
    if (remaining >= 0) remaining -= n;
    if (!Append(work.data(), n)) break;
  }
  return Count();
}

std::string CMyLine::ListBytes() const {
  std::string out("LI", 2);
  le::AppendI32(out, 1);
  for (int i = 0; i < Count(); ++i) {
    le::AppendI32(out, Length(i));
    out.append(View(i));
  }
  le::AppendI32(out, -1);
  return out;
}

int CMyLine::WriteList(FILE* fp) const {
  if (!fp) return -1;
  std::string bytes = ListBytes();
  if (std::fwrite(bytes.data(), 1, bytes.size(), fp) != bytes.size()) return -1;
  return Count();
}

int CMyLine::WriteList(const std::string& path) const {
  return fileops::WriteAtomic(path, ListBytes()) ? Count() : -1;
}
