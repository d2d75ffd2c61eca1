#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ExchangeFixture.h"
#include "exchange/CMyBackup.h"
#include "platform/IniFile.h"
#include "platform/LittleEndian.h"

using exfix::Fixture;

namespace {

// The names of an archive's entries in order, "/" marking folders, "<end>"
// the end entry.
std::vector<std::string> Names(const std::string& bytes) {
  std::vector<std::string> names;
  size_t at = 32;
  while (at + 300 <= bytes.size()) {
    mbk::EntryHeader h = mbk::DecodeEntry(bytes.data() + at);
    if (h.type == mbk::kEnd) {
      names.push_back("<end>");
      break;
    }
    names.push_back(cp932::ToUtf8(h.name) + (h.type == mbk::kFolder ? "/" : ""));
    at += 300 + (h.type == mbk::kFile ? static_cast<size_t>(h.size) : 0);
  }
  return names;
}

bool NoTemporaries(const std::string& dir) { return fileops::List(dir, "*.tmp*").empty(); }

bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace

TEST(CMyBackup, ContentsInTheirOrderLeavingMissingFilesOut) {
  Fixture f;
  CMyBackup b(f.global, f.clock);
  ASSERT_EQ(0, b.Run());
  EXPECT_TRUE(f.prompter.Shown().empty());
  std::string bytes = ReadBytes(f.back + "/taro_1.mbk");
  std::vector<std::string> want = {"holiday.dat",  // from the data root; kinen.dat is nowhere
                                   "jbxuser.ini",
                                   "jbxuser.jpr",
                                   "alarm.dat",
                                   "日記帳/",
                                   "日記帳\\divin.jpr",
                                   "日記帳\\scrin.jsc",
                                   "日記帳\\relation.dat",
                                   "日記帳\\scrin.jsc",  // once by name, once by "*.jsc"
                                   "日記帳\\month.jos",
                                   "日記帳\\dt202601.jdt",
                                   "日記帳\\dt202602.jdt",
                                   "日記帳\\selms01.ms",
                                   "work/",
                                   "work\\scrin.jsc",
                                   "work\\scrin.jsc",
                                   "work\\dt00001.jdt",  // no relation.dat
                                   "<end>"};
  EXPECT_EQ(want, Names(bytes));
  EXPECT_EQ(bytes.size(),
            static_cast<size_t>(fileops::Size(f.back + "/taro_1.mbk")));  // nothing after the end
  // the data follows its header byte for byte
  size_t at = bytes.find("dt202601.jdt");
  ASSERT_NE(std::string::npos, at);
  size_t header = at - 28 - cp932::FromUtf8(f.diary + "\\").size();
  EXPECT_EQ(70000, le::GetI32(bytes.data() + header + 16));
  EXPECT_EQ(std::string(70000, 'x'), bytes.substr(header + 300, 70000));
  EXPECT_TRUE(NoTemporaries(f.back));
}

TEST(CMyBackup, GenerationsRingAndTheLastResultIsKept) {
  Fixture f;
  f.global.backCuMax = 3;
  CMyBackup b(f.global, f.clock);
  std::vector<std::string> written;
  for (int i = 0; i < 4; ++i) {
    std::string path = b.ArchivePath();
    written.push_back(fileops::BaseName(path));
    ASSERT_EQ(0, b.Run());
  }
  EXPECT_EQ((std::vector<std::string>{"taro_1.mbk", "taro_2.mbk", "taro_3.mbk", "taro_1.mbk"}), written);
  EXPECT_EQ(1, f.global.backCu);
  EXPECT_EQ("最終バックアップ: 2026/12/09 21:05 正常"_sj, LastBackupText(f.global));
  // the ring and the result survive a restart
  IniFile ini;
  EXPECT_TRUE(ini.Load(f.UserDir("taro") + "/jbxuser.ini"));
  EXPECT_EQ(1, ini.GetInt("BACK", "CU", -9));
  EXPECT_EQ("2026/12/09 21:05", ini.GetString("BACK", "LAST_TIME", ""));
  EXPECT_EQ(0, ini.GetInt("BACK", "LAST_RESULT", -9));
  EXPECT_EQ(7, ini.GetInt("BACK", "KIND", 0));  // the user's other keys stay
  // a CU outside the ring starts it again rather than numbering past CUMAX
  f.global.backCu = 7;
  EXPECT_EQ("taro_1.mbk", fileops::BaseName(b.ArchivePath()));
}

TEST(CMyBackup, RefusalsAndFailuresAreLoudAndKeepThePreviousArchive) {
  Fixture f;
  CMyBackup b(f.global, f.clock);
  f.global.backPath.clear();
  EXPECT_EQ(CMyBackup::kNoPath, b.Run());
  EXPECT_EQ("オプション画面より保存先フォルダを指定してください。", f.prompter.ShownUtf8().at(0));
  EXPECT_TRUE(f.global.backLastTime.empty());

  // a folder that does not exist
  f.prompter.ClearShown();
  f.global.backPath = f.dir / "nowhere";
  EXPECT_EQ(CMyBackup::kCannotCreate, b.Run());
  ASSERT_EQ(1u, f.prompter.Shown().size());
  std::string msg = f.prompter.ShownUtf8()[0];
  EXPECT_EQ(0u, msg.find("保存先フォルダの指定が不正です。\n")) << msg;
  EXPECT_NE(std::string::npos, msg.find("nowhere/taro_1.mbk"));
  EXPECT_NE(std::string::npos, msg.find("見つかりません"));
  EXPECT_EQ("注意"_sj, f.prompter.Shown()[0].caption);
  EXPECT_EQ(0, f.global.backCu);
  EXPECT_EQ("最終バックアップ: 2026/12/09 21:05 失敗(-1)"_sj, LastBackupText(f.global));
  EXPECT_FALSE(fileops::Exists(f.dir / "nowhere"));

  // a good archive, then failures over it
  f.global.backPath = f.back;
  ASSERT_EQ(0, b.Run());
  f.global.backCu = 0;
  const std::string good = ReadBytes(f.back + "/taro_1.mbk");
  if (!RunningAsRoot()) {
    f.prompter.ClearShown();
    ::chmod((f.UserDir("taro") + "/" + f.diary + "/month.jos").c_str(), 0);
    EXPECT_EQ(CMyBackup::kReopen, b.Run());
    msg = f.prompter.ShownUtf8().at(0);
    EXPECT_EQ(0u, msg.find("ファイルコピーに失敗しました。(-110)\n")) << msg;
    EXPECT_NE(std::string::npos, msg.find("month.jos"));
    EXPECT_NE(std::string::npos, msg.find("権限"));
    EXPECT_EQ(good, ReadBytes(f.back + "/taro_1.mbk"));
    EXPECT_EQ(0, f.global.backCu);
    ::chmod((f.UserDir("taro") + "/" + f.diary + "/month.jos").c_str(), 0600);

    // a read-only backup folder
    f.prompter.ClearShown();
    ::chmod(f.back.c_str(), 0500);
    EXPECT_EQ(CMyBackup::kCannotCreate, b.Run());
    ::chmod(f.back.c_str(), 0700);
    EXPECT_NE(std::string::npos, f.prompter.ShownUtf8().at(0).find("権限"));
    EXPECT_EQ(good, ReadBytes(f.back + "/taro_1.mbk"));
  }
  // a listed name that is a folder
  ASSERT_TRUE(fileops::MakeDir(f.UserDir("taro") + "/work/color.dat"));
  EXPECT_EQ(CMyBackup::kIsFolder, b.Run());
  EXPECT_EQ(good, ReadBytes(f.back + "/taro_1.mbk"));
  EXPECT_TRUE(NoTemporaries(f.back));
  ASSERT_TRUE(fileops::RemoveTree(f.UserDir("taro") + "/work/color.dat"));

  // a disk that fills up half-way (a file-size limit stands in for it)
  f.prompter.ClearShown();
  struct rlimit old;
  ::getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 40000;
  ::setrlimit(RLIMIT_FSIZE, &small);
  int rc = b.Run();
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(rc == CMyBackup::kChunkWrite || rc == CMyBackup::kCommit) << rc;
  EXPECT_NE(std::string::npos, f.prompter.ShownUtf8().at(0).find("ディスクの空きが足りません"));
  EXPECT_EQ(good, ReadBytes(f.back + "/taro_1.mbk"));
  EXPECT_TRUE(NoTemporaries(f.back));
  EXPECT_EQ(0, f.global.backCu);
}

TEST(CMyBackup, NamesTheArchiveCannotHoldFailTheBackup) {
  Fixture f;
  // a division whose folder name has a "\" cannot be stored as one component
  CMyMaster users("USER");
  users.Read(f.UserDir("taro") + "/jbxuser.jpr");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, "a\\b");
  EXPECT_EQ(0, users.Append(rec));
  EXPECT_GE(users.Write(f.UserDir("taro") + "/jbxuser.jpr"), 0);
  CMyBackup b(f.global, f.clock);
  EXPECT_EQ(CMyBackup::kNameUnstorable, b.Run());
  EXPECT_FALSE(fileops::Exists(f.back + "/taro_1.mbk"));
  EXPECT_TRUE(NoTemporaries(f.back));
}
