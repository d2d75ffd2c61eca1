// jbx sheet: the sheet's editing commands end to end on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "catalogue/CMyMaster.h"
#include "cli/JbxRun.h"
#include "support/TempDir.h"

namespace {

// A user "u" with the diary (by date) and the notebook (by page).
struct Books {
  TempDir dir;
  std::string root = dir / "root";
  std::string base;
  Books() {
    EXPECT_TRUE(MakeBooks(root, {{"PK1_日記帳", "diary"}, {"PK4_ノート", "note"}}));
    base = "--root " + root + " --user u --today 2026/03/14 ";
  }
  RunResult Sheet(const std::string& args) { return Jbx("sheet " + base + args); }
  std::string Select(const std::string& file, const std::string& columns = "キー項目,行連番,MEM001") {
    return Jbx("select --memo " + root + "/u/" + file + " --columns " + columns).out;
  }
  std::string Add(const std::string& args) { return Jbx("add " + base + args).out; }
};

TEST(JbxSheet, CutAndPasteMovesADiaryEntryToAnotherMonthWithItsAlarm) {
  Books b;
  ASSERT_EQ("2026/03/01\t00001\n", b.Add("--division diary --date 2026/03/01 'MEM001=[10:00]会議'"));
  RunResult r = b.Sheet("--division diary paste --from 2026/03/01:00001 --cut --to 2026/04/02");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("- 2026/03/01 00001\n+ 2026/04/02 00001\n", r.out);
  EXPECT_EQ("", b.Select("diary/dt202603.jdt"));
  EXPECT_EQ("2026/04/02\t00001\t[10:00]会議\n", b.Select("diary/dt202604.jdt"));
  const std::string alarms = Jbx("dump " + b.root + "/u/alarm.dat").out;
  EXPECT_NE(std::string::npos, alarms.find("2026/04/02")) << alarms;
  EXPECT_EQ(std::string::npos, alarms.find("2026/03/01")) << alarms;
  // the source is gone now
  r = b.Sheet("--division diary paste --from 2026/03/01:00001 --to 2026/04/03");
  EXPECT_EQ(1, r.status);
}

TEST(JbxSheet, ColourTwiceOnAnEmptyDayAddsThenRemovesTheColourEntry) {
  Books b;
  RunResult r = b.Sheet("--division diary colour --key 2026/03/05 --panel 2");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("+ 2026/03/05 00001\n", r.out);
  EXPECT_EQ("2026/03/05\t0\t13170431\n", b.Select("diary/dt202603.jdt", "キー項目,NODATA,CR002"));
  r = b.Sheet("--division diary colour --key 2026/03/05 --serial 00001 --panel 2");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("- 2026/03/05 00001\n", r.out);
  EXPECT_EQ("", b.Select("diary/dt202603.jdt"));
}

TEST(JbxSheet, MovesThatDoNotApplyFailAndChangeNothing) {
  Books b;
  b.Add("--division diary --date 2026/03/07 MEM001=一");
  b.Add("--division diary --date 2026/03/07 MEM001=二");
  const std::string before = b.Select("diary/dt202603.jdt");
  struct Case {
    const char* args;
    int status;
  } cases[] = {
      {"move --key 2026/03/07 --serial 00001 up", 1},    // the first line of its key
      {"move --key 2026/03/07 --serial 00002 down", 1},  // onto an empty row
      {"move --key 2026/03/07 --serial 00009 up", 1},    // no such entry
      {"delete --key 2026/02/30 --serial 00001", 1},     // no such day
      {"insert-line --page 1 --line 1", 1},              // a diary has no lines to insert
      {"paste --from 2026/03/07:00005 --to 2026/03/08", 1},
      {"move --key 2026/03/07 --serial 00001 sideways", 2},
      {"colour --key 2026/03/07 --panel 4", 2},
      {"bogus", 2},
  };
  for (const Case& c : cases) {
    RunResult r = b.Sheet(std::string("--division diary ") + c.args);
    EXPECT_EQ(c.status, r.status) << c.args << "\n" << r.err;
    EXPECT_EQ("", r.out) << c.args;
  }
  EXPECT_EQ(before, b.Select("diary/dt202603.jdt"));
  RunResult r = b.Sheet("--division diary move --key 2026/03/07 --serial 00001 down");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("2026/03/07\t00001\t二\n2026/03/07\t00002\t一\n", b.Select("diary/dt202603.jdt"));
}

TEST(JbxSheet, NotebookLinesAndPagesFlowAcrossPages) {
  Books b;
  // the notebook's screen has 30 lines a page
  b.Add("--division note --page 1 --line 30 MEM001=最後");
  b.Add("--division note --page 2 --line 1 MEM001=二頁");
  RunResult r = b.Sheet("--division note insert-line --page 1 --line 10");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("~ 00002/00001 00001 -> 00003/00001 00001\n~ 00001/00030 00001 -> 00002/00001 00001\n", r.out);
  EXPECT_EQ("", b.Select("note/dt00001.jdt"));
  EXPECT_EQ("00002/00001\t00001\t最後\n", b.Select("note/dt00002.jdt"));
  EXPECT_EQ("00003/00001\t00001\t二頁\n", b.Select("note/dt00003.jdt"));

  // a line holding two records goes only with --yes
  b.Add("--division note --page 3 --line 1 MEM001=もう一つ");
  r = b.Sheet("--division note delete-line --page 3 --line 1");
  EXPECT_EQ(1, r.status);
  const std::string both = b.Select("note/dt00003.jdt");
  EXPECT_EQ(2, std::count(both.begin(), both.end(), '\n'));
  r = b.Sheet("--yes --division note delete-line --page 3 --line 1");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", b.Select("note/dt00003.jdt"));

  // deleting page 1 moves page 2 to page 1
  r = b.Sheet("--division note delete-page --page 1");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("00001/00001\t00001\t最後\n", b.Select("note/dt00001.jdt"));
  r = b.Sheet("--division note insert-page --page 1");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("00002/00001\t00001\t最後\n", b.Select("note/dt00002.jdt"));
}

}  // namespace
