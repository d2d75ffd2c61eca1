#include <gtest/gtest.h>

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
