// The extraction dialog driven as a user would, by objectName: both grid
// layouts, the grid's keys, the value list, the period and line boxes, the
// saved methods and the files a damaged division leaves behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "catalogue/TfrmHanyoData.h"
#include "extract/PickupFixture.h"
#include "extract/TfrmPickup.h"
#include "extract/TfrmSelect.h"
#include "platform/FileOps.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/SjLineEdit.h"
#include "ui/Widgets.h"

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

struct Dialog : PickupFixture {
  ScriptedDialogs dialogs;
  std::unique_ptr<TfrmPickup> dlg;
  int helps = 0;

  explicit Dialog(int dataKind = 0) : PickupFixture(dataKind) {}
  void Open() {
    dlg = std::make_unique<TfrmPickup>(m, dialogs, prompter, beeper, [this] { ++helps; });
    dlg->show();
  }
  template <class T>
  T* W(const char* name) const {
    return Child<T>(*dlg, name);
  }
  QTableWidget* Grid() const { return W<QTableWidget>("gri_Main"); }
  QString Cell(const char* caption, int column) const {
    QTableWidgetItem* item = Grid()->item(Row(caption), column);
    return item ? item->text() : QString();
  }
  // A key in a cell, as the grid receives it.
  void Key(const char* caption, int column, Qt::Key key, const QString& text = {}) {
    Grid()->setCurrentCell(Row(caption), column);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(Grid(), &press);
  }
  void Type(const char* caption, int column, const char* text) {
    Key(caption, column, Qt::Key_unknown, Q(text));
  }
  std::string Help() const { return W<QStatusBar>("StatusBar")->currentMessage().toStdString(); }
  bool Told(const char* text) const {
    for (const std::string& s : prompter.ShownUtf8())
      if (s == text) return true;
    return false;
  }
  void SetBox(const char* name, const char* text) {
    auto* e = W<SjLineEdit>(name);
    e->setText(Q(text));
    emit e->textEdited(e->text());
  }
  // The name dialog answers `name` (UTF-8).
  void NameAnswers(const char* name) {
    std::string n = name;
    dialogs.On<TfrmHanyoData>("frmHanyoData", [n](TfrmHanyoData& d) {
      Child<SjLineEdit>(d, "txt_Name")->setText(QString::fromUtf8(n.c_str()));
      d.cmd_OkClick();
      return d.result();
    });
  }
  QStringList Methods() const {
    QStringList out;
    auto* c = W<QComboBox>("cbo_PickupName");
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
  }
};

TEST(TfrmPickup, TheGridFollowsTheDisplayModeInBothLayouts) {
  Dialog d;
  d.Open();
  EXPECT_EQ(Q("抽出条件設定"), d.dlg->windowTitle());
  EXPECT_TRUE(d.W<QRadioButton>("rdo_HyouziPickup")->isChecked()) << "a compact list by default";
  QTableWidget* g = d.Grid();
  ASSERT_EQ(d.m.RowCount(), g->rowCount());
  ASSERT_EQ(5, g->columnCount());
  EXPECT_TRUE(g->isColumnHidden(0));
  const char* normal[] = {"項目名", "並び番号", "昇降順", "条件値"};
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Q(normal[c - 1]), g->horizontalHeaderItem(c)->text());
  EXPECT_EQ(Q("年月日"), g->item(0, 1)->text()) << "the key row first in a book by date";
  EXPECT_EQ(Q("登録日"), g->item(g->rowCount() - 1, 1)->text());

  d.Type("分類", 2, "1");
  d.m.SetCellText(d.Row("品目"), 4, "*米*"_sj);
  d.W<QRadioButton>("rdo_HyouziGroup")->click();
  ASSERT_EQ(7, g->columnCount());
  const char* group[] = {"項目名", "並び番号", "昇降順", "集約種類", "集約サイズ", "条件値"};
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(Q(group[c - 1]), g->horizontalHeaderItem(c)->text());
  EXPECT_EQ(Q("*米*"), d.Cell("品目", 6)) << "the condition moves to the last column";
  EXPECT_EQ(Q("(ｸﾞﾙｰﾌﾟ)"), d.Cell("分類", 4));
  EXPECT_EQ(Q("0"), d.Cell("分類", 5));
  EXPECT_EQ(Q("2:SUM"), d.Cell("金額", 4)) << "numbers are summed";
  EXPECT_EQ(Q(""), d.Cell("品目", 4));
  EXPECT_EQ(QColor(0, 0, 128), g->item(d.Row("品目"), 1)->foreground().color());
  auto* tabs = d.W<QTabWidget>("tab_Main");
  EXPECT_FALSE(tabs->isTabVisible(0)) << "groups are set up on the detail page only";
  EXPECT_EQ(d.W<QWidget>("tab_Detail"), tabs->currentWidget());

  d.W<QRadioButton>("rdo_HyouziNormal")->click();
  ASSERT_EQ(5, g->columnCount());
  EXPECT_EQ(Q("*米*"), d.Cell("品目", 4));
  EXPECT_TRUE(tabs->isTabVisible(0));
  EXPECT_EQ(QColor(Qt::black), g->item(d.Row("品目"), 1)->foreground().color());
}

TEST(TfrmPickup, GridKeysFollowTheRulesAndTheStatusBarExplainsEachColumn) {
  Dialog d;
  d.Open();
  d.W<QRadioButton>("rdo_HyouziGroup")->click();
  struct Step {
    const char* caption;
    int column;
    Qt::Key key;
    const char* text;
    const char* help;
  } steps[] = {
      {"分類", 2, Qt::Key_unknown, "1", "並び順の設定（１～３の値を設定）"},
      {"金額", 2, Qt::Key_unknown, "１", "並び順の設定（１～３の値を設定）"},  // full-width
      {"金額", 3, Qt::Key_unknown, "1", "昇順・降順を設定（0:昇順 1:降順）"},
      {"品目", 3, Qt::Key_unknown, "1", "※並び順が設定されてある必要があります。"},
      {"品目", 4, Qt::Key_unknown, "3", "集約種類を設定（0:MIN 1:MAX 2:SUM 3:COUNT 4:AVG）"},
      {"税率", 4, Qt::Key_unknown, "x", "集約種類を設定（0:MIN 1:MAX 2:SUM 3:COUNT 4:AVG）"},
      {"品目", 5, Qt::Key_unknown, "4", "集約文字のサイズを設定（0:全て 1-15:指定サイズ）"},
      {"品目", 1, Qt::Key_unknown, "a", ""},
  };
  for (const Step& s : steps) {
    d.Type(s.caption, s.column, s.text);
    EXPECT_EQ(s.help, d.Help()) << s.caption << s.column;
  }
  EXPECT_EQ(Q("2"), d.Cell("分類", 2)) << "the next 1 pushed it on";
  EXPECT_EQ(Q("1"), d.Cell("金額", 2));
  EXPECT_EQ(Q("1:降順"), d.Cell("金額", 3));
  EXPECT_EQ(Q("(ｸﾞﾙｰﾌﾟ)"), d.Cell("金額", 4));
  EXPECT_EQ(Q(""), d.Cell("品目", 3));
  EXPECT_EQ(1, d.beeper.Count()) << "an order needs a sort number";
  EXPECT_EQ(Q("3:COUNT"), d.Cell("品目", 4));
  EXPECT_EQ(Q(""), d.Cell("税率", 4)) << "any other key clears the aggregate";
  EXPECT_EQ(Q(""), d.Cell("品目", 5)) << "a size belongs to a group key only";
  EXPECT_EQ(Q("品目"), d.Cell("品目", 1)) << "captions are not typed over";

  d.Grid()->setCurrentCell(d.Row("金額"), 3);
  EXPECT_EQ("昇順・降順を設定（0:昇順 1:降順）", d.Help());
  // Backspace in 並び番号 takes the row out of the order, with its group mark
  d.Key("金額", 2, Qt::Key_Backspace);
  EXPECT_EQ(Q(""), d.Cell("金額", 2));
  EXPECT_EQ(Q(""), d.Cell("金額", 3));
  EXPECT_EQ(Q(""), d.Cell("金額", 4));
  // the input method is on for condition values only
  d.Grid()->setCurrentCell(d.Row("品目"), 6);
  EXPECT_TRUE(d.Grid()->testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_EQ("対象データを入力（例:'ABC'でABCを検索。'*ABC*'でABCを含むデータの検索）", d.Help());
  d.Grid()->setCurrentCell(d.Row("品目"), 2);
  EXPECT_FALSE(d.Grid()->testAttribute(Qt::WA_InputMethodEnabled));
  // and so are the cell editors: the value's takes it, the size's reads full-width digits
  for (int column : {6, 5}) {
    d.Grid()->setCurrentCell(d.Row("品目"), column);
    d.Grid()->editItem(d.Grid()->currentItem());
    auto* editor = d.Grid()->viewport()->findChild<SjLineEdit*>();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(column == 6, ImEnabled(editor));
    editor->insert(QString::fromUtf8("１２"));
    EXPECT_EQ(QString::fromUtf8(column == 6 ? "１２" : "12"), editor->text());
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST(TfrmPickup, ConditionValuesAreTypedOrChosenFromTheRowsList) {
  Dialog d;
  WriteBytes(d.dir / "cboms00.ms", "$$$ 0\r\n食費\r\n日用品\r\n"_sj);
  d.Open();
  QTableWidget* g = d.Grid();
  auto* sel = d.W<QPushButton>("cmd_Sel");
  d.W<QTabWidget>("tab_Main")->setCurrentWidget(d.W<QWidget>("tab_Detail"));

  // typed: the cell's editor takes CP932 up to 50 bytes
  g->setCurrentCell(d.Row("品目"), 4);
  EXPECT_FALSE(sel->isVisible()) << "品目 has no list";
  g->editItem(g->item(d.Row("品目"), 4));
  auto* editor = g->viewport()->findChild<SjLineEdit*>();
  ASSERT_NE(nullptr, editor);
  EXPECT_EQ(CMyPickup::kMaxValue, editor->MaxBytes());
  editor->setText(Q("*パン*"));
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the grid commits the editor's text once the key is done
  EXPECT_EQ("*パン*"_sj, d.m.GetRow(d.Row("品目")).value);
  EXPECT_EQ(Q("*パン*"), d.Cell("品目", 4));
  d.Key("品目", 4, Qt::Key_Delete);
  EXPECT_EQ("", d.m.GetRow(d.Row("品目")).value);

  // chosen: the "..." button at the row's condition cell opens the chooser
  g->setCurrentCell(d.Row("分類"), 2);
  EXPECT_TRUE(sel->isVisible());
  EXPECT_GE(sel->geometry().left(), g->visualItemRect(g->item(d.Row("分類"), 4)).left());
  QStringList offered;
  int pick = -1;
  d.dialogs.On<TfrmSelect>("frmSelect", [&](TfrmSelect& s) -> int {
    auto* lst_Main = Child<QListWidget>(s, "lst_Main");
    EXPECT_EQ(Q("選択画面"), s.windowTitle());
    offered.clear();
    for (int i = 0; i < lst_Main->count(); ++i) offered << lst_Main->item(i)->text();
    lst_Main->clearSelection();
    s.cmd_OkClick();  // nothing chosen yet
    EXPECT_FALSE(s.result() == QDialog::Accepted);
    if (pick < 0) return QDialog::Rejected;
    lst_Main->setCurrentRow(pick);
    s.cmd_OkClick();
    return s.result();
  });
  pick = 1;
  sel->click();
  EXPECT_EQ((QStringList{Q("食費"), Q("日用品")}), offered) << "the list's header line is left out";
  EXPECT_TRUE(d.Told("リストを選択して下さい。"));
  EXPECT_EQ(Q("日用品"), d.Cell("分類", 4));
  // the colour row offers the colour kinds; a cancelled chooser changes nothing
  g->setCurrentCell(d.Row("色種類"), 4);
  pick = -1;
  sel->click();
  EXPECT_EQ((QStringList{Q("赤"), QStringLiteral("ToDo")}), offered);
  EXPECT_EQ(Q(""), d.Cell("色種類", 4));
  // a row without a list beeps
  g->setCurrentCell(d.Row("品目"), 4);
  const int before = d.beeper.Count();
  d.dialogs.run.clear();
  d.dlg->cmd_SelClick();
  EXPECT_EQ(before + 1, d.beeper.Count());
  EXPECT_TRUE(d.dialogs.run.empty());
}

TEST(TfrmPickup, ThePeriodAndLineBoxesCheckWhatIsLeftInThem) {
  Dialog d;
  d.Open();
  d.SetBox("txt_KikanFrom", "2026/2/30");
  EXPECT_TRUE(d.W<QRadioButton>("rdo_KikanSel")->isChecked()) << "typing chooses the range";
  EXPECT_FALSE(d.dlg->txt_KikanFromExit());
  EXPECT_TRUE(d.Told("不正な日付です。"));
  d.prompter.ClearShown();
  EXPECT_EQ(CMyPickup::kRefused, d.dlg->cmd_OkClick()) << "the box has told; OK waits";
  EXPECT_TRUE(d.prompter.Shown().empty());
  d.SetBox("txt_KikanFrom", "2026/3/1");
  EXPECT_TRUE(d.dlg->txt_KikanFromExit());
  EXPECT_EQ(Q("2026/03/01"), d.W<SjLineEdit>("txt_KikanFrom")->text()) << "in the normal date form";
  d.SetBox("txt_KikanTo", "2026/3/31");
  EXPECT_TRUE(d.dlg->txt_KikanToExit());
  d.W<QRadioButton>("rdo_KikanYYYY")->click();
  EXPECT_EQ(Q(""), d.W<SjLineEdit>("txt_KikanFrom")->text()) << "another period clears both";
  EXPECT_EQ(Q(""), d.W<SjLineEdit>("txt_KikanTo")->text());
  EXPECT_EQ(CMyPickup::kYear, d.m.GetPeriod());
  // leaving an empty box does not choose the range
  EXPECT_TRUE(d.dlg->txt_KikanToExit());
  EXPECT_EQ(CMyPickup::kYear, d.m.GetPeriod());

  struct {
    const char* text;
    const char* message;
  } lines[] = {{"", "値を入力して下さい。"},
               {"x", "不正な表示行数です。"},
               {"0", "範囲をオーバーしました。"},
               {"12", nullptr}};
  EXPECT_EQ(CMyPickup::kMaxLineText, d.W<SjLineEdit>("txt_Line")->MaxBytes());
  for (const auto& l : lines) {
    d.prompter.ClearShown();
    d.W<SjLineEdit>("txt_Line")->setText(Q(l.text));
    EXPECT_EQ(l.message == nullptr, d.dlg->txt_LineExit()) << l.text;
    if (l.message) {
      EXPECT_TRUE(d.Told(l.message)) << l.text;
    }
  }
  EXPECT_EQ(12, d.m.LinesPerPage());

  // a book by page speaks of pages
  Dialog p(100);
  p.Open();
  EXPECT_EQ(Q("範囲"), p.W<QGroupBox>("grp_Kikan")->title());
  EXPECT_EQ(Q("当ページ"), p.W<QRadioButton>("rdo_KikanMM")->text());
  EXPECT_EQ(Q("ページ"), p.W<QRadioButton>("rdo_KikanSel")->text());
  EXPECT_EQ(Q("ページ降順"), p.W<QCheckBox>("chk_KeySortDown")->text());
  EXPECT_FALSE(p.W<QRadioButton>("rdo_KikanYYYY")->isVisible());
  EXPECT_NE(Q("年月日"), p.Grid()->item(0, 1)->text()) << "no key row";
  p.SetBox("txt_KikanFrom", "abc");
  EXPECT_FALSE(p.dlg->txt_KikanFromExit());
  EXPECT_TRUE(p.Told("不正なページです。"));
}

TEST(TfrmPickup, AMethodIsSavedReopenedFromTheComboAndDeleted) {
  Dialog d;
  d.Open();
  auto* combo = d.W<QComboBox>("cbo_PickupName");
  auto* del = d.W<QPushButton>("cmd_Del");
  EXPECT_EQ((QStringList{Q("（前の内容）")}), d.Methods());
  EXPECT_FALSE(del->isEnabled());
  d.W<QRadioButton>("rdo_HyouziGroup")->click();
  d.W<QRadioButton>("rdo_KikanYYYY")->click();
  d.Type("分類", 2, "1");

  d.NameAnswers("今年の分類別");
  d.dlg->cmd_SaveClick();
  EXPECT_EQ((QStringList{Q("（前の内容）"), Q("今年の分類別")}), d.Methods());
  EXPECT_EQ(1, combo->currentIndex());
  EXPECT_TRUE(del->isEnabled());
  const std::string pic = d.dir / "今年の分類別.pic";
  ASSERT_TRUE(fileops::IsFile(pic));
  EXPECT_EQ("（前の内容）\r\n今年の分類別\r\n"_sj, ReadBytes(d.dir / "pickout.lst"));

  // names that would reach outside the folder, or name nothing, are refused
  for (const char* bad : {"a/b", "..", "x..y", "a\\b"}) {
    d.prompter.ClearShown();
    d.NameAnswers(bad);
    d.dlg->cmd_SaveClick();
    EXPECT_EQ(1u, d.prompter.Shown().size()) << bad;
    EXPECT_EQ(2, combo->count()) << bad;
  }
  d.prompter.ClearShown();
  d.NameAnswers("");
  d.dlg->cmd_SaveClick();
  EXPECT_TRUE(d.Told("抽出方法名を入力して下さい。"));
  EXPECT_EQ(fileops::List(d.dir.path(), "*.pic").size(), 1u) << "no file for any of them";

  // another state, then the method from the combo brings its own back
  d.W<QRadioButton>("rdo_HyouziPickup")->click();
  d.W<QRadioButton>("rdo_KikanAll")->click();
  combo->setCurrentIndex(0);
  EXPECT_FALSE(del->isEnabled());
  combo->setCurrentIndex(1);
  EXPECT_TRUE(d.W<QRadioButton>("rdo_HyouziGroup")->isChecked());
  EXPECT_TRUE(d.W<QRadioButton>("rdo_KikanYYYY")->isChecked());
  EXPECT_EQ(Q("1"), d.Cell("分類", 2));

  // saving again under its name asks first and keeps one entry
  d.NameAnswers("今年の分類別");
  d.prompter.ClearShown();
  d.prompter.Queue(kAnswerYes);
  d.dlg->cmd_SaveClick();
  EXPECT_TRUE(d.Told("既に登録されている名前です。上書きしてよろしいですか？"));
  EXPECT_EQ(2, combo->count());

  // deleted after the question: entry 0 again, the file gone
  d.prompter.ClearShown();
  d.prompter.Queue(kAnswerYes);
  d.dlg->cmd_DelClick();
  EXPECT_TRUE(d.Told("選択している抽出方法を削除します。よろしいですか？"));
  EXPECT_EQ((QStringList{Q("（前の内容）")}), d.Methods());
  EXPECT_FALSE(del->isEnabled());
  EXPECT_FALSE(fileops::Exists(pic));
  const int beeps = d.beeper.Count();
  d.dlg->cmd_DelClick();
  EXPECT_EQ(beeps + 1, d.beeper.Count()) << "entry 0 cannot be deleted";

  // help and cancel
  d.W<QPushButton>("cmd_Help")->click();
  EXPECT_EQ(1, d.helps);
  d.W<QPushButton>("cmd_Cancel")->click();
  EXPECT_EQ(QDialog::Rejected, d.dlg->result());
  EXPECT_FALSE(d.m.Applied());
}

TEST(TfrmPickup, ADamagedDivisionOpensWithWhatCanBeRead) {
  Dialog d;
  // missing fields, a sort number of 7, a field that is gone, extra tabs, a
  // size that is no number; a list naming files outside the folder and a
  // method whose file is missing
  WriteBytes(d.dir / "pickout.pit",
             "2\t0\t\t2\r\n"
             "分類\t7\t1:降順\t\t\t(ｸﾞﾙｰﾌﾟ)\t3\r\n"
             "消えた項目\t1\t\t*x*\t\t\t\r\n"
             "金額\t1\t1:降順\t\t\t\tx\textra\tmore\r\n"
             "税込\t\t\t100\r\n"_sj);
  WriteBytes(d.dir / "pickout.lst", "（前の内容）\r\n../evil\r\na/b\r\n消えた方法\r\nok\r\n"_sj);
  d.Open();
  EXPECT_TRUE(d.prompter.Shown().empty()) << d.prompter.ShownUtf8()[0];
  EXPECT_EQ((QStringList{Q("（前の内容）"), Q("消えた方法"), Q("ok")}), d.Methods());
  EXPECT_TRUE(d.W<QRadioButton>("rdo_HyouziGroup")->isChecked());
  EXPECT_FALSE(d.W<QCheckBox>("chk_NoData")->isChecked());
  EXPECT_EQ(Q("25"), d.W<SjLineEdit>("txt_Line")->text()) << "the screen's lines";
  EXPECT_TRUE(d.W<QRadioButton>("rdo_KikanYYYY")->isChecked());
  EXPECT_EQ(Q(""), d.Cell("分類", 2)) << "7 is no sort number";
  EXPECT_EQ(Q("1"), d.Cell("金額", 2));
  EXPECT_EQ(Q("1:降順"), d.Cell("金額", 3));
  EXPECT_EQ(Q("x"), d.Cell("金額", 5));
  EXPECT_EQ(Q("100"), d.Cell("税込", 6));
  // the method whose file is missing changes nothing
  d.W<QComboBox>("cbo_PickupName")->setCurrentIndex(1);
  EXPECT_EQ(Q("1"), d.Cell("金額", 2));
  EXPECT_TRUE(d.W<QPushButton>("cmd_Del")->isEnabled());
  // the size is refused at OK, with the cell in front
  EXPECT_EQ(CMyPickup::kCellRefused, d.dlg->cmd_OkClick());
  EXPECT_TRUE(d.Told("不正な集約サイズです。"));
  EXPECT_EQ(d.Row("金額"), d.Grid()->currentRow());
  EXPECT_EQ(5, d.Grid()->currentColumn());
  EXPECT_FALSE(fileops::Exists(d.dir / "..evil.pic"));

  // a file that is no condition file at all is told and leaves the defaults
  Dialog e;
  WriteBytes(e.dir / "pickout.pit", std::string("1\t1\0\t", 5));
  e.Open();
  EXPECT_TRUE(e.Told("抽出条件の読み込み失敗"));
  EXPECT_TRUE(e.W<QRadioButton>("rdo_HyouziPickup")->isChecked());
}

TEST(TfrmPickup, OkAppliesTheConditionsOrPointsAtWhatIsWrong) {
  Dialog d;
  d.Open();
  d.W<QTabWidget>("tab_Main")->setCurrentWidget(d.W<QWidget>("tab_Detail"));
  d.m.SetCellText(d.Row("品目"), 4, std::string(51, 'a'));
  d.dlg->cmd_OkClick();
  EXPECT_TRUE(d.Told("サイズがオーバーしました。50byte以内で登録して下さい。"));
  EXPECT_EQ(d.Row("品目"), d.Grid()->currentRow());
  EXPECT_EQ(4, d.Grid()->currentColumn());
  d.m.SetCellText(d.Row("品目"), 4, {});

  d.W<QRadioButton>("rdo_KikanSel")->click();
  EXPECT_EQ(CMyPickup::kPeriodRefused, d.dlg->cmd_OkClick());
  EXPECT_TRUE(d.Told("期間を入力して下さい。"));
  EXPECT_EQ(d.W<SjLineEdit>("txt_KikanFrom"), d.dlg->focusWidget());
  EXPECT_FALSE(fileops::Exists(d.dir / "pickout.pit")) << "nothing written before it applies";

  // the simple page: a word at the start of one field
  d.W<QRadioButton>("rdo_KikanAll")->click();
  d.W<QTabWidget>("tab_Main")->setCurrentWidget(d.W<QWidget>("tab_Simple"));
  d.W<SjComboBox>("cbo_Name")->setCurrentIndex(1);
  d.W<SjLineEdit>("txt_Data")->setText(Q("パン"));
  d.W<QComboBox>("cbo_Kind")->setCurrentIndex(CMyPickup::kBegins);
  d.W<QCheckBox>("chk_KeySortDown")->setChecked(true);
  ASSERT_EQ(CMyPickup::kOk, d.dlg->cmd_OkClick()) << d.prompter.ShownUtf8().back();
  EXPECT_EQ(QDialog::Accepted, d.dlg->result());
  EXPECT_TRUE(d.m.Applied());
  EXPECT_EQ("DAT001= 'パン*' and NODATA = '1'"_sj, d.m.Filter());
  EXPECT_EQ("キー項目 D,行連番"_sj, d.m.Sort());
  EXPECT_TRUE(fileops::IsFile(d.dir / "pickout.pit"));
}

}  // namespace
