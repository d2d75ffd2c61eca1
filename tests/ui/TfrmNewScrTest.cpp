#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "catalogue/TfrmNewScr.h"
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
  FixedClock clock;
  CMyGlobal global{prompter, clock, JBX_PROGRAM_DIR, dir / "home"};
  CMyMaster screens{"DIVIN", &prompter};
  std::string schedule;
  Fixture() {
    global.UseDataRoot(dir.path());
    global.SetUserName("u");
    global.SetDivisionFolder("d");
    EXPECT_TRUE(fileops::MakeDirs(global.DivisionPath("")));
    auto names = packagelist::Names(JBX_PROGRAM_DIR);
    schedule = packagelist::PathOf(JBX_PROGRAM_DIR, names[1]);
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, "月表"_sj);
    EXPECT_EQ(0, screens.Append(rec));
  }
  std::string Last() const { return prompter.ShownUtf8().empty() ? "" : prompter.ShownUtf8().back(); }
};
}  // namespace

TEST(TfrmNewScr, AScreenFromAPackage) {
  Fixture f;
  TfrmNewScr dlg(0, -1, f.global, f.screens, f.prompter, &f.beeper);
  Child<SjLineEdit>(dlg, "txt_ScrName")->setText(QString::fromUtf8("予定"));
  Child<QLineEdit>(dlg, "txt_File")->setText(QString::fromStdString(f.schedule));
  QStringList offered;
  dlg.runChooser = [&](TfrmPkgViewSel& chooser) {
    if (!chooser.SetUp()) return -1;
    auto* lst_Screen = Child<QListWidget>(chooser, "lst_Screen");
    for (int i = 0; i < lst_Screen->count(); ++i) offered << lst_Screen->item(i)->text();
    chooser.cmd_OkClick();  // nothing chosen yet
    lst_Screen->setCurrentRow(1);
    chooser.cmd_OkClick();
    return chooser.result() == QDialog::Accepted ? 1 : 0;
  };
  dlg.cmd_OkClick();
  ASSERT_EQ(QDialog::Accepted, dlg.result()) << f.Last();
  EXPECT_EQ((QStringList{QString::fromUtf8("月間予定"), QString::fromUtf8("予定一覧")}), offered);
  EXPECT_EQ("リストを選択して下さい。", f.prompter.ShownUtf8().front());
  EXPECT_TRUE(fileops::IsFile(f.global.DivisionPath("予定"_sj, ".jos")));
  ASSERT_EQ(2, f.screens.RecordCount());
  EXPECT_EQ("予定"_sj, f.screens.Name(1));
}

TEST(TfrmNewScr, RefusalsAndTemplates) {
  Fixture f;
  TfrmNewScr dlg(0, -1, f.global, f.screens, f.prompter, &f.beeper);
  dlg.cmd_OkClick();
  EXPECT_EQ("表示画面名を入力して下さい。", f.Last());
  Child<SjLineEdit>(dlg, "txt_ScrName")->setText(QString::fromUtf8("月表"));
  dlg.cmd_OkClick();
  EXPECT_EQ("ファイル名を入力して下さい。", f.Last());
  WriteBytes(f.dir / "a.jot", "screen bytes");
  Child<QLineEdit>(dlg, "txt_File")->setText(QString::fromStdString(f.dir / "a.jot"));
  dlg.cmd_OkClick();
  EXPECT_EQ("既に存在する画面名です。", f.Last());
  Child<SjLineEdit>(dlg, "txt_ScrName")->setText(QString::fromUtf8("写し"));
  dlg.cmd_OkClick();
  EXPECT_EQ(QDialog::Accepted, dlg.result());
  EXPECT_EQ("screen bytes", ReadBytes(f.global.DivisionPath("写し"_sj, ".jos")));
  // repair mode: the same name, no new entry
  TfrmNewScr repair(1, 0, f.global, f.screens, f.prompter, &f.beeper);
  EXPECT_TRUE(Child<SjLineEdit>(repair, "txt_ScrName")->isReadOnly());
  Child<QLineEdit>(repair, "txt_File")->setText(QString::fromStdString(f.dir / "a.jot"));
  repair.cmd_OkClick();
  EXPECT_EQ(QDialog::Accepted, repair.result());
  EXPECT_EQ(2, f.screens.RecordCount());
}

TEST(TfrmNewDivIn, InputDefinitionFromAPackageOrATemplate) {
  Fixture f;
  TfrmNewDivIn dlg(f.global, f.prompter);
  Child<QLineEdit>(dlg, "txt_File")->setText(QString::fromStdString(f.schedule));
  dlg.cmd_OkClick();
  ASSERT_EQ(QDialog::Accepted, dlg.result()) << f.Last();
  EXPECT_TRUE(fileops::IsFile(f.global.DivisionPath("scrin.jsc")));
  EXPECT_EQ(1u, fileops::List(f.global.DivisionPath(""), "*").size());  // nothing else was written
  TfrmNewDivIn missing(f.global, f.prompter);
  Child<QLineEdit>(missing, "txt_File")->setText(QString::fromStdString(f.dir / "none.jit"));
  missing.cmd_OkClick();
  EXPECT_EQ("対象のファイルは見付かりません。", f.Last());
}
