#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "catalogue/TfrmHanyoData.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/SjLineEdit.h"
#include "ui/Widgets.h"

TEST(TfrmHanyoData, RefusesPunctuationKeyByKeyWithABeep) {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  TfrmHanyoData dlg(0, QString::fromUtf8("日記"), prompter, &beeper);
  auto* txt_Name = Child<SjLineEdit>(dlg, "txt_Name");
  EXPECT_EQ(QString::fromUtf8("分類名の変更"), dlg.windowTitle());
  EXPECT_EQ(14, txt_Name->MaxBytes());
  txt_Name->setFocus();
  txt_Name->end(false);
  QTest::keyClicks(txt_Name, "a/b*c_@");
  EXPECT_EQ(QString::fromUtf8("日記abc_@"), dlg.Text());
  EXPECT_EQ(2, beeper.Count());
}

TEST(TfrmHanyoData, EmptyTextNamesItsLabel) {
  ScriptedPrompter prompter;
  TfrmHanyoData dlg(1, QString(), prompter, nullptr);
  dlg.cmd_OkClick();
  ASSERT_EQ(1u, prompter.Shown().size());
  EXPECT_EQ("表示画面名を入力して下さい。", prompter.ShownUtf8()[0]);
  EXPECT_EQ(QDialog::Rejected, dlg.result());
  Child<SjLineEdit>(dlg, "txt_Name")->setText(QString::fromUtf8("月表"));
  dlg.cmd_OkClick();
  EXPECT_EQ(QDialog::Accepted, dlg.result());
  EXPECT_EQ("月表"_sj, dlg.TextSj());
}

TEST(TfrmHanyoData, ExtractionNamesAllowThirtyCharactersAndPunctuation) {
  ScriptedPrompter prompter;
  TfrmHanyoData dlg(2, QString::fromUtf8("a/b"), prompter, nullptr);
  EXPECT_EQ(30, Child<SjLineEdit>(dlg, "txt_Name")->MaxBytes());
  EXPECT_EQ(QString::fromUtf8("抽出方法の保存"), dlg.windowTitle());
  dlg.cmd_OkClick();
  EXPECT_EQ(QDialog::Accepted, dlg.result());
}

TEST(TfrmHanyoData, EnterOnTheFocusedOkButtonPressesIt) {
  ScriptedPrompter prompter;
  TfrmHanyoData dlg(0, QString::fromUtf8("日記"), prompter, nullptr);
  QTest::keyClick(static_cast<QWidget*>(Child<QPushButton>(dlg, "cmd_Ok")), Qt::Key_Return);
  EXPECT_EQ(QDialog::Accepted, dlg.result());
  EXPECT_EQ("日記"_sj, dlg.TextSj());
}
