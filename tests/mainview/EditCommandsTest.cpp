// Editing in the sheet of real books, against a recording window: every
// command changes the files at once, changes all of them or none, and can be
// undone and redone.
#include "mainview/FakeMainPorts.h"

namespace {

struct Book : FakeMain {
  EditCommands edit{ctx, *this};
  explicit Book(int package) { OpenNew(package); }
  std::string Add(const std::string& key, const char* memo) { return AddEntry(*this, edit, key, memo); }
  std::vector<std::string> Memos(const std::string& key) { return ::Memos(*this, edit, key); }
  int CursorRecord() { return o.rec->Items()[View().Rows()[static_cast<size_t>(View().CursorRow())].record]; }
  std::string Serial() { return o.db->Value(memo::kLineSerial, CursorRecord()); }
  std::string Key(int page, int line) { return memo::PageKey(page, line); }
};

TEST(EditCommands, CopyLeavesTheSourceAndPasteInListModeOrWithoutASourceBeeps) {
  Book b(kDiary);
  b.edit.mnuEditPaste();  // nothing copied
  EXPECT_EQ(1, b.beeper.Count());
  ASSERT_TRUE(b.edit.SelectRow("2026/12/05", {}));
  b.edit.mnuEditCopy(0);  // an empty row has nothing to copy
  EXPECT_EQ(2, b.beeper.Count());
  const std::string s = b.Add("2026/12/05", "買い物");
  ASSERT_TRUE(b.edit.SelectRow("2026/12/05", s));
  b.edit.mnuEditCopy(0);
  ASSERT_TRUE(b.edit.SelectRow("2026/12/05", {}));
  b.edit.mnuEditPaste();  // a copy on the same day goes after it
  b.edit.mnuEditPaste();
  EXPECT_EQ((std::vector<std::string>{"買い物", "買い物", "買い物"}), b.Memos("2026/12/05"));
  EXPECT_EQ("貼り付け"_sj, b.edit.Undo().UndoName());
  b.View().SetDisplayMode(CMyView::kListMode);
  EXPECT_FALSE(b.edit.PasteRecord(false));
  b.o.groupShown = true;  // group rows take no paste
  b.View().SetDisplayMode(CMyView::kSheetMode);
  EXPECT_FALSE(b.edit.PasteRecord(false));
}

TEST(EditCommands, MovingLinesSwapsSerialsAndBeepsAtTheEdgesOfTheKey) {
  Book b(kDiary);
  const std::string s1 = b.Add("2026/12/10", "一");
  const std::string s2 = b.Add("2026/12/10", "二");
  ASSERT_TRUE(b.edit.SelectRow("2026/12/10", s1));
  EXPECT_FALSE(b.edit.CanMoveUp());
  b.edit.SwapLine(-1);  // the first line of its key
  EXPECT_EQ(1, b.beeper.Count());
  ASSERT_TRUE(b.edit.CanMoveDown());
  b.told.clear();
  b.edit.pmenu_GyoUp(1);
  EXPECT_EQ("ViewChanged;", b.Told()) << "once, after the step ended";
  EXPECT_EQ((std::vector<std::string>{"二", "一"}), b.Memos("2026/12/10"));
  ASSERT_TRUE(b.edit.SelectRow("2026/12/10", s2));  // "一" now carries the second serial
  EXPECT_EQ(s2, b.Serial());
  EXPECT_FALSE(b.edit.CanMoveDown());
  b.edit.SwapLine(1);
  EXPECT_EQ(2, b.beeper.Count());
  // a record whose neighbour row is empty cannot move there
  ASSERT_TRUE(b.edit.SelectRow("2026/12/11", {}));
  b.edit.SwapLine(-1);
  EXPECT_EQ(3, b.beeper.Count());
}

TEST(EditCommands, TheSameColourTwiceOnAnEmptyDayMakesAColourOnlyEntryAndTakesItAway) {
  Book b(kDiary);
  ASSERT_TRUE(b.edit.SelectRow("2026/12/24", {}));
  b.edit.ColorPanelClick(1);
  EXPECT_EQ(0, b.beeper.Count());
  CMyDB& db = *b.o.db;
  const SheetRow& row = b.View().Rows()[static_cast<size_t>(b.View().CursorRow())];
  ASSERT_GE(row.record, 0);
  const int r = b.CursorRecord();
  EXPECT_STREQ("0", db.Value(memo::kNoData, r));
  // the diary's first palette kind colours the text only
  EXPECT_STREQ("208", db.Value(memo::kCr001, r));
  EXPECT_STREQ("", db.Value(memo::kCr002, r));
  EXPECT_TRUE(row.hasTextColor);
  ASSERT_TRUE(b.Has("202612"));
  b.edit.ColorPanelClick(1);
  EXPECT_EQ(-1, b.View().Rows()[static_cast<size_t>(b.View().CursorRow())].record);
  EXPECT_TRUE(b.Memos("2026/12/24").empty());

  // on an entry with data the second click only clears the colours
  const std::string s = b.Add("2026/12/24", "イブ");
  ASSERT_TRUE(b.edit.SelectRow("2026/12/24", s));
  b.edit.ColorPanelClick(2);
  b.edit.ColorPanelClick(2);
  ASSERT_EQ(std::vector<std::string>{"イブ"}, b.Memos("2026/12/24"));
  ASSERT_TRUE(b.edit.SelectRow("2026/12/24", s));
  EXPECT_STREQ("", db.Value(memo::kCr001, b.CursorRecord()));
  EXPECT_STREQ("", db.Value(memo::kCr002, b.CursorRecord()));
  // undo brings the colours back, then the plain entry; redo clears them again
  b.edit.mnuEditUndo();
  ASSERT_TRUE(b.edit.SelectRow("2026/12/24", s));
  EXPECT_TRUE(b.View().Rows()[static_cast<size_t>(b.View().CursorRow())].hasBackColor);
  b.edit.mnuEditRedo();
  ASSERT_TRUE(b.edit.SelectRow("2026/12/24", s));
  EXPECT_FALSE(b.View().Rows()[static_cast<size_t>(b.View().CursorRow())].hasBackColor);
  // the group rows are no records to colour
  b.o.groupShown = true;
  b.edit.ColorPanelClick(1);
  EXPECT_EQ("グループ集計中は編集出来ません。", b.prompter.ShownUtf8().back());
}

TEST(EditCommands, DeleteAsksFirstAndNoKeepsTheEntry) {
  Book b(kDiary);
  const std::string s = b.Add("2026/12/01", "残す");
  ASSERT_TRUE(b.edit.SelectRow("2026/12/01", s));
  b.prompter.Queue(kAnswerNo);
  b.edit.mnuEditDel();
  EXPECT_EQ("データを削除します。よろしいですか？", b.prompter.ShownUtf8().back());
  EXPECT_EQ(std::vector<std::string>{"残す"}, b.Memos("2026/12/01"));
  ASSERT_TRUE(b.edit.SelectRow("2026/12/01", s));
  b.edit.mnuEditDel();
  EXPECT_TRUE(b.Memos("2026/12/01").empty());
  EXPECT_EQ(std::string::npos, b.File("202612").find("残す"_sj));
  EXPECT_EQ((std::vector<std::string>{"- 2026/12/01 " + s}), b.edit.Changes());
}

// Every command that writes, with the write failing part-way: the files,
// the sheet and the undo list stay as they were, and the window learns that
// the table was read again.
TEST(EditCommands, ACommandWhoseWriteFailsLeavesEveryFileAndTheSheetAsBefore) {
  struct Case {
    const char* name;
    int package;
    int nthRename;  // the file replacement that fails
    std::function<void(Book&)> run;
  };
  const Case cases[] = {
      {"cut and paste into another month", kDiary, 3,
       [](Book& b) {
         ASSERT_TRUE(b.edit.SelectRow("2026/11/20", {}));
         b.edit.mnuEditCopy(1);
         ASSERT_TRUE(b.edit.SelectRow("2026/12/03", {}));
         EXPECT_FALSE(b.edit.PasteRecord(false));
         EXPECT_TRUE(b.Memos("2026/12/03").empty());
       }},
      {"delete", kDiary, 1,
       [](Book& b) {
         ASSERT_TRUE(b.edit.SelectRow("2026/11/20", {}));
         EXPECT_FALSE(b.edit.DeleteRowRecord(b.View().CursorRow()));
       }},
      {"colour", kDiary, 1,
       [](Book& b) {
         ASSERT_TRUE(b.edit.SelectRow("2026/11/20", {}));
         EXPECT_FALSE(b.edit.ApplyRowColors("255", ""));
       }},
      {"line swap", kDiary, 1,
       [](Book& b) {
         ASSERT_TRUE(b.edit.SelectRow("2026/11/20", {}));
         b.edit.SwapLine(1);
       }},
      {"line insert over a full page", kNotebook, 3,
       [](Book& b) {
         ASSERT_TRUE(b.edit.SelectRow(b.Key(1, 1), {}));
         EXPECT_EQ(-1, b.edit.ShiftLines(1, b.View().CursorRow(), 1));
       }},
      {"page delete", kNotebook, 2, [](Book& b) { EXPECT_EQ(-1, b.edit.ShiftPages(1, -1, true)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Book b(c.package);
    const bool note = c.package == kNotebook;
    const int per = b.View().Screen().linesPerPage;
    const std::string k1 = note ? b.Key(1, per) : "2026/11/20", k2 = note ? b.Key(2, 1) : "2026/11/20";
    b.Add(k1, "動かない");
    b.Add(k2, "二つ目");
    const std::string p1 = CMyPeriods::PeriodOf(k1), p2 = CMyPeriods::PeriodOf(k2);
    const std::string f1 = b.File(p1), f2 = b.File(p2);
    const std::string undoName = b.edit.Undo().UndoName();
    b.told.clear();
    fileops::InjectFault(fileops::Fault::kRename, c.nthRename);
    c.run(b);
    fileops::ClearFaults();
    EXPECT_EQ(f1, b.File(p1));
    EXPECT_EQ(f2, b.File(p2));
    EXPECT_FALSE(b.Has(note ? "00003" : "202612"));
    EXPECT_EQ(undoName, b.edit.Undo().UndoName());
    EXPECT_NE(std::string::npos, b.Told().find("DataReloaded;")) << b.Told();
    const std::vector<std::string> both{"動かない", "二つ目"}, one{"動かない"};
    EXPECT_EQ(k1 == k2 ? both : one, b.Memos(k1));
  }
}

TEST(EditCommands, UndoAndRedoRefuseWhenAFileChangedBehindTheirBackOrCannotBeWritten) {
  Book b(kDiary);
  const std::string s = b.Add("2026/12/12", "元");
  ASSERT_TRUE(b.edit.SelectRow("2026/12/12", s));
  b.edit.ColorPanelClick(3);
  const std::string coloured = b.File("202612");
  fileops::InjectFault(fileops::Fault::kRename, 1);
  b.edit.mnuEditUndo();
  fileops::ClearFaults();
  EXPECT_EQ("ファイルを書き込めないため、元に戻せませんでした。", b.prompter.ShownUtf8().back());
  EXPECT_EQ(coloured, b.File("202612"));
  b.edit.mnuEditUndo();
  ASSERT_TRUE(b.edit.Undo().CanRedo());
  b.edit.mnuEditRedo();
  // another program (or jbx) rewrote the month meanwhile
  WriteBytes(b.G().DivisionPath("dt202612.jdt"), b.File("202612") + "x");
  const std::string changed = b.File("202612");
  b.edit.mnuEditUndo();
  EXPECT_EQ("ファイルがほかで変更されたため、元に戻せません。", b.prompter.ShownUtf8().back());
  EXPECT_EQ(changed, b.File("202612"));
  EXPECT_FALSE(b.edit.Undo().CanUndo());
  b.edit.mnuEditUndo();  // nothing left to undo or redo
  b.edit.mnuEditRedo();
  EXPECT_EQ(2, b.beeper.Count());
}

TEST(EditCommands, InsertingALineOnAFullPageMovesTheLastLineToANewPageAndShiftsTheRest) {
  Book b(kNotebook);
  ASSERT_EQ(CMyView::kPageKind, b.View().DataKind());
  const int per = b.View().Screen().linesPerPage;
  b.Add(b.Key(1, per - 1), "下から二行目");
  b.Add(b.Key(1, per), "最後の行");
  b.Add(b.Key(2, 1), "二ページ");
  b.Add(b.Key(3, 5), "三ページ");
  ASSERT_TRUE(b.edit.SelectRow(b.Key(1, per - 1), {}));
  b.edit.mnuEditLineIns();
  EXPECT_EQ(0, b.beeper.Count());
  EXPECT_EQ(std::vector<std::string>{"下から二行目"}, b.Memos(b.Key(1, per)));
  EXPECT_EQ(std::vector<std::string>{"最後の行"}, b.Memos(b.Key(2, 1)));
  EXPECT_EQ(std::vector<std::string>{"二ページ"}, b.Memos(b.Key(3, 1)));
  EXPECT_EQ(std::vector<std::string>{"三ページ"}, b.Memos(b.Key(4, 5)));
  EXPECT_NE(std::string::npos, b.File("00004").find("三ページ"_sj));
  // undo puts the four pages back as they were
  b.edit.mnuEditUndo();
  EXPECT_FALSE(b.Has("00004"));
  EXPECT_EQ(std::vector<std::string>{"最後の行"}, b.Memos(b.Key(1, per)));
  EXPECT_EQ(std::vector<std::string>{"三ページ"}, b.Memos(b.Key(3, 5)));
}

TEST(EditCommands, DeletingPageOneMovesTheLaterPagesDown) {
  Book b(kNotebook);
  b.Add(b.Key(3, 2), "三ページ");
  b.View().ShowPage(1);
  b.prompter.Queue(kAnswerYes);
  b.edit.mnuEditPageDel();
  EXPECT_EQ("選択しているページを削除します。よろしいですか？", b.prompter.ShownUtf8().back());
  EXPECT_EQ(kAnswerNo, b.prompter.Shown().back().defaultButton);
  EXPECT_EQ(std::vector<std::string>{"三ページ"}, b.Memos(b.Key(2, 2)));
  EXPECT_FALSE(b.Has("00003"));
  // and a page inserted before it moves it back
  b.View().ShowPage(1);
  b.prompter.Queue(kAnswerYes);
  b.edit.mnuEditPageIns();
  EXPECT_EQ(std::vector<std::string>{"三ページ"}, b.Memos(b.Key(3, 2)));
}

TEST(EditCommands, DeletingALineWithSeveralRecordsAsksAndNoChangesNothing) {
  Book b(kNotebook);
  b.Add(b.Key(1, 4), "甲");
  b.Add(b.Key(1, 4), "乙");
  b.Add(b.Key(1, 6), "丙");
  const std::string before = b.File("00001");
  ASSERT_TRUE(b.edit.SelectRow(b.Key(1, 4), {}));
  b.prompter.Queue(kAnswerNo);
  EXPECT_EQ(1, b.edit.ShiftLines(1, b.View().CursorRow(), -1));
  EXPECT_EQ(before, b.File("00001"));
  ASSERT_TRUE(b.edit.SelectRow(b.Key(1, 4), {}));
  b.prompter.Queue(kAnswerYes);
  EXPECT_EQ(0, b.edit.ShiftLines(1, b.View().CursorRow(), -1));
  EXPECT_TRUE(b.Memos(b.Key(1, 4)).empty());
  EXPECT_EQ(std::vector<std::string>{"丙"}, b.Memos(b.Key(1, 5)));
}

TEST(EditCommands, PageAndLineCommandsBeepInADiary) {
  Book b(kDiary);
  const std::string before = b.File("202612");
  b.edit.mnuEditPageIns();
  b.edit.mnuEditPageDel();
  b.edit.mnuEditLineIns();
  b.edit.mnuEditLineDel();
  EXPECT_EQ(-1, b.edit.ShiftPages(1, 1, true));
  EXPECT_EQ(5, b.beeper.Count());
  EXPECT_TRUE(b.prompter.Shown().empty()) << "no question before a refusal";
  EXPECT_EQ(before, b.File("202612"));
}

}  // namespace
