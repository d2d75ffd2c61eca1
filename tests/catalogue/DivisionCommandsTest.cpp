#include <gtest/gtest.h>

#include "catalogue/CMyMaster.h"
#include "catalogue/DivisionCommands.h"
#include "catalogue/DivisionMaker.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

namespace {

class Alarms : public DivisionAlarms {
 public:
  std::vector<std::string> log;
  void RemoveDivision(const std::string& d) override { log.push_back("remove " + d); }
  void RenameDivision(const std::string& a, const std::string& b) override { log.push_back(a + ">" + b); }
};

struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock;
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal g{prompter, clock, dir.path()};
  CMyMaster users{"USER", &prompter};
  CMyMaster screens{"DIVIN", &prompter};
  Alarms alarms;
  Fixture() {
    g.SetUserName("u");
    for (const char* d : {"日記", "家計簿", "ノート"}) {
      std::string rec = CMyMaster::Blank();
      CMyMaster::SetName(rec, cp932::FromUtf8(d));
      EXPECT_EQ(0, users.Append(rec));
      g.SetDivisionFolder(cp932::FromUtf8(d));
      EXPECT_TRUE(fileops::MakeDirs(g.DivisionPath("")));
    }
    g.SetDivisionFolder("日記"_sj);
    for (const char* s : {"月表", "一覧"}) {
      std::string rec = CMyMaster::Blank();
      CMyMaster::SetName(rec, cp932::FromUtf8(s));
      EXPECT_EQ(0, screens.Append(rec));
      WriteBytes(g.DivisionPath(cp932::FromUtf8(s), ".jos"), s);
    }
  }
  std::string Last() const { return prompter.ShownUtf8().empty() ? "" : prompter.ShownUtf8().back(); }
};

}  // namespace

TEST(DivisionCommands, DeleteAsksWithNoPreselectedAndKeepsTheFolder) {
  Fixture f;
  f.prompter.Queue(kAnswerNo);
  EXPECT_EQ(1, divisioncommands::DeleteDivision(f.g, f.users, f.prompter, 1, &f.alarms));
  EXPECT_EQ(kAnswerNo, f.prompter.Shown().back().defaultButton);
  EXPECT_EQ(3, f.users.RecordCount());
  EXPECT_EQ(0, divisioncommands::DeleteDivision(f.g, f.users, f.prompter, 1, &f.alarms));
  EXPECT_EQ(2, f.users.RecordCount());
  EXPECT_EQ(std::vector<std::string>{"remove " + "家計簿"_sj}, f.alarms.log);
  EXPECT_TRUE(fileops::IsDir(f.dir / "u/家計簿"));
  CMyMaster saved;
  ASSERT_EQ(0, saved.Read(f.g.UserPath("jbxuser.jpr")));
  EXPECT_EQ(2, saved.RecordCount());
  EXPECT_EQ(1, divisioncommands::DeleteDivision(f.g, f.users, f.prompter, 7, &f.alarms));
  EXPECT_EQ("削除する分類を選択して下さい。", f.Last());
  f.users.Delete(1);
  EXPECT_EQ(1, divisioncommands::DeleteDivision(f.g, f.users, f.prompter, 0, &f.alarms));
  EXPECT_EQ("最後の分類です。削除出来ません。", f.Last());
}

TEST(DivisionCommands, RenameMovesTheFolderOrLeavesEverythingAsItWas) {
  Fixture f;
  ASSERT_EQ(0, divisioncommands::RenameDivision(f.g, f.users, f.prompter, 0, "日記帳"_sj, &f.alarms));
  EXPECT_EQ("日記帳"_sj, f.users.Name(0));
  EXPECT_EQ("日記帳"_sj, f.g.DivisionFolder());
  EXPECT_TRUE(fileops::IsDir(f.dir / "u/日記帳"));
  EXPECT_FALSE(fileops::Exists(f.dir / "u/日記"));
  EXPECT_EQ("日記"_sj + ">" + "日記帳"_sj, f.alarms.log.back());
  // a name another division has: refused by the table, nothing moves
  EXPECT_EQ(1, divisioncommands::RenameDivision(f.g, f.users, f.prompter, 0, "ノート"_sj, &f.alarms));
  EXPECT_EQ("データが重複します。", f.Last());
  // a folder of that name left on disk (a deleted division): refused before
  // anything changes
  ASSERT_TRUE(fileops::MakeDir(f.dir / "u/旅行"));
  EXPECT_EQ(1, divisioncommands::RenameDivision(f.g, f.users, f.prompter, 0, "旅行"_sj, &f.alarms));
  EXPECT_EQ("同じ名前のフォルダが既にあります。異なる分類名にして下さい。", f.Last());
  EXPECT_EQ("日記帳"_sj, f.users.Name(0));
  EXPECT_EQ("日記帳"_sj, f.g.DivisionFolder());
  EXPECT_TRUE(fileops::IsDir(f.dir / "u/日記帳"));
}

TEST(DivisionCommands, RenameMovesTheNamedRecordsFolderNotTheOpenOne) {
  Fixture f;  // 日記 is open; 家計簿 is renamed
  WriteBytes(f.dir / "u/家計簿/dt202601.jdt", "money");
  ASSERT_EQ(0, divisioncommands::RenameDivision(f.g, f.users, f.prompter, 1, "お金"_sj, &f.alarms));
  EXPECT_EQ("money", ReadBytes(f.dir / "u/お金/dt202601.jdt"));
  EXPECT_FALSE(fileops::Exists(f.dir / "u/家計簿"));
  EXPECT_TRUE(fileops::IsDir(f.dir / "u/日記"));
  EXPECT_EQ("日記"_sj, f.g.DivisionFolder());  // the open book stays open
  // a case-only rename of a record keeps its own folder and is allowed
  EXPECT_EQ(0, divisioncommands::RenameDivision(f.g, f.users, f.prompter, 2, "ノート"_sj, &f.alarms));
}

TEST(DivisionCommands, NamesAreCheckedAgainstTheFolderTheyWouldUse) {
  Fixture f;
  struct Case {
    const char* name;
    const char* message;  // "" accepted
  } cases[] = {
      {"", "分類名を入力して下さい。"},
      {"Tmp", "その分類名はシステムで使用するため設定できません。"},
      {"phot", "その分類名はシステムで使用するため設定できません。"},
      {"..", "分類名に「/」「\\」などフォルダ名に使えない文字は使えません。"},
      {"../外", "分類名に「/」「\\」などフォルダ名に使えない文字は使えません。"},
      {"ソ\\", "分類名に「/」「\\」などフォルダ名に使えない文字は使えません。"},
      {"ソ表", ""},  // their trail byte 0x5C is no backslash
      {"一二三四五六七八九十一二三四", "分類名が長すぎます。全角13文字（半角26文字）以内にして下さい。"},
      {"一二三四五六七八九十一二三", ""},  // 26 bytes exactly
      {"家計簿", "データが重複します。"},
      {"残骸", "同じ名前のフォルダが既にあります。異なる分類名にして下さい。"},
  };
  ASSERT_TRUE(fileops::MakeDir(f.dir / "u/残骸"));
  for (const auto& c : cases) {
    f.prompter.ClearShown();
    int rc = divisionmaker::CheckNewName(f.g, f.users, cp932::FromUtf8(c.name), -1, f.prompter);
    EXPECT_EQ(*c.message ? 1 : 0, rc) << c.name;
    EXPECT_EQ(c.message, f.Last()) << c.name;
  }
  // two stored names that share their first 26 bytes collide in one folder
  std::string a = "一二三四五六七八九十一二三四"_sj;
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, a);
  ASSERT_EQ(0, f.users.Append(rec));
  EXPECT_EQ(1, divisionmaker::CheckNewName(f.g, f.users, "一二三四五六七八九十一二三"_sj, -1, f.prompter));
}

TEST(DivisionMaker, AFailedNewDivisionLeavesNoFolderAndNoEntry) {
  Fixture f;
  WriteBytes(f.dir / "bad.jpk", "JB");  // no package at all
  EXPECT_EQ(1, divisionmaker::MakeDivision(f.g, f.users, f.prompter, 0, "旅行"_sj, f.dir / "bad.jpk"));
  EXPECT_FALSE(fileops::Exists(f.dir / "u/旅行"));
  EXPECT_EQ(3, f.users.RecordCount());
  EXPECT_EQ("日記"_sj, f.g.DivisionFolder());
  // a re-install that fails keeps the division's folder and files
  EXPECT_EQ(1, divisionmaker::MakeDivision(f.g, f.users, f.prompter, 1, "", f.dir / "bad.jpk"));
  EXPECT_TRUE(fileops::IsFile(f.g.DivisionPath("月表"_sj, ".jos")));
}

TEST(CMyGlobal, DivisionFoldersAreCutOnACharacterBoundary) {
  struct Case {
    std::string name, folder;
  } cases[] = {
      {std::string(30, 'a'), std::string(26, 'a')},
      {"a" + "一二三四五六七八九十一二三"_sj, "a" + "一二三四五六七八九十一二"_sj},  // 27 bytes: not 26
      {"日記"_sj, "日記"_sj},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.folder, CMyGlobal::FolderOf(c.name));
    EXPECT_TRUE(cp932::IsValid(CMyGlobal::FolderOf(c.name)));
  }
}

TEST(DivisionCommands, MovesBeepAtTheEnds) {
  Fixture f;
  EXPECT_EQ(1, divisioncommands::MoveDivision(f.g, f.users, f.prompter, f.beeper, 0, -1));
  EXPECT_EQ(1, divisioncommands::MoveDivision(f.g, f.users, f.prompter, f.beeper, 2, 1));
  EXPECT_EQ(1, divisioncommands::MoveDivision(f.g, f.users, f.prompter, f.beeper, -1, 1));
  EXPECT_EQ(3, f.beeper.Count());
  EXPECT_EQ(0, divisioncommands::MoveDivision(f.g, f.users, f.prompter, f.beeper, 0, 1));
  EXPECT_EQ("家計簿"_sj, f.users.Name(0));
  EXPECT_EQ(0, divisioncommands::MoveScreen(f.g, f.screens, f.prompter, f.beeper, 1, -1));
  EXPECT_EQ("一覧"_sj, f.screens.Name(0));
}

TEST(DivisionCommands, ScreensRenameTheirFilesAndRefuseDuplicates) {
  Fixture f;
  EXPECT_EQ(1, divisioncommands::RenameScreen(f.g, f.screens, f.prompter, 1, "月表"_sj));
  EXPECT_EQ("データが重複します。", f.Last());
  EXPECT_EQ("一覧", ReadBytes(f.g.DivisionPath("一覧"_sj, ".jos")));  // no file touched
  EXPECT_EQ("月表", ReadBytes(f.g.DivisionPath("月表"_sj, ".jos")));
  ASSERT_EQ(0, divisioncommands::RenameScreen(f.g, f.screens, f.prompter, 1, "予定一覧"_sj));
  EXPECT_EQ("一覧", ReadBytes(f.g.DivisionPath("予定一覧"_sj, ".jos")));
  EXPECT_FALSE(fileops::Exists(f.g.DivisionPath("一覧"_sj, ".jos")));
  f.prompter.Queue(kAnswerYes);
  EXPECT_EQ(0, divisioncommands::DeleteScreen(f.g, f.screens, f.prompter, 0));
  EXPECT_TRUE(fileops::Exists(f.g.DivisionPath("月表"_sj, ".jos")));  // the file stays
  EXPECT_EQ(1, divisioncommands::DeleteScreen(f.g, f.screens, f.prompter, 0));
  EXPECT_EQ("最後の表示画面です。削除出来ません。", f.Last());
}
