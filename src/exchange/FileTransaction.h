// Changes to several files that either all stay or are all taken back, for
// an operation that writes many files through the atomic writer (an import
// rewrites every month it touches and the period list). Before a file is
// first changed its present state is kept aside: a second name for the same
// file (a hard link, which costs no space), or a copy where links cannot be
// made. Taking back renames each kept file over its name again, which needs
// no space either, so a full disk cannot keep the old files from coming back.
#pragma once
#include <string>
#include <vector>

class FileTransaction {
 public:
  FileTransaction() = default;
  // Neither committed nor rolled back: rolls back.
  ~FileTransaction();
  FileTransaction(const FileTransaction&) = delete;
  FileTransaction& operator=(const FileTransaction&) = delete;

  // Keeps the present state of `path` (also "there is no such file")
  // before it is replaced; a path already kept is left as it is. False when
  // it could not be kept: the file must then not be changed.
  [[nodiscard]] bool Protect(const std::string& path);
  // Takes `path` away (moves it aside); it comes back on Rollback. False
  // when it could not be moved.
  [[nodiscard]] bool Remove(const std::string& path);
  // Keeps every change: the kept copies are deleted.
  void Commit();
  // Puts every file back as it was when first kept; a file that did not
  // exist is removed. False when some file could not be put back
  // (Unrestored names them; their kept state stays beside them).
  [[nodiscard]] bool Rollback();
  const std::vector<std::string>& Unrestored() const { return unrestored_; }
  bool Empty() const { return entries_.empty(); }

 private:
  struct Entry {
    std::string path;
    std::string kept;  // empty when the file did not exist
  };
  // A free name beside `path` for its kept state.
  static std::string KeepName(const std::string& path);
  bool Known(const std::string& path) const;

  std::vector<Entry> entries_;
  std::vector<std::string> unrestored_;
  bool done_ = false;
};
