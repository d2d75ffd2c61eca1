#include "exchange/CMyBackup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "catalogue/CMyMaster.h"
#include "exchange/ArchiveFormat.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"

namespace {

// Bigger than the 5000 bytes of old: the format does not care, the disk does.
constexpr size_t kChunk = 1 << 16;
// How much is written before the disk is asked to start on it.
constexpr int64_t kWriteBehind = 4 << 20;

const char* const kUserFiles[] = {"jbxuser.ini", "jbxuser.jpr", "alarm.dat"};
const char* const kDivisionFiles[] = {"divin.jpr", "divout.jpr", "scrin.jsc", "color.dat", "pickout.pit",
                                      "pickout.lst", "Path.dat", "JotBoxExp.dat", "relation.dat",
                                      // which entry each calendar event went to: without it a
                                      // restored book would take the same calendar in twice
                                      "icsuid.txt"};
const char* const kDivisionPatterns[] = {"*.jsc", "*.jos", "*.jdt", "*.pic", "*.pit", "*.ms"};

// What the writer put into an entry, for the read-back.
struct Written {
  int32_t type;
  std::string name;
  int32_t size;
  uint32_t crc;
};

struct Failure {
  BackupResult& r;
  int Fail(int code, const std::string& file, int err) {
    r.code = code;
    r.file = file;
    r.reason = err ? ErrnoReason(err) : std::string();
    return code;
  }
  // Writing the archive failed while `source` was taken: the reason is the
  // archive's (its disk), the source only where it happened.
  int WriteFail(int code, const std::string& source, int err) {
    Fail(code, r.archive, err);
    r.source = source;
    return code;
  }
  int Fail(int code, const std::string& file, const std::string& reason) {
    r.code = code;
    r.file = file;
    r.reason = reason;
    return code;
  }
};

// Copies one file into the archive; returns 0, 1 when the file is gone
// (left out), or a copy code.
int CopyFile(const BackupItem& item, fileops::AtomicFile& out, std::vector<Written>& log, Failure& f) {
  struct stat st;
  if (::stat(item.diskPath.c_str(), &st) != 0) {
    if (errno == ENOENT) return 1;
    return f.Fail(CMyBackup::kSizeUnknown, item.diskPath, errno);
  }
  if (S_ISDIR(st.st_mode)) return f.Fail(CMyBackup::kIsFolder, item.diskPath, 0);
  if (st.st_size > INT32_MAX)
    return f.Fail(CMyBackup::kSizeUnknown, item.diskPath, "2GB を超えるファイルは保存できません。"_sj);
  int fd = ::open(item.diskPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return f.Fail(CMyBackup::kReopen, item.diskPath, errno);
  mbk::EntryHeader h;
  h.type = mbk::kFile;
  h.attributes = mbk::kAttrArchive;
  h.size = static_cast<int32_t>(st.st_size);
  h.fileTime = mbk::ToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  h.name = item.name;
  if (!out.Write(mbk::EncodeEntry(h))) {
    int e = errno;
    ::close(fd);
    return f.WriteFail(CMyBackup::kEntryWrite, item.diskPath, e);
  }
  std::vector<char> buf(kChunk);
  int64_t copied = 0;
  uint32_t crc = 0;
  for (;;) {
    ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      return f.Fail(CMyBackup::kRead, item.diskPath, e);
    }
    if (n == 0) break;
    // a file that grew while it was copied stops at the size in its header
    size_t take = static_cast<size_t>(std::min<int64_t>(n, h.size - copied));
    if (take && !out.Write(buf.data(), take)) {
      int e = errno;
      ::close(fd);
      return f.WriteFail(CMyBackup::kChunkWrite, item.diskPath, e);
    }
    crc = mbk::Crc32c(crc, buf.data(), take);
    copied += static_cast<int64_t>(take);
    if (take < static_cast<size_t>(n)) {
      copied = -1;  // more bytes than the header says
      break;
    }
  }
  ::close(fd);
  if (copied != h.size)
    return f.Fail(CMyBackup::kSizeChanged, item.diskPath, "コピー中にファイルの大きさが変わりました。"_sj);
  log.push_back({mbk::kFile, h.name, h.size, crc});
  f.r.bytes += h.size;
  return 0;
}

// Walks the temporary archive and compares it with what was written.
int ReadBack(int fd, const std::vector<Written>& log, Failure& f, const std::string& temp) {
  if (mbk::CheckFileHeader(fd) != mbk::kReadOk)
    return f.Fail(CMyBackup::kReadBack, temp, "ヘッダーを読み返せません。"_sj);
  size_t i = 0;
  std::vector<char> buf(kChunk);
  std::string bad;
  int rc = mbk::Walk(fd, [&](const mbk::WalkedEntry& w) -> int {
    if (i >= log.size()) return CMyBackup::kReadBack;
    const Written& e = log[i++];
    if (w.header.type != e.type || w.header.name != e.name ||
        (e.type == mbk::kFile && w.header.size != e.size)) {
      bad = e.name;
      return CMyBackup::kReadBack;
    }
    if (e.type != mbk::kFile) return 0;
    uint32_t crc = 0;
    int64_t left = w.header.size, at = w.dataOffset;
    while (left > 0) {
      size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buf.size())));
      if (mbk::ReadAt(fd, at, buf.data(), n) != static_cast<int64_t>(n)) {
        bad = e.name;
        return CMyBackup::kReadBack;
      }
      crc = mbk::Crc32c(crc, buf.data(), n);
      left -= static_cast<int64_t>(n);
      at += static_cast<int64_t>(n);
    }
    if (crc != e.crc) {
      bad = e.name;
      return CMyBackup::kReadBack;
    }
    return 0;
  });
  if (rc == 0 && i == log.size()) return 0;
  std::string why = "書き込んだ内容を読み返すと一致しません。"_sj;
  if (!bad.empty()) why += " (" + bad + ")";
  return f.Fail(CMyBackup::kReadBack, temp, why);
}

std::string Stamp(const Clock& clock) {
  CivilDate d = clock.Today();
  TimeOfDay t = clock.Now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s %02d:%02d", civil::Ymd(d).c_str(), t.hour % 100, t.minute % 100);
  return buf;
}

}  // namespace

std::string ErrnoReason(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "ディスクの空きが足りません。"_sj;
    case EACCES:
    case EPERM:
      return "書き込む権限がありません。"_sj;
    case EROFS:
      return "読み取り専用の場所です。"_sj;
    case ENOENT:
      return "見つかりません。"_sj;
    case ENOTDIR:
      return "フォルダではありません。"_sj;
    case EIO:
      return "入出力エラーが起きました。"_sj;
    default: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "(errno %d)", err);
      return "エラー"_sj + buf;
    }
  }
}

CMyBackup::CMyBackup(CMyGlobal& global, const Clock& clock) : global_(global), clock_(clock) {}

int CMyBackup::Generation() const {
  int max = global_.backCuMax < 1 ? 1 : global_.backCuMax;
  int cu = global_.backCu;
  if (cu < 0 || cu >= max) cu = 0;  // a hand-edited CU out of the ring starts it again
  return cu + 1;
}

std::string CMyBackup::ArchivePath() const {
  if (global_.backPath.empty()) return {};
  std::string dir = CMyGlobal::OnDisk(global_.backPath);
  for (char& c : dir)
    if (c == '\\') c = '/';  // a folder written by the original program
  if (dir.back() != '/') dir += '/';
  return dir + CMyGlobal::OnDisk(mbk::ArchiveName(global_.UserName(), Generation()));
}

std::vector<BackupItem> CMyBackup::Contents(std::string* unreadable) const {
  std::vector<BackupItem> items;
  auto cannotRead = [&](const std::string& path) {
    if (unreadable && unreadable->empty()) *unreadable = path;
  };
  auto addFile = [&](const std::string& name, const std::string& disk) {
    if (fileops::Exists(disk)) items.push_back({0, name, disk});  // a folder there fails the copy
  };
  // the calendar files from where the calendar keeps them, else its defaults
  for (const char* cal : {"holiday.dat", "kinen.dat"}) {
    std::string p = global_.DataRoot() + cal;
    if (!fileops::IsFile(p)) p = global_.ProgramFolder() + cal;
    addFile(cal, p);
  }
  for (const char* f : kUserFiles) addFile(f, global_.UserPath(f));
  CMyMaster divisions("USER");
  const int read = divisions.Load(global_.UserPath("jbxuser.jpr"));
  // a list that is there but unreadable is not a user without books
  if (read == CMyMaster::kUnreadable) cannotRead(global_.UserPath("jbxuser.jpr"));
  if (read != CMyMaster::kLoaded) return items;
  for (int i = 0; i < divisions.RecordCount(); ++i) {
    // the folder a division lives in is its name cut to the folder limit
    std::string div = CMyGlobal::FolderOf(divisions.Name(i));
    std::string dir = global_.UserPath(div);
    items.push_back({1, div, dir});
    for (const char* f : kDivisionFiles) addFile(div + "\\" + f, dir + "/" + f);
    for (const char* pat : kDivisionPatterns) {
      std::vector<std::string> names;
      // a book whose folder is not there has no files to lose
      if (!fileops::List(dir, pat, names) && errno != ENOENT) cannotRead(dir);
      for (const std::string& disk : names) {
        std::string sj;
        // a name CP932 cannot hold is kept as is and refused by the writer
        if (cp932::FromUtf8(disk, sj) != 0) sj = disk + std::string(1, '\0');
        items.push_back({0, div + "\\" + sj, dir + "/" + disk});
      }
    }
  }
  return items;
}

int CMyBackup::WriteArchive(const std::vector<BackupItem>& items, const std::string& target,
                            BackupResult& result, const Progress& progress) {
  result = BackupResult{};
  result.archive = target;
  Failure f{result};
  fileops::AtomicFile out(target);
  errno = 0;
  if (!out.Open()) return f.Fail(kCannotCreate, target, errno);
  if (!out.Write(mbk::EncodeFileHeader())) return f.Fail(kHeaderWrite, target, errno);
  std::vector<Written> log;
  int64_t kicked = 0;
  for (const BackupItem& item : items) {
    std::string first, second;
    bool folder = item.type == mbk::kFolder;
    if (item.name.size() >= static_cast<size_t>(mbk::kENameSize) ||
        !mbk::SafeName(item.name, folder, &first, &second))
      return f.Fail(kNameUnstorable, item.diskPath, "この名前はバックアップに保存できません。"_sj);
    if (!folder) {
      if (progress) progress(item.diskPath);
      int rc = CopyFile(item, out, log, f);
      if (rc < 0) return rc;
      if (rc == 0) ++result.entries;
      // the disk starts on what is written while the rest is read, so the
      // sync before the rename finds little left; only a hint, and the sync
      // still decides
      if (result.bytes - kicked >= kWriteBehind) {
        (void)::sync_file_range(::fileno(out.Handle()), 0, 0, SYNC_FILE_RANGE_WRITE);
        kicked = result.bytes;
      }
      continue;
    }
    mbk::EntryHeader h;
    h.type = mbk::kFolder;
    h.attributes = mbk::kAttrFolder;
    h.name = item.name;
    int64_t t = fileops::ModTime(item.diskPath);
    h.fileTime = t < 0 ? 0 : mbk::ToFileTime(t);
    if (!out.Write(mbk::EncodeEntry(h))) return f.WriteFail(kFolderWrite, item.diskPath, errno);
    log.push_back({mbk::kFolder, h.name, 0, 0});
    ++result.entries;
  }
  mbk::EntryHeader end;
  end.type = mbk::kEnd;
  end.attributes = mbk::kAttrFolder;
  if (!out.Write(mbk::EncodeEntry(end))) return f.Fail(kEndWrite, target, errno);
  log.push_back({mbk::kEnd, "", 0, 0});
  ++result.entries;
  // a full disk often shows only when the buffer goes out
  if (std::fflush(out.Handle()) != 0) return f.Fail(kCommit, target, errno);
  // the rest goes to the disk while it is read back
  (void)::sync_file_range(::fileno(out.Handle()), 0, 0, SYNC_FILE_RANGE_WRITE);
  int rc = ReadBack(::fileno(out.Handle()), log, f, target);
  if (rc != 0) return rc;
  errno = 0;
  if (!out.Commit()) return f.Fail(kCommit, target, errno);
  return kOk;
}

std::string CMyBackup::Message(const BackupResult& r) {
  char code[32];
  std::snprintf(code, sizeof code, "(%d)", r.code);
  std::string text;
  switch (r.code) {
    case kOk:
      return {};
    case kNoPath:
      return "オプション画面より保存先フォルダを指定してください。"_sj;
    case kCannotCreate:
      text = "保存先フォルダの指定が不正です。"_sj;
      break;
    case kHeaderWrite:
      text = "ファイルの書き込み失敗(ヘッダー)"_sj;
      break;
    case kFolderWrite:
    case kFolderShort:
      text = "フォルダの指定に失敗しました。"_sj + code;
      break;
    case kUnreadable:
      text = "バックアップするファイルの一覧を読み込めませんでした。"_sj + code;
      break;
    case kReadBack:
    case kCommit:
    case kEndWrite:
    case kEndShort:
      text = "バックアップファイルの作成に失敗しました。"_sj + code;
      break;
    default:
      text = "ファイルコピーに失敗しました。"_sj + code;
      break;
  }
  if (!r.file.empty()) text += "\n" + cp932::FromUtf8(r.file);
  if (!r.reason.empty()) text += "\n" + r.reason;
  if (!r.source.empty()) text += "\n"_sj + "コピー元: "_sj + cp932::FromUtf8(r.source);
  if (r.code != kOk) text += "\n"_sj + "前回のバックアップファイルはそのまま残っています。"_sj;
  return text;
}

int CMyBackup::Run(BackupResult* out) {
  BackupResult local;
  BackupResult& r = out ? *out : local;
  r = BackupResult{};
  if (global_.backPath.empty()) {
    r.code = kNoPath;
    global_.prompter().Warn(Message(r));
    return kNoPath;
  }
  // nobody writes the books while they are read into the archive
  fileops::WriteLock lock;
  if (!lock.Acquire(global_.UserPath(fileops::WriteLock::kFileName)) &&
      fileops::IsDir(global_.UserPath(""))) {
    global_.prompter().Warn(
        "他のプログラムがこのデータを書き込み中です。しばらくしてからやり直してください。"_sj);
    return r.code = kUnreadable;
  }
  std::string unreadable;
  const std::vector<BackupItem> items = Contents(&unreadable);
  int rc = unreadable.empty() ? WriteArchive(items, ArchivePath(), r, progress_)
                              : Failure{r}.Fail(kUnreadable, unreadable, "読み込めませんでした。"_sj);
  global_.backLastTime = Stamp(clock_);
  global_.backLastResult = rc;
  if (rc == kOk) global_.backCu = Generation() % (global_.backCuMax < 1 ? 1 : global_.backCuMax);
  bool saved = global_.WriteBackupSettings();
  if (rc != kOk) {
    global_.prompter().Warn(Message(r));
  } else if (!saved) {
    // the archive is fine; only the ring's position could not be kept
    global_.prompter().Warn("バックアップしましたが、設定を保存できませんでした。"_sj + "\n" +
                            cp932::FromUtf8(global_.UserPath("jbxuser.ini")));
  }
  return rc;
}

std::string LastBackupText(const CMyGlobal& global) {
  if (global.backLastTime.empty()) return {};
  std::string text = "最終バックアップ: "_sj + global.backLastTime + " ";
  if (global.backLastResult == 0) return text + "正常"_sj;
  char code[32];
  std::snprintf(code, sizeof code, "(%d)", global.backLastResult);
  return text + "失敗"_sj + code;
}

std::string LastBackupFailure(const CMyGlobal& global) {
  if (global.backLastTime.empty() || global.backLastResult == 0) return {};
  BackupResult r;
  r.code = global.backLastResult;
  const std::string text = CMyBackup::Message(r);
  return text.substr(0, text.find('\n'));
}
