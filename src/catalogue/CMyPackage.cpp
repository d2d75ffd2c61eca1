#include "catalogue/CMyPackage.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "screens/InputHeader.h"
#include "shell/CMyGlobal.h"
#include "store/CMyLine.h"

namespace {

struct FileCloser {
  void operator()(FILE* fp) const {
    if (fp) std::fclose(fp);
  }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

bool ReadI32(FILE* fp, int32_t& v) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, fp) != 4) return false;
  v = le::GetI32(b);
  return true;
}

// Data kind of an existing input definition in `dir`: 1 = none readable,
// 0 = read into `kind`, -1 = its header item is not 164 bytes.
int ExistingKind(const std::string& dir, int& kind) {
  jsc::Header header;
  const int rc = jsc::ReadHeader(dir + "/scrin.jsc", header);
  if (rc == 0) kind = header.dataKind;
  return rc;
}

}  // namespace

std::string CMyPackage::SafeRelativePath(const std::string& name) {
  if (name.empty()) return {};
  std::string rel;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (cp932::IsLead(c) && i + 1 < name.size()) {
      rel += c;
      rel += name[++i];  // a trail byte 0x5C is not a separator
      continue;
    }
    rel += (c == '\\') ? '/' : c;
  }
  if (rel[0] == '/') return {};
  if (rel.size() >= 2 && rel[1] == ':') return {};  // a drive letter of the original platform
  size_t start = 0;
  while (start <= rel.size()) {
    size_t end = rel.find('/', start);
    if (end == std::string::npos) end = rel.size();
    std::string part = rel.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return {};
    start = end + 1;
  }
  return rel;
}

int CMyPackage::Fail(int number) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "(%d)", number);
  prompter_.Warn("パッケージの解凍に失敗しました。"_sj + buf);
  return -1;
}

int CMyPackage::Unpack(const CMyGlobal& global, const std::string& path, const std::string* onlyName,
                       bool toTemp) {
  if (!toTemp) return UnpackTo(path, global.DivisionPath(""), onlyName, false);
  // files an earlier package left in the work folder must never stand in
  // for an entry this package lacks
  const std::string tmp = global.DataRoot() + "tmp";
  if (!fileops::RemoveTree(tmp)) return Fail(kErrCreate);
  // the data kind to agree with is the division's, not the work folder's
  return UnpackTo(path, tmp, onlyName, true, global.DivisionPath(""));
}

namespace {

// The folder entries are written into first; only when every entry was
// written are they moved into the target, so a failure part-way (a full
// disk, a damaged package) leaves the target as it was. Removed on leaving.
struct Staging {
  // Only the entries written in this run are moved out, so what an earlier
  // run left here and could not be cleared never reaches the target.
  explicit Staging(std::string dir) : path(std::move(dir)) { (void)fileops::RemoveTree(path); }
  ~Staging() { (void)fileops::RemoveTree(path); }
  Staging(const Staging&) = delete;
  Staging& operator=(const Staging&) = delete;
  std::string path;
};

}  // namespace

int CMyPackage::UnpackTo(const std::string& path, const std::string& targetDir, const std::string* onlyName,
                         bool toTemp, const std::string& divisionDir) {
  if (toTemp && !fileops::MakeDirs(targetDir)) return Fail(kErrCreate);
  FilePtr fp(std::fopen(path.c_str(), "rb"));
  if (!fp) {
    prompter_.Warn("オープンに失敗しました。"_sj);
    return -1;
  }
  char magic[4];
  if (std::fread(magic, 1, 4, fp.get()) != 4) {
    prompter_.Warn("データのないファイルです。"_sj);
    return -1;
  }
  if (std::memcmp(magic, jpk::kMagic, 4) != 0) {
    prompter_.Warn("パッケージ情報でないファイルです。"_sj);
    return -1;
  }
  int32_t version = 0, reserved = 0, kind = 0, spare = 0;
  if (!ReadI32(fp.get(), version) || version < jpk::kMinVersion || version > jpk::kMaxVersion) {
    prompter_.Warn("バージョンが異なります。"_sj);
    return -1;
  }
  if (!ReadI32(fp.get(), reserved) || !ReadI32(fp.get(), kind) || !ReadI32(fp.get(), spare))
    return Fail(kErrNoEnd);

  int existing = 0;
  int state = ExistingKind(divisionDir.empty() ? targetDir : divisionDir, existing);
  if (state < 0) {
    prompter_.Warn(toTemp ? "作成先のフォルダに不正なファイルが存在します。"_sj
                          : "作成先のフォルダに不正なファイルが存在します。\n異なる分類名にして下さい。"_sj);
    return -1;
  }
  if (state == 0 && existing != kind) {
    prompter_.Warn(toTemp ? "データ種類の異なるパッケージです。"_sj
                          : "作成先にデータ種類の異なるデータが存在します。\n異なる分類名にして下さい。"_sj);
    return -1;
  }

  Staging staging(targetDir + "/.unpacking");
  std::vector<std::string> written;  // relative paths (file system spelling), in package order
  char piece[jpk::kCopyPiece];
  for (;;) {
    int32_t type;
    if (!ReadI32(fp.get(), type)) return Fail(kErrNoEnd);
    if (type == jpk::kEnd) break;
    if (type != jpk::kAlways && type != jpk::kIfMissing) return Fail(kErrUnknownType);
    int32_t n;
    if (!ReadI32(fp.get(), n)) return Fail(kErrNameLengthMissing);
    if (n > jpk::kMaxName) return Fail(kErrNameTooLong);
    if (n < 0) return Fail(kErrNameShort);
    char raw[jpk::kMaxName + 1] = {};
    if (std::fread(raw, 1, static_cast<size_t>(n), fp.get()) != static_cast<size_t>(n))
      return Fail(kErrNameShort);
    std::string name = le::GetFixedText(raw, static_cast<size_t>(n));
    int32_t size;
    if (!ReadI32(fp.get(), size)) return Fail(kErrSizeMissing);
    if (size < 0) return Fail(kErrDataShort);

    bool write;
    if (onlyName) {
      write = collate::EqualNoCase(name, *onlyName);
    } else if (type == jpk::kAlways || toTemp) {
      write = true;
    } else {
      std::string rel = SafeRelativePath(name);
      write = rel.empty() || !fileops::Exists(targetDir + "/" + cp932::ToUtf8(rel));
    }

    std::unique_ptr<fileops::AtomicFile> out;
    std::string relDisk;
    if (write) {
      std::string rel = SafeRelativePath(name);
      if (rel.empty()) return Fail(kErrUnsafeName);
      // names are CP932 in the package; the file system spells them in UTF-8
      relDisk = cp932::ToUtf8(rel);
      std::string target = staging.path + "/" + relDisk;
      if (!fileops::MakeDirs(fileops::DirName(target))) return Fail(kErrCreate);
      out = std::make_unique<fileops::AtomicFile>(target);
      if (!out->Open()) return Fail(kErrCreate);
    }
    int64_t left = size;
    while (left > 0) {
      size_t want = left < jpk::kCopyPiece ? static_cast<size_t>(left) : sizeof piece;
      if (std::fread(piece, 1, want, fp.get()) != want) return Fail(kErrDataShort);
      if (out && !out->Write(piece, want)) return Fail(kErrCreate);
      left -= static_cast<int64_t>(want);
    }
    if (out) {
      if (!out->Commit()) return Fail(kErrCreate);
      written.push_back(relDisk);
    }
  }
  if (onlyName && written.empty()) {
    prompter_.Warn("パッケージに「"_sj + *onlyName + "」が含まれていません。"_sj);
    return -1;
  }
  // every entry is on disk: now, and only now, into place
  for (const std::string& rel : written) {
    const std::string from = staging.path + "/" + rel;
    if (!fileops::Exists(from)) continue;  // a name the package held twice
    const std::string to = targetDir + "/" + rel;
    const std::string parent = fileops::DirName(to);
    if (parent.size() > targetDir.size() + 1 && !fileops::MakeDirs(parent)) return Fail(kErrCreate);
    if (!fileops::Move(from, to)) return Fail(kErrCreate);
  }
  return 0;
}

int CMyPackage::List(const std::string& path, int& version, int& dataKind, std::vector<Entry>& entries) {
  entries.clear();
  FilePtr fp(std::fopen(path.c_str(), "rb"));
  if (!fp) return -1;
  const int64_t total = fileops::Size(path);
  char magic[4];
  if (std::fread(magic, 1, 4, fp.get()) != 4) return -2;
  if (std::memcmp(magic, jpk::kMagic, 4) != 0) return -3;
  int32_t v = 0, reserved, kind = 0, spare;
  if (!ReadI32(fp.get(), v) || v < jpk::kMinVersion || v > jpk::kMaxVersion) return -4;
  version = v;
  if (!ReadI32(fp.get(), reserved) || !ReadI32(fp.get(), kind) || !ReadI32(fp.get(), spare)) return kErrNoEnd;
  dataKind = kind;
  for (;;) {
    Entry e;
    if (!ReadI32(fp.get(), e.type)) return kErrNoEnd;
    if (e.type == jpk::kEnd) return 0;
    if (e.type != jpk::kAlways && e.type != jpk::kIfMissing) return kErrUnknownType;
    int32_t n, size;
    if (!ReadI32(fp.get(), n)) return kErrNameLengthMissing;
    if (n > jpk::kMaxName) return kErrNameTooLong;
    char raw[jpk::kMaxName + 1] = {};
    if (n < 0 || std::fread(raw, 1, static_cast<size_t>(n), fp.get()) != static_cast<size_t>(n))
      return kErrNameShort;
    e.name = le::GetFixedText(raw, static_cast<size_t>(n));
    if (!ReadI32(fp.get(), size)) return kErrSizeMissing;
    long at = std::ftell(fp.get());
    if (size < 0 || at < 0 || at + static_cast<int64_t>(size) > total) return kErrDataShort;
    std::fseek(fp.get(), size, SEEK_CUR);
    e.size = size;
    entries.push_back(e);
  }
}
