#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

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

TEST(FileOps, AFolderOrFileThatCannotBeReadIsNeverEmpty) {
  TempDir dir;
  WriteBytes(dir / "a.jdt", "a");
  std::vector<std::string> names = {"stale"};
  fileops::InjectFault(fileops::Fault::kList, 1);
  EXPECT_FALSE(fileops::List(dir.path(), "*", names));
  EXPECT_TRUE(names.empty());
  EXPECT_FALSE(fileops::List(dir / "none", "*", names));
  EXPECT_TRUE(fileops::List(dir.path(), "*", names));
  EXPECT_EQ(std::vector<std::string>{"a.jdt"}, names);
  std::string bytes;
  for (fileops::Fault f : {fileops::Fault::kOpen, fileops::Fault::kRead}) {
    fileops::InjectFault(f, 1);
    EXPECT_FALSE(fileops::ReadAll(dir / "a.jdt", bytes));
    EXPECT_EQ(EIO, errno);
  }
  EXPECT_FALSE(fileops::ReadAll(dir / "none", bytes));
  EXPECT_EQ(ENOENT, errno);
  fileops::FileId id, again;
  EXPECT_EQ(ENOENT, fileops::Identify(dir / "none", id));
  EXPECT_FALSE(id.Exists());
  ASSERT_EQ(0, fileops::Identify(dir / "a.jdt", id));
  ASSERT_TRUE(fileops::WriteAtomic(dir / "a.jdt", "a"));  // same bytes, another file
  ASSERT_EQ(0, fileops::Identify(dir / "a.jdt", again));
  EXPECT_FALSE(id == again);
}

TEST(FileOps, AFileReplacingALinkIsPrivate) {
  TempDir dir;
  WriteBytes(dir / "target", "shared");
  ASSERT_EQ(0, ::chmod((dir / "target").c_str(), 0644));
  ASSERT_EQ(0, ::symlink((dir / "target").c_str(), (dir / "link").c_str()));
  ASSERT_TRUE(fileops::WriteAtomic(dir / "link", "mine"));
  EXPECT_EQ(0600u, ModeOf(dir / "link"));
  EXPECT_EQ("shared", ReadBytes(dir / "target"));
}

TEST(FileOps, TheLockIsCountedWithinAProcessAndRefusedToAnotherUntilReleased) {
  TempDir dir;
  const std::string path = dir / fileops::WriteLock::kFileName;
  fileops::WriteLock a, b;
  ASSERT_TRUE(a.Acquire(path));
  ASSERT_TRUE(b.Acquire(path));  // the same process: counted, not waited for
  for (const std::string& spelt : {dir.path() + "//" + fileops::WriteLock::kFileName,
                                   dir.path() + "/./" + fileops::WriteLock::kFileName}) {
    fileops::WriteLock again;
    EXPECT_TRUE(again.Acquire(spelt, 0)) << spelt;  // one file, however it is spelt
  }
  auto other = [&] {
    const pid_t pid = ::fork();
    if (pid == 0) {
      fileops::WriteLock c;
      ::_exit(c.Acquire(path, 50) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WEXITSTATUS(status);
  };
  EXPECT_EQ(1, other());
  a.Release();
  EXPECT_EQ(1, other());  // still held by b
  b.Release();
  EXPECT_EQ(0, other());
  EXPECT_EQ(0600u, ModeOf(path));
}

TEST(FileOps, RecoveryFinishesAJournalAndRefusesOneItCannotRead) {
  struct Case {
    const char* journal;  // what the journal says ("" none)
    bool ok;
    std::vector<std::string> left;  // names in the folder afterwards
  } cases[] = {
      {"", true, {"a", "old"}},  // no journal: stray temporaries go
      {"JBXJOURNAL 1\nR\ta.tmpAAAAAA\ta\nD\told\nEND\n", true, {"a"}},
      {"JBXJOURNAL 1\nR\ta.tmpAAAAAA\ta\n", false, {".jbx-journal", "a", "a.tmpAAAAAA", "old"}},  // torn
      {"JBXJOURNAL 1\nR\ta.tmpAAAAAA\t../a\nEND\n", false, {".jbx-journal", "a", "a.tmpAAAAAA", "old"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.journal);
    TempDir dir;
    WriteBytes(dir / "a", "old a");
    WriteBytes(dir / "a.tmpAAAAAA", "new a");
    WriteBytes(dir / "old", "goes");
    if (*c.journal) WriteBytes(dir / fileops::kJournalName, c.journal);
    std::vector<std::string> done;
    EXPECT_EQ(c.ok, fileops::RecoverFolder(dir.path(), done));
    std::vector<std::string> names;
    ASSERT_TRUE(fileops::List(dir.path(), "*", names));
    EXPECT_EQ(c.left, names);
  }
}
