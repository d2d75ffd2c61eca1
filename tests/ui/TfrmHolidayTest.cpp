#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

#include "calendar/CMyHolidayEditor.h"
#include "calendar/TfrmHoliday.h"
#include "calendar/menu/HolidayActions.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/FileOps.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/SjLineEdit.h"
#include "support/TempDir.h"
#include "ui/Widgets.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QStringList Lines(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

int RowOf(const QListWidget* list, const char* part) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text().contains(U(part))) return i;
  return -1;
}

// The entry dialog answers with these fields (UTF-8), or cancels.
void AnswerEntry(ScriptedDialogs& dialogs, std::function<void(TfrmInHoliday&)> fill) {
  dialogs.On<TfrmInHoliday>("frmInHoliday", [fill](TfrmInHoliday& d) {
    if (!fill) return int(QDialog::Rejected);
    fill(d);
    d.cmdOkClick();
    return d.result();
  });
}

}  // namespace

TEST(TfrmHoliday, ListsEditsAndWritesAsTheRulesSay) {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  ScriptedDialogs dialogs;
  WriteBytes(dir / "holiday.dat", "CL01\n1\t1\t" + "元日"_sj + "\n5\t5\t" + "旧祝日"_sj +
                                      "\t2000\t2010\n1\t0\t" + "成人の日"_sj + "\t2000\t9999\t0\t8\n");
  CMyHolidayEditor editor(dir / "holiday.dat", dir / "kinen.dat", dir / "prog", 2015, prompter);
  editor.Open();
  TfrmHoliday dlg(editor, 0, dialogs, prompter, beeper);
  auto* lstHoliday = Child<QListWidget>(dlg, "lstHoliday");
  auto* chkReki = Child<QCheckBox>(dlg, "chkReki");
  auto* TabControl1 = Child<QTabBar>(dlg, "TabControl1");
  auto* txt_Preview = Child<QSpinBox>(dlg, "txt_Preview");
  auto* lst_Preview = Child<QListWidget>(dlg, "lst_Preview");
  EXPECT_EQ(U("祝日・記念日の設定"), dlg.windowTitle());
  // a rule of 2000-2010 is hidden in 2015; the weekday rule shows its day that year
  EXPECT_EQ((QStringList{U("  1月 1日     -     元日"), U("* 1月12日 2000-     成人の日")}),
            Lines(lstHoliday));
  chkReki->setChecked(true);
  EXPECT_EQ(3, lstHoliday->count());
  chkReki->setChecked(false);

  // nothing selected
  dlg.cmd_UpdateClick();
  dlg.cmd_DeleteClick();
  EXPECT_EQ((std::vector<std::string>{"選択されていません", "選択されていません"}), prompter.ShownUtf8());
  EXPECT_TRUE(dialogs.run.empty());

  // an anniversary, added on its tab: not written until the dialog closes
  TabControl1->setCurrentIndex(1);
  EXPECT_EQ(0, lstHoliday->count());
  AnswerEntry(dialogs, [](TfrmInHoliday& d) {
    Child<QLineEdit>(d, "txtSt")->setText("2014");
    Child<QLineEdit>(d, "txtMM")->setText("6");
    Child<QLineEdit>(d, "txtDD")->setText("20");
    Child<SjLineEdit>(d, "txtHoliday")->setText(U("結婚記念日"));
  });
  dlg.cmd_InsertClick();
  EXPECT_EQ((QStringList{U("  6月20日 2014-     結婚記念日")}), Lines(lstHoliday));
  EXPECT_EQ(0, lstHoliday->currentRow());
  EXPECT_FALSE(fileops::Exists(dir / "kinen.dat"));
  // ... but the preview of that year already has it, beside the holidays
  txt_Preview->setValue(2026);
  EXPECT_TRUE(Lines(lst_Preview).contains(U("06/20(土) 記念日 結婚記念日（12年目）")));
  EXPECT_TRUE(Lines(lst_Preview).contains(U("01/01(木) 祝日   元日")));

  // a double click changes a holiday and writes holiday.dat at once
  TabControl1->setCurrentIndex(0);
  const int row = RowOf(lstHoliday, "元日");
  ASSERT_GE(row, 0);
  lstHoliday->setCurrentRow(row);
  AnswerEntry(dialogs, [](TfrmInHoliday& d) {
    EXPECT_EQ(U("1"), Child<QLineEdit>(d, "txtMM")->text());  // filled from the rule
    EXPECT_EQ(U("元日"), Child<SjLineEdit>(d, "txtHoliday")->text());
    EXPECT_TRUE(Child<QLineEdit>(d, "txtSt")->text().isEmpty());
    Child<QLineEdit>(d, "txtEd")->setText("2030");
  });
  emit lstHoliday->itemDoubleClicked(lstHoliday->item(row));
  EXPECT_NE(std::string::npos,
            ReadBytes(dir / "holiday.dat").find("1\t1\t" + "元日"_sj + "\t1000\t2030\t0\t-1"));
  EXPECT_EQ(U("  1月 1日     -2030 元日"), lstHoliday->currentItem()->text());

  // a cancelled entry dialog changes nothing
  AnswerEntry(dialogs, nullptr);
  const std::string written = ReadBytes(dir / "holiday.dat");
  dlg.cmd_UpdateClick();
  EXPECT_EQ(written, ReadBytes(dir / "holiday.dat"));

  // deleting asks, and waits for the close
  lstHoliday->setCurrentRow(RowOf(lstHoliday, "成人の日"));
  prompter.Queue(kAnswerYes);
  dlg.cmd_DeleteClick();
  EXPECT_EQ("削除してよろしいですか？", prompter.ShownUtf8().back());
  EXPECT_EQ(-1, RowOf(lstHoliday, "成人の日"));
  EXPECT_EQ(written, ReadBytes(dir / "holiday.dat"));

  dlg.cmd_CloseClick();
  EXPECT_EQ(QDialog::Accepted, dlg.result());
  EXPECT_EQ(std::string::npos, ReadBytes(dir / "holiday.dat").find("成人の日"_sj));
  EXPECT_NE(std::string::npos,
            ReadBytes(dir / "kinen.dat").find("6\t20\t" + "結婚記念日"_sj + "\t2014\t9999"));
}

TEST(TfrmHoliday, AListWhoseFileCannotBeReadOnlyBeeps) {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  ScriptedDialogs dialogs;
  ASSERT_TRUE(fileops::MakeDir(dir / "kinen.dat"));
  CMyHolidayEditor editor(dir / "holiday.dat", dir / "kinen.dat", dir / "prog", 2026, prompter);
  editor.Open();
  TfrmHoliday dlg(editor, 1, dialogs, prompter, beeper);
  auto* cmd_Insert = Child<QPushButton>(dlg, "cmd_Insert");
  auto* lbl_Note = Child<QLabel>(dlg, "lbl_Note");
  auto* TabControl1 = Child<QTabBar>(dlg, "TabControl1");
  EXPECT_EQ(1, dlg.List());
  EXPECT_FALSE(cmd_Insert->isEnabled());
  EXPECT_FALSE(lbl_Note->isHidden());
  EXPECT_TRUE(lbl_Note->text().startsWith(U("kinen.dat を読めないため")));
  dlg.cmd_InsertClick();
  EXPECT_EQ(1, beeper.Count());
  EXPECT_TRUE(dialogs.run.empty());
  TabControl1->setCurrentIndex(0);
  EXPECT_TRUE(cmd_Insert->isEnabled());
  EXPECT_TRUE(lbl_Note->isHidden());
}

TEST(TfrmInHoliday, KindsDigitsEnterAndTheChecks) {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  TfrmInHoliday d(2026, prompter, beeper);
  auto* cboWeek = Child<QComboBox>(d, "cboWeek");
  auto* optDay = Child<QRadioButton>(d, "optDay");
  auto* cboEtc = Child<QComboBox>(d, "cboEtc");
  auto* optWeek = Child<QRadioButton>(d, "optWeek");
  auto* txtDD = Child<QLineEdit>(d, "txtDD");
  auto* lblDD = Child<QLabel>(d, "lblDD");
  auto* optEtc = Child<QRadioButton>(d, "optEtc");
  auto* txtMM = Child<QLineEdit>(d, "txtMM");
  auto* lbl_Status = Child<QLabel>(d, "lbl_Status");
  auto* txtHoliday = Child<SjLineEdit>(d, "txtHoliday");
  auto* txtSt = Child<QLineEdit>(d, "txtSt");
  auto* txtEd = Child<QLineEdit>(d, "txtEd");
  EXPECT_EQ(U("祝日・記念日入力"), d.windowTitle());
  EXPECT_EQ(28, cboWeek->count());
  EXPECT_EQ(U("第３水曜"), cboWeek->itemText(17));
  // the day box or the week box, by the kind
  EXPECT_TRUE(optDay->isChecked());
  EXPECT_TRUE(cboWeek->isHidden());
  EXPECT_FALSE(cboEtc->isEnabled());
  optWeek->setChecked(true);
  EXPECT_TRUE(txtDD->isHidden());
  EXPECT_FALSE(cboWeek->isHidden());
  EXPECT_EQ(U("曜日"), lblDD->text());
  optEtc->setChecked(true);
  EXPECT_TRUE(lblDD->isHidden());
  EXPECT_TRUE(cboWeek->isHidden());
  EXPECT_TRUE(cboEtc->isEnabled());
  cboEtc->setCurrentIndex(2);
  optDay->setChecked(true);
  EXPECT_EQ(-1, cboEtc->currentIndex());  // leaving その他 clears its choice
  EXPECT_FALSE(cboEtc->isEnabled());

  // month and day take digits only, five at most; anything else beeps
  QTest::keyClicks(txtMM, "1a2");
  EXPECT_EQ(U("12"), txtMM->text());
  EXPECT_EQ(1, beeper.Count());
  QTest::keyClicks(txtDD, "123456");
  EXPECT_EQ(U("12345"), txtDD->text());
  EXPECT_EQ(2, beeper.Count());
  // Enter moves on
  txtMM->setFocus();
  QTest::keyClick(txtMM, Qt::Key_Return);
  EXPECT_EQ(txtDD, d.focusWidget());

  // the first failing check is said with 注意 and takes the focus
  txtMM->clear();
  txtDD->clear();
  d.cmdOkClick();
  ASSERT_EQ(1u, prompter.Shown().size());
  EXPECT_EQ("月が入力されていません", prompter.ShownUtf8()[0]);
  EXPECT_EQ("注意", cp932::ToUtf8(prompter.Shown()[0].caption));
  EXPECT_EQ(txtMM, d.focusWidget());
  EXPECT_NE(QDialog::Accepted, d.result());
  txtMM->setText("2");
  txtDD->setText("31");
  EXPECT_EQ(U("2月31日はどの年にもないため、この規則の日は来ません。"), lbl_Status->text());
  txtHoliday->setText(U("閏"));
  txtSt->setText("2030");
  txtEd->setText("2020");
  d.cmdOkClick();
  EXPECT_EQ("開始年が終了年より後になっています", prompter.ShownUtf8().back());
  EXPECT_EQ(txtSt, d.focusWidget());
  txtEd->clear();
  d.cmdOkClick();  // stored although it never comes
  EXPECT_EQ(QDialog::Accepted, d.result());
  HolidayForm f = d.Form();
  EXPECT_EQ("31", f.day);
  EXPECT_EQ("閏"_sj, f.name);
}

TEST(TfrmInHoliday, FilledFromAWeekRule) {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  TfrmInHoliday d(2026, prompter, beeper);
  auto* optWeek = Child<QRadioButton>(d, "optWeek");
  auto* cboWeek = Child<QComboBox>(d, "cboWeek");
  auto* lbl_Status = Child<QLabel>(d, "lbl_Status");
  auto* txtHoliday = Child<SjLineEdit>(d, "txtHoliday");
  auto* cmdOk = Child<QPushButton>(d, "cmdOk");
  auto* txtDD = Child<QLineEdit>(d, "txtDD");
  HolidayForm f;
  f.kind = HolidayKind::Week;
  f.month = "9";
  f.day = "21";
  f.week = 15;
  f.name = "敬老の日"_sj;
  f.startYear = "2003";
  d.SetForm(f);
  EXPECT_TRUE(optWeek->isChecked());
  EXPECT_EQ(15, cboWeek->currentIndex());
  EXPECT_EQ(U("2026年は 9月21日(月)"), lbl_Status->text());
  // Enter through the fields reaches OK, where it means OK
  txtHoliday->setFocus();
  QTest::keyClick(txtHoliday, Qt::Key_Return);
  ASSERT_EQ(cmdOk, d.focusWidget());
  QTest::keyClick(cmdOk, Qt::Key_Return);
  EXPECT_EQ(QDialog::Accepted, d.result());
  EXPECT_TRUE(txtDD->text().isEmpty());  // the week kind has no day of its own
  EXPECT_EQ(30, txtHoliday->MaxBytes());
}

TEST(HolidayActions, TheFileMenuItemsOpenTheTabAndTheSheetFollows) {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock({2026, 6, 1});
  ScriptedDialogs dialogs;
  ScriptedFileChooser files;
  MemoryClipboard clipboard;
  RecordingOpener opener;
  ASSERT_TRUE(fileops::MakeDir(dir / "prog"));
  ASSERT_TRUE(fileops::MakeDir(dir / "root"));
  MainSeams seams{&prompter, &beeper, &clock, dir / "prog", dir / "home", dir / "root/"};
  MainObjects objects(seams, nullptr);
  MainContext context{objects, prompter, beeper, clock, files, clipboard, opener};
  QMainWindow window;
  MainActions actions(window, [] {
    MainState s;
    s.started = true;
    return s;
  });
  actions.DeclareMenus({{"ファイル(&F)", {"colors", "calendar", "exit"}}});
  (void)actions.Add({"mnuFileColor", "ファイル(&F)", "色設定(&C)...", {}, when::Always, {}, "colors"});
  (void)actions.Add({"mnuFileExit", "ファイル(&F)", "終了(&X)", {}, when::Always, {}, "exit"});
  int rebuilt = 0;
  RegisterHolidayActions(actions, dialogs, context, window, [&] { ++rebuilt; });
  QStringList menu;
  for (QAction* a : actions.Menu(U("ファイル(&F)"))->actions())
    menu << (a->isSeparator() ? U("-") : a->text());
  EXPECT_EQ((QStringList{U("色設定(&C)..."), U("-"), U("祝日の設定(&H)..."), U("記念日の設定(&K)..."), U("-"),
                         U("終了(&X)")}),
            menu);

  AnswerEntry(dialogs, [](TfrmInHoliday& d) {
    Child<QLineEdit>(d, "txtMM")->setText("6");
    Child<QLineEdit>(d, "txtDD")->setText("2");
    Child<SjLineEdit>(d, "txtHoliday")->setText(U("創立記念日"));
  });
  int tab = -1;
  dialogs.On<TfrmHoliday>("frmHoliday", [&](TfrmHoliday& d) {
    tab = d.List();
    EXPECT_EQ(2026, Child<QSpinBox>(d, "txt_Preview")->value());  // the year the sheet shows
    d.cmd_InsertClick();
    d.cmd_CloseClick();
    return d.result();
  });
  // the sheet has read the calendar before
  const HolidayEntry* h = nullptr;
  const HolidayEntry* a = nullptr;
  objects.calendar->Lookup({2026, 6, 2}, h, a);
  EXPECT_EQ(nullptr, a);
  ASSERT_NE(nullptr, actions.Find("mnuFileKinen"));
  actions.Find("mnuFileKinen")->trigger();
  EXPECT_EQ(1, tab);
  EXPECT_EQ(1, rebuilt);
  objects.calendar->Lookup({2026, 6, 2}, h, a);
  ASSERT_NE(nullptr, a);
  EXPECT_EQ("創立記念日", cp932::ToUtf8(a->name));
  EXPECT_TRUE(fileops::IsFile(dir / "root/kinen.dat"));

  dialogs.On<TfrmHoliday>("frmHoliday", [&](TfrmHoliday& d) {
    tab = d.List();
    d.cmd_CloseClick();
    return d.result();
  });
  actions.Find("mnuFileHoliday")->trigger();
  EXPECT_EQ(0, tab);
  EXPECT_EQ(2, rebuilt);
}
