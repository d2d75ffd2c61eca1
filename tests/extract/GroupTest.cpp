// The group view: group rows with their aggregates.
#include <gtest/gtest.h>

#include <map>

#include "PickupFixture.h"
#include "extract/CMyGroup.h"
#include "mainview/sheet/GroupPorts.h"
#include "store/CMyRec.h"

namespace {

TEST(GroupNumbers, ParseAndFormatInFixedPoint) {
  struct {
    const char* text;
    bool ok;
    long long nano;  // value x 10^9
  } parses[] = {
      {"12", true, 12000000000LL},
      {"-3.5", true, -3500000000LL},
      {" +0.25 ", true, 250000000LL},
      {".5", true, 500000000LL},
      {"7.", true, 7000000000LL},
      {"", false, 0},
      {"abc", false, 0},
      {"1,000", false, 0},
      {"1.2.3", false, 0},
      {"-", false, 0},
      {"1e3", false, 0},
      {"0.1234567891", true, 123456789LL},
  };
  for (auto c : parses) {
    __int128 v = 1;
    EXPECT_EQ(c.ok, groupnum::Parse(c.text, v)) << c.text;
    EXPECT_TRUE(v == c.nano) << c.text;
  }
  struct {
    long long nano;
    long long count;
    int decimals;
    const char* text;
  } formats[] = {
      {12000000000LL, 1, 0, "12"},         {2500000000LL, 1, 0, "3"},
      {-2500000000LL, 1, 0, "-3"},         {250000000LL, 1, 2, "0.25"},
      {5000000LL, 1, 2, "0.01"},           {-250000000LL, 1, 2, "-0.25"},
      {10000000000LL, 3, 2, "3.33"},       {20000000000LL, 3, 0, "7"},
      {-1000000LL, 1, 2, "0.00"},          {0, 1, 3, "0.000"},
      {123456789LL, 1, 12, "0.123456789"},
  };
  for (auto c : formats)
    EXPECT_EQ(c.text, groupnum::Format(c.nano, c.count, c.decimals)) << c.nano << "/" << c.count;
}

// A division's records: key, 分類 (DAT002), 金額 (DAT004), 品目 (DAT001).
struct Book {
  ScriptedPrompter prompter;
  CMyDB db{&prompter};
  CMyRec rec{&db};
  CMyGroup group{prompter};
  Book() { EXPECT_EQ(0, DefineMemoSchema(db)); }
  void Add(const char* key, const char* kind, const char* amount, const char* item = "") {
    db.New();
    ASSERT_EQ(0, db.SetValue(memo::kKey, key));
    ASSERT_EQ(0, db.SetValue(memo::kWeekday, "3"));
    ASSERT_EQ(0, db.SetValue(memo::Dat(2), cp932::FromUtf8(kind)));
    ASSERT_EQ(0, db.SetValue(memo::Dat(4), amount));
    ASSERT_EQ(0, db.SetValue(memo::Dat(1), cp932::FromUtf8(item)));
    ASSERT_EQ(0, db.SetValue(memo::kCr002, "255"));
    ASSERT_EQ(0, db.Store());
  }
  // Selects with `sort`, builds, shows; the rows as "a|b|c" of `fields`.
  std::vector<std::string> Run(const std::vector<GroupColumn>& cols, const std::string& sort,
                               const std::vector<int>& fields) {
    EXPECT_EQ(0, rec.SetSort(cp932::FromUtf8(sort), false));
    EXPECT_GE(rec.Select(""), 0);
    EXPECT_GE(group.Build(db, rec.Items(), rec.Count(), cols), 0);
    EXPECT_EQ(0, group.Show(cp932::FromUtf8(sort)));
    std::vector<std::string> out;
    for (int i = 0; i < group.RowCount(); ++i) {
      std::string line;
      for (size_t k = 0; k < fields.size(); ++k) line += (k ? "|" : "") + U(group.DisplayValue(i, fields[k]));
      out.push_back(line);
    }
    return out;
  }
};

GroupColumn Col(const char* field, int mode, int keySize = 0, bool numeric = false, int decimals = 0) {
  GroupColumn c;
  c.field = cp932::FromUtf8(field);
  c.caption = c.field;
  c.mode = mode;
  c.keySize = keySize;
  c.numeric = numeric;
  c.decimals = decimals;
  return c;
}

TEST(GroupBuild, SumsPerGroupAndCountsWhatIsNoNumber) {
  Book b;
  b.Add("2026/01/05", "食費", "1200");
  b.Add("2026/01/09", "日用品", "300");
  b.Add("2026/02/01", "食費", "800.5");
  b.Add("2026/02/03", "食費", "なし");
  b.Add("2026/02/04", "食費", "");
  const std::vector<GroupColumn> cols = {Col("キー項目", CMyGroup::kNone), Col("DAT002", CMyGroup::kKey),
                                         Col("DAT004", CMyGroup::kSum, 0, true, 1),
                                         Col("DAT001", CMyGroup::kNone)};
  EXPECT_EQ((std::vector<std::string>{"食費|2000.5|", "日用品|300.0|"}),
            b.Run(cols, "DAT002,キー項目,行連番", {memo::Dat(2), memo::Dat(4), memo::kKey}));
  EXPECT_EQ(1, b.group.Columns()[2].notNumbers) << "an empty amount is no value, not a wrong one";
  EXPECT_EQ("数値でない値を0として集計: DAT004 1件", U(b.group.FooterText()));
  // the rest of a group row is its first record's, with no weekday
  EXPECT_EQ("0", U(b.group.DisplayValue(1, memo::kWeekday)));
  EXPECT_EQ("255", U(b.group.DisplayValue(0, memo::kCr002)));
  EXPECT_TRUE(b.prompter.Shown().empty());
}

TEST(GroupBuild, KeySizesAggregatesAndEmptyKeys) {
  struct Case {
    const char* what;
    std::vector<GroupColumn> cols;
    const char* sort;
    std::vector<int> fields;
    std::vector<std::string> rows;
  } cases[] = {
      {"a key size of 4 groups dates by year",
       {Col("キー項目", CMyGroup::kKey, 4), Col("DAT004", CMyGroup::kCount)},
       "キー項目 L4 ,行連番",
       {memo::kKey, memo::Dat(4)},
       {"2025|1", "2026|4"}},
      {"two keys: a change in either starts a group",
       {Col("キー項目", CMyGroup::kKey, 7), Col("DAT002", CMyGroup::kKey),
        Col("DAT004", CMyGroup::kMax, 0, true)},
       "キー項目 L7 ,DAT002,行連番",
       {memo::kKey, memo::Dat(2), memo::Dat(4)},
       {"2025/12|食費|90", "2026/01|（空白）|5", "2026/01|食費|1000", "2026/02|食費|20"}},
      {"MIN and AVG (over every record of the group), numbers compared as numbers",
       {Col("DAT002", CMyGroup::kKey), Col("DAT004", CMyGroup::kMin, 0, true),
        Col("DAT001", CMyGroup::kAvg, 0, true, 2)},
       "DAT002,行連番",
       {memo::Dat(2), memo::Dat(4), memo::Dat(1)},
       {"（空白）|5|0.00", "食費|20|1.25"}},
      {"MAX on text compares bytes; an empty value never wins",
       {Col("DAT002", CMyGroup::kKey), Col("DAT001", CMyGroup::kMax), Col("キー項目", CMyGroup::kMin)},
       "DAT002,行連番",
       {memo::Dat(2), memo::Dat(1), memo::kKey},
       {"（空白）||2026/01/20", "食費|3|2025/12/31"}},
      {"a key cut inside a character keeps the whole character out",
       {Col("DAT002", CMyGroup::kKey, 3), Col("DAT004", CMyGroup::kCount)},
       "DAT002 L3 ,行連番",
       {memo::Dat(2), memo::Dat(4)},
       {"（空白）|1", "食|4"}},
  };
  for (const Case& c : cases) {
    Book b;
    b.Add("2026/01/10", "食費", "1000", "3");
    b.Add("2025/12/31", "食費", "90", "");
    b.Add("2026/01/20", "", "5", "");
    b.Add("2026/02/02", "食費", "20", "2");
    b.Add("2026/01/11", "食費", "300", "");
    EXPECT_EQ(c.rows, b.Run(c.cols, c.sort, c.fields)) << c.what;
  }
}

TEST(GroupBuild, EqualKeysFormOneGroupWhereverTheSortLeftThem) {
  Book b;
  // the sort compares without case, so "abc" and "ABC" may interleave
  b.Add("2026/01/01", "ABC", "1");
  b.Add("2026/01/02", "abc", "2");
  b.Add("2026/01/03", "ABC", "4");
  const std::vector<GroupColumn> cols = {Col("DAT002", CMyGroup::kKey),
                                         Col("DAT004", CMyGroup::kSum, 0, true)};
  std::map<std::string, std::string> sums;
  for (const std::string& row : b.Run(cols, "DAT002,キー項目,行連番", {memo::Dat(2), memo::Dat(4)}))
    sums[row.substr(0, 3)] = row.substr(4);
  EXPECT_EQ((std::map<std::string, std::string>{{"ABC", "5"}, {"abc", "2"}}), sums);
}

TEST(GroupBuild, NothingToGroupGivesAnEmptyView) {
  Book b;
  EXPECT_EQ(0, b.group.Build(b.db, nullptr, 0, {Col("DAT002", CMyGroup::kKey)}));
  b.Add("2026/01/01", "x", "1");
  ASSERT_EQ(0, b.rec.Select(""));
  EXPECT_EQ(0, b.group.Build(b.db, b.rec.Items(), b.rec.Count(), {Col("DAT004", CMyGroup::kSum)}));
  EXPECT_EQ(0, b.group.Build(b.db, b.rec.Items(), b.rec.Count(), {Col("NOSUCH", CMyGroup::kKey)}));
  EXPECT_EQ(0, b.group.Show("キー項目,行連番"_sj));
  EXPECT_EQ(0, b.group.RowCount());
}

TEST(GroupBuild, BeyondTenKeysTheRestAreNoKeys) {
  Book b;
  b.Add("2026/01/01", "x", "1");
  b.Add("2026/01/02", "y", "1");
  ASSERT_EQ(0, b.rec.Select(""));
  std::vector<GroupColumn> cols;
  for (int i = 0; i < 10; ++i) cols.push_back(Col("DAT004", CMyGroup::kKey));
  cols.push_back(Col("DAT002", CMyGroup::kKey));
  EXPECT_EQ(1, b.group.Build(b.db, b.rec.Items(), b.rec.Count(), cols));
  EXPECT_EQ((std::vector<std::string>{"グループ数がオーバーしました。"}), b.prompter.ShownUtf8());
  b.prompter.ClearShown();
  cols.pop_back();
  EXPECT_EQ(1, b.group.Build(b.db, b.rec.Items(), b.rec.Count(), cols));
  EXPECT_TRUE(b.prompter.Shown().empty()) << "ten keys are allowed";
}

TEST(GroupBuild, AnAggregateAlwaysFitsItsColumn) {
  Book b;
  for (int i = 0; i < 12; ++i) b.Add("2026/01/01", "x", "999999999");
  ASSERT_EQ(0, b.rec.Select(""));
  // 区分 holds one byte in the book; a count of 12 or a big sum still shows
  ASSERT_EQ(1, b.group.Build(b.db, b.rec.Items(), b.rec.Count(),
                             {Col("DAT002", CMyGroup::kKey), Col("区分", CMyGroup::kCount),
                              Col("MARK", CMyGroup::kSum, 0, true, 2)}));
  ASSERT_EQ(0, b.group.Show("DAT002"));
  EXPECT_EQ("12", b.group.DisplayValue(0, memo::kKubun));
  EXPECT_EQ("0.00", b.group.DisplayValue(0, memo::kMark));
}

TEST(GroupBuild, TheViewWalksTheGroupRowsInTheSortsOrder) {
  Book b;
  b.Add("2026/01/01", "b", "1");
  b.Add("2026/01/02", "a", "1");
  b.Add("2026/01/03", "", "1");
  ASSERT_EQ(0, b.rec.Select(""));
  ASSERT_EQ(3, b.group.Build(b.db, b.rec.Items(), b.rec.Count(), {Col("DAT002", CMyGroup::kKey)}));
  GroupRecords view(b.group);
  ASSERT_EQ(0, view.Requery("this filter is ignored", "DAT002 D"));
  ASSERT_EQ(3, view.Count());
  EXPECT_EQ("b", view.Value(0, memo::Dat(2)));
  EXPECT_EQ("", view.Value(2, memo::Dat(2)));
  EXPECT_EQ("", view.Value(0, memo::kCr002));  // every member was coloured, the group row is not
  GroupRowSource rows(b.group);
  rows.SetPosition(2);
  EXPECT_EQ("（空白）", U(rows.Value("DAT002")));
  EXPECT_FALSE(rows.HasNext());
  EXPECT_EQ("", rows.Value("NOSUCH"));
  EXPECT_GT(0, view.Requery("", "NOSUCH"));
}

TEST(GroupBuild, TheSheetSwitchesBetweenTheBookAndTheGroupRows) {
  Book b;
  b.Add("2026/01/01", "b", "1");
  b.Add("2026/01/02", "b", "1");
  ASSERT_EQ(0, b.rec.Select(""));
  ASSERT_EQ(1, b.group.Build(b.db, b.rec.Items(), b.rec.Count(), {Col("DAT002", CMyGroup::kKey)}));
  struct Main : ViewRecords {
    int Requery(const std::string&, const std::string&) override { return 0; }
    int Count() const override { return 2; }
    std::string_view Key(int) const override { return "main"; }
    std::string_view Value(int, int) const override { return "main"; }
    int FieldIndex(const std::string&) const override { return 7; }
    bool PhotoCheck(int, std::string& period) override {
      period = "202601";
      return true;
    }
  } main;
  GroupRecords groupRows(b.group);
  SwitchRecords sheet(main);
  std::string period;
  EXPECT_TRUE(sheet.PhotoCheck(0, period));
  sheet.Use(&groupRows);
  EXPECT_TRUE(sheet.GroupShown());
  ASSERT_EQ(0, sheet.Requery("", "DAT002"));
  EXPECT_EQ(1, sheet.Count());
  EXPECT_EQ("b", sheet.Value(0, memo::Dat(2)));
  EXPECT_FALSE(sheet.PhotoCheck(0, period)) << "a group row is never saved";
  sheet.Use(nullptr);
  EXPECT_EQ(2, sheet.Count());
}

TEST(GroupBuild, TheDialogsGridBecomesTheColumnTable) {
  PickupFixture f;
  f.m.SetMode(CMyPickup::kGroupDisplay);
  f.SortBy("分類", '1');
  f.SortBy("年月日", '2');
  f.m.SetCellText(f.Row("年月日"), 5, "7");
  f.SortBy("色種類", '3');
  f.m.TypeKey(f.Row("品目"), 4, '3');
  const auto cols = f.m.GroupColumns();
  ASSERT_EQ(static_cast<size_t>(f.m.RowCount()), cols.size());
  auto col = [&](const char* c) { return cols[static_cast<size_t>(f.Row(c))]; };
  EXPECT_EQ(-1, col("分類").mode);
  EXPECT_EQ(0, col("分類").keySize);
  EXPECT_EQ(-1, col("年月日").mode);
  EXPECT_EQ(7, col("年月日").keySize);
  EXPECT_EQ("キー項目", U(col("年月日").field));
  EXPECT_EQ("CR002", col("色種類").field);
  EXPECT_EQ(3, col("品目").mode);
  EXPECT_EQ(2, col("金額").mode);
  EXPECT_TRUE(col("金額").numeric);
  EXPECT_EQ(2, col("税率").decimals);
  EXPECT_EQ(-2, col("更新日").mode);
}

}  // namespace
