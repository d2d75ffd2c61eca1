#include <gtest/gtest.h>

#include "catalogue/CMyMaster.h"
#include "catalogue/ListRecovery.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

namespace {

struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 3, 4}};
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal g{prompter, clock, dir.path()};
  CMyMaster users{"USER", &prompter};
  CMyMaster screens{"DIVIN", &prompter};
  Fixture() {
    g.SetUserName("u");
    for (const char* d : {"日記", "家計簿"}) {
      EXPECT_TRUE(fileops::MakeDirs(dir / "u/" + d));
      WriteBytes(dir / "u/" + d + "/scrin.jsc", "def");
    }
    EXPECT_TRUE(fileops::MakeDirs(dir / "u/写真置き場"));  // no input definition: not a book
    EXPECT_TRUE(fileops::MakeDirs(dir / "u/tmp"));
    WriteBytes(dir / "u/tmp/scrin.jsc", "def");
    g.SetDivisionFolder("日記"_sj);
    for (const char* s : {"月表.jos", "一覧.jos", "memo.txt"}) WriteBytes(dir / "u/日記/" + s, "x");
  }
  // A list file of the names given, cut by `cut` bytes.
  void WriteList(const std::string& path, const char* table, std::vector<const char*> names, size_t cut) {
    CMyMaster m(table);
    for (const char* n : names) {
      std::string rec = CMyMaster::Blank();
      CMyMaster::SetName(rec, cp932::FromUtf8(n));
      ASSERT_EQ(0, m.Append(rec));
    }
    std::string bytes = m.Bytes();
    WriteBytes(path, bytes.substr(0, bytes.size() - cut));
  }
  std::vector<std::string> Names(const CMyMaster& m) const {
    std::vector<std::string> out;
    for (int i = 0; i < m.RecordCount(); ++i) out.push_back(cp932::ToUtf8(m.Name(i)));
    return out;
  }
};

}  // namespace

TEST(ListRecovery, ADamagedDivisionListIsKeptAndRebuiltFromTheFolders) {
  Fixture f;
  f.WriteList(f.dir / "u/jbxuser.jpr", "USER", {"家計簿", "日記"}, 10);
  const std::string damaged = ReadBytes(f.dir / "u/jbxuser.jpr");
  EXPECT_EQ(listrecovery::kRebuilt, listrecovery::LoadDivisionList(f.g, f.users, f.prompter, f.clock));
  EXPECT_EQ((std::vector<std::string>{"家計簿", "日記"}), f.Names(f.users));
  EXPECT_EQ("USER", f.users.TableName());
  EXPECT_EQ(damaged, ReadBytes(f.dir / "u/jbxuser.jpr.damaged-20260304"));
  ASSERT_EQ(1u, f.prompter.Shown().size());
  EXPECT_NE(std::string::npos, f.prompter.ShownUtf8()[0].find("jbxuser.jpr.damaged-20260304"));
  // the rebuilt list was saved and reads whole next time
  CMyMaster again("USER");
  EXPECT_EQ(listrecovery::kRead, listrecovery::LoadDivisionList(f.g, again, f.prompter, f.clock));
  EXPECT_EQ(2, again.RecordCount());
  // a second damage the same day never overwrites the first copy
  f.WriteList(f.dir / "u/jbxuser.jpr", "USER", {"日記", "x"}, 10);
  EXPECT_EQ(listrecovery::kRebuilt, listrecovery::LoadDivisionList(f.g, f.users, f.prompter, f.clock));
  EXPECT_EQ(damaged, ReadBytes(f.dir / "u/jbxuser.jpr.damaged-20260304"));
  EXPECT_TRUE(fileops::IsFile(f.dir / "u/jbxuser.jpr.damaged-20260304-2"));
}

TEST(ListRecovery, ADamagedScreenListIsRebuiltFromTheScreenFiles) {
  Fixture f;
  f.WriteList(f.g.DivisionPath("divin.jpr"), "DIVIN", {"月表", "一覧"}, 10);
  EXPECT_EQ(listrecovery::kRebuilt, listrecovery::LoadScreenList(f.g, f.screens, f.prompter, f.clock));
  EXPECT_EQ((std::vector<std::string>{"一覧", "月表"}), f.Names(f.screens));
  EXPECT_TRUE(fileops::IsFile(f.dir / "u/日記/divin.jpr.damaged-20260304"));
}

TEST(ListRecovery, ReadAndMissingListsAreLeftAsTheyAre) {
  Fixture f;
  EXPECT_EQ(listrecovery::kMissing, listrecovery::LoadDivisionList(f.g, f.users, f.prompter, f.clock));
  EXPECT_EQ(0, f.users.RecordCount());
  EXPECT_FALSE(fileops::Exists(f.dir / "u/jbxuser.jpr"));
  f.WriteList(f.dir / "u/jbxuser.jpr", "USER", {"家計簿"}, 0);
  EXPECT_EQ(listrecovery::kRead, listrecovery::LoadDivisionList(f.g, f.users, f.prompter, f.clock));
  EXPECT_EQ((std::vector<std::string>{"家計簿"}), f.Names(f.users));
  EXPECT_TRUE(f.prompter.Shown().empty());
}
