#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "catalogue/CMyMaster.h"
#include "catalogue/PackageWriter.h"
#include "catalogue/TfrmNewDiv.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"
#include "ui/Widgets.h"

namespace {
struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 12, 9}};
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal global{prompter, clock, JBX_PROGRAM_DIR, dir / "home"};
  CMyMaster users{"USER", &prompter};
  Fixture() {
    global.UseDataRoot(dir.path());
    global.SetUserName("u");
    EXPECT_TRUE(fileops::MakeDirs(global.UserPath("")));
  }
  std::string Last() const { return prompter.ShownUtf8().empty() ? "" : prompter.ShownUtf8().back(); }
};
}  // namespace

TEST(TfrmNewDiv, RefusalsKeepTheDialogOpenAndTheTableAsItWas) {
  Fixture f;
  TfrmNewDiv dlg(0, f.global, f.users, f.prompter, &f.beeper);
  ASSERT_GE(Child<QListWidget>(dlg, "lst_Package")->count(), 4);
  struct Case {
    const char* name;
    const char* message;
  } cases[] = {{"", "分類名を入力して下さい。"},
               {"tmp", "その分類名はシステムで使用するため設定できません。"},
               {"Phot", "その分類名はシステムで使用するため設定できません。"},
               {"日記", "パッケージ名を選択して下さい。"}};
  for (const auto& c : cases) {
    Child<SjLineEdit>(dlg, "txt_DivName")->setText(QString::fromUtf8(c.name));
    dlg.cmd_OkClick();
    EXPECT_EQ(c.message, f.Last()) << c.name;
  }
  Child<QRadioButton>(dlg, "rdo_File")->setChecked(true);
  dlg.cmd_OkClick();
  EXPECT_EQ("ファイル名を入力して下さい。", f.Last());
  Child<QLineEdit>(dlg, "txt_File")->setText(QString::fromStdString(f.dir / "none.jpk"));
  dlg.cmd_OkClick();
  EXPECT_EQ("対象のファイルは見付かりません。", f.Last());
  EXPECT_EQ(0, f.users.RecordCount());
  EXPECT_NE(QDialog::Accepted, dlg.result());
}

TEST(TfrmNewDiv, MakesTheDivisionFromTheChosenPackage) {
  Fixture f;
  TfrmNewDiv dlg(0, f.global, f.users, f.prompter, &f.beeper);
  Child<SjLineEdit>(dlg, "txt_DivName")->setText(QString::fromUtf8("私の日記"));
  Child<QListWidget>(dlg, "lst_Package")->setCurrentRow(0);
  dlg.cmd_OkClick();
  ASSERT_EQ(QDialog::Accepted, dlg.result()) << f.Last();
  ASSERT_EQ(1, f.users.RecordCount());
  EXPECT_EQ("私の日記"_sj, f.users.Name(0));
  EXPECT_EQ("私の日記"_sj, f.global.DivisionFolder());
  EXPECT_TRUE(fileops::IsFile(f.global.DivisionPath("scrin.jsc")));
}

TEST(TfrmNewDiv, AFailingPackageLeavesNoNewEntry) {
  Fixture f;
  f.global.SetDivisionFolder("before");
  std::string bytes = PackageWriter().Bytes();
  WriteBytes(f.dir / "broken.jpk", bytes.substr(0, bytes.size() - 4));  // no end entry
  TfrmNewDiv dlg(0, f.global, f.users, f.prompter, &f.beeper);
  Child<SjLineEdit>(dlg, "txt_DivName")->setText(QString::fromUtf8("壊れ"));
  Child<QRadioButton>(dlg, "rdo_File")->setChecked(true);
  Child<QLineEdit>(dlg, "txt_File")->setText(QString::fromStdString(f.dir / "broken.jpk"));
  dlg.cmd_OkClick();
  EXPECT_EQ("パッケージの解凍に失敗しました。(1)", f.Last());
  EXPECT_EQ(0, f.users.RecordCount());
  EXPECT_EQ("before", f.global.DivisionFolder());
  // a second division of the same name is refused by the table
  TfrmNewDiv again(0, f.global, f.users, f.prompter, &f.beeper);
  Child<SjLineEdit>(again, "txt_DivName")->setText(QString::fromUtf8("日記"));
  Child<QListWidget>(again, "lst_Package")->setCurrentRow(0);
  again.cmd_OkClick();
  again.cmd_OkClick();
  EXPECT_EQ("データが重複します。", f.Last());
  EXPECT_EQ(1, f.users.RecordCount());
}
