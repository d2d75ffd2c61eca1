#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "input/CMyHyo.h"
#include "input/TfrmSetMaster.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/SjLineEdit.h"
#include "support/TempDir.h"
#include "ui/Widgets.h"

namespace {

QStringList Shown(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

}  // namespace

TEST(TfrmSetMaster, TheHeaderLineIsTheLearningSwitchNeverAnItem) {
  struct Case {
    const char* file;
    bool learn;
    QStringList items;
  } cases[] = {
      {"$$$ 1\r\nA\r\nB\r\n", true, {"A", "B"}},
      {"$$$ 0\r\nA\r\n", false, {"A"}},
      {"$$$\r\nA\r\n", false, {"$$$", "A"}},  // three characters: an ordinary item
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteBytes(dir / "cboms02.ms", c.file);
    ScriptedPrompter prompter;
    CMySetMaster model(dir.path(), 2, &prompter);
    TfrmSetMaster dlg(model, prompter, nullptr);
    EXPECT_EQ("frmSetMaster", dlg.objectName());
    EXPECT_EQ(QString::fromUtf8("マスタ設定"), dlg.windowTitle());
    auto* auto_ = dlg.findChild<QCheckBox*>("chk_Auto");
    ASSERT_NE(nullptr, auto_);
    EXPECT_EQ(c.learn, auto_->isChecked()) << c.file;
    EXPECT_EQ(c.items, Shown(dlg.findChild<QListWidget*>("lst_Main"))) << c.file;
    EXPECT_EQ(50, dlg.findChild<SjLineEdit*>("txt_Name")->MaxBytes());
    EXPECT_EQ(c.learn, dlg.Result().learn);  // a caller that reads before closing keeps the switch
  }
}

TEST(TfrmSetMaster, EveryRefusalIsTheModelsMessageAndChangesNothing) {
  TempDir dir;
  WriteBytes(dir / "cboms00.ms", "$$$ 1\r\nA\r\nB\r\n");
  ScriptedPrompter prompter;
  CMySetMaster model(dir.path(), 0, &prompter);
  TfrmSetMaster dlg(model, prompter, nullptr);
  auto* lst_Main = Child<QListWidget>(dlg, "lst_Main");
  auto* txt_Name = Child<SjLineEdit>(dlg, "txt_Name");
  enum Button { kInsert, kUpdate, kDelete };
  struct Case {
    const char* name;
    int selected;
    Button button;
    const char* message;
  } cases[] = {
      {"", -1, kInsert, "項目名を設定して下さい。"},
      {"$$$x", -1, kInsert, "頭３文字に＄はシステムで予約されています。"},
      {"A", -1, kInsert, "既に同じ項目名が登録されています。"},
      {"C", -1, kUpdate, "項目を選択して下さい。"},
      {"", 0, kUpdate, "項目名を設定して下さい。"},
      {"$$$", 0, kUpdate, "頭３文字に＄はシステムで予約されています。"},
      {"B", 0, kUpdate, "既に同じ項目名が登録されています。"},
      {"", -1, kDelete, "項目を選択して下さい。"},
  };
  for (const auto& c : cases) {
    prompter.ClearShown();
    lst_Main->setCurrentRow(c.selected);
    txt_Name->setText(QString::fromUtf8(c.name));
    switch (c.button) {
      case kInsert:
        dlg.cmd_InsertClick();
        break;
      case kUpdate:
        dlg.cmd_UpdateClick();
        break;
      case kDelete:
        dlg.cmd_DeleteClick();
        break;
    }
    ASSERT_EQ(1u, prompter.Shown().size()) << c.name;
    EXPECT_EQ(c.message, prompter.ShownUtf8()[0]) << c.name;
    EXPECT_EQ("注意"_sj, prompter.Shown()[0].caption);
    EXPECT_EQ(PromptIcon::Warning, prompter.Shown()[0].icon);
    EXPECT_EQ((QStringList{"A", "B"}), Shown(lst_Main)) << c.name;
    EXPECT_EQ(QString::fromUtf8(c.name), txt_Name->text()) << "what was typed stays";
  }
  // "$$$" later in the text is no header
  prompter.ClearShown();
  txt_Name->setText(QStringLiteral("x$$$"));
  lst_Main->setCurrentRow(-1);
  dlg.cmd_InsertClick();
  EXPECT_TRUE(prompter.Shown().empty());
  EXPECT_EQ((QStringList{"A", "B", "x$$$"}), Shown(lst_Main));
}

TEST(TfrmSetMaster, EditsReachTheFilesOnlyWhenTheDialogCloses) {
  TempDir dir;
  const std::string before = "$$$ 0\r\n" + "りんご"_sj + "\r\nB\r\n";
  WriteBytes(dir / "cboms01.ms", before);
  CMyHyo pair;  // the child table of the pair: its parent values follow renames
  pair.SetCell(1, 0, "りんご"_sj);
  pair.SetCell(2, 0, "ふじ"_sj);
  pair.SetCell(1, 1, "B");
  pair.SetCell(2, 1, "b1");
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  CMySetMaster model(dir.path(), 1, &prompter, &beeper, &pair, 4);
  ScriptedDialogs runner;
  runner.On<TfrmSetMaster>("frmSetMaster", [&](TfrmSetMaster& dlg) {
    auto* lst_Main = Child<QListWidget>(dlg, "lst_Main");
    auto* txt_Name = Child<SjLineEdit>(dlg, "txt_Name");
    auto* chk_Auto = Child<QCheckBox>(dlg, "chk_Auto");
    // insert before the selected item
    lst_Main->setCurrentRow(1);
    txt_Name->setText(QString::fromUtf8("みかん"));
    dlg.cmd_InsertClick();
    EXPECT_EQ((QStringList{"りんご", "みかん", "B"}), Shown(lst_Main));
    EXPECT_EQ(1, lst_Main->currentRow());
    EXPECT_TRUE(txt_Name->text().isEmpty());
    // rename: a double click brings the item into the box
    dlg.lst_MainDblClick(0);
    EXPECT_EQ(QString::fromUtf8("りんご"), txt_Name->text());
    txt_Name->setText(QString::fromUtf8("林檎"));
    dlg.cmd_UpdateClick();
    // delete, then move the new item to the bottom
    lst_Main->setCurrentRow(2);
    dlg.cmd_DeleteClick();
    lst_Main->setCurrentRow(1);
    dlg.cmd_DownClick();  // already last: a beep, nothing moves
    EXPECT_EQ(1, beeper.Count());
    dlg.cmd_UpClick();
    EXPECT_EQ((QStringList{"みかん", "林檎"}), Shown(lst_Main));
    chk_Auto->click();
    EXPECT_EQ(before, ReadBytes(dir / "cboms01.ms"));
    EXPECT_FALSE(fileops::Exists(dir / "cbsms04.ms"));
    dlg.cmd_CloseClick();
    return dlg.result();
  });
  TfrmSetMaster dlg(model, prompter, &beeper);
  EXPECT_EQ(QDialog::Accepted, runner.Run(dlg));
  EXPECT_TRUE(prompter.Shown().empty());
  EXPECT_EQ("$$$ 1\r\n" + "みかん"_sj + "\r\n" + "林檎"_sj + "\r\n", ReadBytes(dir / "cboms01.ms"));
  ASSERT_TRUE(dlg.Closed());
  EXPECT_TRUE(dlg.Result().changed);
  EXPECT_TRUE(dlg.Result().saved);
  EXPECT_TRUE(dlg.Result().learn);
  EXPECT_EQ((std::vector<std::string>{"みかん"_sj, "林檎"_sj}), dlg.Result().items);
  CMyHyo back;
  ASSERT_EQ(0, back.Load(dir / "cbsms04.ms"));
  EXPECT_EQ("林檎"_sj, back.Cell(1, 0));
  EXPECT_EQ("B", back.Cell(1, 1));  // deleting an item leaves its child rows alone
}

TEST(TfrmSetMaster, EscapeClosesAsTheButtonDoesAndNothingChangedWritesNothing) {
  TempDir dir;
  ScriptedPrompter prompter;
  CMySetMaster model(dir.path(), 3, &prompter);
  TfrmSetMaster dlg(model, prompter, nullptr);
  dlg.show();
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_TRUE(dlg.Closed());
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_FALSE(dlg.Result().changed);
  EXPECT_FALSE(fileops::Exists(dir / "cboms03.ms"));

  CMySetMaster edited(dir.path(), 3, &prompter);
  TfrmSetMaster again(edited, prompter, nullptr);
  again.show();
  Child<SjLineEdit>(again, "txt_Name")->setText(QStringLiteral("x"));
  again.cmd_InsertClick();
  again.close();  // the window's close box
  EXPECT_TRUE(again.Closed());
  EXPECT_EQ("$$$ 0\r\nx\r\n", ReadBytes(dir / "cboms03.ms"));
}

TEST(TfrmSetMaster, AFailedSaveKeepsTheEditsUntilTheUserGivesThemUp) {
  TempDir dir;
  ScriptedPrompter prompter;
  CMySetMaster model(dir / "gone", 0, &prompter);  // a folder that is not there
  TfrmSetMaster dlg(model, prompter, nullptr);
  dlg.show();
  Child<SjLineEdit>(dlg, "txt_Name")->setText(QStringLiteral("x"));
  dlg.cmd_InsertClick();
  prompter.Queue(kAnswerOk);
  prompter.Queue(kAnswerNo);
  dlg.cmd_CloseClick();
  EXPECT_EQ((std::vector<std::string>{"保存に失敗しました。", "変更を保存しないで閉じますか？"}),
            prompter.ShownUtf8());
  EXPECT_EQ(kAnswerNo, prompter.Shown()[1].defaultButton);
  EXPECT_FALSE(dlg.Closed());
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ((QStringList{"x"}), Shown(Child<QListWidget>(dlg, "lst_Main")));
  // the folder comes back: the next close writes what was kept
  ASSERT_TRUE(fileops::MakeDir(dir / "gone"));
  prompter.ClearShown();
  dlg.cmd_CloseClick();
  EXPECT_TRUE(prompter.Shown().empty());
  EXPECT_TRUE(dlg.Closed());
  EXPECT_TRUE(dlg.Result().saved);
  EXPECT_EQ("$$$ 0\r\nx\r\n", ReadBytes(dir / "gone/cboms00.ms"));

  // given up: the caller is told nothing changed, so its list stays as the file
  CMySetMaster lost(dir / "none", 0, &prompter);
  TfrmSetMaster dlg2(lost, prompter, nullptr);
  Child<SjLineEdit>(dlg2, "txt_Name")->setText(QStringLiteral("y"));
  dlg2.cmd_InsertClick();
  prompter.Queue(kAnswerOk);
  prompter.Queue(kAnswerYes);
  dlg2.cmd_CloseClick();
  EXPECT_TRUE(dlg2.Closed());
  EXPECT_EQ(QDialog::Rejected, dlg2.result());
  EXPECT_TRUE(dlg2.Result().failed);
  EXPECT_FALSE(dlg2.Result().changed);
  EXPECT_TRUE(dlg2.Result().items.empty());
}
