#include "exchange/CMyRestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "exchange/ArchiveFormat.h"
#include "exchange/CMyBackup.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/UserName.h"

namespace {

constexpr size_t kChunk = 1 << 16;

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return true;
  return errno == EEXIST && fileops::IsDir(path);
}

bool HasAnything(const std::string& dir) {
  return !fileops::List(dir, "*").empty() || !fileops::List(dir, "*", true).empty();
}

std::string LongStamp(const Clock& clock) {
  CivilDate d = clock.Today();
  TimeOfDay t = clock.Now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", d.year % 10000, d.month % 100, d.day % 100,
                t.hour % 100, t.minute % 100, t.second % 100);
  return buf;
}

}  // namespace

CMyRestore::CMyRestore(CMyGlobal& global, const Clock& clock) : global_(global), clock_(clock) {}

int CMyRestore::Fail(int code, const std::string& name, const std::string& reason) {
  failedName_ = name;
  reason_ = reason;
  return code;
}

int CMyRestore::ReadInto(int fd, const std::string& staging) {
  std::vector<char> buf(kChunk);
  return mbk::Walk(fd, [&](const mbk::WalkedEntry& w) -> int {
    const mbk::EntryHeader& h = w.header;
    if (h.type == mbk::kEnd) return 0;
    std::string first, second;
    if (!mbk::SafeName(h.name, h.type == mbk::kFolder, &first, &second))
      return Fail(mbk::kNameRefused, h.name, "この名前のファイルは復元できません。"_sj);
    std::string dir = staging + "/" + CMyGlobal::OnDisk(first);
    if (h.type == mbk::kFolder) {
      if (!MakeFolder(dir)) return Fail(kFolder, h.name, ErrnoReason(errno));
      return 0;
    }
    std::string path = dir;
    if (!second.empty()) {
      // a division file whose folder entry is missing still gets its folder
      if (!MakeFolder(dir)) return Fail(kFolder, h.name, ErrnoReason(errno));
      path = dir + "/" + CMyGlobal::OnDisk(second);
    }
    // A name met twice (a file listed by name and by pattern) is replaced by
    // a fresh file: truncating one in place makes some file systems flush it
    // at close, which turns a long archive into minutes of waiting.
    ::unlink(path.c_str());
    int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (out < 0) return Fail(kCreate, h.name, ErrnoReason(errno));
    int64_t left = h.size, at = w.dataOffset;
    while (left > 0) {
      size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buf.size())));
      int64_t got = mbk::ReadAt(fd, at, buf.data(), n);
      if (got != static_cast<int64_t>(n)) {
        ::close(out);
        return Fail(got < 0 ? mbk::kDataRead : mbk::kDataShort, h.name, {});
      }
      size_t done = 0;
      while (done < n) {
        ssize_t wr = ::write(out, buf.data() + done, n - done);
        if (wr < 0 && errno == EINTR) continue;
        if (wr <= 0) {
          int e = errno;
          ::close(out);
          return Fail(wr < 0 ? kWrite : kWriteShort, h.name, ErrnoReason(e));
        }
        done += static_cast<size_t>(wr);
      }
      left -= static_cast<int64_t>(n);
      at += static_cast<int64_t>(n);
    }
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(mbk::ToUnixSeconds(h.fileTime));
    times[1].tv_nsec = 0;
    ::futimens(out, times);  // a time that cannot be set costs nothing of the data
    if (::close(out) != 0) return Fail(kWrite, h.name, ErrnoReason(errno));
    return 0;
  });
}

void CMyRestore::PlaceCalendarFiles(const std::string& userDir, const std::string& stamp) {
  // The calendar reads these from the data root, shared by every user: the
  // restored user gets them back there, and differing ones are kept aside.
  for (const char* cal : {"holiday.dat", "kinen.dat"}) {
    std::string src = userDir + "/" + cal;
    if (!fileops::IsFile(src)) continue;
    std::string dst = global_.DataRoot() + cal;
    // what the calendar reads now: the data root's file, else the default
    std::string now = fileops::IsFile(dst) ? dst : global_.ProgramFolder() + cal;
    std::string a, b;
    if (fileops::ReadAll(now, a) && fileops::ReadAll(src, b) && a == b) {
      (void)fileops::Remove(src);  // the same as what is read: a copy that stays costs nothing
      continue;
    }
    if (fileops::IsFile(dst)) {
      std::string kept = dst + ".before-restore-" + stamp;
      if (!fileops::Move(dst, kept)) {
        global_.prompter().Warn("カレンダーのファイルを復元できませんでした。"_sj + "\n" +
                                cp932::FromUtf8(dst) + "\n" + ErrnoReason(errno));
        continue;
      }
      kept_.push_back(kept);
    }
    if (!fileops::Move(src, dst))
      global_.prompter().Warn("カレンダーのファイルを復元できませんでした。"_sj + "\n" +
                              cp932::FromUtf8(dst) + "\n" + ErrnoReason(errno));
  }
}

int CMyRestore::Run(const std::string& user, const std::string& archive, bool makeCurrent) {
  kept_.clear();
  failedName_.clear();
  reason_.clear();
  Prompter& p = global_.prompter();
  if (user.empty()) {
    p.Warn("ユーザー名を入力して下さい。"_sj);
    return kNoUser;
  }
  if (archive.empty()) {
    p.Warn("パスを入力して下さい。"_sj);
    return kNoPath;
  }
  if (!fileops::IsFile(archive)) {
    p.Warn("ファイルが存在しません。"_sj);
    return kNoFile;
  }
  if (collate::EqualNoCase(user, global_.UserName())) {
    p.Warn("選択中のユーザーは指定出来ません。"_sj);
    return kCurrentUser;
  }
  if (int c = username::Check(user); c != username::kOk) {
    p.Warn(username::Message(c));
    return kBadUserName;
  }
  const std::string userDir = global_.DataRoot() + CMyGlobal::OnDisk(user);
  // a folder with anything in it is asked about too: it is replaced whole
  if (fileops::IsFile(userDir + "/jbxuser.ini") || (fileops::IsDir(userDir) && HasAnything(userDir))) {
    if (!p.Confirm("指定ユーザーのデータが存在します。\n上書きしてよろしいですか？"_sj)) return kDeclined;
  }

  int fd = ::open(archive.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    p.Warn(mbk::ReadMessage(mbk::kHeaderRead));
    return mbk::kHeaderRead;
  }
  int rc = mbk::CheckFileHeader(fd);
  if (rc != mbk::kReadOk) {
    ::close(fd);
    p.Warn(mbk::ReadMessage(rc));
    return rc;
  }
  auto failed = [&](int code) {
    char c[32];
    std::snprintf(c, sizeof c, "(%d)", code);
    std::string text = code <= kStaging ? "リストアに失敗しました。"_sj + c : mbk::ReadMessage(code);
    if (!failedName_.empty()) text += "\n" + failedName_;
    if (!reason_.empty()) text += "\n" + reason_;
    text += "\n"_sj + "指定ユーザーのデータは変更していません。"_sj;
    p.Warn(text);
    return code;
  };

  std::string staging = global_.DataRoot() + "." + CMyGlobal::OnDisk(user) + ".restoring-XXXXXX";
  if (!::mkdtemp(staging.data())) {
    int e = errno;
    ::close(fd);
    Fail(kStaging, cp932::FromUtf8(global_.DataRoot()), ErrnoReason(e));
    return failed(kStaging);
  }
  rc = ReadInto(fd, staging);
  ::close(fd);
  // A staging folder that cannot be removed is only a copy under a name of
  // its own (mkdtemp), which nothing reads.
  if (rc != 0) {
    (void)fileops::RemoveTree(staging);
    return failed(rc);
  }
  // one flush for every restored file before the folder goes live
  if (int dfd = ::open(staging.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
    ::syncfs(dfd);
    ::close(dfd);
  }

  const std::string stamp = LongStamp(clock_);
  std::string aside;
  if (fileops::Exists(userDir)) aside = userDir + ".before-restore-" + stamp;
  // What a crash between the two renames needs: the restored folder takes
  // the user's place, or the old one comes back. Written before either.
  const std::string journal = global_.DataRoot() + fileops::kJournalName;
  std::vector<std::string> lines = {"R\t" + fileops::BaseName(staging) + "\t" + CMyGlobal::OnDisk(user)};
  if (!aside.empty()) lines.push_back("K\t" + fileops::BaseName(aside) + "\t" + CMyGlobal::OnDisk(user));
  if (!fileops::WriteAtomic(journal, fileops::JournalText(lines))) {
    int e = errno;
    (void)fileops::RemoveTree(staging);
    Fail(kMoveAside, user, ErrnoReason(e));
    return failed(kMoveAside);
  }
  if (!aside.empty() && !fileops::Rename(userDir, aside)) {
    int e = errno;
    (void)fileops::RemoveTree(staging);
    (void)fileops::Remove(journal);
    Fail(kMoveAside, user, ErrnoReason(e));
    return failed(kMoveAside);
  }
  if (!fileops::Rename(staging, userDir)) {
    int e = errno;
    if (!aside.empty()) ::rename(aside.c_str(), userDir.c_str());
    (void)fileops::RemoveTree(staging);
    (void)fileops::Remove(journal);
    Fail(kMoveInto, user, ErrnoReason(e));
    return failed(kMoveInto);
  }
  // the two renames must survive a power cut before the old folder goes
  if (int rfd = ::open(global_.DataRoot().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); rfd >= 0) {
    (void)::fsync(rfd);
    ::close(rfd);
  }
  PlaceCalendarFiles(userDir, stamp);
  // the restored folder is in place: what stays of the old one is a spare copy
  if (!aside.empty()) (void)fileops::RemoveTree(aside);
  (void)fileops::Remove(journal);
  if (makeCurrent) {
    global_.SetUserName(user);
    global_.WriteSettings(false);
  }
  return kOk;
}
