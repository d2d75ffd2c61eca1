#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

TEST(IniFile, MissingFileAndKeysGiveDefaults) {
  TempDir dir;
  IniFile ini;
  EXPECT_FALSE(ini.Load(dir / "none.ini"));
  EXPECT_EQ("x", ini.GetString("A", "B", "x"));
  EXPECT_EQ(462, ini.GetInt("FORM0", "WIDTH", 462));
  EXPECT_TRUE(ini.GetBool("FORM0", "SCR_VISIBLE", true));
}

TEST(IniFile, MatchesWithoutCaseAndReadsLikeTheProfileFunctions) {
  TempDir dir;
  WriteBytes(dir / "a.ini",
             "garbage line\r\n[Form0]\r\n  width = 800 \r\nLeft=-12px\r\nbad=abc\r\nq=\"quoted\"\r\n"
             "[alarm]\r\nTIME_F=" +
                 "【"_sj + "\r\n");
  IniFile ini;
  ASSERT_TRUE(ini.Load(dir / "a.ini"));
  EXPECT_EQ(800, ini.GetInt("FORM0", "WIDTH", 0));
  EXPECT_EQ(-12, ini.GetInt("form0", "LEFT", 0));
  EXPECT_EQ(7, ini.GetInt("FORM0", "BAD", 7));  // no digits: default
  EXPECT_EQ("quoted", ini.GetString("FORM0", "Q", ""));
  EXPECT_EQ("【"_sj, ini.GetString("ALARM", "time_f", ""));
  EXPECT_EQ("d", ini.GetString("FORM1", "WIDTH", "d"));  // key of another section
}

TEST(IniFile, WritingAKeyKeepsEveryOtherLine) {
  TempDir dir;
  std::string before = "; comment\r\n[APL]\r\nNAME=old\r\nOTHER=1\r\n\r\n[X]\r\nK=v\r\n";
  WriteBytes(dir / "a.ini", before);
  IniFile ini;
  ASSERT_TRUE(ini.Load(dir / "a.ini"));
  ini.SetString("apl", "name", "new");
  ini.SetString("APL", "ADDED", "2");
  ini.SetBool("Y", "FLAG", true);
  ASSERT_TRUE(ini.Save(dir / "a.ini"));
  EXPECT_EQ("; comment\r\n[APL]\r\nname=new\r\nOTHER=1\r\nADDED=2\r\n\r\n[X]\r\nK=v\r\n[Y]\r\nFLAG=1\r\n",
            ReadBytes(dir / "a.ini"));
  // and no temporary file is left beside it
  EXPECT_EQ(1u, fileops::List(dir.path(), "*").size());
}

TEST(AtomicFile, FailedWriteLeavesTheOldFile) {
  TempDir dir;
  std::string path = dir / "data.jdt";
  WriteBytes(path, "old");
  {
    fileops::AtomicFile f(path);
    ASSERT_TRUE(f.Open());
    f.Write("new bytes");
    // destroyed without Commit: a crash in the middle of a save
  }
  EXPECT_EQ("old", ReadBytes(path));
  EXPECT_EQ(1u, fileops::List(dir.path(), "*").size());
  ASSERT_TRUE(fileops::WriteAtomic(path, "new"));
  EXPECT_EQ("new", ReadBytes(path));
  // a target in a folder that does not exist fails and says so
  EXPECT_FALSE(fileops::WriteAtomic(dir / "missing/x", "y"));
}

TEST(FileOps, ListsByWildcardWithoutCase) {
  TempDir dir;
  for (const char* n : {"dt202001.jdt", "DT202002.JDT", "divin.jpr", "a.jos"}) WriteBytes(dir / n, "x");
  ASSERT_TRUE(fileops::MakeDir(dir / "sub.jdt"));
  auto names = fileops::List(dir.path(), "dt*.jdt");
  ASSERT_EQ(2u, names.size());
  EXPECT_EQ("DT202002.JDT", names[0]);
  EXPECT_EQ(1u, fileops::List(dir.path(), "*.jdt", true).size());
  EXPECT_EQ(1, fileops::Size(dir / "a.jos"));
  EXPECT_EQ(-1, fileops::Size(dir / "none"));
  EXPECT_TRUE(fileops::Copy(dir / "a.jos", dir / "b.jos"));
  EXPECT_FALSE(fileops::Copy(dir / "a.jos", dir / "b.jos", false));
  EXPECT_TRUE(fileops::Move(dir / "b.jos", dir / "c.jos"));
  EXPECT_FALSE(fileops::Exists(dir / "b.jos"));
  EXPECT_TRUE(fileops::Remove(dir / "c.jos"));
}
