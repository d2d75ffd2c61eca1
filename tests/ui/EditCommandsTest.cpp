// Editing in the sheet of real books: every command changes the files at
// once, changes all of them or none, and can be undone and redone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <set>

#include "input/CMyInput.h"
#include "input/TfrmInput.h"
#include "mainview/editing/EditActions.h"
#include "mainview/editing/EditCommands.h"
#include "mainview/editing/EntryActions.h"
#include "mainview/sheet/CMyView.h"
#include "platform/FileOps.h"
#include "qtkit/QtCanvas.h"
#include "screens/CMyScr.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"
#include "ui/MainWindowFixture.h"

namespace {

struct Book : MainFixture {
  std::unique_ptr<TfrmMain> w;
  explicit Book(int pkg) {
    packageIndex = pkg;
    UserAnswers("u");
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->FormCreate();
    w->SetSheetHeight(100000);  // every row of a month laid out
  }
  EditCommands& Edit() { return w->Feature<EditFeature>().Commands(); }
  CMyView& View() { return *w->View(); }
  std::string File(const std::string& period) {
    return ReadBytes(w->Global()->DivisionPath("dt" + period + ".jdt"));
  }
  bool Has(const std::string& period) {
    return fileops::Exists(w->Global()->DivisionPath("dt" + period + ".jdt"));
  }
  // Writes an entry through the input form; its line serial.
  std::string Add(const std::string& key, const std::string& memo) {
    CMyInput& m = w->InputForm()->Model();
    EXPECT_TRUE(w->ShowEntry(key, -1));
    m.SetValue(m.FindControl("MEM001"), memo);
    EXPECT_TRUE(m.SaveRecord()) << (prompter.Shown().empty() ? "" : prompter.ShownUtf8().back());
    return m.SavedSerial();
  }
  // The memo texts of the records on the rows of `key`, in row order.
  std::vector<std::string> Memos(const std::string& key) {
    std::vector<std::string> out;
    if (!Edit().SelectRow(key, {})) return out;
    CMyDB& db = *w->Objects().db;
    for (const SheetRow& r : View().Rows()) {
      if (key != r.key || r.record < 0) continue;
      out.push_back(cp932::ToUtf8(db.Value(memo::kMem001, w->Objects().rec->Items()[r.record])));
    }
    return out;
  }
  std::string Serial() {
    const SheetRow& r = View().Rows()[static_cast<size_t>(View().CursorRow())];
    return r.record < 0 ? "" : w->Objects().db->Value(memo::kLineSerial, w->Objects().rec->Items()[r.record]);
  }
};

TEST(EditCommands, CutAndPasteMovesAnEntryToAnotherMonthWithItsAlarmAndUndoPutsItBack) {
  Book b(0);  // the diary
  ASSERT_TRUE(b.w->Started());
  const std::string s = b.Add("2026/11/30", "[09:15]歯医者"_sj);
  CMyAlarm& alarms = *b.w->Alarms();
  ASSERT_EQ(1, alarms.Count());
  const std::string novBefore = b.File("202611");

  ASSERT_TRUE(b.Edit().SelectRow("2026/11/30", s));
  ASSERT_TRUE(Trigger(*b.w, "mnuEditCut"));
  ASSERT_TRUE(b.Edit().SelectRow("2026/12/02", {}));
  ASSERT_TRUE(Trigger(*b.w, "mnuEditPaste"));
  EXPECT_EQ(0, b.beeper.Count());
  EXPECT_EQ(std::vector<std::string>{"[09:15]歯医者"}, b.Memos("2026/12/02"));
  EXPECT_TRUE(b.Memos("2026/11/30").empty());
  EXPECT_EQ(std::string::npos, b.File("202611").find("歯医者"_sj));  // the source month was saved too
  EXPECT_NE(std::string::npos, b.File("202612").find("歯医者"_sj));
  ASSERT_EQ(1, alarms.Count());
  EXPECT_EQ("2026/12/02", alarms.Item(0).date);
  // the source is gone: a second paste finds nothing
  ASSERT_TRUE(Trigger(*b.w, "mnuEditPaste"));
  EXPECT_EQ(1, b.beeper.Count());

  EXPECT_EQ("切り取りと貼り付け"_sj, b.Edit().Undo().UndoName());
  ASSERT_TRUE(Trigger(*b.w, "mnuEditUndo"));
  EXPECT_EQ(novBefore, b.File("202611"));
  EXPECT_EQ(std::string::npos, b.File("202612").find("歯医者"_sj));
  EXPECT_EQ(std::vector<std::string>{"[09:15]歯医者"}, b.Memos("2026/11/30"));
  ASSERT_EQ(1, alarms.Count());
  EXPECT_EQ("2026/11/30", alarms.Item(0).date);
  // redo moves it again, and the form's own save is a step as well
  ASSERT_TRUE(Trigger(*b.w, "mnuEditRedo"));
  EXPECT_EQ(std::vector<std::string>{"[09:15]歯医者"}, b.Memos("2026/12/02"));
  ASSERT_TRUE(Trigger(*b.w, "mnuEditUndo"));
  ASSERT_TRUE(Trigger(*b.w, "mnuEditUndo"));  // the entry's first save
  EXPECT_TRUE(b.Memos("2026/11/30").empty());
  EXPECT_EQ(0, alarms.Count());
  ASSERT_TRUE(Trigger(*b.w, "mnuEditUndo"));  // nothing left
  EXPECT_EQ(1, b.beeper.Count());             // (the action is disabled: no beep either)
}

// ---- the notebook ------------------------------------------------------------

struct Notebook : Book {
  Notebook() : Book(3) {}
  std::string Key(int page, int line) { return memo::PageKey(page, line); }
};

TEST(EditCommands, CtrlZUndoesRightAfterAColourClickOrAnInsertedLine) {
  // the keys act only while their menu item is on: it learns of a step as the step ends
  for (const bool notebook : {false, true}) {
    Book b(notebook ? 3 : 0);
    const std::string key = notebook ? memo::PageKey(1, 2) : "2026/12/24",
                      period = notebook ? "00001" : "202612";
    b.Add(key, "メモ"_sj);
    ASSERT_TRUE(b.Edit().SelectRow(notebook ? memo::PageKey(1, 1) : key, {}));
    const std::string before = b.File(period);
    b.w->show();
    QApplication::setActiveWindow(b.w.get());
    notebook ? (void)Trigger(*b.w, "mnuEditLineIns") : b.w->findChild<QToolButton*>("cmd_Cr1")->click();
    ASSERT_NE(before, b.File(period)) << notebook;
    QTest::keyClick(b.w.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(before, b.File(period)) << notebook;
  }
}

TEST(EditCommands, PageAndLineItemsApplyOnlyToANotebookSheet) {
  Book diary(0);
  diary.w->Actions().Refresh();
  EXPECT_FALSE(diary.w->findChild<QAction*>("mnuEditPageIns")->isEnabled());
  EXPECT_FALSE(diary.w->findChild<QAction*>("pmenu_InsLine")->isEnabled());
  EXPECT_EQ(-1, diary.Edit().ShiftPages(1, 1, true));
  EXPECT_EQ(1, diary.beeper.Count());
  Notebook note;
  note.w->Actions().Refresh();
  EXPECT_TRUE(note.w->findChild<QAction*>("mnuEditPageIns")->isEnabled());
  EXPECT_TRUE(note.w->findChild<QAction*>("mnuEditLineDel")->isEnabled());
}

TEST(EditCommands, TheFieldUnderTheMouseIsCopiedAsText) {
  Book b(0);
  const std::string s = b.Add("2026/12/15", "写す"_sj);
  ASSERT_TRUE(b.Edit().SelectRow("2026/12/15", s));
  b.Edit().SetFieldUnderMouse("MEM001");
  b.w->Actions().Refresh();  // as the popup does when it opens
  ASSERT_TRUE(Trigger(*b.w, "pmenu_FieldCopy"));
  EXPECT_EQ("写す"_sj, b.clipboard.Text());
  b.Edit().SetFieldUnderMouse({});
  b.Edit().pmenu_FieldCopy();
  EXPECT_EQ("", b.clipboard.Text());
}

}  // namespace

namespace {

TEST(EditCommands, TheEditKeysActOnlyWhileTheMainWindowIsActive) {
  Book b(0);
  QAction* del = b.w->findChild<QAction*>("mnuEditDel");
  QAction* paste = b.w->findChild<QAction*>("mnuEditPaste");
  ASSERT_NE(nullptr, del);
  b.w->show();
  QApplication::setActiveWindow(b.w.get());
  EXPECT_EQ(QKeySequence(Qt::Key_Delete), del->shortcut());
  // another window (the input form) takes over: Delete must not reach the sheet
  QApplication::setActiveWindow(nullptr);
  QEvent change(QEvent::ActivationChange);
  QApplication::sendEvent(b.w.get(), &change);
  EXPECT_TRUE(del->shortcut().isEmpty());
  EXPECT_TRUE(paste->shortcut().isEmpty());
  EXPECT_FALSE(b.w->Actions().Menu(QString::fromUtf8("編集(&E)"))->isEnabled());
  QApplication::setActiveWindow(b.w.get());
  QApplication::sendEvent(b.w.get(), &change);
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_V), paste->shortcut());
  EXPECT_TRUE(b.w->Actions().Menu(QString::fromUtf8("編集(&E)"))->isEnabled());
}

}  // namespace

namespace {

TEST(SheetRows, AMemoOfSeveralLinesGrowsItsRowToHoldEveryLine) {
  Book b(0);
  ViewScreen grow = b.View().Screen();
  ASSERT_GE(grow.memoControl, 0);
  grow.option5 = true;  // the diary's month screen as a user sets it to grow rows
  b.View().SetScreen(grow);
  const ViewScreen& vs = b.View().Screen();
  b.Add("2026/12/16", "一行目\n二行目\n三行目\n四行目"_sj);
  ASSERT_TRUE(b.Edit().SelectRow("2026/12/16", {}));
  const SheetRow& row = b.View().Rows()[static_cast<size_t>(b.View().CursorRow())];
  ASSERT_EQ(4, row.memoLines);
  CMyScr& scr = *b.w->Objects().scr;
  const QFontMetrics fm(QtCanvas::FontFor(scr.GetItem(vs.memoControl).font.DeviceFont()));
  // the memo box is the row's height less its top and 90 units of margin
  const int boxPixels = scr.ToDevice(1, row.height - vs.memoTop - 90);
  EXPECT_GE(boxPixels, 4 * fm.lineSpacing() - 2) << "the last line would be cut";
}

}  // namespace

namespace {

TEST(EditCommands, ADoubleClickOnAPictureShowsItInsteadOfOpeningTheForm) {
  Book b(0);
  WriteBytes(b.program + "/jbxview", "");  // the viewer beside the program
  ASSERT_TRUE(fileops::MakeDirs(b.dir / "写真"));
  const std::string picture = b.dir / "写真/海.jpg";
  QImage img(40, 30, QImage::Format_RGB32);
  img.fill(Qt::blue);
  ASSERT_TRUE(img.save(QString::fromStdString(picture), "JPEG"));
  const std::string s = b.Add("2026/12/20", "海へ"_sj);
  ASSERT_TRUE(b.Edit().SelectRow("2026/12/20", s));
  CMyDB& db = *b.w->Objects().db;
  const int r =
      b.w->Objects().rec->Items()[b.View().Rows()[static_cast<size_t>(b.View().CursorRow())].record];
  ASSERT_EQ(0, db.Load(r));
  ASSERT_EQ(0, db.SetValue(memo::kImg001, cp932::FromUtf8(picture)));
  ASSERT_EQ(0, db.Store());
  b.w->InputForm()->hide();

  b.launcher.started.clear();
  // what a double click over the picture item calls
  EntryCommands& commands = b.w->Feature<EntryFeature>().Commands();
  commands.EditCursorRow("IMG001");
  ASSERT_EQ(1u, b.launcher.started.size())
      << (b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8().back());
  EXPECT_EQ(picture, b.launcher.started[0].args.at(0));
  EXPECT_FALSE(b.w->InputForm()->isVisible());
  // a row without a picture says so
  ASSERT_TRUE(b.Edit().SelectRow("2026/12/21", {}));
  commands.EditCursorRow("IMG001");
  EXPECT_EQ("画像が存在しません。", b.prompter.ShownUtf8().back());
  EXPECT_EQ(1u, b.launcher.started.size());
}

}  // namespace

TEST(EditCommands, AnotherProgramsEntryReachesTheSheetAndSurvivesOurNextSave) {
  Book b(0);
  // jbx from a script begins the month the window shows (no file of it yet)
  const std::string jbx = std::string(JBX_PROGRAM_DIR) + "/jbx add --root '" + b.program +
                          "' --user u --division 0 --date 2026/12/05 'MEM001=外から' > /dev/null";
  ASSERT_EQ(0, std::system(jbx.c_str()));
  QElapsedTimer waited;
  waited.start();
  while (b.Memos("2026/12/05").empty() && waited.elapsed() < 5000) QTest::qWait(50);
  EXPECT_EQ(std::vector<std::string>{"外から"}, b.Memos("2026/12/05"));
  EXPECT_LT(waited.elapsed(), 2000) << "taken in within a second of the write, and repainted";
  // the window's next saves keep it, every serial its own
  b.Add("2026/12/01", "窓から"_sj);
  b.Add("2026/12/06", "窓から二"_sj);
  const std::string month = b.File("202612");
  EXPECT_NE(std::string::npos, month.find("外から"_sj));
  EXPECT_EQ(std::vector<std::string>{"窓から二"}, b.Memos("2026/12/06"));
  std::set<std::string> serials;
  for (const char* key : {"2026/12/01", "2026/12/05", "2026/12/06"}) {
    ASSERT_TRUE(b.Edit().SelectRow(key, {}));
    serials.insert(b.Serial());
  }
  EXPECT_EQ(3u, serials.size());
}
