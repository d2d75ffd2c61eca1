// The file menu's commands against a recording window: what reaches the disk,
// what the window is told, and the refusals with their messages.
#include "mainview/FakeMainPorts.h"
#include "options/CMyColorKinds.h"
#include "shell/UserName.h"

namespace {

struct Books : FakeMain {
  FileCommands file{ctx, *this};
  Books() {
    AddBook("日記", kDiary);
    AddBook("ノート", kNotebook);
    Open(0);
    prompter.ClearShown();
  }
  // The books as jbxuser.jpr lists them now, UTF-8, comma after each.
  std::string Listed(TableSlot slot, const std::string& path) {
    CMyMaster t(slot == kUserTable ? "USER" : "DIVIN");
    EXPECT_EQ(0, t.Read(path));
    std::string s;
    for (int i = 0; i < t.RecordCount(); ++i) s += cp932::ToUtf8(t.Name(i)) + ",";
    return s;
  }
  std::string Users() { return Listed(kUserTable, G().UserPath("jbxuser.jpr")); }
  std::string Screens() { return Listed(kDivInTable, G().DivisionPath("divin.jpr")); }
};

TEST(FileCommands, EachCommandWritesItsTableAndTellsTheWindowOrRefusesWithItsReason) {
  struct Case {
    const char* name;
    std::function<void(Books&)> run;
    const char* told;     // what the window was told; null: not checked
    const char* message;  // the last message, "" none; null: not checked
    std::function<void(Books&)> check;
  };
  const Case cases[] = {
      {"rename a book",
       [](Books& b) {
         b.names = {"日誌"};
         b.file.RenameDivision();
       },
       "DivisionTab 0 日誌;", "",
       [](Books& b) {
         EXPECT_EQ("日誌,ノート,", b.Users());
         EXPECT_TRUE(fileops::Exists(b.G().UserPath(cp932::FromUtf8("日誌"))));
         EXPECT_FALSE(fileops::Exists(b.G().UserPath(cp932::FromUtf8("日記"))));
       }},
      {"rename cancelled", [](Books& b) { b.file.RenameDivision(); }, "", "",
       [](Books& b) { EXPECT_EQ("日記,ノート,", b.Users()); }},
      {"rename with no tab",
       [](Books& b) {
         b.divisionTab = -1;
         b.file.RenameDivision();
       },
       "", "分類を選択して下さい。", nullptr},
      {"rename to the other book's name",
       [](Books& b) {
         b.names = {"ノート"};
         b.file.RenameDivision();
       },
       "", nullptr, [](Books& b) { EXPECT_EQ("日記,ノート,", b.Users()); }},
      {"delete a book, No",
       [](Books& b) {
         b.prompter.Queue(kAnswerNo);
         b.file.DeleteDivision();
       },
       "", "分類を削除します。よろしいですか？", [](Books& b) { EXPECT_EQ("日記,ノート,", b.Users()); }},
      {"delete a book",
       [](Books& b) {
         b.divisionTab = 1;
         b.file.DeleteDivision();
       },
       "DivisionTabs 0;OpenDivision 0 0;ViewChanged;", "分類を削除します。よろしいですか？",
       [](Books& b) { EXPECT_EQ("日記,", b.Users()); }},
      {"move a book right", [](Books& b) { b.file.MoveDivision(1); }, "DivisionTabs 1;", "",
       [](Books& b) { EXPECT_EQ("ノート,日記,", b.Users()); }},
      {"move the first book left", [](Books& b) { b.file.MoveDivision(-1); }, "", "",
       [](Books& b) {
         EXPECT_EQ(1, b.beeper.Count());
         EXPECT_EQ("日記,ノート,", b.Users());
       }},
      // a table that cannot be written: everything stays, the window is told nothing
      {"rename a book, its list unwritable",
       [](Books& b) {
         b.names = {"日誌"};
         fileops::InjectFault(fileops::Fault::kRename, 1);  // the list, after the folder moved
         b.file.RenameDivision();
       },
       "", "分類情報の保存に失敗しました。",
       [](Books& b) {
         EXPECT_EQ("日記,ノート,", b.Users());
         EXPECT_EQ("日記"_sj, b.o.Table(kUserTable).Name(0));
         EXPECT_EQ("日記"_sj, b.G().DivisionFolder());
         EXPECT_TRUE(fileops::Exists(b.G().UserPath(cp932::FromUtf8("日記"))));
         EXPECT_FALSE(fileops::Exists(b.G().UserPath(cp932::FromUtf8("日誌"))));
       }},
      {"delete a book, its list unwritable",
       [](Books& b) {
         b.divisionTab = 1;
         fileops::InjectFault(fileops::Fault::kRename, 1);
         b.file.DeleteDivision();
       },
       "", "分類情報の保存に失敗しました。",
       [](Books& b) { EXPECT_EQ("ノート"_sj, b.o.Table(kUserTable).Name(1)); }},
      {"move a book, its list unwritable",
       [](Books& b) {
         fileops::InjectFault(fileops::Fault::kRename, 1);
         b.file.MoveDivision(1);
       },
       "", "分類情報の保存に失敗しました。",
       [](Books& b) { EXPECT_EQ("日記"_sj, b.o.Table(kUserTable).Name(0)); }},
      {"rename a screen, its list unwritable",
       [](Books& b) {
         b.names = {"週"};
         fileops::InjectFault(fileops::Fault::kRename, 1);
         b.file.RenameScreen();
       },
       "", "表示画面情報の保存に失敗しました。",
       [](Books& b) {
         const std::string first = b.o.Table(kDivInTable).Name(0);
         EXPECT_EQ(0u, b.Screens().find(cp932::ToUtf8(first) + ","));
         EXPECT_TRUE(fileops::Exists(b.G().DivisionPath(first, ".jos")));
         EXPECT_FALSE(fileops::Exists(b.G().DivisionPath(cp932::FromUtf8("週"), ".jos")));
       }},
      {"rename a screen",
       [](Books& b) {
         b.names = {"週"};
         b.file.RenameScreen();
       },
       "ScreenTab 0 週;", "",
       [](Books& b) {
         EXPECT_EQ(0u, b.Screens().find("週,"));
         EXPECT_TRUE(fileops::Exists(b.G().DivisionPath(cp932::FromUtf8("週"), ".jos")));
       }},
      {"rename a screen with no tab",
       [](Books& b) {
         b.screenTab = 99;
         b.file.RenameScreen();
       },
       "", "表示画面を選択して下さい。", nullptr},
      {"delete a screen", [](Books& b) { b.file.DeleteScreen(); }, "ScreenTabs 0;OpenScreen 0 0;",
       "表示画面を削除します。よろしいですか？", nullptr},
      {"a new book cancelled goes back to the first",
       [](Books& b) {
         b.openResults = {1};
         b.file.NewDivision();
       },
       "OpenDivision 1 2;OpenDivision 0 0;ViewChanged;", "", nullptr},
      {"a new screen cancelled goes back to the one shown",
       [](Books& b) {
         b.screenTab = 1;
         b.openResults = {-1};
         b.file.NewScreen();
       },
       nullptr, "",
       [](Books& b) {
         const std::string n = std::to_string(b.o.Table(kDivInTable).RecordCount());
         EXPECT_EQ("OpenScreen 1 " + n + ";OpenScreen 0 1;", b.Told());
       }},
      {"reinstall, No",
       [](Books& b) {
         b.prompter.Queue(kAnswerNo);
         b.file.ReinstallDivision();
       },
       "", "色設定と表示画面の一覧を初期状態に戻します。よろしいですか？", nullptr},
      {"reinstall, dialog cancelled", [](Books& b) { b.file.ReinstallDivision(); }, "", nullptr, nullptr},
      {"reinstalled",
       [](Books& b) {
         b.reinstall = true;
         b.divisionTab = 1;
         b.file.ReinstallDivision();
       },
       "OpenDivision 0 1;ViewChanged;", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Books b;
    ASSERT_GE(b.o.Table(kDivInTable).RecordCount(), 2) << "the diary ships with several screens";
    c.run(b);
    fileops::ClearFaults();
    if (c.told) {
      EXPECT_EQ(c.told, b.Told());
    }
    if (c.message) {
      EXPECT_EQ(c.message, b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8().back());
    }
    if (c.check) c.check(b);
  }
}

TEST(FileCommands, ColourKindsAreSavedOnlyWhenChangedAndAFailedSaveIsTold) {
  Books b;
  const std::string path = b.G().DivisionPath("color.dat");
  const std::string before = ReadBytes(path);
  b.file.EditColors();  // nothing changed: nothing written
  EXPECT_EQ(before, ReadBytes(path));
  EXPECT_EQ("PaletteChanged;", b.Told());
  b.editColors = [](CMyColorKinds& k) {
    ColorKind kind = k.Get(0);
    kind.textColor = 0x123456;
    EXPECT_EQ(0, k.Store(0, kind, true));
  };
  fileops::InjectFault(fileops::Fault::kRename, 1);
  b.file.EditColors();
  fileops::ClearFaults();
  EXPECT_EQ(std::vector<std::string>{"保存に失敗しました。"}, b.prompter.ShownUtf8());
  EXPECT_EQ(before, ReadBytes(path));
  EXPECT_EQ("PaletteChanged;PaletteChanged;", b.Told());
  // a file that did not read is left as it is, before the editor opens
  fileops::InjectFault(fileops::Fault::kOpen, 1);
  b.file.EditColors();
  fileops::ClearFaults();
  EXPECT_EQ("色設定（color.dat）を読み込めませんでした。色設定は書き換えずにおきます。",
            b.prompter.ShownUtf8().back());
  EXPECT_EQ(before, ReadBytes(path));
  EXPECT_EQ("PaletteChanged;PaletteChanged;", b.Told());
  b.file.EditColors();
  EXPECT_NE(before, ReadBytes(path));
}

TEST(FileCommands, ANewUserWithoutABookFallsBackAndLeavesNoFolder) {
  Books b;
  b.askUser = [&b](const std::string& current) {
    EXPECT_EQ("u", current);
    return username::Create(b.G(), "v", nullptr) == 0;  // as the user dialog makes one
  };
  b.openResults = {1};  // the new user's first book was cancelled
  b.file.ChangeUser();
  EXPECT_EQ("u", b.G().UserName());
  EXPECT_EQ(
      "KeepWindowSettings;FollowWindowSettings;OpenDivision 8 0;FollowWindowSettings;DivisionTabs 0;"
      "OpenDivision 0 0;ViewChanged;",
      b.Told());
  EXPECT_FALSE(fileops::Exists(b.G().DataRoot() + "v"));
  EXPECT_EQ("日記,ノート,", b.Users());
  // the same dialog cancelled only keeps the settings, and says when it could not
  b.told.clear();
  b.askUser = nullptr;
  fileops::InjectFault(fileops::Fault::kRename, 1);
  b.file.ChangeUser();
  fileops::ClearFaults();
  EXPECT_EQ("KeepWindowSettings;", b.Told());
  EXPECT_EQ(1u, b.prompter.Shown().size()) << "the alarm list or the settings could not be written";
}

}  // namespace
