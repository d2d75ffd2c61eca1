#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "mainview/TfrmMain.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/TfrmNewUser.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {

struct Env {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 12, 9}};
  std::string program = dir / "prog";
  std::string home = dir / "home";
  Env() {
    fileops::MakeDir(program);
    WriteBytes(program + "/jotbox.ini", "");  // portable: data beside the program
  }
  // A stand-in for the new-division dialog: makes a division with an input
  // definition and one screen, as unpacking a package would.
  TfrmMain* window = nullptr;
  int newDivisions = 0;
  int MakeDivision(const std::string& name) {
    ++newDivisions;
    CMyGlobal& g = *window->Global();
    CMyMaster& users = *window->Table(0);
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, name);
    if (users.Append(rec) != 0) return 0;
    g.SetDivisionFolder(name);
    fileops::MakeDirs(g.DivisionPath(""));
    // as the new-division dialog does: the shipped diary package
    CMyPackage package(prompter);
    std::string pkg = packagelist::PathOf(JBX_PROGRAM_DIR, packagelist::Names(JBX_PROGRAM_DIR)[0]);
    if (package.UnpackTo(pkg, g.DivisionPath(""), nullptr, false) != 0) return 0;
    return 1;
  }
  MainEnvironment Main(std::function<bool(TfrmNewUser&)> run) {
    MainEnvironment e;
    e.prompter = &prompter;
    e.beeper = &beeper;
    e.clock = &clock;
    e.programFolder = program;
    e.dataHome = home;
    e.runNewUser = std::move(run);
    e.runNewDiv = [this](int) { return MakeDivision("日記帳"_sj); };
    return e;
  }
};

}  // namespace

TEST(TfrmNewUser, EmptyAndUnstorableNamesKeepTheDialogOpen) {
  Env env;
  CMyGlobal g(env.prompter, env.clock, env.program, env.home);
  TfrmNewUser dlg(g, env.prompter);
  dlg.SetName("");
  dlg.cmd_OkClick();
  EXPECT_FALSE(dlg.Result());
  dlg.SetName(QString::fromUtf8("a/b"));
  dlg.cmd_OkClick();
  dlg.SetName(QString::fromUtf8("日記\xF0\x9F\x98\x80"));
  dlg.cmd_OkClick();
  EXPECT_FALSE(dlg.Result());
  auto shown = env.prompter.ShownUtf8();
  ASSERT_EQ(3u, shown.size());
  EXPECT_EQ("ユーザー名を入力して下さい。", shown[0]);
  EXPECT_NE(std::string::npos, shown[2].find("U+1F600"));
  EXPECT_EQ("注意"_sj, env.prompter.Shown()[0].caption);
  EXPECT_EQ(PromptIcon::Warning, env.prompter.Shown()[0].icon);
  EXPECT_TRUE(fileops::List(env.program, "*", true).empty());  // no user folder was made
  EXPECT_EQ(14, dlg.txt_UserName->maxLength());
}

TEST(TfrmNewUser, OkCreatesTheUserFolderAndRemembersTheName) {
  Env env;
  CMyGlobal g(env.prompter, env.clock, env.program, env.home);
  TfrmNewUser dlg(g, env.prompter);
  dlg.SetName(QString::fromUtf8("花子"));
  dlg.cmd_OkClick();
  EXPECT_TRUE(dlg.Result());
  EXPECT_TRUE(fileops::IsDir(env.program + "/花子"));  // UTF-8 on disk
  EXPECT_EQ("花子"_sj, ReadIniString(env.program + "/jotbox.ini", "APL", "NAME", ""));
}

TEST(TfrmMain, CancelledFirstRunCreatesNoFolderAndDoesNotStart) {
  Env env;
  bool asked = false;
  QString preset;
  TfrmMain w(env.Main([&](TfrmNewUser& dlg) {
    asked = true;
    preset = dlg.txt_UserName->text();
    dlg.cmd_CancelClick();
    return dlg.Result();
  }));
  w.FormCreate();
  EXPECT_TRUE(asked);
  EXPECT_EQ(QString::fromUtf8("新規ユーザー"), preset);
  EXPECT_FALSE(w.Started());
  EXPECT_TRUE(fileops::List(env.program, "*", true).empty());
}

TEST(TfrmMain, FirstRunThroughToAUserAndBackAgain) {
  Env env;
  {
    TfrmMain w(env.Main([](TfrmNewUser& dlg) {
      dlg.SetName(QString::fromUtf8("太郎"));
      dlg.cmd_OkClick();
      return dlg.Result();
    }));
    env.window = &w;
    w.FormCreate();
    EXPECT_EQ(1, env.newDivisions);
    EXPECT_EQ(1, w.tab_Div->count());
    EXPECT_EQ(2, w.tab_Scr->count());
    ASSERT_TRUE(w.Started());
    EXPECT_EQ(QString::fromUtf8("ひとこと(2026年12月09日 水曜日)"), w.windowTitle());
    w.setGeometry(30, 40, 500, 640);
    w.FormCloseQuery();
  }
  // the second start finds the user and the window where it was left
  bool asked = false;
  TfrmMain w(env.Main([&](TfrmNewUser&) {
    asked = true;
    return false;
  }));
  env.window = &w;
  w.FormCreate();
  EXPECT_FALSE(asked);
  EXPECT_EQ(1, env.newDivisions);  // the division was found, not made again
  EXPECT_TRUE(w.Started());
  EXPECT_EQ(QString::fromUtf8("日記帳"), w.tab_Div->tabText(0));
  EXPECT_EQ(QString::fromUtf8("月表"), w.tab_Scr->tabText(0));
  EXPECT_EQ(2, w.tab_Scr->count());
  EXPECT_EQ("太郎"_sj, w.Global()->UserName());
  EXPECT_EQ(500, w.Global()->width[0]);
  EXPECT_EQ(640, w.Global()->height[0]);
}

TEST(TfrmMain, DamagedInputDefinitionLeadsToTheImportDialog) {
  Env env;
  int imports = 0;
  MainEnvironment e = env.Main([](TfrmNewUser& dlg) {
    dlg.SetName(QString::fromUtf8("u"));
    dlg.cmd_OkClick();
    return dlg.Result();
  });
  e.runNewDiv = [&](int) {
    env.MakeDivision("d");
    CMyLine bad;
    bad.Append(std::string(160, '\0'));  // a header of the wrong size
    bad.WriteList(env.window->Global()->DivisionPath("scrin.jsc"));
    return 1;
  };
  e.runNewDivIn = [&] {
    ++imports;
    return 0;  // the user cancels the import
  };
  TfrmMain w(std::move(e));
  env.window = &w;
  w.FormCreate();
  EXPECT_EQ(1, imports);
  EXPECT_FALSE(w.Started());
  EXPECT_EQ(0, w.Table(0)->RecordCount());  // the division just made is taken back
  ASSERT_FALSE(env.prompter.Shown().empty());
  EXPECT_EQ("ヘッダーのサイズが異なります。", env.prompter.ShownUtf8()[0]);
}

TEST(TfrmMain, ScreenVersionProblemsOfferTheRepairDialog) {
  Env env;
  struct OldScreens : ScreenLoader {
    int Load(const std::string&, ViewScreen&) override { return -2; }
  };
  std::vector<std::pair<int, int>> asked;
  MainEnvironment e = env.Main([](TfrmNewUser& dlg) {
    dlg.SetName(QString::fromUtf8("u"));
    dlg.cmd_OkClick();
    return dlg.Result();
  });
  e.runNewScr = [&](int mode, int index) {
    asked.push_back({mode, index});
    return 0;
  };
  TfrmMain w(std::move(e));
  env.window = &w;
  w.SetScreenLoader(std::make_unique<OldScreens>());
  w.FormCreate();
  EXPECT_FALSE(w.Started());
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ((std::pair<int, int>{1, 0}), asked[0]);
  EXPECT_EQ("表示画面のバージョンが古いです。", env.prompter.ShownUtf8()[0]);
}

TEST(TfrmMain, MinusCStartsInTheTrayOnlyAfterAClosedFromTheTray) {
  Env env;
  WriteBytes(env.program + "/jotbox.ini", "[APL]\r\nNAME=u\r\n");
  fileops::MakeDirs(env.program + "/u");
  struct Case {
    const char* ini;
    QStringList args;
    bool inTray;
  } cases[] = {
      {"[FORM1]\r\nTASK=1\r\n", {"-C"}, true},
      {"[FORM1]\r\nTASK=0\r\n", {"-c"}, false},
      {"[FORM1]\r\nTASK=1\r\n", {}, false},
  };
  for (const auto& c : cases) {
    WriteBytes(env.program + "/u/jbxuser.ini", c.ini);
    MainEnvironment e = env.Main([](TfrmNewUser&) { return false; });
    e.arguments = c.args;
    TfrmMain w(std::move(e));
    env.window = &w;
    w.FormCreate();
    EXPECT_EQ(c.inTray, w.StartsInTray()) << c.ini;
  }
}

TEST(TfrmMain, ANewUserWithoutABookFallsBackToThePreviousUser) {
  Env env;
  int divisionsAsked = 0;
  MainEnvironment e = env.Main([](TfrmNewUser& dlg) {
    dlg.SetName(QString::fromUtf8("太郎"));
    dlg.cmd_OkClick();
    return dlg.Result();
  });
  e.runNewDiv = [&](int) {
    // the first user makes a book; the second cancels
    return ++divisionsAsked == 1 ? env.MakeDivision("日記帳"_sj) : 0;
  };
  TfrmMain w(std::move(e));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  // switch to a new user "花子" who has no book and cancels making one
  w.SetNewUserRunner([](TfrmNewUser& dlg) {
    dlg.SetName(QString::fromUtf8("花子"));
    dlg.cmd_OkClick();
    return dlg.Result();
  });
  w.mnu_FileUserClick();
  EXPECT_EQ(2, divisionsAsked);
  EXPECT_EQ("太郎"_sj, w.Global()->UserName());
  EXPECT_EQ("日記帳"_sj, w.Global()->DivisionFolder());
  // the abandoned user's empty folder does not stay behind
  EXPECT_FALSE(fileops::IsDir(env.program + "/花子"));
  EXPECT_EQ(QString::fromUtf8("日記帳"), w.tab_Div->tabText(0));
}

#include <QListWidget>

#include "catalogue/TfrmHanyoData.h"
#include "catalogue/TfrmNewDiv.h"
#include "catalogue/TfrmNewScr.h"
#include "mainview/CMyView.h"

TEST(TfrmMain, ABookKeepersFirstWeek) {
  Env env;
  auto names = packagelist::Names(JBX_PROGRAM_DIR);
  int wantPackage = 0;
  const char* wantName = "日記帳";
  MainEnvironment e = env.Main([](TfrmNewUser& dlg) {
    dlg.SetName(QString::fromUtf8("花子"));
    dlg.cmd_OkClick();
    return dlg.Result();
  });
  // the shipped packages lie beside the real program; the data stays in the test's folder
  e.programFolder = JBX_PROGRAM_DIR;
  e.dataRoot = env.program;
  TfrmMain* win = nullptr;
  e.runNewDiv = [&](int mode) {
    TfrmNewDiv dlg(mode, *win->Global(), *win->Table(0), env.prompter, &env.beeper);
    dlg.txt_DivName->setText(QString::fromUtf8(wantName));
    dlg.lst_Package->setCurrentRow(wantPackage);
    dlg.cmd_OkClick();
    return dlg.result() == QDialog::Accepted ? 1 : 0;
  };
  e.runNewScr = [&](int mode, int index) {
    TfrmNewScr dlg(mode, index, *win->Global(), *win->Table(1), env.prompter, &env.beeper);
    dlg.txt_ScrName->setText(QString::fromUtf8("予定"));
    dlg.txt_File->setText(QString::fromStdString(packagelist::PathOf(JBX_PROGRAM_DIR, names[1])));
    dlg.runChooser = [](TfrmPkgViewSel& chooser) {
      if (!chooser.SetUp()) return -1;
      chooser.lst_Screen->setCurrentRow(0);
      chooser.cmd_OkClick();
      return chooser.result() == QDialog::Accepted ? 1 : 0;
    };
    dlg.cmd_OkClick();
    return dlg.result() == QDialog::Accepted ? 1 : 0;
  };
  e.runName = [](TfrmHanyoData& dlg) {
    dlg.txt_Name->setText(QString::fromUtf8("私の日記"));
    dlg.cmd_OkClick();
    return dlg.TextSj();
  };
  {
    TfrmMain w(e);
    win = &w;
    w.FormCreate();
    ASSERT_TRUE(w.Started());
    // a notebook beside the diary
    wantPackage = 3;
    wantName = "ノート";
    w.mnuFileNewDivClick();
    ASSERT_EQ(2, w.tab_Div->count());
    EXPECT_EQ("ノート"_sj, w.Global()->DivisionFolder());
    EXPECT_EQ(100, w.View()->DataKind());
    // back to the diary, a screen from the schedule package
    w.tab_Div->setCurrentIndex(0);
    EXPECT_EQ("日記帳"_sj, w.Global()->DivisionFolder());
    EXPECT_EQ(0, w.View()->DataKind());
    w.mnuFileNewScrClick();
    ASSERT_EQ(3, w.tab_Scr->count());
    EXPECT_EQ(QString::fromUtf8("予定"), w.tab_Scr->tabText(2));
    // rename the diary and put the notebook first
    w.mnuFileChgDivClick();
    EXPECT_EQ(QString::fromUtf8("私の日記"), w.tab_Div->tabText(0));
    w.tab_Div->setCurrentIndex(1);
    w.mnuFileDivMoveUpClick();
    EXPECT_EQ(QString::fromUtf8("ノート"), w.tab_Div->tabText(0));
    w.FormCloseQuery();
  }
  // the next start finds everything as it was left
  TfrmMain w(e);
  win = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  ASSERT_EQ(2, w.tab_Div->count());
  EXPECT_EQ(QString::fromUtf8("ノート"), w.tab_Div->tabText(0));
  EXPECT_EQ(QString::fromUtf8("私の日記"), w.tab_Div->tabText(1));
  w.tab_Div->setCurrentIndex(1);
  EXPECT_EQ(3, w.tab_Scr->count());
  EXPECT_TRUE(fileops::IsDir(env.program + "/花子/私の日記"));
  EXPECT_TRUE(env.prompter.Shown().empty()) << env.prompter.ShownUtf8()[0];
}
