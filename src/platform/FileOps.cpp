#include "platform/FileOps.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace fileops {

namespace {
// The faults a test asked for: the Nth call of each operation fails.
int g_faultAt[4] = {0, 0, 0, 0};
bool Faulty(Fault op) {
  int& n = g_faultAt[static_cast<int>(op)];
  if (n <= 0) return false;
  return --n == 0;
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

void InjectFault(Fault op, int nth) { g_faultAt[static_cast<int>(op)] = nth; }
void ClearFaults() {
  for (int& n : g_faultAt) n = 0;
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
bool RemoveTree(const std::string& path) {
  std::error_code ec;
  fs::remove_all(path, ec);
  return !ec && !Exists(path);
}

std::vector<std::string> List(const std::string& dir, const std::string& pattern, bool dirs) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? "." : dir, ec);
  if (ec) return names;
  for (const auto& e : it) {
    bool isDir = e.is_directory(ec);
    if (isDir != dirs) continue;
    std::string name = e.path().filename().string();
    if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
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

bool ReadAll(const std::string& path, std::string& out) {
  out.clear();
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (!fp) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) out.append(buf, n);
  bool ok = !std::ferror(fp);
  std::fclose(fp);
  return ok;
}

WholeFile::~WholeFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool WholeFile::Open(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  size_ = 0;
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
  // a file that exists keeps its mode; a new one is private
  struct stat st;
  ::fchmod(fd, ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : kFileMode);
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
  if (files_.empty()) return true;
  bool ok = true;
  for (auto& f : files_) ok = f->CloseUnsynced() && ok;
  // one sync makes every temporary durable before any of them is renamed
  if (ok) {
    const std::string dir = DirName(files_.front()->Target());
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    ok = fd >= 0 && !Faulty(Fault::kFsync) && ::syncfs(fd) == 0;
    if (fd >= 0) ::close(fd);
  }
  if (!ok) {
    for (auto& f : files_) f->Abort();
    files_.clear();
    return false;
  }
  std::vector<std::string> folders;
  for (auto& f : files_) {
    if (ok && !f->RenameOver()) ok = false;
    if (!ok) {
      f->Abort();
      continue;
    }
    const std::string dir = DirName(f->Target());
    if (std::find(folders.begin(), folders.end(), dir) == folders.end()) folders.push_back(dir);
  }
  for (const std::string& dir : folders) (void)SyncFolder(dir + ".");
  files_.clear();
  return ok;
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
