// jbx backup, jbx restore and jbx dump of an archive, as a person runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "cli/JbxRun.h"
#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

// stdout and stderr together, as the terminal shows them
struct CliRun {
  int status;
  std::string out;
};
CliRun RunBoth(const std::string& args) {
  RunResult r = Jbx(args);
  return {r.status, r.all()};
}

struct Data {
  TempDir dir;
  std::string root = dir / "root";
  Data() {
    EXPECT_TRUE(fileops::MakeDirs(root + "/taro/div"));
    EXPECT_TRUE(fileops::MakeDirs(root + "/hanako"));
    EXPECT_TRUE(fileops::MakeDirs(dir / "back"));
    WriteBytes(root + "/jotbox.ini", "[APL]\r\nNAME=taro\r\n");
    WriteBytes(root + "/taro/alarm.dat", "alarms");
    WriteBytes(root + "/hanako/alarm.dat", "hanako's");
  }
};

}  // namespace

TEST(JbxBackup, BackupRestoreAndDump) {
  Data d;
  CliRun r = RunBoth("backup --root " + d.root + " --user taro --to " + d.dir / "back");
  ASSERT_EQ(0, r.status) << r.out;
  std::string archive = d.dir / "back/taro_1.mbk";
  EXPECT_TRUE(fileops::IsFile(archive));
  EXPECT_EQ(std::string::npos,
            ReadBytes(d.root + "/taro/jbxuser.ini").find("PATH"));  // --to is this run only

  r = RunBoth("dump " + archive);
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.out.find("\"format\": \"mbk\""));
  EXPECT_NE(std::string::npos, r.out.find("\"alarm.dat\""));
  EXPECT_NE(std::string::npos, r.out.find("\"end\""));

  EXPECT_EQ(0, RunBoth("restore --root " + d.root + " " + archive + " --as jiro").status);
  EXPECT_EQ("alarms", ReadBytes(d.root + "/jiro/alarm.dat"));
  EXPECT_EQ(std::string::npos,
            ReadBytes(d.root + "/jotbox.ini").find("jiro"));  // the next start is unchanged
  EXPECT_FALSE(fileops::Exists(d.root + "/holiday.dat"));     // the defaults were restored: nothing to place

  // an existing user is refused without --yes, replaced with it
  r = RunBoth("restore --root " + d.root + " " + archive + " --as hanako");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("上書きしてよろしいですか？"));
  EXPECT_EQ("hanako's", ReadBytes(d.root + "/hanako/alarm.dat"));
  EXPECT_EQ(0, RunBoth("restore --root " + d.root + " " + archive + " --as hanako --yes").status);
  EXPECT_EQ("alarms", ReadBytes(d.root + "/hanako/alarm.dat"));

  // the current user, a cut archive
  EXPECT_EQ(1, RunBoth("restore --root " + d.root + " " + archive + " --as TARO").status);
  std::string bytes = ReadBytes(archive);
  WriteBytes(d.dir / "cut.mbk", bytes.substr(0, bytes.size() - 10));
  r = RunBoth("restore --root " + d.root + " " + d.dir / "cut.mbk" + " --as hanako --yes");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("読み込みに失敗しました。(-101)"));
  EXPECT_EQ("alarms", ReadBytes(d.root + "/hanako/alarm.dat"));
}

TEST(JbxBackup, UsageAndFailures) {
  Data d;
  for (const char* args : {"backup", "backup --root x", "backup --root x --user", "restore --root x --as y",
                           "restore --root x a.mbk", "backup --bogus"})
    EXPECT_EQ(2, RunBoth(args).status) << args;
  EXPECT_EQ(0, RunBoth("backup --help").status);
  EXPECT_EQ(0, RunBoth("restore --help").status);
  CliRun r = RunBoth("backup --root " + d.root + " --user nobody --to " + d.dir / "back");
  EXPECT_EQ(1, r.status);
  EXPECT_FALSE(fileops::Exists(d.root + "/nobody"));
  r = RunBoth("backup --root " + d.root + " --user taro");  // no PATH in the settings
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("保存先フォルダを指定してください"));
  r = RunBoth("backup --root " + d.root + " --user taro --to " + d.dir / "missing");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("保存先フォルダの指定が不正です。"));
  EXPECT_FALSE(fileops::Exists(d.dir / "missing"));
}
