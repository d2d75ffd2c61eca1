// The find condition's own rules: longer literals than a filter's, and text
// matches that may fold full- and half-width forms together.
#include <gtest/gtest.h>

#include "StoreTestUtil.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

namespace {

constexpr int T = fielddef::kTypeText;

class FindFoldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, DefineFields(db, {{"A", T, 200}}));
    rs.Bind(&db);
  }
  // Positions of every match, walking the selection with FindNext.
  std::vector<int> FindAll(const char* exprUtf8, bool fold) {
    rs.SetFindWidthFold(fold);
    std::vector<int> out;
    for (int p = rs.Find(cp932::FromUtf8(exprUtf8).c_str(), 0, true); p >= 0; p = rs.FindNext())
      out.push_back(p);
    return out;
  }
  CMyDB db;
  CMyRec rs;
};

TEST_F(FindFoldTest, AFindConditionHoldsThirtyDoubleByteCharactersBetweenWildcards) {
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "漢";
  const std::string sj = cp932::FromUtf8(thirty);
  const std::string expr = "A= '*" + sj + "*'";
  EXPECT_EQ(0, rs.MakeSql(expr, CMyRec::kListFind));
  // filters keep the language's 50 bytes
  EXPECT_EQ(-14, rs.MakeSql(expr, CMyRec::kListFilter));
  EXPECT_EQ(-14, rs.MakeSql(expr, CMyRec::kListCheck));
  EXPECT_EQ(-14, rs.MakeSql("A='" + std::string(65, 'x') + "'", CMyRec::kListFind));
  AddRecord(db, {"前" + thirty + "後"});
  AddRecord(db, {thirty.substr(3)});
  ASSERT_EQ(0, rs.Select(""));
  EXPECT_EQ(0, rs.Find(expr.c_str(), 0, true));
  EXPECT_EQ(-1, rs.FindNext());
}

TEST_F(FindFoldTest, FoldedMatchesJoinTheTwoWidthsInBothDirections) {
  const char* values[] = {"カタカナ", "ｶﾀｶﾅ", "ＡＢＣ", "abc", "ABC", "ガイド", "ｶﾞｲﾄﾞ", "ー", "-", "xｶﾚｰx"};
  for (const char* v : values) AddRecord(db, {v});
  ASSERT_EQ(0, rs.Select(""));
  struct Case {
    const char* expr;
    std::vector<int> plain, folded;
  } cases[] = {
      {"A= '*ｶﾀｶﾅ*'", {1}, {0, 1}},
      {"A= '*カタカナ*'", {0}, {0, 1}},
      {"A= '*abc*'", {3, 4}, {2, 3, 4}},  // case folded after the width
      {"A=='*ABC*'", {4}, {2, 4}},        // case-sensitive: ＡＢＣ is ABC, not abc
      {"A=='ｶﾞｲﾄﾞ'", {6}, {5, 6}},
      {"A= 'ｶﾞｲ*'", {6}, {5, 6}},
      {"A= '*ﾄﾞ'", {6}, {5, 6}},  // ends with: lengths differ between the widths
      {"A= '-'", {8}, {8}},       // ー is never a hyphen
      {"A= '*カレー*'", {}, {9}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.plain, FindAll(c.expr, false)) << c.expr;
    EXPECT_EQ(c.folded, FindAll(c.expr, true)) << c.expr << " folded";
  }
  // the folding stays with the condition for the steps after it
  rs.SetFindWidthFold(true);
  EXPECT_EQ(0, rs.Find(cp932::FromUtf8("A= '*カタカナ*'").c_str(), 0, true));
  EXPECT_EQ(1, rs.FindNext());
  EXPECT_EQ(0, rs.FindPrev());
  // and never reaches the filter
  ASSERT_EQ(0, rs.Select(cp932::FromUtf8("A= '*ガイド*'")));
  EXPECT_EQ(1, rs.Count());
}

}  // namespace
