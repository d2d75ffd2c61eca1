#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "catalogue/CMyMaster.h"
#include "options/TfrmSetColor.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/SjLineEdit.h"
#include "ui/Widgets.h"

TEST(TfrmSetColor, AddUpdateBindAndMove) {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  CMyMaster table("COLOR", &prompter);
  CMyColorKinds kinds(table, prompter, beeper);
  TfrmSetColor dlg(kinds, prompter, beeper);
  uint32_t next = 0x0000FF;
  dlg.chooseColour = [&](uint32_t& c) {
    c = next;
    return true;
  };
  auto* txt_Name = Child<SjLineEdit>(dlg, "txt_Name");
  auto* cmd_TextColor = Child<QPushButton>(dlg, "cmd_TextColor");
  auto* chk_TextColor = Child<QCheckBox>(dlg, "chk_TextColor");
  auto* cbo_CrPalette = Child<QComboBox>(dlg, "cbo_CrPalette");
  auto* lst_Main = Child<QListWidget>(dlg, "lst_Main");
  auto* cmd_Color = Child<QPushButton>(dlg, "cmd_Color");
  auto* chk_ShortCut = Child<QCheckBox>(dlg, "chk_ShortCut");
  auto* cmd_Update = Child<QPushButton>(dlg, "cmd_Update");
  txt_Name->setText(QString::fromUtf8("重要"));
  cmd_TextColor->click();  // choosing a colour turns it on
  EXPECT_TRUE(chk_TextColor->isChecked());
  cbo_CrPalette->setCurrentIndex(2);
  dlg.cmd_InsertClick();
  ASSERT_EQ(1, lst_Main->count());
  EXPECT_EQ(QString::fromUtf8(" (2) 重要"), lst_Main->item(0)->text());
  EXPECT_TRUE(txt_Name->text().isEmpty());  // fields cleared after a store
  // a second kind takes palette 2 away from the first
  txt_Name->setText(QString::fromUtf8("予定"));
  next = 0xC0FFFF;
  cmd_Color->click();
  cbo_CrPalette->setCurrentIndex(2);
  chk_ShortCut->setChecked(true);
  dlg.cmd_InsertClick();
  EXPECT_EQ(QString::fromUtf8("     重要"), lst_Main->item(0)->text());
  EXPECT_EQ(QString::fromUtf8("S(2) 予定"), lst_Main->item(1)->text());
  // update needs a kind loaded by a double click, or Enter on its line
  EXPECT_FALSE(cmd_Update->isEnabled());
  lst_Main->setCurrentRow(0);
  QTest::keyClick(lst_Main, Qt::Key_Return);
  EXPECT_TRUE(cmd_Update->isEnabled());
  EXPECT_EQ(QString::fromUtf8("重要"), txt_Name->text());
  chk_TextColor->setChecked(false);
  dlg.cmd_UpdateClick();
  EXPECT_EQ("テキスト・背景ともにチェックが有効になっていません。", prompter.ShownUtf8().back());
  dlg.lst_MainDblClick(7);
  EXPECT_EQ(1, beeper.Count());
  lst_Main->setCurrentRow(1);
  dlg.cmd_UpClick();
  EXPECT_EQ(QString::fromUtf8("S(2) 予定"), lst_Main->item(0)->text());
  EXPECT_EQ(0, lst_Main->currentRow());
  EXPECT_TRUE(dlg.Changed());
}
