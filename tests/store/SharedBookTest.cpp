// A book that other programs write too, a file that cannot be read, and a
// crash between the renames of a batch: the book is always the one before
// or the one after, and nobody's lines are lost.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "store/PeriodsBook.h"

using periods_test::Book;
using periods_test::Program;

namespace {

// What the files hold, read as a program starting now would read them:
// "key serial memo" of every live record, sorted.
std::multiset<std::string> OnDisk(const std::string& root) {
  Program p(root);
  EXPECT_GE(p.periods.LoadTable(), 0);
  p.periods.LoadAll();
  std::multiset<std::string> lines;
  for (int r = 0; r < p.db.RecordCount(); ++r)
    if (!p.db.IsDeleted(r))
      lines.insert(std::string(p.db.Value(memo::kKey, r)) + " " + p.db.Value(memo::kLineSerial, r) + " " +
                   p.db.Value(memo::kMem001, r));
  return lines;
}

int ChangeMemo(Program& p, const std::string& key, const std::string& memo) {
  for (int r = 0; r < p.db.RecordCount(); ++r) {
    if (p.db.IsDeleted(r) || key != p.db.Value(memo::kKey, r)) continue;
    EXPECT_EQ(0, p.db.Load(r));
    EXPECT_EQ(0, p.db.SetValue(memo::kMem001, memo));
    EXPECT_EQ(0, p.db.Store());
    return p.periods.SavePeriod(CMyPeriods::PeriodOf(key));
  }
  return -99;
}

// Runs `body` in a child process; its exit status.
template <typename F>
int InChild(F body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SharedBook, WhatAnotherProgramWroteSurvivesOurNextSave) {
  Book window;
  window.periods.TrackChanges(true);
  window.Add("2026/12/01", "ours before");
  window.Add("2026/12/02", "changed by them");
  window.Add("2026/12/03", "deleted by them");
  window.Add("2026/12/04", "changed on both sides");
  auto otherProgram = [&](auto&& work) {
    Program jbx(window.dir.path());
    ASSERT_EQ(0, jbx.periods.LoadTable());
    jbx.periods.LoadAll();
    work(jbx);
  };
  // a script's jbx adds (the serial the window will give next), begins a
  // month, changes and deletes; the window still holds what it read
  otherProgram([](Program& jbx) {
    jbx.Add("2026/12/05", "theirs");
    jbx.Add("2027/12/24", "a month only they began");
    ASSERT_EQ(0, ChangeMemo(jbx, "2026/12/02", "their change"));
    for (int r = 0; r < jbx.db.RecordCount(); ++r) {
      if (!jbx.db.IsDeleted(r) && std::string("2026/12/03") == jbx.db.Value(memo::kKey, r)) {
        ASSERT_EQ(1, jbx.db.MarkDeleted(r));
      }
    }
    ASSERT_EQ(0, jbx.periods.SavePeriod("202612"));
  });
  EXPECT_EQ(5, window.Add("2026/12/06", "ours after"));  // given 5, saved as 6
  // then both change one line: ours stands, theirs becomes a new line
  otherProgram([](Program& jbx) { ASSERT_EQ(0, ChangeMemo(jbx, "2026/12/04", "their version")); });
  ASSERT_EQ(0, ChangeMemo(window, "2026/12/04", "our version"));
  const std::multiset<std::string> expected = {"2026/12/01 00001 ours before",
                                               "2026/12/02 00002 their change",
                                               "2026/12/04 00004 our version",
                                               "2026/12/05 00005 theirs",
                                               "2026/12/06 00006 ours after",
                                               "2026/12/04 00007 their version",
                                               "2027/12/24 00001 a month only they began"};
  EXPECT_EQ(expected, OnDisk(window.dir.path()));
}

TEST(SharedBook, EightProgramsAddingAtOnceKeepEveryLineWithItsOwnSerial) {
  Book book;
  book.Add("2026/12/01", "first");
  constexpr int kPrograms = 8, kEach = 50;
  std::vector<pid_t> children;
  for (int k = 0; k < kPrograms; ++k) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      // each add as `jbx add` makes it: the lock from its reading to its write
      for (int i = 0; i < kEach; ++i) {
        Program jbx(book.dir.path());
        fileops::WriteLock lock;
        if (!jbx.periods.Lock(lock)) ::_exit(1);
        if (jbx.periods.LoadTable() < 0) ::_exit(2);
        jbx.periods.LoadAll();
        jbx.Add("2026/12/10", "p" + std::to_string(k) + "-" + std::to_string(i));
        lock.Release();
        ::usleep(3000);  // a process's start and end, which give the others their turn
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(0, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  const std::multiset<std::string> lines = OnDisk(book.dir.path());
  EXPECT_EQ(1u + kPrograms * kEach, lines.size());
  std::set<std::string> serials;
  for (const std::string& l : lines) serials.insert(l.substr(0, 16));
  EXPECT_EQ(lines.size(), serials.size());
}

TEST(SharedBook, AListThatCannotBeReadIsNeverRebuiltNorWrittenOver) {
  struct Case {
    const char* what;
    bool directory;  // the list's name taken by a folder: read fails with EISDIR
  };
  for (const Case c : {Case{"open fails once", false}, Case{"a folder in its place", true}}) {
    SCOPED_TRACE(c.what);
    Book before;
    before.Add("2026/11/01", "november");
    before.Add("2026/12/01", "december");
    const std::string list = before.global.DivisionPath("divout.jpr");
    const std::string bytes = ReadBytes(list);
    if (c.directory) {
      ASSERT_TRUE(fileops::Remove(list));
      ASSERT_TRUE(fileops::MakeDir(list));
    }
    Program after(before.dir.path());
    if (!c.directory) fileops::InjectFault(fileops::Fault::kOpen, 1);
    EXPECT_EQ(-1, after.periods.LoadTable());
    fileops::ClearFaults();
    // a save now would list one month only: refused
    EXPECT_EQ(-1, after.periods.SavePeriod("202612"));
    if (!c.directory) {
      EXPECT_EQ(bytes, ReadBytes(list));
    }
    EXPECT_EQ(std::vector<std::string>{}, fileops::List(before.global.DivisionPath(""), "*.damaged-*"));
  }
}

TEST(SharedBook, AMonthThatDidNotOpenStopsEveryOperationOverTheWholeBook) {
  Book book;
  book.Add("2026/10/01", "a");
  book.Add("2026/11/01", "b");
  book.Add("2026/12/01", "c");
  Program next(book.dir.path());
  ASSERT_EQ(0, next.periods.LoadTable());
  fileops::InjectFault(fileops::Fault::kOpen, 2);  // November's file
  next.periods.LoadAll();
  fileops::ClearFaults();
  EXPECT_TRUE(next.periods.IsDamaged("202611"));
  EXPECT_FALSE(next.periods.AllReadWhole("ページの追加"));
  EXPECT_NE(std::string::npos, next.prompter.ShownUtf8().back().find("dt202611.jdt"));
  // nor is its file removed with a batch
  EXPECT_EQ(-1, next.periods.SavePeriods({"202612"}, {"202611"}));
  EXPECT_TRUE(fileops::IsFile(book.global.DivisionPath("dt202611.jdt")));
}

TEST(SharedBook, TheListIsWrittenBeforeTheMonthSoAFailedSaveStoresNothing) {
  Book book;
  book.Add("2026/12/01", "kept");
  const std::string month = ReadBytes(book.global.DivisionPath("dt202612.jdt"));
  // the list's write is refused (a new counter makes it differ)
  fileops::InjectFault(fileops::Fault::kRename, 1);
  book.db.New();
  ASSERT_EQ(0, book.db.SetValue(memo::kKey, "2026/12/02"));
  ASSERT_EQ(0, book.db.SetValue(memo::kLineSerial, "00002"));
  ASSERT_EQ(0, book.db.Store());
  (void)book.periods.RegisterKey("202612", "2026/12/02", false);
  EXPECT_EQ(-1, book.periods.SavePeriod("202612"));
  fileops::ClearFaults();
  EXPECT_EQ(month, ReadBytes(book.global.DivisionPath("dt202612.jdt")));
}

TEST(SharedBook, ACrashAtAnyRenameOfABatchLeavesTheOldBookOrTheNew) {
  Book seed;
  for (const char* key : {"00001/00001", "00002/00001", "00003/00001"}) seed.Add(key, key);
  const std::multiset<std::string> old = OnDisk(seed.dir.path());
  std::set<std::string> seen;
  // the journal's rename, then four files (three pages and the list)
  for (int nth = 1; nth <= 6; ++nth) {
    SCOPED_TRACE(nth);
    Book book;
    for (const char* key : {"00001/00001", "00002/00001", "00003/00001"}) book.Add(key, key);
    // pages from 2 on move up by one (the page-insertion batch): 2->3, 3->4, 2 goes
    const int status = InChild([&] {
      Program p(book.dir.path());
      if (p.periods.LoadTable() < 0) ::_exit(2);
      p.periods.LoadAll();
      for (int r = 0; r < p.db.RecordCount(); ++r) {
        const std::string key = p.db.Value(memo::kKey, r);
        if (key < "00002") continue;
        char moved[32];
        std::snprintf(moved, sizeof moved, "%05d%s", std::atoi(key.substr(0, 5).c_str()) + 1,
                      key.substr(5).c_str());
        if (p.db.Load(r) != 0 || p.db.SetValue(memo::kKey, moved) != 0 || p.db.Store() != 0) ::_exit(3);
      }
      std::string rec = CMyMaster::Blank();
      CMyMaster::SetName(rec, "00004");
      if (p.divout.Append(rec) != 0) ::_exit(4);
      fileops::InjectCrash(fileops::Fault::kRename, nth);
      ::_exit(p.periods.SavePeriods({"00003", "00004"}, {"00002"}) == 0 ? 0 : 5);
    });
    ASSERT_TRUE(status == 70 || status == 0) << status;
    const std::multiset<std::string> now = OnDisk(book.dir.path());
    const std::multiset<std::string> moved = {
        "00001/00001 00001 00001/00001", "00003/00001 00001 00002/00001", "00004/00001 00001 00003/00001"};
    EXPECT_TRUE(now == old || now == moved) << nth;
    seen.insert(now == old ? "old" : "new");
    // nothing of the batch is left behind
    EXPECT_EQ(std::vector<std::string>{}, fileops::List(book.global.DivisionPath(""), "*.tmp*"));
    EXPECT_FALSE(fileops::Exists(book.global.DivisionPath(fileops::kJournalName)));
  }
  EXPECT_EQ((std::set<std::string>{"new", "old"}), seen);
}

TEST(SharedBook, ConflictCopiesAreMergedByKeyAndSerialAndKeptAside) {
  Book book;
  book.Add("2026/12/01", "both");
  book.Add("2026/12/02", "ours");
  const std::string month = book.global.DivisionPath("dt202612.jdt");
  const std::string bytes = ReadBytes(month);
  // two machines' copies: one added a line, one changed the second line
  {
    Program other(book.dir.path());
    other.periods.TrackChanges(true);
    ASSERT_EQ(0, other.periods.LoadTable());
    other.periods.LoadAll();
    other.Add("2026/12/03", "from the laptop");
    ASSERT_TRUE(
        fileops::Move(month, book.global.DivisionPath("dt202612.sync-conflict-20261210-101530-ABCDEFG.jdt")));
    WriteBytes(month, bytes);
    ASSERT_EQ(0, ChangeMemo(other, "2026/12/02", "changed on the phone"));
    ASSERT_TRUE(fileops::Move(month, book.global.DivisionPath("dt202612 (conflicted copy 2026-12-10).jdt")));
    WriteBytes(month, bytes);
  }
  Program window(book.dir.path());
  ASSERT_EQ(0, window.periods.LoadTable());
  EXPECT_EQ(2u, window.periods.ConflictCopies().size());
  std::vector<std::string> report;
  EXPECT_EQ(2, window.periods.MergeConflictCopies(report));
  EXPECT_EQ(2u, report.size());
  const std::multiset<std::string> expected = {"2026/12/01 00001 both", "2026/12/02 00002 ours",
                                               "2026/12/02 00004 changed on the phone",
                                               "2026/12/03 00003 from the laptop"};
  EXPECT_EQ(expected, OnDisk(book.dir.path()));
  EXPECT_TRUE(window.periods.ConflictCopies().empty());
  EXPECT_EQ(2u, fileops::List(book.global.DivisionPath(""), "*.merged-*").size());
}
