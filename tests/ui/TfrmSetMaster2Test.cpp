#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "input/CMyHyo.h"
#include "input/TfrmSetMaster2.h"
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

QStringList Items(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}

void Row(CMyHyo& t, int r, const char* key, const char* parent, const char* name) {
  t.SetCell(0, r, key);
  t.SetCell(1, r, cp932::FromUtf8(parent));
  t.SetCell(2, r, cp932::FromUtf8(name));
}

// A text-editor list under a parent editor (slot 2, values 果物 / 野菜),
// two-level, with the learning switch on.
struct Lists {
  TempDir dir;
  CMyHyo table;
  Lists() {
    CMyHyo parents;
    Row(parents, 0, "", "NoP", "果物");
    Row(parents, 1, "", "NoP", "野菜");
    EXPECT_GE(parents.Save(dir / "selms02.ms"), 0);
    table.SetSwitch(0, true);
    table.SetSwitch(1, true);
    table.SetSwitch(2, true);
    Row(table, 0, "3", "果物", "りんご");
    Row(table, 1, "", "果物", "みかん");
    Row(table, 2, "1", "野菜", "なす");
  }
  CMySetMaster2::Args Args(int parentSlot, const char* parentValue) {
    CMySetMaster2::Args a;
    a.dir = dir.path();
    a.table = &table;
    a.slot = 5;
    a.parentSlot = parentSlot;
    a.parentValue = cp932::FromUtf8(parentValue);
    return a;
  }
};

}  // namespace

TEST(TfrmSetMaster2, SetUpFollowsTheParentAndTheMode) {
  Lists l;
  WriteBytes(l.dir / "cboms01.ms", "$$$ 1\r\n" + "果物"_sj + "\r\n" + "野菜"_sj + "\r\n");
  struct Case {
    int parentSlot;
    CMySetMaster2::Mode mode;
    const char* parentValue;
    bool parentOn;  // chk_Parent checked and the parent box usable
    QStringList parents;
    int parentIndex;
    QStringList lines;
    bool keyEnabled;
  } cases[] = {
      {2, CMySetMaster2::kEditorList, "果物", true, {"果物", "野菜"}, 0, {" 3 りんご", " - みかん"}, true},
      {2, CMySetMaster2::kEditorList, "魚", true, {"果物", "野菜"}, -1, {}, true},
      // the child of a combo pair: parents from the combo list, no header item, no keys
      {1, CMySetMaster2::kPairChild, "野菜", true, {"果物", "野菜"}, 1, {" 1 なす"}, false},
      // no parent: every row, the parent controls off
      {-1, CMySetMaster2::kEditorList, "", false, {}, -1, {" 3 りんご", " - みかん", " 1 なす"}, true},
  };
  for (const auto& c : cases) {
    ScriptedPrompter prompter;
    auto args = l.Args(c.parentSlot, c.parentValue);
    args.mode = c.mode;
    CMySetMaster2 model(args, &prompter);
    TfrmSetMaster2 dlg(model, prompter, nullptr);
    SCOPED_TRACE(c.parentValue);
    EXPECT_EQ("frmSetMaster2", dlg.objectName());
    EXPECT_EQ(QString::fromUtf8("マスタ設定"), dlg.windowTitle());
    auto* chk = dlg.findChild<QCheckBox*>("chk_Parent");
    auto* box = dlg.findChild<QComboBox*>("cbo_Parent");
    auto* key = dlg.findChild<SjLineEdit*>("txt_Key");
    ASSERT_TRUE(chk && box && key);
    EXPECT_EQ(c.parentSlot != -1, chk->isEnabled());
    EXPECT_EQ(c.parentOn, chk->isChecked());
    EXPECT_EQ(c.parentOn, box->isEnabled());
    EXPECT_EQ(c.parents, Items(box));
    EXPECT_EQ(c.parentIndex, box->currentIndex());
    EXPECT_EQ(c.lines, Shown(dlg.findChild<QListWidget*>("lst_Main")));
    EXPECT_EQ(c.keyEnabled, key->isEnabled());
    EXPECT_EQ(2, key->MaxBytes());
    EXPECT_EQ(50, dlg.findChild<SjLineEdit*>("txt_Name")->MaxBytes());
    EXPECT_FALSE(key->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(ImEnabled(key));
    EXPECT_TRUE(dlg.findChild<QCheckBox*>("chk_Auto")->isChecked());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("cmd_Update")->isEnabled());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("cmd_Delete")->isEnabled());
  }
}

TEST(TfrmSetMaster2, EveryRefusalIsTheModelsMessage) {
  Lists l;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  CMySetMaster2 model(l.Args(2, "果物"), &prompter, &beeper);
  TfrmSetMaster2 dlg(model, prompter, &beeper);
  auto* lst_Main = Child<QListWidget>(dlg, "lst_Main");
  auto* txt_Name = Child<SjLineEdit>(dlg, "txt_Name");
  auto* txt_Key = Child<SjLineEdit>(dlg, "txt_Key");
  const QStringList start{" 3 りんご", " - みかん"};
  enum Button { kInsert, kUpdate };
  struct Case {
    const char* name;
    const char* key;
    int selected;
    Button button;
    const char* message;
  } cases[] = {
      {"", "", -1, kInsert, "項目名を設定して下さい。"},
      {"*", "", -1, kInsert, "システムで使用されています。"},
      {"ぶどう", "-1", -1, kInsert, "正数を入力して下さい。"},
      {"ぶどう", "1a", -1, kInsert, "正数を入力して下さい。"},
      {"ぶどう", "１", -1, kInsert, "正数を入力して下さい。"},  // a full-width digit is two bytes, no number
      {"みかん", "", -1, kInsert, "既に同じ項目名が登録されています。"},
      {"ぶどう", "3", -1, kInsert, "既に同じ数字キーが登録されています。"},
      {"ぶどう", "03", -1, kInsert, "既に同じ数字キーが登録されています。"},
      {"ぶどう", "", -1, kUpdate, "項目を選択して下さい。"},
      {"りんご", "", 1, kUpdate, "既に同じ項目名が登録されています。"},
      {"みかん", "3", 1, kUpdate, "既に同じ数字キーが登録されています。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + "/" + c.key);
    prompter.ClearShown();
    if (c.selected >= 0)
      dlg.lst_MainDblClick(c.selected);
    else
      lst_Main->setCurrentRow(-1);
    txt_Name->setText(QString::fromUtf8(c.name));
    txt_Key->setText(QString::fromUtf8(c.key));
    c.button == kInsert ? dlg.cmd_InsertClick() : dlg.cmd_UpdateClick();
    ASSERT_EQ(1u, prompter.Shown().size());
    EXPECT_EQ(c.message, prompter.ShownUtf8()[0]);
    EXPECT_EQ("注意"_sj, prompter.Shown()[0].caption);
    EXPECT_EQ(start, Shown(lst_Main));
    EXPECT_EQ(QString::fromUtf8(c.name), txt_Name->text());
  }
  // the row being updated is not compared with itself
  prompter.ClearShown();
  dlg.lst_MainDblClick(0);
  EXPECT_EQ(QString::fromUtf8("3"), txt_Key->text());
  dlg.cmd_UpdateClick();
  EXPECT_TRUE(prompter.Shown().empty());
  // delete and the order buttons beep where they do not apply
  lst_Main->setCurrentRow(-1);
  dlg.cmd_DeleteClick();
  lst_Main->setCurrentRow(0);
  dlg.cmd_UpClick();
  lst_Main->setCurrentRow(1);
  dlg.cmd_DownClick();
  EXPECT_EQ(3, beeper.Count());
  EXPECT_TRUE(prompter.Shown().empty());

  // "親データ" on with no parent chosen
  CMySetMaster2 unchosen(l.Args(2, "魚"), &prompter);
  TfrmSetMaster2 dlg2(unchosen, prompter, nullptr);
  Child<SjLineEdit>(dlg2, "txt_Name")->setText(QStringLiteral("x"));
  dlg2.cmd_InsertClick();
  EXPECT_EQ("親データを選択して下さい。", prompter.ShownUtf8().back());

  // no table given
  CMySetMaster2::Args none;
  CMySetMaster2 missing(none, &prompter);
  TfrmSetMaster2 dlg3(missing, prompter, nullptr);
  Child<SjLineEdit>(dlg3, "txt_Name")->setText(QStringLiteral("x"));
  dlg3.cmd_InsertClick();
  EXPECT_EQ("設定がされていません。", prompter.ShownUtf8().back());
}

TEST(TfrmSetMaster2, EditsUnderTwoParentsReachTheFilesOnlyOnClose) {
  Lists l;
  CMyHyo child;  // a list whose parent values are this list's items
  Row(child, 0, "", "りんご", "ふじ");
  Row(child, 1, "", "なす", "米なす");
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  auto args = l.Args(2, "果物");
  args.child = &child;
  args.childSlot = 7;
  CMySetMaster2 model(args, &prompter, &beeper);
  ScriptedDialogs runner;
  runner.On<TfrmSetMaster2>("frmSetMaster2", [&](TfrmSetMaster2& dlg) {
    auto* txt_Name = Child<SjLineEdit>(dlg, "txt_Name");
    auto* txt_Key = Child<SjLineEdit>(dlg, "txt_Key");
    auto* lst_Main = Child<QListWidget>(dlg, "lst_Main");
    auto* cmd_Update = Child<QPushButton>(dlg, "cmd_Update");
    auto* cmd_Delete = Child<QPushButton>(dlg, "cmd_Delete");
    auto* cbo_Parent = Child<QComboBox>(dlg, "cbo_Parent");
    auto* chk_Auto = Child<QCheckBox>(dlg, "chk_Auto");
    txt_Name->setText(QString::fromUtf8("ぶどう"));
    txt_Key->setText(QStringLiteral("4"));
    dlg.cmd_InsertClick();
    EXPECT_EQ((QStringList{" 3 りんご", " - みかん", " 4 ぶどう"}), Shown(lst_Main));
    EXPECT_TRUE(txt_Name->text().isEmpty());
    // rename: double click, change, update
    dlg.lst_MainDblClick(0);
    EXPECT_TRUE(cmd_Update->isEnabled());
    EXPECT_TRUE(cmd_Delete->isEnabled());
    txt_Name->setText(QString::fromUtf8("林檎"));
    dlg.cmd_UpdateClick();
    EXPECT_FALSE(cmd_Update->isEnabled());
    // delete みかん
    dlg.lst_MainDblClick(1);
    dlg.cmd_DeleteClick();
    EXPECT_EQ((QStringList{" 3 林檎", " 4 ぶどう"}), Shown(lst_Main));
    // the order follows the buttons, and the fields still describe the moved row
    dlg.lst_MainDblClick(1);
    dlg.cmd_UpClick();
    EXPECT_EQ((QStringList{" 4 ぶどう", " 3 林檎"}), Shown(lst_Main));
    EXPECT_TRUE(cmd_Update->isEnabled());
    // another parent: key 3 is free there
    cbo_Parent->setCurrentIndex(1);
    EXPECT_EQ((QStringList{" 1 なす"}), Shown(lst_Main));
    txt_Name->setText(QString::fromUtf8("かぼちゃ"));
    txt_Key->setText(QStringLiteral("3"));
    dlg.cmd_InsertClick();
    EXPECT_TRUE(prompter.Shown().empty());
    chk_Auto->click();
    EXPECT_FALSE(fileops::Exists(l.dir / "selms05.ms"));
    EXPECT_FALSE(fileops::Exists(l.dir / "selms07.ms"));
    dlg.cmd_CloseClick();
    return dlg.result();
  });
  TfrmSetMaster2 dlg(model, prompter, &beeper);
  EXPECT_EQ(QDialog::Accepted, runner.Run(dlg));
  EXPECT_TRUE(prompter.Shown().empty());
  ASSERT_TRUE(dlg.Closed());
  EXPECT_TRUE(dlg.Result().saved);
  EXPECT_TRUE(dlg.Result().childSaved);

  CMyHyo back;
  ASSERT_EQ(0, back.Load(l.dir / "selms05.ms"));
  std::vector<std::string> rows;
  for (int r = 0; r < back.RowCount(); ++r)
    rows.push_back(cp932::ToUtf8(back.Cell(0, r) + ":" + back.Cell(1, r) + ":" + back.Cell(2, r)));
  EXPECT_EQ((std::vector<std::string>{"4:果物:ぶどう", "3:果物:林檎", "1:野菜:なす", "3:野菜:かぼちゃ"}),
            rows);
  EXPECT_TRUE(back.Switch(0));
  EXPECT_FALSE(back.Switch(1));
  EXPECT_TRUE(back.Switch(2));
  CMyHyo kids;
  ASSERT_EQ(0, kids.Load(l.dir / "selms07.ms"));
  EXPECT_EQ("林檎"_sj, kids.Cell(1, 0));  // the renamed item's children follow it
  EXPECT_EQ("なす"_sj, kids.Cell(1, 1));
  EXPECT_EQ("林檎"_sj, model.Child().Cell(1, 0));
}

TEST(TfrmSetMaster2, TurningTheParentOffListsAndSavesEveryRow) {
  Lists l;
  ScriptedPrompter prompter;
  CMySetMaster2 model(l.Args(2, "果物"), &prompter);
  TfrmSetMaster2 dlg(model, prompter, nullptr);
  auto* chk_Parent = Child<QCheckBox>(dlg, "chk_Parent");
  auto* cbo_Parent = Child<QComboBox>(dlg, "cbo_Parent");
  auto* lst_Main = Child<QListWidget>(dlg, "lst_Main");
  auto* txt_Name = Child<SjLineEdit>(dlg, "txt_Name");
  dlg.show();
  chk_Parent->click();
  EXPECT_FALSE(cbo_Parent->isEnabled());
  // the parent's rows were merged back behind the others
  EXPECT_EQ((QStringList{" 1 なす", " 3 りんご", " - みかん"}), Shown(lst_Main));
  txt_Name->setText(QStringLiteral("x"));
  dlg.cmd_InsertClick();
  QTest::keyClick(&dlg, Qt::Key_Escape);  // Esc closes and saves
  EXPECT_TRUE(dlg.Closed());
  CMyHyo back;
  ASSERT_EQ(0, back.Load(l.dir / "selms05.ms"));
  EXPECT_EQ(4, back.RowCount());
  EXPECT_FALSE(back.Switch(2));
  EXPECT_EQ("NoP", back.Cell(1, 3));
}

TEST(TfrmSetMaster2, AFailedSaveIsRetriedOnTheNextClose) {
  Lists l;
  ScriptedPrompter prompter;
  CMySetMaster2 model(l.Args(-1, ""), &prompter);
  TfrmSetMaster2 dlg(model, prompter, nullptr);
  Child<SjLineEdit>(dlg, "txt_Name")->setText(QStringLiteral("x"));
  dlg.cmd_InsertClick();
  fileops::InjectFault(fileops::Fault::kRename, 1);  // the disk refuses once
  prompter.Queue(kAnswerOk);
  prompter.Queue(kAnswerNo);
  dlg.cmd_CloseClick();
  fileops::ClearFaults();
  EXPECT_EQ((std::vector<std::string>{"保存に失敗しました。", "変更を保存しないで閉じますか？"}),
            prompter.ShownUtf8());
  EXPECT_FALSE(dlg.Closed());
  EXPECT_FALSE(fileops::Exists(l.dir / "selms05.ms"));
  prompter.ClearShown();
  dlg.cmd_CloseClick();
  EXPECT_TRUE(prompter.Shown().empty());
  EXPECT_TRUE(dlg.Closed());
  EXPECT_TRUE(dlg.Result().saved);
  EXPECT_FALSE(dlg.Result().failed);
  CMyHyo back;
  ASSERT_EQ(0, back.Load(l.dir / "selms05.ms"));
  EXPECT_EQ(4, back.RowCount());
  EXPECT_EQ("x", back.Cell(2, 3));
}
