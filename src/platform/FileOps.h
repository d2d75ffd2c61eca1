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
[[nodiscard]] bool Remove(const std::string& path);  // a file
// rename(2) of a file or folder, through the fault hooks (Fault::kRename).
[[nodiscard]] bool Rename(const std::string& from, const std::string& to);
[[nodiscard]] bool RemoveTree(const std::string& path);  // a folder and everything in it
// Names (not paths) of the files in `dir` matching a wildcard ("*.jos",
// "dt*.jdt"); "*" and "?" as on the original platform, ASCII case ignored.
// False (and `out` empty) when the folder could not be read whole: a folder
// that failed to list is never an empty one.
[[nodiscard]] bool List(const std::string& dir, const std::string& pattern, std::vector<std::string>& out,
                        bool dirs = false);
// The same where a folder that cannot be read may count as empty (tests,
// looking for optional files); never where the list decides what is kept.
[[nodiscard]] std::vector<std::string> List(const std::string& dir, const std::string& pattern,
                                            bool dirs = false);
[[nodiscard]] int64_t Size(const std::string& path);     // -1 when missing
[[nodiscard]] int64_t ModTime(const std::string& path);  // seconds since the epoch, -1 when missing
// Reads a file whole. False when it could not be: errno then says why
// (ENOENT: there is no such file; anything else: it is there but unreadable).
[[nodiscard]] bool ReadAll(const std::string& path, std::string& out);
// fopen(path, "rb") through the fault hooks: null with errno set.
[[nodiscard]] FILE* OpenRead(const std::string& path);

// What a file is, as far as telling "still the one that was read" goes:
// the same device, inode, size and modification time to the nanosecond.
struct FileId {
  uint64_t dev = 0, ino = 0;
  int64_t size = -1;  // -1: there was no file
  int64_t mtimeNs = 0;
  bool Exists() const { return size >= 0; }
  bool operator==(const FileId&) const = default;
};
// 0 and the file's identity; ENOENT and an identity that says "no file";
// another errno when the file could not be looked at.
[[nodiscard]] int Identify(const std::string& path, FileId& id);

// An advisory lock (flock) held by this process on a lock file, so that
// one program at a time reads, checks and rewrites the files it guards.
// Taken again by the same process while held, it only counts up.
class WriteLock {
 public:
  WriteLock() = default;
  ~WriteLock() { Release(); }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  // Waits up to `timeoutMs` for the lock on `path` (made 0600 when missing).
  // False when another process held it that long or it could not be made.
  [[nodiscard]] bool Acquire(const std::string& path, int timeoutMs = kDefaultWaitMs);
  void Release();
  bool Held() const { return !path_.empty(); }
  static constexpr int kDefaultWaitMs = 10000;
  // The lock file's name in the folder it guards; backups leave it out.
  static constexpr const char* kFileName = ".jbx.lock";

 private:
  std::string path_;
};

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
  const std::string& Temp() const { return temp_; }

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
  // A file of the same folder to remove together with the replacements.
  void AddRemoval(const std::string& target) { removals_.push_back(target); }
  // With more than one change, a journal naming every rename and removal is
  // made durable before the first rename, so that after a crash the next
  // opening of the folder finishes the batch (RecoverFolder).
  [[nodiscard]] bool Commit();

 private:
  std::vector<std::unique_ptr<AtomicFile>> files_;
  std::vector<std::string> removals_;
};

// The journal a batch leaves in its folder while it renames: lines
// "R\tTEMP\tTARGET" (TEMP replaces TARGET; a folder TEMP is dropped again
// when TARGET is still there), "D\tTARGET" (removed), "K\tKEPT\tTARGET"
// (KEPT goes back to TARGET when TARGET is missing, else is deleted).
constexpr const char* kJournalName = ".jbx-journal";
// The journal's text for those lines, names relative to its folder.
[[nodiscard]] std::string JournalText(const std::vector<std::string>& lines);
// Puts right what a crash left in `dir`: finishes a batch whose journal is
// there, removes temporaries no journal names (and staging folders of an
// interrupted restore, ".NAME.restoring-XXXXXX"). `done` gets one line (UTF-8)
// per file put right. False when something could not be put right (the
// journal then stays for the next try).
[[nodiscard]] bool RecoverFolder(const std::string& dir, std::vector<std::string>& done);
// True when `name` is a temporary of the atomic writer or a journal, never a
// file of the program's own (listings of a folder leave them out).
[[nodiscard]] bool IsWorkFile(const std::string& name);

// Replaces `path` by `bytes` atomically. False when anything failed.
// For tests: the `nth` next call of an operation of the atomic writer, or of
// opening, listing or reading (EIO), fails (1 = the next one), as a full disk
// or a failing device would.
enum class Fault { kWrite = 0, kFsync = 1, kRename = 2, kClose = 3, kOpen = 4, kList = 5, kRead = 6 };
void InjectFault(Fault op, int nth);
// For crash tests in a child process: the process ends there and then, as
// at a power cut or a kill, without cleaning up.
void InjectCrash(Fault op, int nth);
void ClearFaults();

[[nodiscard]] bool WriteAtomic(const std::string& path, const std::string& bytes);

}  // namespace fileops
