#include "exchange/ArchiveFormat.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/Cp932.h"
#include "platform/LittleEndian.h"

namespace mbk {

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochGap = 11644473600LL;

bool GoodComponent(const std::string& c) {
  if (c.empty() || c == "." || c == "..") return false;
  for (size_t i = 0; i < c.size(); ++i) {
    auto b = static_cast<unsigned char>(c[i]);
    if (cp932::IsLead(b) && i + 1 < c.size()) {
      ++i;  // a trail byte may be "\" or ":" and is part of the character
      continue;
    }
    if (b < 0x20 || b == 0x7F || b == '/' || b == ':' || b == '\\') return false;
  }
  return cp932::IsValid(c);
}

}  // namespace

std::string EncodeFileHeader() {
  std::string h(kFileHeaderSize, '\0');
  le::PutI32(&h[0], kMarker);
  le::PutI32(&h[4], kVersion);
  return h;
}

std::string EncodeEntry(const EntryHeader& e) {
  std::string h(kEntryHeaderSize, '\0');
  le::PutI32(&h[kEMarker], e.marker);
  le::PutI32(&h[kEVersion], e.version);
  le::PutI32(&h[kEType], e.type);
  le::PutI32(&h[kEAttributes], e.attributes);
  le::PutI32(&h[kESize], e.size);
  le::PutU32(&h[kETimeLow], static_cast<uint32_t>(static_cast<uint64_t>(e.fileTime) & 0xFFFFFFFFu));
  le::PutU32(&h[kETimeHigh], static_cast<uint32_t>(static_cast<uint64_t>(e.fileTime) >> 32));
  le::PutFixedText(&h[kEName], kENameSize, e.name);
  return h;
}

EntryHeader DecodeEntry(const char* b) {
  EntryHeader e;
  e.marker = le::GetI32(b + kEMarker);
  e.version = le::GetI32(b + kEVersion);
  e.type = le::GetI32(b + kEType);
  e.attributes = le::GetI32(b + kEAttributes);
  e.size = le::GetI32(b + kESize);
  uint64_t t = uint64_t(le::GetU32(b + kETimeLow)) | uint64_t(le::GetU32(b + kETimeHigh)) << 32;
  e.fileTime = static_cast<int64_t>(t);
  e.name = le::GetFixedText(b + kEName, kENameSize);
  return e;
}

int64_t ToFileTime(int64_t unixSeconds, long nanoseconds) {
  return (unixSeconds + kEpochGap) * 10000000LL + nanoseconds / 100;
}

int64_t ToUnixSeconds(int64_t fileTime) {
  // floor division, so times before 1970 stay in order
  int64_t q = fileTime / 10000000LL;
  if (fileTime % 10000000LL < 0) --q;
  return q - kEpochGap;
}

bool SafeName(const std::string& name, bool folder, std::string* first, std::string* second) {
  // find the one separator, stepping over double-byte characters
  size_t sep = std::string::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    if (cp932::IsLead(name[i]) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (name[i] == kSeparator) {
      if (sep != std::string::npos) return false;  // deeper than folder\file
      sep = i;
    }
  }
  std::string a = sep == std::string::npos ? name : name.substr(0, sep);
  std::string b = sep == std::string::npos ? std::string() : name.substr(sep + 1);
  if (!GoodComponent(a)) return false;
  if (sep != std::string::npos && (folder || !GoodComponent(b))) return false;
  if (first) *first = a;
  if (second) *second = b;
  return true;
}

namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

Tables MakeTables(uint32_t poly) {
  Tables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? poly ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i)
    for (size_t s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
  return t;
}

// Eight bytes a step through eight tables ("slicing by 8"): the read-back
// of a backup checks every byte, and a byte a step cost more than the copy
// itself.
uint32_t Sliced(const Tables& t, uint32_t crc, const unsigned char* p, size_t n) {
  crc = ~crc;
  while (n >= 8) {
    const uint32_t lo =
        crc ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
          t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    p += 8;
    n -= 8;
  }
  for (; n > 0; --n, ++p) crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Crc32cTables(uint32_t crc, const unsigned char* p, size_t n) {
  static const Tables kTable = MakeTables(0x82F63B78u);
  return Sliced(kTable, crc, p, n);
}

#if defined(__x86_64__)
// The processor's own CRC-32C instruction, eight bytes a step, on three
// stretches at once (one alone waits on the instruction's latency), joined
// by moving the first stretches' remainders over the zeros of the next:
// both passes of a backup's bytes go through it.
constexpr size_t kStretch = 4096;

using Shift = std::array<std::array<uint32_t, 256>, 4>;

__attribute__((target("sse4.2"))) Shift MakeShift() {
  // the remainder of each single bit carried over kStretch zero bytes; the
  // move is linear, so a byte's move is the sum of its bits'
  uint32_t bit[32];
  for (int i = 0; i < 32; ++i) {
    uint64_t c = uint64_t{1} << i;
    for (size_t k = 0; k < kStretch / 8; ++k) c = __builtin_ia32_crc32di(c, 0);
    bit[i] = static_cast<uint32_t>(c);
  }
  Shift s{};
  for (int b = 0; b < 4; ++b)
    for (uint32_t v = 0; v < 256; ++v)
      for (int j = 0; j < 8; ++j)
        if (v >> j & 1) s[static_cast<size_t>(b)][v] ^= bit[b * 8 + j];
  return s;
}

uint32_t Moved(const Shift& s, uint32_t c) {
  return s[0][c & 0xFF] ^ s[1][(c >> 8) & 0xFF] ^ s[2][(c >> 16) & 0xFF] ^ s[3][c >> 24];
}

__attribute__((target("sse4.2"))) uint32_t Crc32cInstruction(uint32_t crc, const unsigned char* p, size_t n) {
  static const Shift kShift = MakeShift();
  auto word = [](const unsigned char* at) {
    uint64_t v;
    std::memcpy(&v, at, 8);
    return v;
  };
  uint64_t c = ~crc;
  for (; n >= 3 * kStretch; n -= 3 * kStretch, p += 3 * kStretch) {
    uint64_t a = c, b = 0, d = 0;
    for (size_t i = 0; i < kStretch; i += 8) {
      a = __builtin_ia32_crc32di(a, word(p + i));
      b = __builtin_ia32_crc32di(b, word(p + kStretch + i));
      d = __builtin_ia32_crc32di(d, word(p + 2 * kStretch + i));
    }
    const uint32_t ab = Moved(kShift, static_cast<uint32_t>(a)) ^ static_cast<uint32_t>(b);
    c = Moved(kShift, ab) ^ static_cast<uint32_t>(d);
  }
  for (; n >= 8; n -= 8, p += 8) c = __builtin_ia32_crc32di(c, word(p));
  auto c32 = static_cast<uint32_t>(c);
  for (; n > 0; --n, ++p) c32 = __builtin_ia32_crc32qi(c32, *p);
  return ~c32;
}
#endif

}  // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t n) {
  static const Tables kTable = MakeTables(0xEDB88320u);
  return Sliced(kTable, crc, static_cast<const unsigned char*>(data), n);
}

uint32_t Crc32c(uint32_t crc, const void* data, size_t n) {
  const auto* p = static_cast<const unsigned char*>(data);
#if defined(__x86_64__)
  static const bool kInstruction = __builtin_cpu_supports("sse4.2");
  if (kInstruction) return Crc32cInstruction(crc, p, n);
#endif
  return Crc32cTables(crc, p, n);
}

std::string ArchiveName(const std::string& user, int generation) {
  return user + "_" + std::to_string(generation) + ".mbk";
}

int64_t ReadAt(int fd, int64_t offset, void* buf, size_t n) {
  size_t got = 0;
  auto* p = static_cast<char*>(buf);
  while (got < n) {
    ssize_t r = ::pread(fd, p + got, n - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<int64_t>(got);
}

int CheckFileHeader(int fd) {
  char h[kFileHeaderSize];
  int64_t n = ReadAt(fd, 0, h, sizeof h);
  if (n < 0) return kHeaderRead;
  if (n < kFileHeaderSize) return kHeaderShort;
  if (le::GetI32(h) != kMarker) return kHeaderMarker;
  return kReadOk;
}

int Walk(int fd, const std::function<int(const WalkedEntry&)>& visit) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return kEntryRead;
  const int64_t fileSize = st.st_size;
  int64_t offset = kFileHeaderSize;
  char h[kEntryHeaderSize];
  for (;;) {
    int64_t n = ReadAt(fd, offset, h, sizeof h);
    if (n < 0) return kEntryRead;
    if (n < kEntryHeaderSize) return kEntryShort;  // the end entry never came
    WalkedEntry w;
    w.header = DecodeEntry(h);
    w.offset = offset;
    w.dataOffset = offset + kEntryHeaderSize;
    if (w.header.marker != kMarker) return kEntryMarker;
    int32_t type = w.header.type;
    if ((type != kFile && type != kFolder && type != kEnd) || w.header.size < 0) return kEntryBad;
    // a size larger than what is left is refused before anyone reads it
    if (type == kFile && w.header.size > fileSize - w.dataOffset) return kDataShort;
    int rc = visit(w);
    if (rc != kReadOk) return rc;
    if (type == kEnd) return kReadOk;
    offset = w.dataOffset + (type == kFile ? w.header.size : 0);
  }
}

std::string ReadMessage(int code) {
  switch (code) {
    case kReadOk:
      return {};
    case kHeaderRead:
      return "読み込みに失敗しました。"_sj;
    case kHeaderShort:
      return "読み込んだファイルが不正です。"_sj;
    case kHeaderMarker:
      return "指定ではないファイルを読み込まれました。"_sj;
    default: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "(%d)", code);
      return "読み込みに失敗しました。"_sj + buf;
    }
  }
}

}  // namespace mbk
