#include <gtest/gtest.h>

#include <cstdio>

#include "catalogue/CMyMaster.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "store/PeriodsBook.h"
#include "support/TempDir.h"

using periods_test::Book;

TEST(CMyPeriods, PeriodsAndFileNames) {
  EXPECT_EQ("202003", CMyPeriods::PeriodOf("2020/03/05"));
  EXPECT_EQ("00012", CMyPeriods::PeriodOf("00012/00003"));
  EXPECT_EQ("abc", CMyPeriods::PeriodOf("abc"));
  EXPECT_EQ("dt202003.jdt", CMyPeriods::FileName("202003"));
  EXPECT_EQ("dt00012.jdt", CMyPeriods::FileName("00012"));
}

TEST(CMyPeriods, SerialsGrowPerPeriodAndPeriodsStayInOrder) {
  Book b;
  EXPECT_EQ(1, b.Add("2020/03/05", "a"));
  EXPECT_EQ(2, b.Add("2020/03/05", "b"));
  EXPECT_EQ(1, b.Add("2020/01/10", "c"));
  EXPECT_EQ(3, b.Add("2020/03/31", "d"));
  ASSERT_EQ(2, b.divout.RecordCount());
  EXPECT_EQ("202001", b.divout.Name(0));
  EXPECT_EQ("202003", b.divout.Name(1));
  EXPECT_EQ("2020/03/31", b.divout.HeaderText());
  EXPECT_EQ(4, b.divout.HeaderInt(CMyMaster::kHAdded));
  EXPECT_TRUE(fileops::IsFile(b.global.DivisionPath("dt202003.jdt")));
  EXPECT_TRUE(b.prompter.Shown().empty());

  // a fresh start: the table is empty and DIVOUT says nothing is loaded
  CMyDB db2;
  ASSERT_EQ(0, DefineMemoSchema(db2));
  CMyRec work2(&db2);
  CMyMaster divout2("DIVOUT");
  ASSERT_EQ(0, divout2.Read(b.global.DivisionPath("divout.jpr")));
  CMyPeriods p2(b.global, db2, work2, divout2, b.prompter);
  EXPECT_EQ(1, p2.LoadPeriods("202002", "202003"));
  EXPECT_EQ(3, db2.LiveCount());
  EXPECT_EQ(0, p2.LoadPeriods("202002", "202003"));  // already loaded
  EXPECT_EQ(1, p2.LoadAll());
  EXPECT_EQ(4, db2.LiveCount());
  // the next serial of March continues after the stored ones
  EXPECT_EQ(4, p2.RegisterKey("202003", "2020/03/06", false));
}

TEST(CMyPeriods, AnUnloadedPeriodIsLoadedBeforeItsSerialIsGiven) {
  Book b;
  b.Add("2020/03/05", "a");
  ASSERT_TRUE(b.divout.SetInt(0, CMyMaster::kRFlag, 0));
  b.db.ClearRecords();
  EXPECT_EQ(2, b.periods.RegisterKey("202003", "2020/03/07", false));
  ASSERT_EQ(1u, b.host.moves.size());
  EXPECT_EQ("2020/03/07", b.host.moves[0]);
  EXPECT_EQ(1, b.db.LiveCount());
}

TEST(CMyPeriods, ChangeOfKeyKindIsToldOnce) {
  Book b;
  b.Add("2020/03/05", "a");
  b.Add("00001/00001", "page");
  b.Add("00001/00002", "page");
  ASSERT_EQ(1u, b.prompter.Shown().size());
  EXPECT_EQ("データ種類が変更されました。", b.prompter.ShownUtf8()[0]);
  EXPECT_EQ("00001/00002", b.divout.HeaderText());
}

TEST(CMyPeriods, SavingRefusedDuringGroupViewAndEmptyPeriodsKeepTheirFile) {
  Book b;
  b.Add("2020/03/05", "a");
  b.host.group = true;
  EXPECT_EQ(-1, b.periods.SavePeriod("202003"));
  EXPECT_EQ("グループ集計中はデータの保存は出来ません。", b.prompter.ShownUtf8().back());
  b.host.group = false;
  ASSERT_EQ(1, b.db.MarkDeleted(0));
  ASSERT_EQ(0, b.periods.SavePeriod("202003"));
  CMyDB check;
  ASSERT_EQ(0, DefineMemoSchema(check));
  EXPECT_EQ(0, check.ReadFile(b.global.DivisionPath("dt202003.jdt"), false));
  EXPECT_EQ(0, check.RecordCount());
  EXPECT_EQ(1, b.divout.RecordCount());
}

TEST(CMyPeriods, CountersFromADamagedListWrapInsteadOfOverflowing) {
  Book b;
  b.divout.SetHeaderInt(CMyMaster::kHAdded, 0x7fffffff);
  b.divout.SetHeaderInt(CMyMaster::kHNextId, 0x7fffffff);
  EXPECT_EQ(1, b.periods.RegisterKey("202003", "2020/03/05", false));
  ASSERT_TRUE(b.divout.SetInt(0, CMyMaster::kRKey11, 0x7fffffff));
  EXPECT_EQ(1, b.periods.RegisterKey("202003", "2020/03/05", false));
}

namespace {

// The same book opened again, as after a restart: nothing loaded yet.
struct Reopened {
  CMyDB db;
  CMyRec work{&db};
  CMyMaster divout{"DIVOUT"};
  CMyPeriods periods;
  explicit Reopened(Book& b) : periods(b.global, db, work, divout, b.prompter) {
    EXPECT_EQ(0, DefineMemoSchema(db));
    (void)periods.LoadTable();
  }
  int Records(const std::string& file) {
    CMyDB check;
    EXPECT_EQ(0, DefineMemoSchema(check));
    (void)check.ReadFile(file, false);
    return check.LiveCount();
  }
};

}  // namespace

TEST(CMyPeriods, AMonthThatDidNotReadWholeIsNeverSavedShortened) {
  Book b;
  for (int i = 0; i < 5; ++i) b.Add("2020/03/05", "memo " + std::to_string(i));
  const std::string file = b.global.DivisionPath("dt202003.jdt");
  const std::string whole = ReadBytes(file);
  WriteBytes(file, whole.substr(0, whole.size() * 2 / 3));  // a file cut short
  const std::string cut = ReadBytes(file);

  Reopened r(b);
  ASSERT_EQ(1, r.periods.LoadAll());
  EXPECT_TRUE(r.periods.IsDamaged("202003"));
  EXPECT_LT(r.db.LiveCount(), 5);

  // the user declines: nothing is written
  b.prompter.ClearShown();
  b.prompter.Queue(kAnswerNo);
  EXPECT_EQ(-1, r.periods.SavePeriod("202003"));
  EXPECT_EQ(cut, ReadBytes(file));
  ASSERT_FALSE(b.prompter.Shown().empty());
  EXPECT_EQ(PromptButtons::YesNo, b.prompter.Shown()[0].buttons);
  EXPECT_EQ(kAnswerNo, b.prompter.Shown()[0].defaultButton);
  EXPECT_NE(std::string::npos, b.prompter.ShownUtf8()[0].find("dt202003.jdt"));

  // the user goes on: the damaged file is kept beside, then the month written
  b.prompter.Queue(kAnswerYes);
  EXPECT_EQ(0, r.periods.SavePeriod("202003"));
  EXPECT_EQ(cut, ReadBytes(file + ".damaged-20200305"));
  EXPECT_FALSE(r.periods.IsDamaged("202003"));
  EXPECT_EQ(r.db.LiveCount(), r.Records(file));
}

TEST(CMyPeriods, AMissingFileIsAnEmptyPeriodNotADamagedOne) {
  Book b;
  b.Add("2020/03/05", "a");
  ASSERT_TRUE(fileops::Remove(b.global.DivisionPath("dt202003.jdt")));
  Reopened r(b);
  (void)r.periods.LoadAll();
  EXPECT_FALSE(r.periods.IsDamaged("202003"));
}

TEST(CMyPeriods, ASelectionThatFailsStopsTheSave) {
  Book b;
  b.Add("2020/03/05", "a");
  const std::string before = ReadBytes(b.global.DivisionPath("divout.jpr"));
  // a period text that breaks the selection's expression
  EXPECT_EQ(-1, b.periods.SavePeriod("20'03"));
  EXPECT_FALSE(fileops::Exists(b.global.DivisionPath("dt20'03.jdt")));
  EXPECT_EQ(before, ReadBytes(b.global.DivisionPath("divout.jpr")));
}

TEST(CMyPeriods, ALostPeriodListIsRebuiltFromTheDataFiles) {
  Book b;
  for (int i = 0; i < 3; ++i) b.Add("2020/03/05", "m");
  b.Add("2020/04/01", "n");
  const std::string divout = b.global.DivisionPath("divout.jpr");
  const std::string march = b.global.DivisionPath("dt202003.jdt");

  for (bool damaged : {false, true}) {
    SCOPED_TRACE(damaged ? "damaged list" : "missing list");
    if (damaged) {
      std::string bytes = ReadBytes(divout);
      WriteBytes(divout, bytes.substr(0, 10));
    } else {
      ASSERT_TRUE(fileops::Remove(divout));
    }
    b.prompter.ClearShown();
    Reopened r(b);
    ASSERT_EQ(2, r.divout.RecordCount());
    EXPECT_EQ("202003", r.divout.Name(0));
    EXPECT_EQ(3, r.divout.GetInt(0, CMyMaster::kRKey11));
    EXPECT_EQ("2020/04/01", r.divout.HeaderText());
    EXPECT_EQ(1u, b.prompter.Shown().size());
    if (damaged) {
      EXPECT_TRUE(fileops::Exists(divout + ".damaged-20200305"));
      (void)fileops::Remove(divout + ".damaged-20200305");
    }

    // adding to March reads its file first and takes a serial no record has
    EXPECT_EQ(4, r.periods.RegisterKey("202003", "2020/03/06", false));
    EXPECT_EQ(3, r.db.LiveCount());
    ASSERT_EQ(0, r.periods.SavePeriod("202003"));
    EXPECT_EQ(3, r.Records(march));
  }
}

TEST(CMyPeriods, APeriodWithoutAListEntryIsReadBeforeAnythingIsAdded) {
  Book b;
  b.Add("2020/03/05", "a");
  b.Add("2020/03/05", "b");
  // a list that no longer names March, as after a damaged list was replaced
  CMyMaster empty("DIVOUT");
  empty.Init("DIVOUT");
  ASSERT_GE(empty.Write(b.global.DivisionPath("divout.jpr")), 0);
  Reopened r(b);
  EXPECT_EQ(3, r.periods.RegisterKey("202003", "2020/03/06", false));
  ASSERT_EQ(0, r.periods.SavePeriod("202003"));
  EXPECT_EQ(2, r.Records(b.global.DivisionPath("dt202003.jdt")));
}

TEST(CMyPeriods, ASerialPastFiveDigitsNeverReusesOneInUse) {
  Book b;
  b.Add("2020/03/05", "a");  // serial 1
  b.Add("2020/03/05", "b");  // serial 2
  const int march = b.divout.FindByText(0, "202003");
  struct Case {
    int counter;
    int expect;
  } cases[] = {
      {99999, 3},       // past five digits: the smallest free one above the rest
      {0, 3},           // a counter behind the records (damaged): not 1 again
      {-5, 3},          // hostile
      {0x7fffffff, 3},  // wraps
      {7, 8},           // a sound counter is followed
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(b.divout.SetInt(march, CMyMaster::kRKey11, c.counter));
    EXPECT_EQ(c.expect, b.periods.RegisterKey("202003", "2020/03/05", false)) << c.counter;
  }
  // every serial up to 99999 taken but one: that one is given
  b.db.New();
  ASSERT_EQ(0, b.db.SetValue(memo::kKey, "2020/03/09"));
  ASSERT_EQ(0, b.db.SetValue(memo::kLineSerial, "99999"));
  ASSERT_EQ(0, b.db.Store());
  EXPECT_TRUE(b.divout.SetInt(march, CMyMaster::kRKey11, 99999));
  EXPECT_EQ(3, b.periods.RegisterKey("202003", "2020/03/05", false));
}

TEST(CMyPeriods, SeveralPeriodsSavedAtOnceMatchOneByOneAndKeepDamagedFilesSafe) {
  Book b;
  b.Add("2020/03/05", "three");
  b.Add("2020/04/05", "four");
  b.Add("2020/05/05", "five");
  // the April record moves to June: April is written empty, June anew
  ASSERT_EQ(0, b.db.Load(1));
  ASSERT_EQ(0, b.db.SetValue(memo::kKey, "2020/06/05"));
  ASSERT_EQ(0, b.db.Store());
  (void)b.periods.RegisterKey("202006", "2020/06/05", false);
  ASSERT_EQ(0, b.periods.SavePeriods({"202004", "202006"}));
  Reopened r(b);
  EXPECT_EQ(0, r.Records(b.global.DivisionPath("dt202004.jdt")));
  EXPECT_EQ(1, r.Records(b.global.DivisionPath("dt202006.jdt")));
  EXPECT_EQ(1, r.Records(b.global.DivisionPath("dt202003.jdt")));
  EXPECT_EQ(4, r.divout.RecordCount());

  // a period among them that did not read whole stops them all when declined
  const std::string file = b.global.DivisionPath("dt202005.jdt");
  const std::string whole = ReadBytes(file);
  WriteBytes(file, whole.substr(0, whole.size() / 2));
  Reopened damaged(b);
  ASSERT_EQ(1, damaged.periods.LoadAll());
  ASSERT_TRUE(damaged.periods.IsDamaged("202005"));
  const std::string march = ReadBytes(b.global.DivisionPath("dt202003.jdt"));
  b.prompter.Queue(kAnswerNo);
  EXPECT_EQ(-1, damaged.periods.SavePeriods({"202003", "202005"}));
  EXPECT_EQ(whole.substr(0, whole.size() / 2), ReadBytes(file));
  EXPECT_EQ(march, ReadBytes(b.global.DivisionPath("dt202003.jdt")));
}
