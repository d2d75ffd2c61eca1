// Package files (".jpk"): a short header and the files a division needs,
// stored one after the other without compression. The program only reads
// them (the package builder of `jbx pack` writes them).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CMyGlobal;
class Prompter;

namespace jpk {
constexpr char kMagic[4] = {'J', 'B', 0, 0};
constexpr int kHeaderSize = 20;
constexpr int kMinVersion = 100;
constexpr int kMaxVersion = 199;
constexpr int kMaxName = 50;  // bytes, the terminating NUL included
constexpr int kCopyPiece = 2000;
enum EntryType : int32_t { kEnd = 0, kAlways = 1, kIfMissing = 2 };
}  // namespace jpk

class CMyPackage {
 public:
  // Error numbers shown in "パッケージの解凍に失敗しました。(%d)".
  enum Error : int {
    kErrNoEnd = 1,
    kErrNameLengthMissing = 2,
    kErrNameTooLong = 3,
    kErrNameShort = 4,
    kErrSizeMissing = 6,
    kErrCreate = 7,
    kErrDataShort = 8,
    // A name that is empty, absolute, has a ".." component or would land
    // outside the target folder. Such an entry is never written.
    kErrUnsafeName = 9,
    kErrUnknownType = 100,
  };

  struct Entry {
    int32_t type = 0;
    std::string name;  // as stored (CP932, may use "\" as separator)
    int64_t size = 0;
  };

  explicit CMyPackage(Prompter& prompter) : prompter_(prompter) {}

  // Unpacks into the current division folder (toTemp false) or the data
  // root's "tmp" folder (toTemp true), which is emptied first. onlyName:
  // write just that entry (compared without case), read past all others; a
  // package without it is reported. All or nothing: the target changes only
  // when every entry was written. 0, or -1 after the message was shown.
  [[nodiscard]] int Unpack(const CMyGlobal& global, const std::string& path, const std::string* onlyName,
                           bool toTemp);
  // The same into an explicit folder (a file-system path; entry names are
  // written in UTF-8 there). divisionDir: the folder whose input definition
  // the package's data kind must agree with; empty = targetDir.
  [[nodiscard]] int UnpackTo(const std::string& path, const std::string& targetDir,
                             const std::string* onlyName, bool toTemp, const std::string& divisionDir = {});

  // Reads the header and the entry list without writing anything. 0, or the
  // error number (negative for header problems: -1 open, -2 no data,
  // -3 not a package, -4 version).
  [[nodiscard]] static int List(const std::string& path, int& version, int& dataKind,
                                std::vector<Entry>& entries);

  // The relative path an entry name stands for ("\" read as "/"), or empty
  // when the name is unsafe.
  [[nodiscard]] static std::string SafeRelativePath(const std::string& name);

 private:
  int Fail(int number);
  Prompter& prompter_;
};
