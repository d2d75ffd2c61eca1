// File-system helpers for the few calls every subsystem makes (folders, lists),
// and the one atomic writer every file of the program is saved through.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace fileops {

[[nodiscard]] bool Exists(const std::string& path);  // a file or a folder
[[nodiscard]] bool IsFile(const std::string& path);
[[nodiscard]] bool IsDir(const std::string& path);
[[nodiscard]] bool MakeDir(const std::string& path);   // true when it exists afterwards
[[nodiscard]] bool MakeDirs(const std::string& path);  // with parents
[[nodiscard]] bool Copy(const std::string& from, const std::string& to, bool overwrite = true);
[[nodiscard]] bool Move(const std::string& from, const std::string& to);
[[nodiscard]] bool Remove(const std::string& path);      // a file
[[nodiscard]] bool RemoveTree(const std::string& path);  // a folder and everything in it
// Names (not paths) of the files in `dir` matching a wildcard ("*.jos",
// "dt*.jdt"); "*" and "?" as on the original platform, ASCII case ignored.
[[nodiscard]] std::vector<std::string> List(const std::string& dir, const std::string& pattern,
                                            bool dirs = false);
[[nodiscard]] int64_t Size(const std::string& path);     // -1 when missing
[[nodiscard]] int64_t ModTime(const std::string& path);  // seconds since the epoch, -1 when missing
[[nodiscard]] bool ReadAll(const std::string& path, std::string& out);

// A regular file read whole into memory its caller provides: the size is
// known before the read, so the bytes land where they are kept, in one read.
class WholeFile {
 public:
  WholeFile() = default;
  ~WholeFile();
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;
  // false when the path is not a regular file or cannot be opened.
  [[nodiscard]] bool Open(const std::string& path);
  size_t Size() const { return size_; }
  // Reads up to n bytes into dst (fewer only at the end of the file); the
  // count, or -1 on a read error.
  [[nodiscard]] int64_t Read(char* dst, size_t n);
  // True when nothing follows what was read (the file did not grow).
  [[nodiscard]] bool AtEnd();

 private:
  int fd_ = -1;
  size_t size_ = 0;
};
// Folder part of a path including its trailing "/", or "" when none.
[[nodiscard]] std::string DirName(const std::string& path);
[[nodiscard]] std::string BaseName(const std::string& path);

// Writes a file by the safe road: a temporary file beside the target, then
// flush, sync, close and rename over the target. Until Commit() succeeds the
// old file is untouched; a writer destroyed without Commit() removes its
// temporary file.
class AtomicFile {
 public:
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  [[nodiscard]] bool Open();  // false when the temporary cannot be created
  FILE* Handle() { return fp_; }
  bool Write(const void* data, size_t n);
  bool Write(const std::string& s) { return Write(s.data(), s.size()); }
  [[nodiscard]] bool Commit();  // false (old file intact) on any failure
  void Abort();
  // For AtomicBatch: flushes and closes the temporary without syncing it,
  // then later renames it over the target. False on any failure.
  [[nodiscard]] bool CloseUnsynced();
  [[nodiscard]] bool RenameOver();
  const std::string& Target() const { return target_; }

 private:
  std::string target_;
  std::string temp_;
  FILE* fp_ = nullptr;
  bool failed_ = false;
};

// Many files replaced together, as a book whose pages all move: each is
// written to a temporary beside it; Commit syncs them all with one sync of
// the file system, renames each over its target and syncs each folder once.
// A failure before the renames leaves every target untouched (the
// temporaries are removed); a failed rename leaves the files before it
// replaced, which the caller must be ready to take back.
class AtomicBatch {
 public:
  AtomicBatch() = default;
  ~AtomicBatch();
  AtomicBatch(const AtomicBatch&) = delete;
  AtomicBatch& operator=(const AtomicBatch&) = delete;
  // The writer of the next file, opened; null when its temporary cannot be made.
  [[nodiscard]] AtomicFile* Add(const std::string& target);
  [[nodiscard]] bool Commit();

 private:
  std::vector<std::unique_ptr<AtomicFile>> files_;
};

// Replaces `path` by `bytes` atomically. False when anything failed.
// For tests: the `nth` next call of an operation of the atomic writer fails
// (1 = the next one), as a full disk or a failing device would.
enum class Fault { kWrite = 0, kFsync = 1, kRename = 2, kClose = 3 };
void InjectFault(Fault op, int nth);
void ClearFaults();

[[nodiscard]] bool WriteAtomic(const std::string& path, const std::string& bytes);

}  // namespace fileops
