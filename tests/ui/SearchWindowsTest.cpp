// The search dialog and the reference window over a diary written to disk
// before the window starts, driven by objectName as a user would.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "input/TfrmInput.h"
#include "mainview/search/SearchActions.h"
#include "mainview/search/TfrmFind.h"
#include "mainview/search/TfrmSub.h"
#include "mainview/window/TfrmMain.h"
#include "platform/FileChooser.h"
#include "platform/Opener.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/SjLineEdit.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"
#include "ui/WrittenBook.h"

namespace {

std::string Thirty() {
  std::string s;
  for (int i = 0; i < 30; ++i) s += "検";
  return s;
}

// A diary of several years and a notebook; today is 2024/05/15.
struct Diary {
  WrittenBook book;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 5, 15}};
  ScriptedDialogs dialogs;
  ScriptedFileChooser files;
  MemoryClipboard clipboard;
  RecordingOpener opener;
  std::unique_ptr<TfrmMain> w;

  Diary() {
    const std::string thirty = Thirty();
    book.AddDivision("日記帳", 0,
                     {{"2019/01/10", {{memo::kMem001, "歯医者の予約"}}},
                      {"2020/06/01", {{memo::kMem001, "カレーを作った"}, {memo::Dat(1), "晴れ"}}},
                      {"2022/02/02", {{memo::kMem001, thirty.c_str()}}},
                      {"2023/05/03", {{memo::kMem001, "憲法記念日。歯医者"}}},
                      {"2023/05/20", {{memo::kMem001, "it's *new*"}}},
                      {"2024/05/10", {{memo::kMem001, "ＡＢＣ会議"}}},
                      {"2024/05/11", {{memo::kMem001, "aあいうえおかきくけこさしすせそ\r\n二行目"}}},
                      {"2024/12/24", {{memo::kMem001, "歯医者（年末）"}}}});
    book.AddDivision("ノート", 3, {{"00001/00001", {{memo::kMem001, "歯医者"}}}});
    w = std::make_unique<TfrmMain>(BookEnvironment(*this, book.Root()));
    w->FormCreate();
  }
  CMyView& View() { return *w->View(); }
  TfrmFind& Find() { return w->Feature<SearchWindows>().FindDialog(); }
  SearchCommands& Commands() { return w->Feature<SearchWindows>().Search(); }
  TfrmSub* Sub() { return w->Feature<SearchWindows>().ReferenceWidget(); }
  std::string CursorKey() { return View().Rows()[static_cast<size_t>(View().CursorRow())].key; }
  void Type(const char* utf8) { Child<SjLineEdit>(Find(), "txt_Data")->setText(QString::fromUtf8(utf8)); }
  int RowOf(const char* key) {
    for (int r = 0; r < View().RowCount(); ++r)
      if (std::string(View().Rows()[static_cast<size_t>(r)].key) == key) return r;
    return -1;
  }
};

}  // namespace

TEST(TfrmFind, TheFirstSearchStartsAtAnEndAndF3StepsThroughTheWholeBook) {
  Diary d;
  ASSERT_TRUE(d.w->Started());
  ASSERT_EQ("2024/05", d.View().Label());
  // F3 before any search shows the dialog, with the form's fields to choose
  EXPECT_FALSE(d.Find().isVisible());
  ASSERT_TRUE(Trigger(*d.w, "mnuSelFindDown"));
  EXPECT_TRUE(d.Find().isVisible());
  EXPECT_EQ(QString::fromUtf8("検索"), d.Find().windowTitle());
  QStringList names;
  auto* fields = Child<SjComboBox>(d.Find(), "cbo_Name");
  for (int i = 0; i < fields->count(); ++i) names << fields->itemText(i);
  EXPECT_EQ(QStringList({"（全て）", "気分", "天気", "時刻", "日記", "写真"}), names);
  EXPECT_EQ(3, Child<QComboBox>(d.Find(), "cbo_Kind")->currentIndex());
  EXPECT_TRUE(Child<QPushButton>(d.Find(), "cmd_DownFind")->isDefault());

  // the first hit is the book's first, years before the month shown
  d.Type("歯医者");
  Child<QPushButton>(d.Find(), "cmd_DownFind")->click();
  EXPECT_EQ("2019/01", d.View().Label());
  EXPECT_EQ("2019/01/10", d.CursorKey());
  const struct {
    const char* action;
    const char* key;
  } steps[] = {{"mnuSelFindDown", "2023/05/03"},
               {"mnuSelFindDown", "2024/12/24"},
               {"mnuSelFindUp", "2023/05/03"},
               {"mnuSelFindDown", "2024/12/24"}};
  for (const auto& s : steps) {
    ASSERT_TRUE(Trigger(*d.w, s.action));
    EXPECT_EQ(s.key, d.CursorKey()) << s.action;
  }
  const int beeps = d.beeper.Count();
  ASSERT_TRUE(Trigger(*d.w, "mnuSelFindDown"));  // past the last hit
  EXPECT_EQ(beeps + 1, d.beeper.Count());
  EXPECT_EQ("2024/12/24", d.CursorKey());
  ASSERT_TRUE(Trigger(*d.w, "mnuSelFindDown"));  // and once more: from the first again
  EXPECT_EQ("2019/01/10", d.CursorKey());
  // the dialog's up button after a change starts from the last record
  Child<QCheckBox>(d.Find(), "chk_icmp")->setChecked(true);
  Child<QPushButton>(d.Find(), "cmd_UpFind")->click();
  EXPECT_EQ("2024/12/24", d.CursorKey());
  Child<QPushButton>(d.Find(), "cmd_UpFind")->click();
  EXPECT_EQ("2023/05/03", d.CursorKey());
  EXPECT_TRUE(d.prompter.Shown().empty());
}

TEST(TfrmFind, WhatIsTypedIsSearchedForAsTyped) {
  Diary d;
  d.Find().FormShow();
  struct Case {
    const char* name;
    int kind;
    bool icmp, fold;
    const std::string text;
    const char* key;  // "" a beep
  } cases[] = {
      {"（全て）", 3, false, false, "ｶﾚｰ", ""},
      {"（全て）", 3, false, true, "ｶﾚｰ", "2020/06/01"},
      {"（全て）", 3, false, true, "abc", "2024/05/10"},
      {"（全て）", 3, true, true, "abc", ""},
      {"（全て）", 3, true, true, "ABC", "2024/05/10"},
      {"（全て）", 3, false, false, "abc", ""},
      {"日記", 3, false, false, "it's", "2023/05/20"},
      {"日記", 3, false, false, "*", "2023/05/20"},
      {"日記", 0, false, false, "it's *new*", "2023/05/20"},
      {"日記", 0, false, false, "it's", ""},
      {"天気", 0, false, false, "晴れ", "2020/06/01"},
      {"MEM001", 2, false, false, "（年末）", "2024/12/24"},
      {"日記", 1, false, false, Thirty(), "2022/02/02"},
  };
  for (const Case& c : cases) {
    Child<SjComboBox>(d.Find(), "cbo_Name")->setEditText(QString::fromUtf8(c.name));
    Child<QComboBox>(d.Find(), "cbo_Kind")->setCurrentIndex(c.kind);
    Child<QCheckBox>(d.Find(), "chk_icmp")->setChecked(c.icmp);
    Child<QCheckBox>(d.Find(), "chk_WidthFold")->setChecked(c.fold);
    d.Type(c.text.c_str());
    const int beeps = d.beeper.Count();
    d.w->statusBar()->clearMessage();
    Child<QPushButton>(d.Find(), "cmd_DownFind")->click();
    if (*c.key) {
      EXPECT_EQ(c.key, d.CursorKey()) << c.text;
    } else {
      EXPECT_EQ(beeps + 1, d.beeper.Count()) << c.text;
    }
    EXPECT_EQ(*c.key ? QString() : QString::fromUtf8("見つかりませんでした"),
              d.w->statusBar()->currentMessage());
  }
  EXPECT_TRUE(d.prompter.Shown().empty());
  // a name that is no field is said so; an empty text or name only beeps
  Child<SjComboBox>(d.Find(), "cbo_Name")->setEditText(QString::fromUtf8("写真帳"));
  Child<QPushButton>(d.Find(), "cmd_DownFind")->click();
  ASSERT_EQ(1u, d.prompter.Shown().size());
  EXPECT_EQ("『写真帳』は検索できません。", d.prompter.ShownUtf8()[0]);
  Child<SjComboBox>(d.Find(), "cbo_Name")->setEditText(QString::fromUtf8("（全て）"));
  const int beeps = d.beeper.Count();
  d.Type("");
  Child<QPushButton>(d.Find(), "cmd_DownFind")->click();
  d.Commands().query.text = "\x82";  // half a character, as no box could give it
  d.Commands().RunSearch(1);
  EXPECT_EQ(beeps + 2, d.beeper.Count());
  EXPECT_EQ(1u, d.prompter.Shown().size());
}

TEST(TfrmFind, ThePopupTakesTheFieldsTextWithoutSplittingACharacter) {
  Diary d;
  d.View().MoveCursorTo(d.RowOf("2024/05/11"));
  d.Commands().FindFieldText("MEM001");
  EXPECT_TRUE(d.Find().isVisible());
  // 20 bytes at most, the first line only, never half a character: a + 9 kana = 19 bytes
  EXPECT_EQ(QString::fromUtf8("aあいうえおかきくけ"), Child<SjLineEdit>(d.Find(), "txt_Data")->text());
  EXPECT_TRUE(Child<SjLineEdit>(d.Find(), "txt_Data")->hasSelectedText());
  // a row without a record leaves the text as it was
  d.View().MoveCursorTo(d.RowOf("2024/05/01"));
  d.Commands().FindFieldText("MEM001");
  EXPECT_EQ(QString::fromUtf8("aあいうえおかきくけ"), Child<SjLineEdit>(d.Find(), "txt_Data")->text());
}

TEST(TfrmFind, SavingAnEntryKeepsTheSearchForF3) {
  Diary d;
  d.Type("歯医者");
  Child<QPushButton>(d.Find(), "cmd_DownFind")->click();
  ASSERT_EQ("2019/01/10", d.CursorKey());
  ASSERT_TRUE(Trigger(*d.w, "tbt_NowNew"));  // a new entry for today, 2024/05/15
  auto* memo = d.w->InputForm()->findChild<SjTextEdit*>("txt_Mem001");
  ASSERT_NE(nullptr, memo);
  memo->setPlainText(QString::fromUtf8("散歩"));
  d.w->InputForm()->cmd_InputClick();
  ASSERT_EQ("2024/05/15", d.CursorKey());
  // the next hit after the entry just saved
  ASSERT_TRUE(Trigger(*d.w, "mnuSelFindDown"));
  EXPECT_EQ("2024/12/24", d.CursorKey());
}

TEST(TfrmSub, AYearBackBesideTheMainWindowSteppedByMonths) {
  Diary d;
  d.w->Actions().Refresh();
  ASSERT_TRUE(d.w->findChild<QAction*>("mnuPrevNenPopWin")->isEnabled());
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  TfrmSub* sub = d.Sub();
  ASSERT_NE(nullptr, sub);
  EXPECT_TRUE(sub->isVisible());
  EXPECT_EQ(QString::fromUtf8("参照画面"), sub->windowTitle());
  EXPECT_EQ(QString("2023/05"), Child<QLabel>(*sub, "lbl_YYYYMM")->text());
  EXPECT_EQ("2024/05", d.View().Label());  // the main window is back where it was
  EXPECT_EQ("2024/05/15", d.CursorKey());
  const struct {
    int key;
    const char* label;
  } steps[] = {{Qt::Key_Left, "2023/04"},
               {Qt::Key_Right, "2023/05"},
               {Qt::Key_Right, "2023/06"},
               {Qt::Key_Home, "2023/06"},
               {Qt::Key_Return, "2023/06"}};
  for (const auto& s : steps) {
    QTest::keyClick(Child<QScrollBar>(*d.Sub(), "scr_Key"), static_cast<Qt::Key>(s.key));
    ASSERT_NE(nullptr, d.Sub());
    EXPECT_EQ(QString(s.label), Child<QLabel>(*d.Sub(), "lbl_YYYYMM")->text());
  }
  sub = d.Sub();
  Child<QToolButton>(*sub, "tbt_Left")->click();
  EXPECT_EQ(QString("2023/05"), Child<QLabel>(*sub, "lbl_YYYYMM")->text());
  EXPECT_EQ("2024/05", d.View().Label());
  EXPECT_TRUE(d.prompter.Shown().empty());

  // "２年前" in the same window
  ASSERT_TRUE(Trigger(*d.w, "mnuPrev2NenPopWin"));
  EXPECT_EQ(sub, d.Sub());
  EXPECT_EQ(QString("2022/05"), Child<QLabel>(*sub, "lbl_YYYYMM")->text());
}

TEST(TfrmSub, CopiesIntoTheMainWindowsCopySourceAndRefusesEveryEdit) {
  Diary d;
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  TfrmSub* sub = d.Sub();
  ReferenceView& ref = sub->View();
  int withRecord = -1, empty = -1;
  for (int r = 0; r < ref.RowCount(); ++r) {
    if (std::string(ref.Rows()[static_cast<size_t>(r)].key) == "2023/05/20") withRecord = r;
    if (std::string(ref.Rows()[static_cast<size_t>(r)].key) == "2023/05/21") empty = r;
  }
  ASSERT_GE(withRecord, 0);
  auto* keys = Child<QScrollBar>(*sub, "scr_Key");
  ref.MoveCursorTo(withRecord);
  QTest::keyClick(keys, Qt::Key_C, Qt::ControlModifier);
  const CopySource& copied = d.w->Objects().copySource;
  EXPECT_EQ(0, copied.mode);
  EXPECT_EQ("2023/05/20", copied.key);
  EXPECT_EQ("00002", copied.serial);  // the second entry of its month
  ref.MoveCursorTo(empty);
  const int beeps = d.beeper.Count();
  QTest::keyClick(keys, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(beeps + 1, d.beeper.Count());
  EXPECT_EQ("2023/05/20", d.w->Objects().copySource.key);  // kept

  QTest::keyClick(keys, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(keys, Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(keys, Qt::Key_Left, Qt::ControlModifier);  // nothing while Ctrl is held
  QTest::mouseDClick(Child<QWidget>(*sub, "paiMain"), Qt::LeftButton, {}, QPoint(100, 40));
  EXPECT_EQ(
      (std::vector<std::string>{"参照画面への貼り付けは出来ません。", "参照画面からの切り取りは出来ません。",
                                "参照画面では編集出来ません。"}),
      d.prompter.ShownUtf8());
  EXPECT_EQ(QString("2023/05"), Child<QLabel>(*sub, "lbl_YYYYMM")->text());
  for (const auto& s : d.prompter.Shown()) EXPECT_EQ("注意"_sj, s.caption);
}

TEST(TfrmSub, ClosedWheneverItsRowsGoOutOfDate) {
  Diary d;
  CMyGlobal& g = *d.w->Global();
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  // never smaller than 150 x 150; its place and size go to the settings when it closes
  d.Sub()->resize(100, 90);
  EXPECT_GE(d.Sub()->width(), 150);
  EXPECT_GE(d.Sub()->height(), 150);
  d.Sub()->resize(300, 400);
  d.Sub()->close();
  EXPECT_FALSE(d.Sub()->IsOpen());
  EXPECT_EQ(300, g.width[CMyGlobal::kReferenceWindow]);
  EXPECT_EQ(400, g.height[CMyGlobal::kReferenceWindow]);
  // shown again: a new window in the same place and size
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  ASSERT_TRUE(d.Sub()->IsOpen());
  EXPECT_EQ(QSize(300, 400), d.Sub()->size());

  // its month changed, or another month's: closed only for its own
  d.w->Objects().closeReferenceIfSameMonth("202306");
  ASSERT_NE(nullptr, d.Sub());
  d.w->Objects().closeReferenceIfSameMonth("202305");
  EXPECT_EQ(nullptr, d.Sub());

  // a search that reads more of the book
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  d.Type("歯医者");
  Child<QPushButton>(d.Find(), "cmd_DownFind")->click();
  EXPECT_EQ(nullptr, d.Sub());

  // another screen, another book
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  d.w->findChild<QTabBar*>("tab_Scr")->setCurrentIndex(1);
  EXPECT_EQ(nullptr, d.Sub());
  d.w->findChild<QTabBar*>("tab_Scr")->setCurrentIndex(0);
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  ASSERT_NE(nullptr, d.Sub());
  d.w->findChild<QTabBar*>("tab_Div")->setCurrentIndex(1);
  EXPECT_EQ(nullptr, d.Sub());
  // a book kept by page has none
  ASSERT_EQ(CMyView::kPageKind, d.View().DataKind());
  d.w->Actions().Refresh();
  EXPECT_FALSE(d.w->findChild<QAction*>("mnuPrevNenPopWin")->isEnabled());
  d.w->Feature<SearchWindows>().References().ShowReference(-12);
  EXPECT_EQ(nullptr, d.Sub());
}

TEST(TfrmSub, KeepsItsHolidaysWhileTheMainWindowReloadsTheCalendar) {
  Diary d;
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  ReferenceView& ref = d.Sub()->View();
  int may3 = -1;
  for (int r = 0; r < ref.RowCount(); ++r)
    if (std::string(ref.Rows()[static_cast<size_t>(r)].key) == "2023/05/03") may3 = r;
  ASSERT_GE(may3, 0);
  // the main window goes to that year and back: the calendar's lists are made anew
  d.View().ShowMonth(2023, 1);
  d.View().ShowMonth(2024, 5);
  ref.MoveCursorTo(may3);
  (void)d.Sub()->grab();  // paints
  EXPECT_EQ("憲法記念日", cp932::ToUtf8(ref.RowStatus(may3)));
  EXPECT_EQ(QString::fromUtf8("憲法記念日"), Child<QLabel>(*d.Sub(), "statusPanel1")->text());
}

TEST(TfrmSub, ItsPlaceIsKeptWhenTheMainWindowClosesWithItOpen) {
  Diary d;
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  d.Sub()->resize(320, 410);
  d.w->FormCloseQuery();
  EXPECT_EQ(nullptr, d.Sub());
  CMyGlobal& g = *d.w->Global();
  EXPECT_EQ(320, g.width[CMyGlobal::kReferenceWindow]);
  const std::string ini = ReadBytes(g.UserPath("jbxuser.ini"));
  EXPECT_NE(std::string::npos, ini.find("[FORM2]\r\nLEFT=")) << ini;
  EXPECT_NE(std::string::npos, ini.find("WIDTH=320\r\nHEIGHT=410")) << ini;
}
