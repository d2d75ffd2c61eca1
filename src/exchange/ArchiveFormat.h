// Layout of a backup archive (".mbk"), shared by the writer, the reader and
// the dump: a 32-byte file header, then 300-byte entry headers each followed
// by the entry's data, ended by an end entry. docs/file-formats.md has the
// whole picture.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace mbk {

constexpr int32_t kMarker = -2;
constexpr int32_t kVersion = 1;
constexpr int kFileHeaderSize = 32;
constexpr int kEntryHeaderSize = 300;

// Entry header offsets.
constexpr int kEMarker = 0;
constexpr int kEVersion = 4;
constexpr int kEType = 8;
constexpr int kEAttributes = 12;
constexpr int kESize = 16;
constexpr int kETimeLow = 20;
constexpr int kETimeHigh = 24;
constexpr int kEName = 28;
constexpr int kENameSize = 264;  // with its NUL
constexpr int kEReserved1 = 292;
constexpr int kEReserved2 = 296;

enum EntryType : int32_t { kFile = 0, kFolder = 1, kEnd = 99 };
constexpr int32_t kAttrFolder = 16;   // also carried by the end entry
constexpr int32_t kAttrArchive = 32;  // an ordinary file

// "\" separates the division folder from the file inside an archive.
constexpr char kSeparator = '\\';

struct EntryHeader {
  int32_t marker = kMarker;
  int32_t version = kVersion;
  int32_t type = kFile;
  int32_t attributes = kAttrArchive;
  int32_t size = 0;
  int64_t fileTime = 0;  // 100 ns since 1601-01-01 UTC
  std::string name;      // CP932
};

std::string EncodeFileHeader();
// REQUIRES: name shorter than kENameSize bytes.
std::string EncodeEntry(const EntryHeader& e);
// Reads the fields of a 300-byte header (never past the name field).
EntryHeader DecodeEntry(const char* bytes);

// Seconds since the Unix epoch (and nanoseconds) <-> the stored file time.
int64_t ToFileTime(int64_t unixSeconds, long nanoseconds = 0);
int64_t ToUnixSeconds(int64_t fileTime);

// Checks an entry name. Accepted: a plain file name, or (for files only)
// "<folder>\<file>"; each component non-empty, not "." or "..", without
// "/", ":" or control characters, valid CP932. On success `first` and
// `second` get the components (CP932; `second` empty for a plain name).
bool SafeName(const std::string& name, bool folder, std::string* first, std::string* second);

// CRC-32 (the zlib polynomial), continued from `crc` (0 to start).
uint32_t Crc32(uint32_t crc, const void* data, size_t n);
// CRC-32C (the Castagnoli polynomial), continued from `crc`: the backup's
// read-back check, through the processor's instruction where it has one.
uint32_t Crc32c(uint32_t crc, const void* data, size_t n);

// "%s_%d.mbk" of a user and a 1-based generation.
std::string ArchiveName(const std::string& user, int generation);

// One entry found by Walk: its header, where its data starts in the file.
struct WalkedEntry {
  EntryHeader header;
  int64_t offset = 0;      // of the entry header
  int64_t dataOffset = 0;  // of the data (header offset + 300)
};

// Codes of the reader, shared by restore, read-back and dump.
enum ReadCode : int {
  kReadOk = 0,
  kHeaderRead = -1,     // the file header cannot be read ("読み込みに失敗しました。")
  kHeaderShort = -2,    // fewer than 32 bytes ("読み込んだファイルが不正です。")
  kHeaderMarker = -3,   // not an archive ("指定ではないファイルを読み込まれました。")
  kEntryRead = -100,    // an entry header cannot be read
  kEntryShort = -101,   // an entry header is cut short (or the end entry is missing)
  kEntryMarker = -102,  // an entry header without its marker
  kNoMemory = -103,     // kept for the message table; data is streamed
  kEntryBad = -104,     // unknown type, negative size
  kDataRead = -111,     // a file's data cannot be read
  kDataShort = -112,    // a file's data is cut short
  kNameRefused = -300,  // a hostile or unstorable name
};

// Checks the file header of the archive open as `fd`: kReadOk, or one of
// kHeaderRead, kHeaderShort, kHeaderMarker.
int CheckFileHeader(int fd);

// Walks the entries of the archive open as `fd` (after the file header)
// without reading any data. Calls `visit` for each entry, the end entry
// included, and stops with the visitor's code when that is not kReadOk.
// Every header is checked before it is visited: marker, known type, a size
// of 0 or more that fits in the bytes left. Returns kReadOk only when the
// end entry was reached. `visit` may read the entry's data with ReadAt.
int Walk(int fd, const std::function<int(const WalkedEntry&)>& visit);

// Reads n bytes at an offset: n on success, fewer when the file ends
// first, -1 when reading failed.
int64_t ReadAt(int fd, int64_t offset, void* buf, size_t n);

// The message of a ReadCode as restore shows it (CP932).
std::string ReadMessage(int code);

}  // namespace mbk
