#include "exchange/FileTransaction.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <set>

#include "platform/FileOps.h"

namespace {

void SyncFolders(const std::vector<std::string>& paths) {
  std::set<std::string> dirs;
  for (const std::string& p : paths) dirs.insert(fileops::DirName(p).empty() ? "." : fileops::DirName(p));
  for (const std::string& d : dirs) {
    const int fd = ::open(d.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) continue;
    (void)::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

FileTransaction::~FileTransaction() {
  if (!done_) (void)Rollback();
}

std::string FileTransaction::KeepName(const std::string& path) {
  std::string name = path + ".before-import";
  for (int n = 2; fileops::Exists(name); ++n) name = path + ".before-import-" + std::to_string(n);
  return name;
}

bool FileTransaction::Known(const std::string& path) const {
  for (const Entry& e : entries_)
    if (e.path == path) return true;
  return false;
}

bool FileTransaction::Protect(const std::string& path) {
  if (Known(path)) return true;
  done_ = false;
  if (!fileops::Exists(path)) {
    entries_.push_back({path, {}});
    return true;
  }
  const std::string kept = KeepName(path);
  if (::link(path.c_str(), kept.c_str()) != 0) {
    // a file system without hard links: a copy does the same, at a price
    std::string bytes;
    if (!fileops::ReadAll(path, bytes) || !fileops::WriteAtomic(kept, bytes)) {
      (void)fileops::Remove(kept);  // usually nothing is there: the atomic writer leaves no part
      return false;
    }
  }
  entries_.push_back({path, kept});
  return true;
}

bool FileTransaction::Remove(const std::string& path) {
  if (!Known(path)) {
    done_ = false;
    if (!fileops::Exists(path)) {
      entries_.push_back({path, {}});
      return true;
    }
    const std::string kept = KeepName(path);
    if (::rename(path.c_str(), kept.c_str()) != 0) return false;
    entries_.push_back({path, kept});
    return true;
  }
  // kept already: the name itself can go
  return !fileops::Exists(path) || fileops::Remove(path);
}

void FileTransaction::Commit() {
  std::vector<std::string> paths;
  for (const Entry& e : entries_) {
    // a kept copy that stays is only a spare (KeepName never reuses its name)
    if (!e.kept.empty()) (void)fileops::Remove(e.kept);
    paths.push_back(e.path);
  }
  SyncFolders(paths);
  entries_.clear();
  done_ = true;
}

bool FileTransaction::Rollback() {
  unrestored_.clear();
  std::vector<std::string> paths;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    paths.push_back(it->path);
    if (it->kept.empty()) {
      if (fileops::Exists(it->path) && !fileops::Remove(it->path)) unrestored_.push_back(it->path);
      continue;
    }
    if (::rename(it->kept.c_str(), it->path.c_str()) != 0) {
      unrestored_.push_back(it->path);
      continue;
    }
    // a file never replaced is the kept one itself: rename leaves both names
    if (fileops::Exists(it->kept)) (void)fileops::Remove(it->kept);
  }
  SyncFolders(paths);
  entries_.clear();
  done_ = true;
  return unrestored_.empty();
}
