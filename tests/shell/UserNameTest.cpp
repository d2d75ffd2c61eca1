#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/UserName.h"
#include "support/TempDir.h"

namespace {

struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock;
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal g{prompter, clock, dir.path()};
  std::string StoredName() const { return ReadIniString(dir / "jotbox.ini", "APL", "NAME", "?"); }
};

}  // namespace

TEST(UserName, NamesThatWouldNotComeBackAsTypedAreRefused) {
  struct Case {
    const char* name;
    int code;
  } cases[] = {
      {"太郎", username::kOk},
      {"", username::kEmpty},
      {"..", username::kBadCharacter},
      {"a/b", username::kBadCharacter},
      {" 太郎", username::kBadEdge},
      {"太郎 ", username::kBadEdge},
      {"\"太郎\"", username::kBadEdge},
      {"'x", username::kBadEdge},
      {"　太郎", username::kBadEdge},  // a full-width blank
      {"太郎　", username::kBadEdge},
      {"一二三四五六七", username::kOk},  // 14 bytes
      {"一二三四五六七八", username::kTooLong},
      {"TMP", username::kReserved},
      {"tmp", username::kReserved},
      {"tmp2", username::kOk},
  };
  for (const auto& c : cases) {
    int code = username::Check(cp932::FromUtf8(c.name));
    EXPECT_EQ(c.code, code) << c.name;
    EXPECT_EQ(code == username::kOk, username::Message(code).empty()) << c.name;
  }
  // a trail byte 0x40 after another lead byte is no blank
  EXPECT_EQ(username::kOk, username::Check("ア"_sj + "\x81\x41"));
}

TEST(UserName, AFailedCreationLeavesTheOldUserCurrent) {
  Fixture f;
  ASSERT_EQ(0, username::Create(f.g, "花子"_sj));
  EXPECT_EQ("花子"_sj, f.StoredName());
  // a name that is a file of the data root cannot have a folder
  WriteBytes(f.dir / "メモ.txt", "x");
  bool made = true;
  EXPECT_EQ(-1, username::Create(f.g, "メモ.txt"_sj, &made));
  EXPECT_FALSE(made);
  EXPECT_EQ("花子"_sj, f.g.UserName());
  EXPECT_EQ("花子"_sj, f.StoredName());
}

TEST(UserName, AnAbandonedChangeOfUserLeavesNoTrace) {
  Fixture f;
  ASSERT_EQ(0, username::Create(f.g, "花子"_sj));
  bool made = false;
  ASSERT_EQ(0, username::Create(f.g, "次郎"_sj, &made));
  EXPECT_TRUE(made);
  EXPECT_EQ("次郎"_sj, f.StoredName());
  // the window goes back to the user before, then abandons the new one
  f.g.SetUserName("花子"_sj);
  EXPECT_TRUE(username::Abandon(f.g, "次郎"_sj));
  EXPECT_EQ("花子"_sj, f.StoredName());
  EXPECT_FALSE(fileops::Exists(f.dir / "次郎"));
  EXPECT_TRUE(fileops::IsDir(f.dir / "花子"));
  // a folder that holds anything is never removed
  ASSERT_EQ(0, username::Create(f.g, "三郎"_sj));
  WriteBytes(f.dir / "三郎/alarm.dat", "x");
  f.g.SetUserName("花子"_sj);
  EXPECT_TRUE(username::Abandon(f.g, "三郎"_sj));
  EXPECT_TRUE(fileops::IsFile(f.dir / "三郎/alarm.dat"));
}

TEST(CMyGlobal, ANameFromTheIniThatCouldLeaveTheRootIsRefused) {
  struct Case {
    const char* stored;
    const char* user;  // "" refused
  } cases[] = {
      {"太郎", "太郎"},         {"../outside", ""}, {"..", ""}, {"a/b", ""},
      {"一二三四五六七八", ""}, {"tmp", ""},        {"", ""},
  };
  for (const auto& c : cases) {
    Fixture f;
    ASSERT_TRUE(WriteIniString(f.dir / "jotbox.ini", "APL", "NAME", cp932::FromUtf8(c.stored)));
    f.g.ReadSettings(true);
    EXPECT_EQ(cp932::FromUtf8(c.user), f.g.UserName()) << c.stored;
    EXPECT_EQ(*c.stored && !*c.user ? 1u : 0u, f.prompter.Shown().size()) << c.stored;
  }
}

TEST(CMyGlobal, ACancelledFirstRunLeavesNothingBehind) {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock;
  ASSERT_TRUE(fileops::MakeDir(dir / "prog"));
  ASSERT_TRUE(fileops::MakeDir(dir / "home"));
  {
    CMyGlobal g(prompter, clock, dir / "prog", dir / "home");
    ASSERT_TRUE(fileops::IsFile(dir / "home/oakden/jotbox/make.chk"));
    g.UndoFirstRun();
  }
  EXPECT_FALSE(fileops::Exists(dir / "home/oakden"));
  // a root that is already in use keeps everything it holds
  ASSERT_TRUE(fileops::MakeDirs(dir / "home/oakden/jotbox/太郎"));
  CMyGlobal again(prompter, clock, dir / "prog", dir / "home");
  again.UndoFirstRun();
  EXPECT_TRUE(fileops::IsDir(dir / "home/oakden/jotbox/太郎"));
  EXPECT_FALSE(fileops::Exists(dir / "home/oakden/jotbox/make.chk"));
  // a probe left by an earlier run stays
  WriteBytes(dir / "home/oakden/jotbox/make.chk", "");
  CMyGlobal third(prompter, clock, dir / "prog", dir / "home");
  third.UndoFirstRun();
  EXPECT_TRUE(fileops::IsFile(dir / "home/oakden/jotbox/make.chk"));
}
