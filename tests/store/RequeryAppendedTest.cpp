// A record set merges the records of a newly loaded period into its sorted
// selection instead of testing and sorting every record again. Whatever
// happened to the table in between, the result must be the one a full
// requery gives: the same records in the same order (ties included), the
// same position and the same result code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

namespace {

struct Query {
  const char* what;
  const char* filterUtf8;
  const char* sortUtf8;
};

// Sheet order, an extraction, keys that tie often, no keys at all, numeric
// and prefix keys, and a filter with a group.
const Query kQueries[] = {
    {"sheet", "", "キー項目,行連番"},
    {"extraction", "MEM001='*会議*' or MARK=='A*'", "キー項目 D,行連番"},
    {"ties", "", "MARK"},
    {"unsorted", "NODATA<>''", ""},
    {"numeric and prefix", "キー項目>='2021/06' and (MARK='a*' or MARK='*b')", "行連番 ND,キー項目 L7"},
    {"three keys", "", "MARK D,MEM001,行連番"},
};

class Book {
 public:
  // `typed`: every month's entries in key order, no two alike on key and
  // serial, as a book typed day by day holds them
  explicit Book(uint32_t seed, bool typed = false) : rng_(seed), typed_(typed) {
    EXPECT_EQ(0, DefineMemoSchema(db_));
    EXPECT_EQ(0, DefineMemoSchema(source_));
  }
  CMyDB& Table() { return db_; }

  // A month file of random records read as a period is: appended.
  void LoadMonth(int month) {
    source_.ClearRecords();
    char key[48], serial[16];
    const int records = static_cast<int>(rng_() % 40);
    for (int k = 0; k < records; ++k) {
      source_.New();
      std::snprintf(key, sizeof key, "%04d/%02d/%02d", 2020 + month / 12, month % 12 + 1,
                    typed_ ? 1 + k * 28 / 40 : 1 + static_cast<int>(rng_() % 28));
      ASSERT_EQ(0, source_.SetValue(memo::kKey, key));
      // now and then a serial given twice: records equal on every key
      std::snprintf(serial, sizeof serial, "%05d", rng_() % 8 == 0 && !typed_ ? 1 : k + 1);
      ASSERT_EQ(0, source_.SetValue(memo::kLineSerial, serial));
      Fill(source_);
      ASSERT_EQ(0, source_.Store());
    }
    std::vector<int> all{0};  // a month may be empty: the list never is
    all.clear();
    for (int r = 0; r < source_.RecordCount(); ++r) all.push_back(r);
    const std::string path = dir_ / ("dt" + std::to_string(month) + ".jdt");
    ASSERT_EQ(0, source_.WriteSubset(path, all.data(), static_cast<int>(all.size())));
    ASSERT_EQ(0, db_.ReadFile(path, false));
  }
  void StoreNew() {
    db_.New();
    char key[48];
    std::snprintf(key, sizeof key, "2021/%02d/%02d", 1 + static_cast<int>(rng_() % 12),
                  1 + static_cast<int>(rng_() % 28));
    ASSERT_EQ(0, db_.SetValue(memo::kKey, key));
    ASSERT_EQ(0, db_.SetValue(memo::kLineSerial, "00077"));
    Fill(db_);
    ASSERT_EQ(0, db_.Store());
  }
  void Replace() {
    const int r = Pick();
    if (r < 0) return;
    ASSERT_EQ(0, db_.Load(r));
    Fill(db_);
    ASSERT_EQ(0, db_.Store());
  }
  // a record moved to another day, as an edit of its date moves it
  void Rekey() {
    const int r = Pick();
    if (r < 0) return;
    ASSERT_EQ(0, db_.Load(r));
    ASSERT_EQ(0, db_.SetValue(memo::kKey, "2020/01/" + std::to_string(10 + rng_() % 20)));
    ASSERT_EQ(0, db_.Store());
  }
  void Delete() {
    const int r = Pick();
    if (r >= 0) {
      ASSERT_EQ(1, db_.MarkDeleted(r));
    }
  }
  void Rename() { ASSERT_EQ(0, db_.SetAlias("MARK", rng_() % 2 ? "印" : "しるし")); }

 private:
  int Pick() {
    for (int tries = 0; tries < 10 && db_.RecordCount() > 0; ++tries) {
      const int r = static_cast<int>(rng_() % static_cast<uint32_t>(db_.RecordCount()));
      if (!db_.IsDeleted(r)) return r;
    }
    return -1;
  }
  void Fill(CMyDB& t) {
    static const char* marks[] = {"", "A", "a", "Ab", "b", "B", "★"};
    static const char* memos[] = {"会議の資料", "買い物", "", "定例会議", "散歩"};
    ASSERT_EQ(0, t.SetValue(memo::kMark, cp932::FromUtf8(marks[rng_() % 7])));
    ASSERT_EQ(0, t.SetValue(memo::kMem001, cp932::FromUtf8(memos[rng_() % 5])));
    ASSERT_EQ(0, t.SetValue(memo::kNoData, rng_() % 3 == 0 ? "1" : ""));
  }
  std::mt19937 rng_;
  bool typed_;
  CMyDB db_, source_;
  TempDir dir_;
};

struct Outcome {
  int rc;
  int position;
  std::vector<int> records;
};

Outcome Select(CMyRec& rs, const Query& q, bool appended) {
  EXPECT_EQ(0, rs.SetSort(cp932::FromUtf8(q.sortUtf8), false)) << q.what;
  EXPECT_EQ(0, rs.MakeSql(cp932::FromUtf8(q.filterUtf8), CMyRec::kListFilter)) << q.what;
  Outcome o;
  o.rc = appended ? rs.RequeryAppended() : rs.Requery();
  o.position = rs.Position();
  o.records.assign(rs.Items(), rs.Items() + rs.Count());
  return o;
}

TEST(RequeryAppended, GivesWhatAFullRequeryGivesAfterLoadsSavesAndDeletes) {
  for (const Query& q : kQueries) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
      Book book(seed);
      CMyRec merged(&book.Table());
      std::mt19937 rng(seed * 977);
      int month = 0;
      for (int step = 0; step < 60; ++step) {
        const unsigned op = rng() % 20;
        if (op < 11) {
          book.LoadMonth(month++);
        } else if (op < 14) {
          book.StoreNew();
        } else if (op < 17) {
          book.Replace();
        } else if (op < 19) {
          book.Delete();
        } else {
          book.Rename();
        }
        CMyRec full(&book.Table());
        const Outcome want = Select(full, q, false);
        const Outcome got = Select(merged, q, true);
        ASSERT_EQ(want.rc, got.rc) << q.what << " seed " << seed << " step " << step;
        ASSERT_EQ(want.position, got.position) << q.what << " seed " << seed << " step " << step;
        ASSERT_EQ(want.records, got.records) << q.what << " seed " << seed << " step " << step;
      }
    }
  }
}

TEST(RequeryAppended, ASelectionMadeWithOtherTermsIsMadeAnew) {
  Book book(3);
  for (int m = 0; m < 4; ++m) book.LoadMonth(m);
  CMyRec rs(&book.Table());
  Select(rs, kQueries[0], false);
  book.LoadMonth(4);
  // another filter, then other keys: both must select from scratch
  for (const Query& q : {kQueries[1], kQueries[4]}) {
    CMyRec full(&book.Table());
    const Outcome want = Select(full, q, false);
    const Outcome got = Select(rs, q, true);
    EXPECT_EQ(want.records, got.records) << q.what;
    EXPECT_EQ(want.rc, got.rc) << q.what;
  }
  // an empty selection stays empty and says so
  CMyRec none(&book.Table());
  ASSERT_EQ(0, none.SetSort(cp932::FromUtf8("キー項目"), false));
  ASSERT_EQ(0, none.MakeSql(cp932::FromUtf8("MARK=='never'"), CMyRec::kListFilter));
  EXPECT_EQ(CMyRec::kNoneFound, none.Requery());
  book.LoadMonth(5);
  EXPECT_EQ(CMyRec::kNoneFound, none.RequeryAppended());
  EXPECT_EQ(-1, none.Position());
}

TEST(RequeryAppended, KeyOrderIsKnownOnlyWhileTheLastSortStands) {
  Book book(5);
  for (int m = 0; m < 3; ++m) book.LoadMonth(m);
  CMyRec rs(&book.Table());
  Select(rs, kQueries[0], false);
  EXPECT_TRUE(rs.OrderedBy(memo::kKey));
  EXPECT_FALSE(rs.OrderedBy(memo::kMark));
  ASSERT_EQ(0, rs.SetSort(cp932::FromUtf8("キー項目 D"), false));  // keys set, not yet sorted
  EXPECT_FALSE(rs.OrderedBy(memo::kKey));
  ASSERT_EQ(0, rs.SetSort(cp932::FromUtf8("キー項目 L4"), true));  // a prefix is not the whole key
  EXPECT_FALSE(rs.OrderedBy(memo::kKey));
  ASSERT_EQ(0, rs.SetSort(cp932::FromUtf8("キー項目,MARK"), true));
  EXPECT_TRUE(rs.OrderedBy(memo::kKey));
  rs.Reset();
  EXPECT_FALSE(rs.OrderedBy(memo::kKey));
}

// A record set asked again with the same keys and another filter (the
// search over the book the window shows) places its records in the order
// it had, and a book already in key order is not sorted again: what either
// gives must be what a sort from scratch gives.
TEST(RequeryAppended, AnotherFilterOverTheSameKeysGivesWhatAFreshSortGives) {
  const char* filters[] = {"", "MEM001='*会議*'", "MARK=='A*' or NODATA<>''", "MARK<>''", "MEM001<>'散歩'"};
  for (bool typed : {true, false}) {
    for (uint32_t seed = 1; seed <= 4; ++seed) {
      Book book(seed, typed);
      for (int m = 0; m < 3; ++m) book.LoadMonth(m);
      CMyRec kept(&book.Table());
      std::mt19937 rng(seed * 31);
      for (int step = 0; step < 40; ++step) {
        const unsigned op = rng() % 10;  // mostly nothing changes between the queries
        if (op == 0) book.LoadMonth(3 + step);
        if (op == 1) book.Replace();
        if (op == 2) book.Delete();
        if (op == 3 && !typed) book.Rekey();  // (a typed book stays free of ties)
        const Query q{"same keys", filters[rng() % 5], rng() % 4 ? "キー項目,行連番" : "キー項目 D,行連番"};
        CMyRec full(&book.Table());
        const Outcome want = Select(full, q, false);
        const Outcome got = Select(kept, q, false);
        ASSERT_EQ(want.rc, got.rc) << q.filterUtf8 << " seed " << seed << " step " << step;
        ASSERT_EQ(want.records, got.records) << q.filterUtf8 << " seed " << seed << " step " << step;
        if (!typed) continue;
        // no ties: the one order there is, by the values themselves
        const bool down = std::strstr(q.sortUtf8, " D") != nullptr;
        const CMyDB& t = book.Table();
        std::vector<int> byValue = want.records;
        std::sort(byValue.begin(), byValue.end(), [&](int a, int b) {
          const int c = std::strcmp(t.Value(memo::kKey, a), t.Value(memo::kKey, b));
          if (c != 0) return down ? c > 0 : c < 0;
          return std::strcmp(t.Value(memo::kLineSerial, a), t.Value(memo::kLineSerial, b)) < 0;
        });
        ASSERT_EQ(byValue, got.records) << q.sortUtf8 << " seed " << seed << " step " << step;
      }
    }
  }
}

}  // namespace
