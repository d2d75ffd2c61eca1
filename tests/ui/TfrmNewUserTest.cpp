#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"
#include "shell/TfrmNewUser.h"
#include "support/TempDir.h"
#include "ui/Widgets.h"

namespace {

struct Env {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 9}};
  std::string program = dir / "prog";
  std::string home = dir / "home";
  Env() {
    EXPECT_TRUE(fileops::MakeDir(program));
    WriteBytes(program + "/jotbox.ini", "");  // portable: data beside the program
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
  EXPECT_EQ(14, Child<SjLineEdit>(dlg, "txt_UserName")->MaxBytes());
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

TEST(TfrmNewUser, TheUsersThereAreAlreadyCanBePicked) {
  Env env;
  for (const char* dir : {"花子", "tmp", "空"}) ASSERT_TRUE(fileops::MakeDirs(env.program + "/" + dir));
  WriteBytes(env.program + "/花子/jbxuser.jpr", "");
  WriteBytes(env.program + "/tmp/jbxuser.jpr", "");  // the work folder is never a user
  CMyGlobal g(env.prompter, env.clock, env.program, env.home);
  TfrmNewUser dlg(g, env.prompter);
  auto* list = dlg.findChild<QListWidget*>("lst_User");
  ASSERT_NE(nullptr, list);
  ASSERT_EQ(1, list->count());
  EXPECT_EQ(QString::fromUtf8("花子"), list->item(0)->text());
  emit list->itemActivated(list->item(0));
  EXPECT_TRUE(dlg.Result());
  EXPECT_EQ("花子"_sj, g.UserName());
}

TEST(TfrmNewUser, ThePresetIsReplacedByTypingAndEnterShowsTheFocusOnOk) {
  Env env;
  CMyGlobal g(env.prompter, env.clock, env.program, env.home);
  TfrmNewUser dlg(g, env.prompter);
  dlg.SetName(QString::fromUtf8("新規ユーザー"));
  dlg.show();
  QApplication::setActiveWindow(&dlg);
  QTest::keyClicks(QApplication::focusWidget(), "u");
  EXPECT_EQ(QStringLiteral("u"), Child<SjLineEdit>(dlg, "txt_UserName")->text());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(Child<QPushButton>(dlg, "cmd_Ok"), QApplication::focusWidget());
  EXPECT_TRUE(dlg.testAttribute(Qt::WA_KeyboardFocusChange));  // the ring is drawn
}
