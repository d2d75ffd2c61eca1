// What a screen reader finds in the windows: the sheet read as a table, the
// cursor's cell followed as it moves, and a name for every control of every
// window and dialog.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "input/TfrmInput.h"
#include "mainview/search/SearchActions.h"
#include "mainview/search/TfrmFind.h"
#include "mainview/search/TfrmSub.h"
#include "platform/FileChooser.h"
#include "platform/Launcher.h"
#include "platform/Opener.h"
#include "ui/MainWindowFixture.h"
#include "ui/WrittenBook.h"

namespace {

// Rejects every dialog after noting its controls a screen reader cannot
// name and the Tab steps that go against the reading order; a dialog listed
// in `open` first has that button pressed (the dialog it opens is checked
// too).
struct NameCheck : ScriptedDialogs {
  std::vector<std::string> nameless, misordered;
  std::map<QString, const char*> open;
  // Tab from the window's start goes down the rows and, within a row, to
  // the right; climbing back up is only a move into a column further right.
  static void CheckOrder(QWidget& root, std::vector<std::string>& out) {
    root.show();
    QRect was;
    for (QWidget *w = root.nextInFocusChain(), *last = nullptr; w != &root; w = w->nextInFocusChain()) {
      if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || !w->isVisibleTo(&root) || !w->isEnabled())
        continue;
      const QRect r(w->mapTo(&root, QPoint(0, 0)), w->size());
      const bool above = r.bottom() < was.top(), row = !above && r.top() <= was.bottom();
      if (last && ((above && r.left() <= was.right()) || (row && r.right() < was.left())))
        out.push_back(root.objectName().toStdString() + ": " + last->objectName().toStdString() + " -> " +
                      w->objectName().toStdString());
      was = r;
      last = w;
    }
  }
  static void Check(QWidget& root, std::vector<std::string>& out) {
    using R = QAccessible::Role;
    static const QList<R> kControls = {R::PushButton,    R::CheckBox, R::RadioButton, R::ComboBox,
                                       R::EditableText,  R::SpinBox,  R::Slider,      R::List,
                                       R::Table,         R::Tree,     R::PageTabList, R::ButtonMenu,
                                       R::ButtonDropDown};
    auto control = [&](QWidget* w) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      return a && kControls.contains(a->role()) ? a : nullptr;
    };
    for (QWidget* w : root.findChildren<QWidget*>()) {
      if (!w->isVisibleTo(&root)) continue;
      bool part = false;  // a combo box's edit box is named by the combo box
      for (QWidget* p = w->parentWidget(); p && p != &root; p = p->parentWidget()) part = part || control(p);
      QAccessibleInterface* a = control(w);
      if (a && !part && a->text(QAccessible::Name).trimmed().isEmpty())
        out.push_back(root.objectName().toStdString() + "/" + w->objectName().toStdString() + " (" +
                      w->metaObject()->className() + ")");
    }
  }
  int Run(QDialog& d) override {
    Check(d, nameless);
    for (QTabWidget* t : d.findChildren<QTabWidget*>())  // every page
      for (int i = 0; i < t->count(); ++i) t->setCurrentIndex(i), CheckOrder(d, misordered);
    CheckOrder(d, misordered);
    d.hide();
    if (auto it = open.find(d.objectName()); it != open.end())
      if (auto* b = d.findChild<QAbstractButton*>(it->second)) b->click();
    return ScriptedDialogs::Run(d);
  }
};

// A diary with two entries of May 2024; today is 2024/05/15.
struct Diary {
  WrittenBook book;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 5, 15}};
  NameCheck dialogs;
  ScriptedFileChooser files;
  MemoryClipboard clipboard;
  RecordingOpener opener;
  RecordingLauncher launcher;
  std::unique_ptr<TfrmMain> w;

  Diary() {
    book.AddDivision(
        "日記帳", 0,
        {{"2024/05/03", {{memo::kMem001, "憲法記念日。歯医者"}}}, {"2024/05/16", {{memo::kMem001, "晴れ"}}}});
    w = std::make_unique<TfrmMain>(BookEnvironment(*this, book.Root()));
    w->FormCreate();
  }
  QWidget* Paint() { return w->findChild<QWidget*>("paiMain"); }
  QAccessibleInterface* Sheet() { return QAccessible::queryAccessibleInterface(Paint()); }
  QString Cell(int row, int column) {
    QAccessibleInterface* c = Sheet()->tableInterface()->cellAt(row, column);
    return c ? c->text(QAccessible::Name) : QStringLiteral("(none)");
  }
  void Key(Qt::Key key) { QTest::keyClick(w->findChild<QScrollBar*>("scr_Key"), key); }
};

}  // namespace

TEST(Accessibility, TheSheetReadsAsATableThatFollowsTheCursor) {
  Diary d;
  ASSERT_TRUE(d.w->Started());
  d.w->show();
  QApplication::setActiveWindow(d.w.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(d.w.get()));
  QAccessibleInterface* sheet = d.Sheet();
  ASSERT_TRUE(sheet && sheet->tableInterface());
  QAccessibleTableInterface* table = sheet->tableInterface();
  EXPECT_EQ(QAccessible::Table, sheet->role());
  EXPECT_TRUE(sheet->text(QAccessible::Name).endsWith(QStringLiteral("2024/05")))
      << sheet->text(QAccessible::Name).toStdString();
  EXPECT_EQ(31, table->rowCount());
  EXPECT_EQ(QStringLiteral("日付"), table->columnDescription(0));
  EXPECT_EQ(QStringLiteral("3日 金曜日 祝日 憲法記念日"), d.Cell(2, 0));
  int memo = -1;
  for (int c = 1; c < table->columnCount(); ++c)
    if (d.Cell(2, c) == QStringLiteral("憲法記念日。歯医者")) memo = c;
  ASSERT_GT(memo, 0);
  QAccessibleInterface* memoCell = table->cellAt(2, memo);
  ASSERT_EQ(1, memoCell->tableCellInterface()->columnHeaderCells().size());
  EXPECT_FALSE(memoCell->tableCellInterface()->columnHeaderCells()[0]->text(QAccessible::Name).isEmpty());
  EXPECT_EQ(QString(), d.Cell(1, memo));

  // the cursor stands on today; Down moves it and the focus with it
  EXPECT_EQ(QList<int>{14}, table->selectedRows());
  d.Key(Qt::Key_Down);
  EXPECT_EQ(QList<int>{15}, table->selectedRows());
  QAccessibleInterface* focused = sheet->focusChild();
  ASSERT_TRUE(focused);
  EXPECT_EQ(QStringLiteral("16日 木曜日"), focused->text(QAccessible::Name));
  EXPECT_TRUE(focused->state().focused && focused->state().selected);
  EXPECT_EQ(QStringLiteral("晴れ"), d.Cell(15, memo));

  // another month: the cells handed out before are gone
  const QAccessible::Id before = QAccessible::uniqueId(memoCell);
  d.Key(Qt::Key_Right);
  EXPECT_EQ(nullptr, QAccessible::accessibleInterface(before));
  EXPECT_EQ(30, table->rowCount());
  EXPECT_EQ(QStringLiteral("1日 土曜日"), d.Cell(0, 0));
  EXPECT_TRUE(sheet->text(QAccessible::Name).endsWith(QStringLiteral("2024/06")));
  EXPECT_EQ(QStringLiteral("次の月"), d.w->findChild<QToolButton*>("tbt_Right")->accessibleName());

  // an entry deleted from the sheet is gone from its cell
  d.Key(Qt::Key_Left);
  d.w->View()->MoveCursorTo(2);
  d.prompter.Queue(kAnswerYes);
  ASSERT_TRUE(Trigger(*d.w, "mnuEditDel"));
  EXPECT_EQ(QString(), d.Cell(2, memo));
}

// ...and Tab goes through each in reading order.
TEST(Accessibility, EveryControlOfEveryWindowHasAName) {
  Diary d;
  ASSERT_TRUE(d.w->Started());
  // action, the dialog it shows (through the runner); a button pressed in
  // it opens the dialog behind it
  const struct Case {
    const char* action;
    const char* dialog;
    const char* button;
    const char* nested;
  } cases[] = {
      {"mnu_FileUser", "frmNewUser", nullptr, nullptr},
      {"mnuFileNewDiv", "frmNewDiv", nullptr, nullptr},
      {"mnuFileChgDiv", "frmHanyoData", nullptr, nullptr},
      {"mnuFileNewScr", "frmNewScr", nullptr, nullptr},
      {"mnuFileColor", "frmSetColor", nullptr, nullptr},
      {"mnuFileHoliday", "frmHoliday", "cmd_Insert", "frmInHoliday"},
      {"mnuFileKinen", "frmHoliday", nullptr, nullptr},
      {"mnuFileOption", "frmOption", nullptr, nullptr},
      {"mnuFileExport", "frmExport", nullptr, nullptr},
      {"mnuFileImport", "frmImport", nullptr, nullptr},
      {"mnu_FileUserBackBack", "frmDataBack", nullptr, nullptr},
      {"mnu_FileUserBackRestore", "frmRestore", nullptr, nullptr},
      {"mnu_FileAlarm", "frmAlarm", "cmd_DetailSet", "frmAlarmSet"},
      {"mnuSelPickoutSet", "frmPickup", "cmd_Save", "frmHanyoData"},
      {"mnuFilePrnSetup", "frmPageSetup", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    d.dialogs.run.clear();
    d.dialogs.open.clear();
    if (c.button) d.dialogs.open[QString::fromUtf8(c.dialog)] = c.button;
    ASSERT_TRUE(Trigger(*d.w, c.action)) << c.action;
    EXPECT_TRUE(std::count(d.dialogs.run.begin(), d.dialogs.run.end(), QString::fromUtf8(c.dialog)))
        << c.action;
    if (c.nested) {
      EXPECT_TRUE(std::count(d.dialogs.run.begin(), d.dialogs.run.end(), QString::fromUtf8(c.nested)))
          << c.action;
    }
  }
  // the windows that stay open beside the sheet
  auto check = [&d](QWidget& w) {
    NameCheck::Check(w, d.dialogs.nameless);
    NameCheck::CheckOrder(w, d.dialogs.misordered);
  };
  check(*d.w);
  ASSERT_TRUE(Trigger(*d.w, "mnuSelFind"));
  check(d.w->Feature<SearchWindows>().FindDialog());
  ASSERT_TRUE(Trigger(*d.w, "tbt_New"));
  ASSERT_TRUE(d.w->InputForm());
  // the input form's Tab (and Enter) walks the fields in the order the
  // screen defines them and on to 登録, the way an entry is typed
  NameCheck::Check(*d.w->InputForm(), d.dialogs.nameless);
  ASSERT_TRUE(Trigger(*d.w, "mnuPrevNenPopWin"));
  ASSERT_TRUE(d.w->Feature<SearchWindows>().ReferenceWidget());
  check(*d.w->Feature<SearchWindows>().ReferenceWidget());
  std::string all;
  for (const std::string& n : d.dialogs.nameless) all += n + "\n";
  EXPECT_TRUE(d.dialogs.nameless.empty()) << all;
  all.clear();
  for (const std::string& n : d.dialogs.misordered) all += n + "\n";
  EXPECT_TRUE(d.dialogs.misordered.empty()) << all;

  QAction* palette = d.w->findChild<QAction*>("cmd_Cr3");  // 編集 > 色 3 from the keyboard
  ASSERT_TRUE(palette && palette->text().endsWith(QStringLiteral("(&3)")));
  EXPECT_EQ(QStringLiteral("編集(&E)"), qobject_cast<QMenu*>(palette->associatedObjects().value(0))->title());
}
