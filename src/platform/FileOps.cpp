#include "platform/FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace fileops {

namespace {
// The faults a test asked for: the Nth call of each operation fails.
int g_faultAt[7] = {0, 0, 0, 0, 0, 0, 0};
bool g_crash[7] = {false, false, false, false, false, false, false};
bool Faulty(Fault op) {
  int& n = g_faultAt[static_cast<int>(op)];
  if (n <= 0) return false;
  if (--n != 0) return false;
  if (g_crash[static_cast<int>(op)]) ::_exit(70);
  return true;
}

// A diary is private: whatever the umask, what the program creates is the
// owner's alone.
constexpr mode_t kFileMode = 0600;
constexpr mode_t kDirMode = 0700;

bool SyncFolder(const std::string& path) {
  const std::string dir = DirName(path).empty() ? "." : DirName(path);
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
  ::close(fd);
  return ok;
}
}  // namespace

void InjectFault(Fault op, int nth) {
  g_faultAt[static_cast<int>(op)] = nth;
  g_crash[static_cast<int>(op)] = false;
}
void InjectCrash(Fault op, int nth) {
  g_faultAt[static_cast<int>(op)] = nth;
  g_crash[static_cast<int>(op)] = true;
}
void ClearFaults() {
  for (int& n : g_faultAt) n = 0;
  for (bool& c : g_crash) c = false;
}

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}
bool IsFile(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
bool IsDir(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool MakeDir(const std::string& path) {
  if (::mkdir(path.c_str(), kDirMode) == 0) {
    ::chmod(path.c_str(), kDirMode);  // the umask may have taken the owner's bits
    return true;
  }
  return IsDir(path);
}
bool MakeDirs(const std::string& path) {
  if (path.empty()) return false;
  // each missing level is made private; levels that exist keep their mode
  for (size_t p = path.find('/', 1); p != std::string::npos; p = path.find('/', p + 1)) {
    const std::string part = path.substr(0, p);
    if (!IsDir(part) && !MakeDir(part)) return false;
  }
  return IsDir(path) || MakeDir(path);
}
bool Copy(const std::string& from, const std::string& to, bool overwrite) {
  if (!overwrite && Exists(to)) return false;
  std::string bytes;
  if (!ReadAll(from, bytes)) return false;
  return WriteAtomic(to, bytes);
}
bool Move(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  // across file systems: copy then delete
  if (!Copy(from, to)) return false;
  return Remove(from);
}
bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }
bool Rename(const std::string& from, const std::string& to) {
  return !Faulty(Fault::kRename) && ::rename(from.c_str(), to.c_str()) == 0;
}
bool RemoveTree(const std::string& path) {
  std::error_code ec;
  fs::remove_all(path, ec);
  return !ec && !Exists(path);
}

bool List(const std::string& dir, const std::string& pattern, std::vector<std::string>& out, bool dirs) {
  out.clear();
  if (Faulty(Fault::kList)) {
    errno = EIO;
    return false;
  }
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  const std::string base = dir.empty() ? std::string(".") : dir;
  for (;;) {
    errno = 0;
    const dirent* e = ::readdir(d);
    if (!e) break;
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool isDir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) isDir = IsDir(base + "/" + name);
    if (isDir != dirs) continue;
    if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) out.push_back(name);
  }
  const int err = errno;
  ::closedir(d);
  if (err != 0) {
    out.clear();
    errno = err;
    return false;
  }
  std::sort(out.begin(), out.end());
  return true;
}

std::vector<std::string> List(const std::string& dir, const std::string& pattern, bool dirs) {
  std::vector<std::string> names;
  if (!List(dir, pattern, names, dirs)) names.clear();
  return names;
}

int64_t Size(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}
int64_t ModTime(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtime);
}

FILE* OpenRead(const std::string& path) {
  if (Faulty(Fault::kOpen)) {
    errno = EIO;
    return nullptr;
  }
  return std::fopen(path.c_str(), "rb");
}

bool ReadAll(const std::string& path, std::string& out) {
  out.clear();
  FILE* fp = OpenRead(path);
  if (!fp) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) out.append(buf, n);
  bool ok = !std::ferror(fp);
  if (ok && Faulty(Fault::kRead)) ok = false;
  const int err = ok ? 0 : (errno ? errno : EIO);
  std::fclose(fp);
  if (!ok) {
    out.clear();
    errno = err;
  }
  return ok;
}

int Identify(const std::string& path, FileId& id) {
  id = FileId{};
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? ENOENT : errno;
  id.dev = static_cast<uint64_t>(st.st_dev);
  id.ino = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<int64_t>(st.st_size);
  id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return 0;
}

namespace {
// flock belongs to an open file, so a second open of the same lock file in
// this process would wait for itself: one descriptor per file, counted.
struct HeldLock {
  int fd = -1;
  int count = 0;
  pid_t pid = 0;  // a forked child inherits the entry, not the right to it
};
std::map<std::string, HeldLock>& HeldLocks() {
  static std::map<std::string, HeldLock> held;
  return held;
}

// One spelling per lock file ("root//u/" and "root/u/" name one file): the
// same lock taken through another spelling must count up, never wait for
// itself.
std::string LockKey(const std::string& path) {
  char* real = ::realpath(DirName(path).empty() ? "." : DirName(path).c_str(), nullptr);
  if (!real) return path;
  std::string key = std::string(real) + "/" + BaseName(path);
  std::free(real);
  return key;
}
}  // namespace

bool WriteLock::Acquire(const std::string& lockPath, int timeoutMs) {
  Release();
  const std::string path = LockKey(lockPath);
  HeldLock& h = HeldLocks()[path];
  if (h.count > 0 && h.pid != ::getpid()) {
    ::close(h.fd);
    h = HeldLock{};
  }
  if (h.count > 0) {
    ++h.count;
    path_ = path;
    return true;
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kFileMode);
  if (fd < 0) {
    HeldLocks().erase(path);
    return false;
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= until) {
      ::close(fd);
      HeldLocks().erase(path);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  h.fd = fd;
  h.count = 1;
  h.pid = ::getpid();
  path_ = path;
  return true;
}

void WriteLock::Release() {
  if (path_.empty()) return;
  auto it = HeldLocks().find(path_);
  if (it != HeldLocks().end() && --it->second.count <= 0) {
    ::flock(it->second.fd, LOCK_UN);
    ::close(it->second.fd);
    HeldLocks().erase(it);
  }
  path_.clear();
}

WholeFile::~WholeFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool WholeFile::Open(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  size_ = 0;
  if (Faulty(Fault::kOpen)) {
    errno = EIO;
    return false;
  }
  fd_ = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat st;
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  size_ = static_cast<size_t>(st.st_size);
  return true;
}

int64_t WholeFile::Read(char* dst, size_t n) {
  if (fd_ < 0) return -1;
  if (Faulty(Fault::kRead)) {
    errno = EIO;
    return -1;
  }
  size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd_, dst + got, n - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<int64_t>(got);
}

bool WholeFile::AtEnd() {
  char probe;
  for (;;) {
    const ssize_t r = fd_ < 0 ? 0 : ::read(fd_, &probe, 1);
    if (r < 0 && errno == EINTR) continue;
    return r == 0;
  }
}

std::string DirName(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}
std::string BaseName(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open() {
  Abort();
  failed_ = false;
  temp_ = target_ + ".tmpXXXXXX";
  int fd = ::mkstemp(temp_.data());
  if (fd < 0) {
    temp_.clear();
    return false;
  }
  // a file that exists keeps its mode; a new one is private, and so is one
  // that replaces a link (the mode of whatever it pointed to says nothing)
  struct stat st;
  const bool plain = ::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  ::fchmod(fd, plain ? (st.st_mode & 07777) : kFileMode);
  fp_ = ::fdopen(fd, "wb");
  if (!fp_) {
    ::close(fd);
    ::unlink(temp_.c_str());
    temp_.clear();
    return false;
  }
  return true;
}

bool AtomicFile::Write(const void* data, size_t n) {
  if (!fp_) return false;
  if (n && (Faulty(Fault::kWrite) || std::fwrite(data, 1, n, fp_) != n)) failed_ = true;
  return !failed_;
}

bool AtomicFile::Commit() {
  if (!fp_) return false;
  bool ok = !failed_ && !std::ferror(fp_) && std::fflush(fp_) == 0 && !Faulty(Fault::kFsync) &&
            ::fsync(::fileno(fp_)) == 0;
  ok = (std::fclose(fp_) == 0) && !Faulty(Fault::kClose) && ok;
  fp_ = nullptr;
  if (ok) ok = !Faulty(Fault::kRename) && ::rename(temp_.c_str(), target_.c_str()) == 0;
  // the rename itself must survive a power cut
  if (ok) (void)SyncFolder(target_);
  if (!ok) ::unlink(temp_.c_str());
  temp_.clear();
  return ok;
}

bool AtomicFile::CloseUnsynced() {
  if (!fp_) return false;
  bool ok = !failed_ && !std::ferror(fp_) && std::fflush(fp_) == 0;
  ok = (std::fclose(fp_) == 0) && !Faulty(Fault::kClose) && ok;
  fp_ = nullptr;
  return ok;
}

bool AtomicFile::RenameOver() {
  if (fp_ || temp_.empty()) return false;
  const bool ok = !Faulty(Fault::kRename) && ::rename(temp_.c_str(), target_.c_str()) == 0;
  if (!ok) ::unlink(temp_.c_str());
  temp_.clear();
  return ok;
}

AtomicBatch::~AtomicBatch() {
  for (auto& f : files_) f->Abort();
}

AtomicFile* AtomicBatch::Add(const std::string& target) {
  auto f = std::make_unique<AtomicFile>(target);
  if (!f->Open()) return nullptr;
  files_.push_back(std::move(f));
  return files_.back().get();
}

bool AtomicBatch::Commit() {
  if (files_.empty() && removals_.empty()) return true;
  bool ok = true;
  for (auto& f : files_) ok = f->CloseUnsynced() && ok;
  const std::string dir = DirName(files_.empty() ? removals_.front() : files_.front()->Target());
  // one sync makes every temporary durable before any of them is renamed
  if (ok) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    ok = fd >= 0 && !Faulty(Fault::kFsync) && ::syncfs(fd) == 0;
    if (fd >= 0) ::close(fd);
  }
  // What a crash between the renames needs to finish them; only a batch
  // within one folder can be finished from that folder.
  std::string journal;
  if (ok && files_.size() + removals_.size() > 1) {
    bool oneFolder = true;
    std::vector<std::string> lines;
    for (auto& f : files_) {
      oneFolder = oneFolder && DirName(f->Target()) == dir;
      lines.push_back("R\t" + BaseName(f->Temp()) + "\t" + BaseName(f->Target()));
    }
    for (const std::string& r : removals_) {
      oneFolder = oneFolder && DirName(r) == dir;
      lines.push_back("D\t" + BaseName(r));
    }
    if (oneFolder) {
      journal = dir + kJournalName;
      ok = WriteAtomic(journal, JournalText(lines));
      if (!ok) journal.clear();
    }
  }
  if (!ok) {
    for (auto& f : files_) f->Abort();
    files_.clear();
    removals_.clear();
    return false;
  }
  std::vector<std::string> folders;
  for (auto& f : files_) {
    if (ok && !f->RenameOver()) ok = false;
    if (!ok) {
      f->Abort();
      continue;
    }
    const std::string d = DirName(f->Target());
    if (std::find(folders.begin(), folders.end(), d) == folders.end()) folders.push_back(d);
  }
  // removals only once every replacement stands: a batch that failed
  // part-way is the caller's to take back, and must find these files
  if (ok) {
    for (const std::string& r : removals_) {
      if (::unlink(r.c_str()) != 0 && errno != ENOENT) ok = false;
      if (std::find(folders.begin(), folders.end(), DirName(r)) == folders.end())
        folders.push_back(DirName(r));
    }
  }
  for (const std::string& d : folders) (void)SyncFolder(d + ".");
  // a batch that failed is taken back by its caller, never finished later
  if (!journal.empty()) {
    ::unlink(journal.c_str());
    (void)SyncFolder(journal);
  }
  files_.clear();
  removals_.clear();
  return ok;
}

bool IsWorkFile(const std::string& name) {
  if (name == kJournalName || name == WriteLock::kFileName) return true;
  // the atomic writer's temporaries: "<name>.tmpXXXXXX"
  const size_t p = name.rfind(".tmp");
  return p != std::string::npos && p > 0 && name.size() == p + 10;
}

std::string JournalText(const std::vector<std::string>& lines) {
  std::string text = "JBXJOURNAL 1\n";
  for (const std::string& l : lines) text += l + "\n";
  return text + "END\n";
}

bool RecoverFolder(const std::string& dir, std::vector<std::string>& done) {
  const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
  const std::string journal = base + kJournalName;
  std::string text;
  if (!ReadAll(journal, text)) {
    if (errno != ENOENT) return false;  // a journal that cannot be read is never guessed at
  } else {
    std::vector<std::pair<std::string, std::string>> renames, kept;
    std::vector<std::string> removals;
    bool complete = false;
    size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
      size_t eol = text.find('\n', pos);
      if (eol == std::string::npos) break;
      const std::string line = text.substr(pos, eol - pos);
      pos = eol + 1;
      if (first) {
        if (line != "JBXJOURNAL 1") return false;
        first = false;
        continue;
      }
      if (line == "END") {
        complete = true;
        break;
      }
      const size_t t1 = line.find('\t');
      const size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
      const std::string kind = line.substr(0, t1);
      if ((kind == "R" || kind == "K") && t2 != std::string::npos) {
        (kind == "R" ? renames : kept).emplace_back(line.substr(t1 + 1, t2 - t1 - 1), line.substr(t2 + 1));
        if (line.substr(t1 + 1, t2 - t1 - 1).find('/') != std::string::npos) return false;
      } else if (kind == "D" && t1 != std::string::npos) {
        removals.push_back(line.substr(t1 + 1));
      } else {
        return false;
      }
      const std::string& last = kind == "R"   ? renames.back().second
                                : kind == "K" ? kept.back().second
                                              : removals.back();
      if (last.empty() || last.find('/') != std::string::npos) return false;
    }
    if (!complete) return false;
    // every temporary was durable before the journal was written: the
    // batch can always be finished
    for (const auto& [temp, target] : renames) {
      if (!Exists(base + temp)) continue;
      if (IsDir(base + temp) && Exists(base + target)) {
        // a folder that never took its place: what stands there stays
        if (!RemoveTree(base + temp)) return false;
        continue;
      }
      if (::rename((base + temp).c_str(), (base + target).c_str()) != 0) return false;
      done.push_back(target);
    }
    for (const auto& [keep, target] : kept) {
      if (!Exists(base + keep)) continue;
      if (!Exists(base + target)) {
        if (::rename((base + keep).c_str(), (base + target).c_str()) != 0) return false;
        done.push_back(target);
      } else if (!RemoveTree(base + keep)) {
        return false;
      }
    }
    for (const std::string& r : removals) {
      if (::unlink((base + r).c_str()) == 0)
        done.push_back(r);
      else if (errno != ENOENT)
        return false;
    }
    (void)SyncFolder(base + ".");
    if (::unlink(journal.c_str()) != 0) return false;
    (void)SyncFolder(journal);
  }
  // temporaries no journal names were never renamed: nobody's data
  std::vector<std::string> names;
  if (List(base, "*.tmp??????", names)) {
    for (const std::string& n : names)
      if (IsWorkFile(n)) (void)Remove(base + n);
  }
  // a restore's staging folder no journal names never took its place
  if (List(base, ".*.restoring-??????", names, true)) {
    for (const std::string& n : names) (void)RemoveTree(base + n);
  }
  // a second name an interrupted import gave a file to take it back by:
  // while it is the very file under its own name, it keeps nothing
  if (List(base, "*.before-import*", names)) {
    for (const std::string& n : names) {
      FileId kept, original;
      const std::string own = n.substr(0, n.find(".before-import"));
      if (Identify(base + n, kept) == 0 && Identify(base + own, original) == 0 && kept.dev == original.dev &&
          kept.ino == original.ino)
        (void)Remove(base + n);
    }
  }
  return true;
}

void AtomicFile::Abort() {
  if (fp_) {
    std::fclose(fp_);
    fp_ = nullptr;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

bool WriteAtomic(const std::string& path, const std::string& bytes) {
  AtomicFile f(path);
  if (!f.Open()) return false;
  f.Write(bytes);
  return f.Commit();
}

}  // namespace fileops
