#include "shell/TfrmNewUser.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "mainview/TfrmMain.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
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
  MainEnvironment Main(std::function<bool(TfrmNewUser&)> run) {
    MainEnvironment e;
    e.prompter = &prompter;
    e.beeper = &beeper;
    e.clock = &clock;
    e.programFolder = program;
    e.dataHome = home;
    e.runNewUser = std::move(run);
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
  EXPECT_TRUE(fileops::IsDir(env.program + "/" + "花子"_sj));
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
    w.FormCreate();
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
  w.FormCreate();
  EXPECT_FALSE(asked);
  EXPECT_TRUE(w.Started());
  EXPECT_EQ("太郎"_sj, w.Global()->UserName());
  EXPECT_EQ(500, w.Global()->width[0]);
  EXPECT_EQ(640, w.Global()->height[0]);
}
