// jbx backup, jbx restore and jbx dump of an archive, as a person runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

struct CliRun {
  int status;
  std::string out;
};

CliRun Jbx(const std::string& args) {
  std::string cmd =
      "XDG_DATA_HOME=/tmp/jbx-cli-test-home " + std::string(JBX_PROGRAM_DIR) + "/jbx " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  CliRun r{-1, {}};
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

struct Data {
  TempDir dir;
  std::string root = dir / "root";
  Data() {
    fileops::MakeDirs(root + "/taro/div");
    fileops::MakeDirs(root + "/hanako");
    fileops::MakeDirs(dir / "back");
    WriteBytes(root + "/jotbox.ini", "[APL]\r\nNAME=taro\r\n");
    WriteBytes(root + "/taro/alarm.dat", "alarms");
    WriteBytes(root + "/hanako/alarm.dat", "hanako's");
  }
};

}  // namespace

TEST(JbxBackup, BackupRestoreAndDump) {
  Data d;
  CliRun r = Jbx("backup --root " + d.root + " --user taro --to " + d.dir / "back");
  ASSERT_EQ(0, r.status) << r.out;
  std::string archive = d.dir / "back/taro_1.mbk";
  EXPECT_TRUE(fileops::IsFile(archive));
  EXPECT_EQ(std::string::npos,
            ReadBytes(d.root + "/taro/jbxuser.ini").find("PATH"));  // --to is this run only

  r = Jbx("dump " + archive);
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.out.find("\"format\": \"mbk\""));
  EXPECT_NE(std::string::npos, r.out.find("\"alarm.dat\""));
  EXPECT_NE(std::string::npos, r.out.find("\"end\""));

  EXPECT_EQ(0, Jbx("restore --root " + d.root + " " + archive + " --as jiro").status);
  EXPECT_EQ("alarms", ReadBytes(d.root + "/jiro/alarm.dat"));
  EXPECT_EQ(std::string::npos,
            ReadBytes(d.root + "/jotbox.ini").find("jiro"));  // the next start is unchanged
  EXPECT_FALSE(fileops::Exists(d.root + "/holiday.dat"));     // the defaults were restored: nothing to place

  // an existing user is refused without --yes, replaced with it
  r = Jbx("restore --root " + d.root + " " + archive + " --as hanako");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("上書きしてよろしいですか？"));
  EXPECT_EQ("hanako's", ReadBytes(d.root + "/hanako/alarm.dat"));
  EXPECT_EQ(0, Jbx("restore --root " + d.root + " " + archive + " --as hanako --yes").status);
  EXPECT_EQ("alarms", ReadBytes(d.root + "/hanako/alarm.dat"));

  // the current user, a cut archive
  EXPECT_EQ(1, Jbx("restore --root " + d.root + " " + archive + " --as TARO").status);
  std::string bytes = ReadBytes(archive);
  WriteBytes(d.dir / "cut.mbk", bytes.substr(0, bytes.size() - 10));
  r = Jbx("restore --root " + d.root + " " + d.dir / "cut.mbk" + " --as hanako --yes");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("読み込みに失敗しました。(-101)"));
  EXPECT_EQ("alarms", ReadBytes(d.root + "/hanako/alarm.dat"));
}

TEST(JbxBackup, UsageAndFailures) {
  Data d;
  for (const char* args : {"backup", "backup --root x", "backup --root x --user", "restore --root x --as y",
                           "restore --root x a.mbk", "backup --bogus"})
    EXPECT_EQ(2, Jbx(args).status) << args;
  EXPECT_EQ(0, Jbx("backup --help").status);
  EXPECT_EQ(0, Jbx("restore --help").status);
  CliRun r = Jbx("backup --root " + d.root + " --user nobody --to " + d.dir / "back");
  EXPECT_EQ(1, r.status);
  EXPECT_FALSE(fileops::Exists(d.root + "/nobody"));
  r = Jbx("backup --root " + d.root + " --user taro");  // no PATH in the settings
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("保存先フォルダを指定してください"));
  r = Jbx("backup --root " + d.root + " --user taro --to " + d.dir / "missing");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.out.find("保存先フォルダの指定が不正です。"));
  EXPECT_FALSE(fileops::Exists(d.dir / "missing"));
}
