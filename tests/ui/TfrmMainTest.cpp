#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <map>

#include "catalogue/TfrmHanyoData.h"
#include "catalogue/TfrmNewDiv.h"
#include "catalogue/TfrmNewScr.h"
#include "mainview/editing/EditActions.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/tray/QtTray.h"
#include "qtkit/SjLineEdit.h"
#include "store/CMyLine.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"

TEST(TfrmMain, CancelledFirstRunCreatesNoFolderAndDoesNotStart) {
  MainFixture env;
  bool asked = false;
  QString preset;
  TfrmMain w(env.Main([&](TfrmNewUser& dlg) {
    asked = true;
    preset = Child<SjLineEdit>(dlg, "txt_UserName")->text();
    dlg.cmd_CancelClick();
    return dlg.Result();
  }));
  w.FormCreate();
  EXPECT_TRUE(asked);
  EXPECT_EQ(QString::fromUtf8("新規ユーザー"), preset);
  EXPECT_FALSE(w.Started());
  EXPECT_TRUE(fileops::List(env.program, "*", true).empty());
}

TEST(TfrmMain, FirstRunThroughToAUserAndBackAgain) {
  MainFixture env;
  {
    TfrmMain w(env.As("太郎"));
    env.window = &w;
    w.FormCreate();
    EXPECT_EQ(1, env.newDivisions);
    EXPECT_EQ(1, Tabs(w, "tab_Div")->count());
    EXPECT_EQ(3, Tabs(w, "tab_Scr")->count());  // month, list, photo diary
    ASSERT_TRUE(w.Started());
    EXPECT_EQ(QString::fromUtf8("ひとこと(2026年12月09日 水曜日)"), w.windowTitle());
    w.setGeometry(30, 40, 500, 640);
    w.FormCloseQuery();
  }
  // the second start finds the user and the window where it was left
  bool asked = false;
  TfrmMain w(env.Main([&](TfrmNewUser&) {
    asked = true;
    return false;
  }));
  env.window = &w;
  w.FormCreate();
  EXPECT_FALSE(asked);
  EXPECT_EQ(1, env.newDivisions);  // the division was found, not made again
  EXPECT_TRUE(w.Started());
  EXPECT_EQ(QString::fromUtf8("日記帳"), Tabs(w, "tab_Div")->tabText(0));
  EXPECT_EQ(QString::fromUtf8("月表"), Tabs(w, "tab_Scr")->tabText(0));
  EXPECT_EQ(3, Tabs(w, "tab_Scr")->count());
  EXPECT_EQ("太郎"_sj, w.Global()->UserName());
  EXPECT_EQ(QString::fromUtf8("ユーザー: 太郎"), w.findChild<QLabel*>("lbl_User")->text());
  EXPECT_EQ(500, w.Global()->width[0]);
  EXPECT_EQ(640, w.Global()->height[0]);
}

TEST(TfrmMain, DamagedInputDefinitionLeadsToTheImportDialog) {
  MainFixture env;
  int imports = 0;
  MainEnvironment e = env.As("u");
  env.dialogs.On<QDialog>("frmNewDiv", [&](QDialog&) {
    env.MakeDivision("d");
    CMyLine bad;
    bad.Append(std::string(160, '\0'));  // a header of the wrong size
    EXPECT_GE(bad.WriteList(env.window->Global()->DivisionPath("scrin.jsc")), 0);
    return 1;
  });
  env.dialogs.On<QDialog>("frmNewDivIn", [&](QDialog&) {
    ++imports;
    return 0;  // the user cancels the import
  });
  TfrmMain w(std::move(e));
  env.window = &w;
  w.FormCreate();
  EXPECT_EQ(1, imports);
  EXPECT_FALSE(w.Started());
  EXPECT_EQ(0, w.Table(0)->RecordCount());  // the division just made is taken back
  ASSERT_FALSE(env.prompter.Shown().empty());
  EXPECT_EQ("ヘッダーのサイズが異なります。", env.prompter.ShownUtf8()[0]);
}

TEST(TfrmMain, ScreenVersionProblemsOfferTheRepairDialog) {
  MainFixture env;
  struct OldScreens : ScreenLoader {
    int Load(const std::string&, ViewScreen&) override { return -2; }
  };
  std::vector<std::pair<int, int>> asked;
  MainEnvironment e = env.As("u");
  env.dialogs.On<TfrmNewScr>("frmNewScr", [&](TfrmNewScr& shown) {
    asked.push_back({shown.Mode(), shown.Index()});
    return 0;
  });
  TfrmMain w(std::move(e));
  env.window = &w;
  w.SetScreenLoader(std::make_unique<OldScreens>());
  w.FormCreate();
  EXPECT_FALSE(w.Started());
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ((std::pair<int, int>{1, 0}), asked[0]);
  EXPECT_EQ("表示画面のバージョンが古いです。", env.prompter.ShownUtf8()[0]);
}

TEST(TfrmMain, MinusCStartsInTheTrayOnlyAfterAClosedFromTheTray) {
  MainFixture env;
  WriteBytes(env.program + "/jotbox.ini", "[APL]\r\nNAME=u\r\n");
  ASSERT_TRUE(fileops::MakeDirs(env.program + "/u"));
  struct Case {
    const char* ini;
    QStringList args;
    bool inTray;
  } cases[] = {
      {"[FORM1]\r\nTASK=1\r\n", {"-C"}, true},
      {"[FORM1]\r\nTASK=0\r\n", {"-c"}, false},
      {"[FORM1]\r\nTASK=1\r\n", {}, false},
  };
  for (const auto& c : cases) {
    WriteBytes(env.program + "/u/jbxuser.ini", c.ini);
    MainEnvironment e = env.Main([](TfrmNewUser&) { return false; });
    e.arguments = c.args;
    TfrmMain w(std::move(e));
    env.window = &w;
    w.FormCreate();
    EXPECT_EQ(c.inTray, w.StartsInTray()) << c.ini;
  }
}

TEST(TfrmMain, ANewUserWithoutABookFallsBackToThePreviousUser) {
  MainFixture env;
  int divisionsAsked = 0;
  MainEnvironment e = env.As("太郎");
  env.dialogs.On<QDialog>("frmNewDiv", [&](QDialog&) {
    // the first user makes a book; the second cancels
    return ++divisionsAsked == 1 ? env.MakeDivision("日記帳"_sj) : 0;
  });
  TfrmMain w(std::move(e));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  // switch to a new user "花子" who has no book and cancels making one
  env.dialogs.On<TfrmNewUser>("frmNewUser", [](TfrmNewUser& dlg) {
    dlg.SetName(QString::fromUtf8("花子"));
    dlg.cmd_OkClick();
    return dlg.Result();
  });
  ASSERT_TRUE(Trigger(w, "mnu_FileUser"));
  EXPECT_EQ(2, divisionsAsked);
  EXPECT_EQ("太郎"_sj, w.Global()->UserName());
  EXPECT_EQ("日記帳"_sj, w.Global()->DivisionFolder());
  // the abandoned user's empty folder does not stay behind
  EXPECT_FALSE(fileops::IsDir(env.program + "/花子"));
  EXPECT_EQ(QString::fromUtf8("日記帳"), Tabs(w, "tab_Div")->tabText(0));
}

TEST(TfrmMain, ABookKeepersFirstWeek) {
  MainFixture env;
  auto names = packagelist::Names(JBX_PROGRAM_DIR);
  int wantPackage = 0;
  const char* wantName = "日記帳";
  MainEnvironment e = env.As("花子");
  // the shipped packages lie beside the real program; the data stays in the test's folder
  e.programFolder = JBX_PROGRAM_DIR;
  e.dataRoot = env.program;
  env.dialogs.On<TfrmNewDiv>("frmNewDiv", [&](TfrmNewDiv& dlg) {
    Child<SjLineEdit>(dlg, "txt_DivName")->setText(QString::fromUtf8(wantName));
    Child<QListWidget>(dlg, "lst_Package")->setCurrentRow(wantPackage);
    dlg.cmd_OkClick();
    return dlg.result() == QDialog::Accepted ? 1 : 0;
  });
  env.dialogs.On<TfrmNewScr>("frmNewScr", [&](TfrmNewScr& dlg) {
    Child<SjLineEdit>(dlg, "txt_ScrName")->setText(QString::fromUtf8("予定"));
    Child<QLineEdit>(dlg, "txt_File")
        ->setText(QString::fromStdString(packagelist::PathOf(JBX_PROGRAM_DIR, names[1])));
    dlg.runChooser = [](TfrmPkgViewSel& chooser) {
      if (!chooser.SetUp()) return -1;
      Child<QListWidget>(chooser, "lst_Screen")->setCurrentRow(0);
      chooser.cmd_OkClick();
      return chooser.result() == QDialog::Accepted ? 1 : 0;
    };
    dlg.cmd_OkClick();
    return dlg.result() == QDialog::Accepted ? 1 : 0;
  });
  env.dialogs.On<TfrmHanyoData>("frmHanyoData", [](TfrmHanyoData& dlg) {
    Child<SjLineEdit>(dlg, "txt_Name")->setText(QString::fromUtf8("私の日記"));
    dlg.cmd_OkClick();
    return dlg.result();
  });
  {
    TfrmMain w(e);
    w.FormCreate();
    ASSERT_TRUE(w.Started());
    // a notebook beside the diary
    wantPackage = 3;
    wantName = "ノート";
    ASSERT_TRUE(Trigger(w, "mnuFileNewDiv"));
    ASSERT_EQ(2, Tabs(w, "tab_Div")->count());
    EXPECT_EQ("ノート"_sj, w.Global()->DivisionFolder());
    EXPECT_EQ(100, w.View()->DataKind());
    // back to the diary, a screen from the schedule package
    Tabs(w, "tab_Div")->setCurrentIndex(0);
    EXPECT_EQ("日記帳"_sj, w.Global()->DivisionFolder());
    EXPECT_EQ(0, w.View()->DataKind());
    ASSERT_TRUE(Trigger(w, "mnuFileNewScr"));
    ASSERT_EQ(4, Tabs(w, "tab_Scr")->count());
    EXPECT_EQ(QString::fromUtf8("予定"), Tabs(w, "tab_Scr")->tabText(3));
    // rename the diary and put the notebook first
    ASSERT_TRUE(Trigger(w, "mnuFileChgDiv"));
    EXPECT_EQ(QString::fromUtf8("私の日記"), Tabs(w, "tab_Div")->tabText(0));
    Tabs(w, "tab_Div")->setCurrentIndex(1);
    ASSERT_TRUE(Trigger(w, "mnuFileDivMoveUp"));
    EXPECT_EQ(QString::fromUtf8("ノート"), Tabs(w, "tab_Div")->tabText(0));
    w.FormCloseQuery();
  }
  // the next start finds everything as it was left
  TfrmMain w(e);
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  ASSERT_EQ(2, Tabs(w, "tab_Div")->count());
  EXPECT_EQ(QString::fromUtf8("ノート"), Tabs(w, "tab_Div")->tabText(0));
  EXPECT_EQ(QString::fromUtf8("私の日記"), Tabs(w, "tab_Div")->tabText(1));
  Tabs(w, "tab_Div")->setCurrentIndex(1);
  EXPECT_EQ(4, Tabs(w, "tab_Scr")->count());
  EXPECT_TRUE(fileops::IsDir(env.program + "/花子/私の日記"));
  EXPECT_TRUE(env.prompter.Shown().empty()) << env.prompter.ShownUtf8()[0];
}

TEST(TfrmMain, CommandsOfAClosedBookDoNothingAndMenusFollowTheState) {
  MainFixture env;
  TfrmMain w(env.Main([](TfrmNewUser& dlg) {
    dlg.cmd_CancelClick();
    return false;
  }));
  env.window = &w;
  w.FormCreate();
  ASSERT_FALSE(w.Started());
  env.dialogs.run.clear();
  // a shortcut or a button reaches the handler without a menu: the predicate still holds
  for (const char* name : {"mnuFileNewDiv", "mnuFileDelDiv", "mnuFileColor", "mnuSelMovePrevNen"}) {
    ASSERT_TRUE(Trigger(w, name)) << name;
  }
  EXPECT_TRUE(env.dialogs.run.empty());
  EXPECT_TRUE(env.prompter.Shown().empty());
  w.Actions().Refresh();
  EXPECT_FALSE(w.findChild<QAction*>("mnuFileDelDiv")->isEnabled());
  EXPECT_TRUE(w.findChild<QAction*>("mnuFileExit")->isEnabled());
}

TEST(TfrmMain, YearMovesApplyOnlyToTheSheetOfADatedBook) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  w.Actions().Refresh();
  EXPECT_TRUE(w.findChild<QAction*>("mnuSelMovePrevNen")->isEnabled());
  const std::string before = w.View()->Label();
  ASSERT_TRUE(Trigger(w, "mnuSelMovePrevNen"));
  EXPECT_NE(before, w.View()->Label());
  w.View()->SetDisplayMode(CMyView::kListMode);
  w.Actions().Refresh();
  EXPECT_FALSE(w.findChild<QAction*>("mnuSelMovePrevNen")->isEnabled());
}

TEST(TfrmMain, AnAlarmListThatCannotBeSavedAtCloseIsReported) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  env.prompter.ClearShown();
  fileops::InjectFault(fileops::Fault::kRename, 1);
  w.FormCloseQuery();
  fileops::ClearFaults();
  ASSERT_FALSE(env.prompter.Shown().empty());
  EXPECT_EQ("アラームを保存できませんでした。", env.prompter.ShownUtf8()[0]);
}

TEST(TfrmMain, ReinstallingABookAsksFirstAndNoLeavesItAlone) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  env.dialogs.run.clear();
  env.prompter.ClearShown();
  env.prompter.Queue(kAnswerNo);
  ASSERT_TRUE(Trigger(w, "mnu_FileUpDiv"));
  EXPECT_TRUE(env.dialogs.run.empty());
  ASSERT_EQ(1u, env.prompter.Shown().size());
  EXPECT_EQ("色設定と表示画面の一覧を初期状態に戻します。よろしいですか？", env.prompter.ShownUtf8()[0]);
  EXPECT_EQ(kAnswerNo, env.prompter.Shown()[0].defaultButton);
}

TEST(TfrmMain, TheScrollRangeEndsWithTheLastRowAtTheBottom) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  CMyView& v = *w.View();
  v.SetViewHeight(1000000);  // every row fits
  EXPECT_EQ(0, v.MaxTopRow());
  v.SetViewHeight(v.Screen().headerHeight + v.Screen().footerHeight + 3 * v.Rows()[0].height);
  const int top = v.MaxTopRow();
  EXPECT_GT(top, 0);
  EXPECT_EQ(v.RowCount() - 1, v.LayoutFromTop(top));      // from there the last row is shown
  EXPECT_NE(v.RowCount() - 1, v.LayoutFromTop(top - 1));  // one higher it is not
}

TEST(TfrmMain, ChangingScreensKeepsTheCursorsDay) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  CMyView& v = *w.View();
  auto keyAtCursor = [&v] { return std::string(v.Rows()[static_cast<size_t>(v.CursorRow())].key); };
  ASSERT_EQ("2026/12/09", keyAtCursor());  // today
  ASSERT_EQ(w.Global()->DivisionPath("") + "/", w.Objects().scr->DivisionFolder());
  Tabs(w, "tab_Scr")->setCurrentIndex(1);  // the list
  Tabs(w, "tab_Scr")->setCurrentIndex(0);  // back to the month
  EXPECT_EQ("2026/12/09", keyAtCursor());
}

TEST(TfrmMain, AnUnreadableScreenIsNamedReadablyInItsMessage) {
  MainFixture env;
  struct Unreadable : ScreenLoader {
    int Load(const std::string&, ViewScreen&) override { return -1; }
  };
  MainEnvironment e = env.As("u");
  TfrmMain w(std::move(e));
  env.window = &w;
  w.SetScreenLoader(std::make_unique<Unreadable>());
  w.FormCreate();
  ASSERT_FALSE(env.prompter.Shown().empty());
  const std::string shown = env.prompter.ShownUtf8()[0];
  EXPECT_EQ(0u, shown.find("読込に失敗しました。<<")) << shown;
  EXPECT_NE(std::string::npos, shown.find("/日記帳/月表.jos>>")) << shown;
}

TEST(TfrmMain, HelpOpensItsPageThroughTheDesktop) {
  MainFixture env;
  ASSERT_TRUE(fileops::MakeDir(env.program + "/help"));
  WriteBytes(env.program + "/help/index.html", "");
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  ASSERT_TRUE(Trigger(w, "mnuHelpContents"));
  ASSERT_EQ(1u, env.opener.opened.size());
  EXPECT_EQ(0u, env.opener.opened[0].find("file://")) << env.opener.opened[0];
}

TEST(TfrmMain, ASheetWiderThanAnyScreenIsDrawnWithinBounds) {
  MainFixture env;
  struct Wide : ScreenLoader {
    int Load(const std::string&, ViewScreen& out) override {
      out.fieldAreaWidth = 2000000000;  // as a damaged screen file may claim
      return 0;
    }
  };
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.SetScreenLoader(std::make_unique<Wide>());
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  const QImage img = w.RenderSheetImage(400, 300);
  EXPECT_EQ(QSize(400, 300), img.size());
}

TEST(TfrmMain, AClickAClosedMenuOrTheTrayGiveTheKeysBackToTheSheet) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  w.showMaximized();
  QApplication::setActiveWindow(&w);
  QtTray tray(w, nullptr, nullptr, nullptr, {});
  QMenu* edit = w.Actions().Menu(QString::fromUtf8("編集(&E)"));
  const std::function<void()> kBack[] = {
      [&] { QTest::mouseClick(w.findChild<QWidget*>("paiMain"), Qt::LeftButton, {}, QPoint(60, 40)); },
      [&] { edit->popup({}), edit->hide(); },  // as Escape closes it
      [&] { w.hide(), tray.ShowWindow(); }};
  for (size_t i = 0; i < std::size(kBack); ++i) {
    w.menuBar()->setFocus();  // Alt+E, then Escape, leave the keys with the menu bar
    kBack[i]();
    QApplication::processEvents();
    // the sheet, or the key receiver that hands its keys to it
    const QWidget* keys = w.focusWidget();
    EXPECT_TRUE(keys == w.findChild<QWidget*>("paiMain") || keys == w.findChild<QWidget*>("scr_Key")) << i;
  }
  EXPECT_TRUE(w.isMaximized() && w.isVisible() && QApplication::activeWindow() == &w);
}

TEST(TfrmMain, NoMenuGivesOneAccessKeyToTwoItemsAndCaptionsKeepTheirKeys) {
  MainFixture env;
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  w.Feature<EditFeature>().Commands().ColorPanelClick(1);  // something to undo: its caption names it
  auto key = [](const QString& t) { return t.contains('&') ? t[t.indexOf('&') + 1].toUpper() : QChar(); };
  std::vector<std::string> faults;
  for (QMenu* m : w.findChildren<QMenu*>()) {
    std::map<QAction*, QChar> before;
    for (QAction* a : m->actions()) before[a] = key(a->text());
    emit m->aboutToShow();  // the captions that name what they act on
    std::map<QChar, QString> seen;
    for (QAction* a : m->actions()) {
      if (key(a->text()) != before[a]) faults.push_back(("lost its key: " + a->text()).toStdString());
      if (!key(a->text()).isNull() && !seen.emplace(key(a->text()), a->text()).second)
        faults.push_back((seen[key(a->text())] + " / " + a->text()).toStdString());
    }
  }
  EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
  EXPECT_TRUE(w.findChild<QAction*>("mnuEditUndo")->text().startsWith(QString::fromUtf8("元に戻す: ")));
}

TEST(TfrmMain, F1OpensTheHelpOfTheWindowOrDialogWithTheFocus) {
  MainFixture env;
  ASSERT_TRUE(fileops::MakeDir(env.program + "/help"));
  WriteBytes(env.program + "/help/keywords.txt", "シート\tsheet.html\nオプション\toption.html\n");
  for (const char* page : {"sheet.html", "option.html"}) WriteBytes(env.program + "/help/" + page, "");
  TfrmMain w(env.As("u"));
  env.window = &w;
  w.FormCreate();
  QTest::keyClick(w.findChild<QWidget*>("scr_Key"), Qt::Key_F1);
  env.dialogs.On<QDialog>("frmOption", [](QDialog& dlg) { return QTest::keyClick(&dlg, Qt::Key_F1), 0; });
  ASSERT_TRUE(Trigger(w, "mnuFileOption"));
  ASSERT_EQ(2u, env.opener.opened.size());
  EXPECT_NE(std::string::npos, env.opener.opened[0].find("/help/sheet.html"));
  EXPECT_NE(std::string::npos, env.opener.opened[1].find("/help/option.html"));
}
