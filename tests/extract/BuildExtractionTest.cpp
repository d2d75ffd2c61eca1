// The extraction dialog's state turned into the filter and the sort.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "PickupFixture.h"
#include "platform/FileOps.h"

namespace {

struct Case {
  const char* what;
  int dataKind;
  std::function<void(PickupFixture&)> set;
  int code;
  const char* filter;  // UTF-8; for a refusal the message
  const char* sort;
};

void Detail(PickupFixture& f) {
  f.m.SetDetailPage(true);
  f.m.SetNoData(false);
}

const Case kCases[] = {
    {"the worked example", 0,
     [](PickupFixture& f) {
       f.m.SetDetailPage(true);
       f.m.SetFromText("2020/01/01");
       f.m.SetToText("2020/03/31");
       f.Where("品目", "*会議*");
     },
     0, "キー項目 >= '2020/01/01' and キー項目 <= '2020/03/31' and DAT001 = '*会議*' and NODATA = '1'",
     "キー項目,行連番"},
    {"an empty detail page", 0, Detail, 0, "", "キー項目,行連番"},
    {"only the upper bound", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetToText("2020/3/31");
     },
     0, "キー項目 <= '2020/03/31'", "キー項目,行連番"},
    {"this month", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetPeriod(CMyPickup::kCurrent);
     },
     0, "キー項目 == '2026/05*'", "キー項目,行連番"},
    {"this year, newest first", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetPeriod(CMyPickup::kYear);
       f.m.SetKeyDown(true);
     },
     0, "キー項目 == '2026*'", "キー項目 D,行連番"},
    {"null tests in any case", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.Where("品目", "is null");
       f.Where("分類", "Is Not NULL");
     },
     0, "DAT001 = '' and DAT002 <> ''", "キー項目,行連番"},
    {"the key and the date rows", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.Where("年月日", "2026/05*");
       f.Where("更新日", "2026*");
     },
     0, "キー項目 = '2026/05*' and 更新日 = '2026*'", "キー項目,行連番"},
    {"a colour kind with only a text colour", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.Where("色種類", "赤");
     },
     0, "CR001 = '255' and CR002 = ''", "キー項目,行連番"},
    {"a colour kind with both colours", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.Where("色種類", "ToDo");
     },
     0, "CR001 = '0' and CR002 = '65535'", "キー項目,行連番"},
    {"a colour kind typed in another letter case", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.Where("色種類", "tODO");
     },
     0, "CR001 = '0' and CR002 = '65535'", "キー項目,行連番"},
    {"an unknown colour kind", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.Where("色種類", "青");
     },
     -1, "該当しない色種類名です。", ""},
    {"a quote in a value is doubled", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.Where("品目", "it's' or DAT001<>'");
     },
     0, "DAT001 = 'it''s'' or DAT001<>'''", "キー項目,行連番"},
    {"the grid is ignored on the simple page", 0,
     [](PickupFixture& f) {
       f.m.SetNoData(false);
       f.Where("品目", "x");
       f.m.SetSimpleText("食"_sj);
     },
     0, "(DAT001= '*食*' or DAT002= '*食*' or DAT004= '*食*' or DAT005= '*食*' or DAT006= '*食*')",
     "キー項目,行連番"},
    {"the simple page is ignored on the detail page", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetSimpleText("食");
     },
     0, "", "キー項目,行連番"},
    {"simple, case-sensitive, begins with", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleName("品目"_sj);
       f.m.SetSimpleText("Ab"_sj);
       f.m.SetSimpleKind(CMyPickup::kBegins);
       f.m.SetCaseSensitive(true);
     },
     0, "DAT001=='Ab*' and NODATA = '1'", "キー項目,行連番"},
    {"simple, equal, by field name", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleName("dat002");
       f.m.SetSimpleText("食費"_sj);
       f.m.SetSimpleKind(CMyPickup::kEqual);
     },
     0, "DAT002= '食費' and NODATA = '1'", "キー項目,行連番"},
    {"simple, ends with, numeric sort descending", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleName("分類"_sj);
       f.m.SetSimpleText("費"_sj);
       f.m.SetSimpleKind(CMyPickup::kEnds);
       f.m.SetSimpleSort("金額"_sj);
       f.m.SetSimpleSortDown(true);
     },
     0, "DAT002= '*費' and NODATA = '1'", "DAT004 ND,キー項目,行連番"},
    {"simple, numeric sort ascending", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleName("品目"_sj);
       f.m.SetSimpleText("x");
       f.m.SetSimpleSort("税率"_sj);
     },
     0, "DAT001= '*x*' and NODATA = '1'", "DAT005 NU,キー項目,行連番"},
    {"simple, text sort descending", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleName("品目"_sj);
       f.m.SetSimpleText("x");
       f.m.SetSimpleSort("品目"_sj);
       f.m.SetSimpleSortDown(true);
     },
     0, "DAT001= '*x*' and NODATA = '1'", "DAT001 D,キー項目,行連番"},
    {"simple without a field", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleName("");
       f.m.SetSimpleText("x");
     },
     -1, "項目名を入力して下さい。", ""},
    {"simple without a text", 0, [](PickupFixture&) {}, -1, "検索文字列を入力して下さい。", ""},
    {"simple without a kind", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleText("x");
       f.m.SetSimpleKind(-1);
     },
     -1, "検索方法を選択して下さい。", ""},
    {"simple with an unknown field", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleName("色"_sj);
       f.m.SetSimpleText("x");
     },
     -1, "『色』は検索できません。", ""},
    {"simple with an unknown sort field", 0,
     [](PickupFixture& f) {
       f.m.SetSimpleText("x");
       f.m.SetSimpleSort("色"_sj);
     },
     -1, "『色』はソートできません。", ""},
    {"grid sort: numbers, directions, numeric fields", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.SortBy("金額", '1', true);
       f.SortBy("品目", '2');
       f.SortBy("色種類", '3', true);
     },
     0, "", "DAT004 ND ,DAT001,CR002 D ,キー項目,行連番"},
    {"grid sort ascending numeric", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.SortBy("税込", '1');
     },
     0, "", "DAT006 NU ,キー項目,行連番"},
    {"group display with a key size", 0,
     [](PickupFixture& f) {
       f.m.SetMode(CMyPickup::kGroupDisplay);
       f.m.SetNoData(false);
       f.SortBy("年月日", '1');
       f.m.SetCellText(f.Row("年月日"), 5, "4");
       f.SortBy("分類", '2', true);
     },
     0, "", "キー項目 L4 ,DAT002 D ,キー項目,行連番"},
    {"group display on the simple page", 0,
     [](PickupFixture& f) {
       f.m.SetMode(CMyPickup::kGroupDisplay);
       f.m.SetDetailPage(false);
     },
     -1, "表示モードが「グループ」の場合、「詳細」を選択して下さい。", ""},
    {"group display without a key", 0, [](PickupFixture& f) { f.m.SetMode(CMyPickup::kGroupDisplay); }, -1,
     "グループとなる項目を選択して下さい。", ""},
    {"a range without its ends", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetPeriod(CMyPickup::kRange);
     },
     -3, "期間を入力して下さい。", ""},
    {"a range the wrong way round", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetFromText("2020/04/01");
       f.m.SetToText("2020/03/31");
     },
     -3, "左の期間が右の期間より大きいです。", ""},
    {"a range end that is no date", 0,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetFromText("2020/02/30");
     },
     -3, "不正な日付です。", ""},
    {"this page", 100,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetPeriod(CMyPickup::kCurrent);
     },
     0, "キー項目 == '00003*'", "キー項目,行連番"},
    {"a range of pages", 100,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetFromText("2");
       f.m.SetToText("12");
     },
     0, "キー項目 >= '00002/00000' and キー項目 <= '00012/99999'", "キー項目,行連番"},
    {"pages the wrong way round", 100,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetFromText("12");
       f.m.SetToText("2");
     },
     -3, "左のページが右のページより大きいです。", ""},
    {"a page range without its ends", 100,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetPeriod(CMyPickup::kRange);
     },
     -3, "ページを入力して下さい。", ""},
    {"a page that is no number", 100,
     [](PickupFixture& f) {
       Detail(f);
       f.m.SetFromText("p2");
     },
     -3, "不正なページです。", ""},
};

TEST(BuildExtraction, ConditionsBecomeFilterAndSort) {
  for (const Case& c : kCases) {
    PickupFixture f(c.dataKind);
    c.set(f);
    const int rc = f.m.BuildExtraction();
    EXPECT_EQ(c.code, rc) << c.what << ": " << U(f.m.Message());
    if (rc == 0) {
      EXPECT_EQ(c.filter, U(f.m.Filter())) << c.what;
      EXPECT_EQ(c.sort, U(f.m.Sort())) << c.what;
    } else {
      EXPECT_EQ(c.filter, U(f.m.Message())) << c.what;
      EXPECT_TRUE(f.m.Filter().empty() && f.m.Sort().empty()) << c.what;
    }
    EXPECT_TRUE(f.prompter.Shown().empty()) << c.what << ": the caller shows the message";
    EXPECT_FALSE(fileops::Exists(f.dir / "pickout.pit")) << c.what << ": building writes nothing";
  }
}

TEST(BuildExtraction, DivisionsByPageHaveNoYearAndNoKeyRow) {
  PickupFixture f(100);
  EXPECT_EQ(-1, f.Row("年月日"));
  EXPECT_EQ("当ページ", U(f.m.CurrentPeriodCaption()));
  EXPECT_FALSE(f.m.YearShown());
  f.m.SetPeriod(CMyPickup::kYear);
  EXPECT_EQ(CMyPickup::kAll, f.m.GetPeriod());
}

TEST(BuildExtraction, ValuesOfFiftyBytesPassAndFiftyOneAreRefusedOnTheirCell) {
  PickupFixture f;
  f.m.SetDetailPage(true);
  const int row = f.Row("品目");
  f.m.SetCellText(row, f.m.ValueColumn(), std::string(50, 'a'));
  EXPECT_EQ(0, f.m.BuildExtraction());
  f.m.SetCellText(row, f.m.ValueColumn(), std::string(51, 'a'));
  EXPECT_EQ(CMyPickup::kCellRefused, f.m.BuildExtraction());
  EXPECT_EQ("サイズがオーバーしました。50byte以内で登録して下さい。", U(f.m.Message()));
  EXPECT_EQ(row, f.m.FocusRow());
  EXPECT_EQ(4, f.m.FocusColumn());
}

TEST(BuildExtraction, ABadAggregateSizeIsRefusedOnItsCell) {
  for (const char* size : {"x", "16", "-1", " 3", "1.5"}) {
    PickupFixture f;
    f.m.SetMode(CMyPickup::kGroupDisplay);
    f.SortBy("分類", '1');
    f.m.SetCellText(f.Row("分類"), 5, size);
    EXPECT_EQ(CMyPickup::kCellRefused, f.m.BuildExtraction()) << size;
    EXPECT_EQ("不正な集約サイズです。", U(f.m.Message()));
    EXPECT_EQ(f.Row("分類"), f.m.FocusRow());
    EXPECT_EQ(5, f.m.FocusColumn());
  }
  PickupFixture f;
  f.m.SetMode(CMyPickup::kGroupDisplay);
  f.SortBy("分類", '1');
  f.m.SetCellText(f.Row("分類"), 5, "15");
  EXPECT_EQ(0, f.m.BuildExtraction());
}

TEST(BuildExtraction, StringsThatWouldOverflowTheViewsBuffersAreRefused) {
  PickupFixture f;
  for (int n = 7; n <= 20; ++n) {
    PickupField extra;
    char name[8];
    std::snprintf(name, sizeof name, "DAT%03d", n);
    extra.name = extra.caption = name;
    f.setup.fields.push_back(extra);
  }
  f.m.Setup(f.setup);
  f.m.SetDetailPage(true);
  // 22 values of 50 quotes: each doubles to 100 bytes in the filter
  for (int r = 0; r < f.m.RowCount(); ++r)
    if (f.m.GetRow(r).kind != CMyPickup::kColorRow) f.m.SetCellText(r, 4, std::string(50, '\''));
  EXPECT_EQ(CMyPickup::kRefused, f.m.BuildExtraction());
  EXPECT_EQ("抽出条件が長すぎます。条件を減らして下さい。", U(f.m.Message()));

  PickupFixture g;
  g.m.SetMode(CMyPickup::kGroupDisplay);
  g.m.SetKeyDown(true);
  for (auto [c, n] : {std::pair{"金額", '1'}, {"税率", '2'}, {"税込", '3'}}) {
    g.SortBy(c, n, true);
    g.m.SetCellText(g.Row(c), 5, "15");
  }
  EXPECT_EQ(CMyPickup::kRefused, g.m.BuildExtraction());
  EXPECT_EQ("並び順の指定が長すぎます。並び番号を減らして下さい。", U(g.m.Message()));
}

TEST(BuildExtraction, PageDisplayKeepsTheBooksOrder) {
  PickupFixture f;
  f.m.SetMode(CMyPickup::kPageDisplay);
  f.m.SetDetailPage(true);
  f.SortBy("金額", '1');
  ASSERT_EQ(0, f.m.BuildExtraction());
  EXPECT_EQ("DAT004 NU ,キー項目,行連番", U(f.m.Sort()));
  EXPECT_EQ("キー項目,行連番", U(f.m.ViewSort()));
  f.m.SetMode(CMyPickup::kCompactList);
  EXPECT_EQ(f.m.Sort(), f.m.ViewSort());
}

TEST(BuildExtraction, LinesPerPageIsAtLeastOne) {
  PickupFixture f;
  struct {
    const char* text;
    int lines;
  } cases[] = {{"30", 30}, {"x", 1}, {"", 1}, {"0", 1}, {"-5", 1}, {"9999", 9999}};
  for (auto c : cases) {
    f.m.SetLineText(c.text);
    EXPECT_EQ(c.lines, f.m.LinesPerPage()) << c.text;
  }
}

}  // namespace
