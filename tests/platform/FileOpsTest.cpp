#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// Sets the process umask for one test and puts it back.
struct Umask {
  mode_t old;
  explicit Umask(mode_t m) : old(::umask(m)) {}
  ~Umask() { ::umask(old); }
};

}  // namespace

TEST(FileOps, WhatTheProgramCreatesIsPrivateWhateverTheUmask) {
  for (mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
    SCOPED_TRACE(mask);
    TempDir dir;
    Umask u(mask);
    const std::string file = dir / "new.dat";
    ASSERT_TRUE(fileops::WriteAtomic(file, "abc"));
    EXPECT_EQ(0600u, ModeOf(file));
    ASSERT_TRUE(fileops::MakeDirs(dir / "a/b/c"));
    EXPECT_EQ(0700u, ModeOf(dir / "a"));
    EXPECT_EQ(0700u, ModeOf(dir / "a/b/c"));
  }
}

TEST(FileOps, AFileThatExistsKeepsItsModeAndAFolderThatExistsToo) {
  TempDir dir;
  const std::string file = dir / "shared.ini";
  WriteBytes(file, "old");
  ASSERT_EQ(0, ::chmod(file.c_str(), 0640));
  ASSERT_TRUE(fileops::WriteAtomic(file, "new"));
  EXPECT_EQ(0640u, ModeOf(file));
  EXPECT_EQ("new", ReadBytes(file));
  ASSERT_EQ(0, ::chmod(dir.path().c_str(), 0755));
  ASSERT_TRUE(fileops::MakeDirs(dir / "x"));
  EXPECT_EQ(0755u, ModeOf(dir.path()));
}

TEST(FileOps, EveryFailingStepLeavesTheOldFileAndNoTemporary) {
  const fileops::Fault faults[] = {fileops::Fault::kWrite, fileops::Fault::kFsync, fileops::Fault::kRename,
                                   fileops::Fault::kClose};
  for (fileops::Fault f : faults) {
    SCOPED_TRACE(static_cast<int>(f));
    TempDir dir;
    const std::string file = dir / "data.jdt";
    WriteBytes(file, "the old month");
    fileops::InjectFault(f, 1);
    EXPECT_FALSE(fileops::WriteAtomic(file, "the new month"));
    fileops::ClearFaults();
    EXPECT_EQ("the old month", ReadBytes(file));
    EXPECT_EQ(std::vector<std::string>{"data.jdt"}, fileops::List(dir.path(), "*"));
  }
  // the Nth call, not the first
  TempDir dir;
  fileops::InjectFault(fileops::Fault::kRename, 2);
  EXPECT_TRUE(fileops::WriteAtomic(dir / "a", "1"));
  EXPECT_FALSE(fileops::WriteAtomic(dir / "b", "2"));
  EXPECT_TRUE(fileops::WriteAtomic(dir / "c", "3"));
  fileops::ClearFaults();
}

TEST(FileOps, ABatchReplacesEveryFileOrNoneUntilItsRenamesBegin) {
  const fileops::Fault faults[] = {fileops::Fault::kWrite, fileops::Fault::kFsync, fileops::Fault::kClose};
  for (fileops::Fault f : faults) {
    SCOPED_TRACE(static_cast<int>(f));
    TempDir dir;
    WriteBytes(dir / "a", "old a");
    WriteBytes(dir / "b", "old b");
    fileops::InjectFault(f, 1);
    {
      fileops::AtomicBatch batch;
      for (const char* name : {"a", "b", "c"}) {
        fileops::AtomicFile* w = batch.Add(dir / name);
        ASSERT_NE(nullptr, w);
        (void)w->Write(std::string("new ") + name);
      }
      EXPECT_FALSE(batch.Commit());
    }
    fileops::ClearFaults();
    EXPECT_EQ("old a", ReadBytes(dir / "a"));
    EXPECT_EQ("old b", ReadBytes(dir / "b"));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), fileops::List(dir.path(), "*"));
  }
  TempDir dir;
  {
    fileops::AtomicBatch batch;
    (void)batch.Add(dir / "a")->Write("1");
    (void)batch.Add(dir / "b")->Write("2");
    ASSERT_TRUE(batch.Commit());
    fileops::AtomicBatch dropped;  // never committed: nothing is left behind
    (void)dropped.Add(dir / "a")->Write("3");
  }
  EXPECT_EQ("1", ReadBytes(dir / "a"));
  EXPECT_EQ("2", ReadBytes(dir / "b"));
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), fileops::List(dir.path(), "*"));
}

TEST(FileOps, AWholeFileIsReadInOneGoAndKnowsWhenItGrew) {
  TempDir dir;
  fileops::WholeFile f;
  EXPECT_FALSE(f.Open(dir / "none"));
  EXPECT_FALSE(f.Open(dir.path()));  // a folder is no file
  WriteBytes(dir / "a", "hello");
  ASSERT_TRUE(f.Open(dir / "a"));
  ASSERT_EQ(5u, f.Size());
  char buf[8] = {};
  EXPECT_EQ(5, f.Read(buf, f.Size()));
  EXPECT_STREQ("hello", buf);
  EXPECT_TRUE(f.AtEnd());
  // bytes written after the size was taken are noticed
  ASSERT_TRUE(f.Open(dir / "a"));
  WriteBytes(dir / "a", "hello, world");
  EXPECT_EQ(5, f.Read(buf, f.Size()));
  EXPECT_FALSE(f.AtEnd());
}
