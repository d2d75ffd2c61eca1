#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SingleInstance.h"
#include "support/TempDir.h"

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  TempDir dir;
  SingleInstance first("JotBox", dir.path());
  SingleInstance second("JotBox", dir.path());
  ASSERT_TRUE(first.Acquire());
  EXPECT_FALSE(second.Acquire());
  first.Release();
  // the lock file is still there, but no process holds it: not stale
  EXPECT_TRUE(second.Acquire());
}

TEST(SingleInstance, TheSharedFallbackFolderIsUsedOnlyWhenItIsOurs) {
  TempDir dir;
  // the runtime folder wins when it is set and exists
  EXPECT_EQ(dir.path(), SingleInstance::LockFolder(dir.path().c_str(), dir / "fallback"));
  // unset, relative or missing: the fallback, made private
  for (const char* run : {static_cast<const char*>(nullptr), "relative", "/no/such/folder"}) {
    std::string fb = dir / "fb";
    EXPECT_EQ(fb, SingleInstance::LockFolder(run, fb));
    struct stat st;
    ASSERT_EQ(0, ::lstat(fb.c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 0777);
    ::chmod(fb.c_str(), 0777);  // loosened by someone: tightened again next time
  }
  // a link or a file where the folder should be is never used
  ASSERT_EQ(0, ::symlink(dir.path().c_str(), (dir / "link").c_str()));
  EXPECT_EQ("", SingleInstance::LockFolder(nullptr, dir / "link"));
  WriteBytes(dir / "file", "");
  EXPECT_EQ("", SingleInstance::LockFolder(nullptr, dir / "file"));
}
