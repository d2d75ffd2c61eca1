// Backup and restore when the disk lets them down: a failing write, sync,
// close or rename of the archive (the atomic writer's fault seam), a small
// real disk that fills up (a tmpfs, where the test may mount one), a
// read-only backup folder and data root, and a restore that runs out of
// room. In every case: the message names what failed and why, the previous
// archive and the user's folder are as they were, nothing is left beside
// them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include "ExchangeFixture.h"
#include "exchange/CMyBackup.h"
#include "exchange/CMyRestore.h"
#include "platform/IniFile.h"

using exfix::Fixture;
using exfix::Tree;

namespace {

bool NoTemporaries(const std::string& dir) { return fileops::List(dir, "*.tmp*").empty(); }

bool NothingBeside(const std::string& root) {
  for (const std::string& n : fileops::List(root, "*", true))
    if (n.find(".restoring-") != std::string::npos || n.find(".before-restore-") != std::string::npos)
      return false;
  return true;
}

// A small tmpfs mounted over `path` for the test's life. Mounting needs
// the right to; without it the tests that need one are skipped.
class SmallDisk {
 public:
  SmallDisk(const std::string& path, const char* size) : path_(path), opts_(std::string("size=") + size) {
    EXPECT_TRUE(fileops::MakeDirs(path_));
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, opts_.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool Mounted() const { return mounted_; }
  bool ReadOnly(bool ro) {
    unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (ro ? MS_RDONLY : 0);
    return ::mount("tmpfs", path_.c_str(), "tmpfs", flags, opts_.c_str()) == 0;
  }

 private:
  std::string path_, opts_;
  bool mounted_ = false;
};

std::string Diary(const Fixture& f) { return f.UserDir("taro") + "/" + f.diary; }

}  // namespace

TEST(BackupFaults, EveryFailingStepOfTheArchiveKeepsThePreviousOne) {
  Fixture f;
  CMyBackup b(f.global, f.clock);
  ASSERT_EQ(0, b.Run());
  f.global.backCu = 0;
  const std::string good = ReadBytes(f.back + "/taro_1.mbk");
  struct Case {
    fileops::Fault op;
    int nth;
  } cases[] = {
      {fileops::Fault::kWrite, 1},   // the file header
      {fileops::Fault::kWrite, 2},   // the first entry header
      {fileops::Fault::kWrite, 12},  // somewhere in a division
      {fileops::Fault::kFsync, 1},  {fileops::Fault::kClose, 1}, {fileops::Fault::kRename, 1},
      {fileops::Fault::kList, 1},  // a division's folder: its files would be left out
      {fileops::Fault::kOpen, 1},  // the user's list of books
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.op)) + " " + std::to_string(c.nth));
    f.prompter.ClearShown();
    fileops::InjectFault(c.op, c.nth);
    const int rc = b.Run();
    fileops::ClearFaults();
    EXPECT_LT(rc, 0);
    ASSERT_EQ(1u, f.prompter.Shown().size());
    const std::string msg = f.prompter.ShownUtf8()[0];
    EXPECT_NE(std::string::npos, msg.find("前回のバックアップファイルはそのまま残っています。")) << msg;
    EXPECT_EQ(good, ReadBytes(f.back + "/taro_1.mbk"));
    EXPECT_TRUE(NoTemporaries(f.back));
    EXPECT_EQ(0, f.global.backCu);
    EXPECT_EQ(rc, f.global.backLastResult);
    IniFile ini;
    ASSERT_TRUE(ini.Load(f.UserDir("taro") + "/jbxuser.ini"));
    EXPECT_EQ(rc, ini.GetInt("BACK", "LAST_RESULT", 0));
  }
}

TEST(BackupFaults, ADivisionWithALongNameIsTakenFromTheFolderItLivesIn) {
  Fixture f;
  // the table holds up to 31 bytes, a folder name 26: the folder is the name cut short
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123";
  const std::string folder = CMyGlobal::FolderOf(name);
  ASSERT_EQ(26u, folder.size());
  CMyMaster users("USER");
  ASSERT_EQ(0, users.Read(f.UserDir("taro") + "/jbxuser.jpr"));
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, name);
  ASSERT_EQ(0, users.Append(rec));
  ASSERT_GE(users.Write(f.UserDir("taro") + "/jbxuser.jpr"), 0);
  ASSERT_TRUE(fileops::MakeDirs(f.UserDir("taro") + "/" + folder));
  WriteBytes(f.UserDir("taro") + "/" + folder + "/dt202601.jdt", "long book");
  CMyBackup b(f.global, f.clock);
  ASSERT_EQ(0, b.Run());
  CMyRestore r(f.global, f.clock);
  ASSERT_EQ(0, r.Run("jiro", f.back + "/taro_1.mbk", false));
  EXPECT_EQ("long book", ReadBytes(f.UserDir("jiro") + "/" + folder + "/dt202601.jdt"));
}

TEST(BackupFaults, ARestoreThatRunsOutOfRoomLeavesTheUserAsItWas) {
  Fixture f;
  WriteBytes(Diary(f) + "/dt202603.jdt", std::string(300000, 'y'));
  CMyBackup b(f.global, f.clock);
  ASSERT_EQ(0, b.Run());
  ASSERT_TRUE(fileops::MakeDirs(f.UserDir("hanako")));
  WriteBytes(f.UserDir("hanako") + "/jbxuser.ini", "hanako's");
  const auto hanako = Tree(f.UserDir("hanako"));
  // a file-size limit stands in for the full disk
  struct rlimit old;
  ::getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 200000;
  ::setrlimit(RLIMIT_FSIZE, &small);
  CMyRestore r(f.global, f.clock);
  f.prompter.Queue(kAnswerYes);
  const int rc = r.Run("hanako", f.back + "/taro_1.mbk", false);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(CMyRestore::kWrite, rc);
  ASSERT_EQ(2u, f.prompter.Shown().size());
  const std::string msg = f.prompter.ShownUtf8()[1];
  EXPECT_EQ(0u, msg.find("読み込みに失敗しました。(-201)\n")) << msg;
  EXPECT_NE(std::string::npos, msg.find("dt202603.jdt")) << msg;
  EXPECT_NE(std::string::npos, msg.find("ディスクの空きが足りません")) << msg;
  EXPECT_NE(std::string::npos, msg.find("指定ユーザーのデータは変更していません。")) << msg;
  EXPECT_EQ(hanako, Tree(f.UserDir("hanako")));
  EXPECT_TRUE(NothingBeside(f.root));
}

TEST(BackupFaults, ASmallDiskThatFillsUpAndAReadOnlyBackupFolder) {
  Fixture f;
  SmallDisk disk(f.dir / "small", "160k");
  if (!disk.Mounted()) GTEST_SKIP() << "no right to mount a tmpfs here";
  f.global.backPath = f.dir / "small";
  CMyBackup b(f.global, f.clock);
  ASSERT_EQ(0, b.Run());  // about 75 KB: it fits
  f.global.backCu = 0;
  const std::string good = ReadBytes(f.dir / "small/taro_1.mbk");

  // the next one is larger than what is left beside the previous archive
  WriteBytes(Diary(f) + "/dt202603.jdt", std::string(100000, 'y'));
  f.prompter.ClearShown();
  int rc = b.Run();
  EXPECT_LT(rc, 0);
  ASSERT_EQ(1u, f.prompter.Shown().size());
  std::string msg = f.prompter.ShownUtf8()[0];
  EXPECT_NE(std::string::npos, msg.find("ディスクの空きが足りません")) << msg;
  EXPECT_NE(std::string::npos, msg.find("small/taro_1.mbk")) << msg;
  EXPECT_EQ(good, ReadBytes(f.dir / "small/taro_1.mbk"));
  EXPECT_TRUE(NoTemporaries(f.dir / "small"));
  EXPECT_EQ(0, f.global.backCu);

  // read-only: even the file's owner cannot write there
  ASSERT_TRUE(fileops::Remove(Diary(f) + "/dt202603.jdt"));
  ASSERT_TRUE(disk.ReadOnly(true));
  f.prompter.ClearShown();
  EXPECT_EQ(CMyBackup::kCannotCreate, b.Run());
  msg = f.prompter.ShownUtf8().at(0);
  EXPECT_EQ(0u, msg.find("保存先フォルダの指定が不正です。\n")) << msg;
  EXPECT_NE(std::string::npos, msg.find("読み取り専用の場所です。")) << msg;
  EXPECT_EQ(good, ReadBytes(f.dir / "small/taro_1.mbk"));
  EXPECT_EQ("最終バックアップ: 2026/12/09 21:05 失敗(-1)"_sj, LastBackupText(f.global));
  EXPECT_EQ("保存先フォルダの指定が不正です。"_sj, LastBackupFailure(f.global));
}

TEST(BackupFaults, ARestoreOntoASmallOrReadOnlyDataRoot) {
  Fixture f;
  WriteBytes(Diary(f) + "/dt202603.jdt", std::string(200000, 'y'));
  CMyBackup b(f.global, f.clock);
  ASSERT_EQ(0, b.Run());
  const std::string archive = f.back + "/taro_1.mbk";

  const std::string root = f.dir / "small";
  SmallDisk disk(root, "128k");
  if (!disk.Mounted()) GTEST_SKIP() << "no right to mount a tmpfs here";
  ASSERT_TRUE(fileops::MakeDirs(root + "/hanako"));
  WriteBytes(root + "/hanako/jbxuser.ini", "hanako's");
  const auto hanako = Tree(root + "/hanako");
  CMyGlobal g(f.prompter, f.clock, root, "/dev/null");
  g.UseDataRoot(root);

  // the archive does not fit: the staging folder goes, hanako stays
  f.prompter.ClearShown();
  f.prompter.Queue(kAnswerYes);
  CMyRestore r(g, f.clock);
  EXPECT_EQ(CMyRestore::kWrite, r.Run("hanako", archive, false));
  ASSERT_EQ(2u, f.prompter.Shown().size());
  EXPECT_NE(std::string::npos, f.prompter.ShownUtf8()[1].find("ディスクの空きが足りません"));
  EXPECT_EQ(hanako, Tree(root + "/hanako"));
  EXPECT_TRUE(NothingBeside(root));

  // a read-only data root: nothing can be staged
  ASSERT_TRUE(disk.ReadOnly(true));
  f.prompter.ClearShown();
  f.prompter.Queue(kAnswerYes);
  EXPECT_EQ(CMyRestore::kStaging, r.Run("hanako", archive, false));
  ASSERT_EQ(2u, f.prompter.Shown().size());
  EXPECT_EQ(0u, f.prompter.ShownUtf8()[1].find("リストアに失敗しました。(-400)"))
      << f.prompter.ShownUtf8()[1];
  EXPECT_NE(std::string::npos, f.prompter.ShownUtf8()[1].find("読み取り専用の場所です。"));
  EXPECT_EQ(hanako, Tree(root + "/hanako"));
  EXPECT_TRUE(disk.ReadOnly(false));
}
