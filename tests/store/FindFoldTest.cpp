// The find condition's own rules: longer literals than a filter's, and text
// matches that may fold full- and half-width forms together.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "StoreTestUtil.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/WidthFold.h"
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

// The contains-match as the rule says it, character by character from each
// character boundary, to hold the faster search to.
bool ContainsByRule(const std::string& v, const std::string& lit, bool foldCase) {
  if (lit.empty()) return false;
  auto width = [&](size_t i) { return cp932::IsLead(v[i]) && i + 1 < v.size() ? 2u : 1u; };
  for (size_t i = 0; i < v.size(); i += width(i)) {
    size_t k = 0, j = i;
    bool ok = true;
    while (ok && k < lit.size()) {
      if (j >= v.size()) {
        ok = false;
      } else if (cp932::IsLead(v[j]) && j + 1 < v.size()) {
        ok = k + 1 < lit.size() && v[j] == lit[k] && v[j + 1] == lit[k + 1];
        j += 2, k += 2;
      } else {
        ok = foldCase ? collate::FoldLower(v[j]) == collate::FoldLower(lit[k]) : v[j] == lit[k];
        ++j, ++k;
      }
    }
    if (ok) return true;
  }
  return false;
}

TEST_F(FindFoldTest, ContainsFindsTheLiteralOnlyAtCharacterBoundaries) {
  // characters whose trail bytes look like letters and like lead bytes
  // (second bytes 0x41, 0x42, 0x5C, 0x40, 0x78 'x'; both bytes in the lead range)
  const std::vector<std::string> pieces = {"a",        "A",        "b",        "B",        "\x83\x41",
                                           "\x83\x42", "\x8E\x95", "\x95\x8E", "\x82\xA0", "\xB1",
                                           "1",        "\x95\x5C", "\x81\x40", "\x83\x78", "x",
                                           "X",        "\xE0\xE0", "@",        "\\"};
  std::mt19937 rng(7);
  std::vector<std::string> values;
  for (int i = 0; i < 300; ++i) {
    std::string v;
    for (int k = static_cast<int>(rng() % 12); k > 0; --k) v += pieces[rng() % pieces.size()];
    values.push_back(v);
    db.New();
    ASSERT_EQ(0, db.SetValue(0, v));
    ASSERT_EQ(0, db.Store());
  }
  for (int t = 0; t < 400; ++t) {
    // a piece of some value, from any byte: on a boundary or not
    const std::string& from = values[rng() % values.size()];
    if (from.size() < 2) continue;
    const size_t at = rng() % (from.size() - 1);
    std::string lit = from.substr(at, 1 + rng() % std::min<size_t>(4, from.size() - at));
    if (cp932::CharStart(lit, lit.size() - 1) != lit.size() - 1 || lit.find('\'') != std::string::npos)
      continue;
    for (bool exact : {false, true}) {
      const std::string expr = std::string("A") + (exact ? "==" : "= ") + "'*" + lit + "*'";
      const int rc = rs.Select(expr);
      ASSERT_TRUE(rc == 0 || rc == CMyRec::kNoneFound) << expr << " " << rc;
      std::vector<int> want;
      for (size_t i = 0; i < values.size(); ++i)
        if (ContainsByRule(values[i], lit, !exact)) want.push_back(static_cast<int>(i));
      EXPECT_EQ(want, std::vector<int>(rs.Items(), rs.Items() + rs.Count())) << expr;
    }
  }
}

// The case-blind search of an ASCII word jumps from one place its first
// letter stands to the next: each is a match only where it starts a
// character, however long the run of lead-range bytes before it.
TEST_F(FindFoldTest, AnAsciiWordMatchesOnlyWhereACharacterStarts) {
  struct Case {
    const char* value;
    const char* word;
    bool found;
  } cases[] = {
      {"\x83\x78yz", "xyz", false},                   // x the second byte of a character
      {"\x83\x78xYz", "XYZ", true},                   // and then a real one
      {"\xE0\xE0\xE0X", "x", false},                  // three lead-range bytes: X ends the second
      {"\xE0\xE0X", "x", true},                       // two: X starts a character
      {"\x88\x9F\x88\x9F\x88\x9F\x88X", "x", false},  // a long run before a second byte
      {"\x81\x40@x", "@X", true},                     // a second byte 0x40, then a real @
      {"\x81\x40x", "@x", false},
      {"\x95\x5Cx", "\\x", false},  // the 0x5C of a character is no backslash
      {"ab\x83", "B", true},        // a lead byte alone at the end
      {"aaaaab", "AB", true},       // a first letter found many times
  };
  for (const Case& c : cases) {
    db.New();
    ASSERT_EQ(0, db.SetValue(0, c.value));
    ASSERT_EQ(0, db.Store());
  }
  ASSERT_EQ(0, rs.Select(""));
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    const std::string expr = std::string("A= '*") + cases[i].word + "*'";
    const std::vector<int> all = FindAll(expr.c_str(), false);
    EXPECT_EQ(cases[i].found, std::find(all.begin(), all.end(), i) != all.end()) << i << " " << cases[i].word;
    EXPECT_EQ(cases[i].found, ContainsByRule(cases[i].value, cases[i].word, true)) << i;
  }
}

// Values that cannot hold the literal's first character in either width
// are passed by unfolded: what is found must stay what folding both sides
// finds, for literals beginning with kana that half-width forms join into.
TEST_F(FindFoldTest, AFoldedSearchFindsWhatFoldingBothSidesFinds) {
  const char* pieces[] = {"ｶ",  "ﾞ",  "ﾟ",  "ｳ",  "ﾊ", "ｰ",  "ガ", "パ",
                          "ヴ", "ー", "カ", "ハ", "a", "Ａ", "漢", "゛"};
  std::mt19937 rng(11);
  std::vector<std::vector<int>> made;
  std::vector<std::string> values;
  for (int i = 0; i < 200; ++i) {
    std::vector<int> v(rng() % 8);
    std::string utf8;
    for (int& p : v) utf8 += pieces[p = static_cast<int>(rng() % std::size(pieces))];
    made.push_back(v);
    values.push_back(cp932::FromUtf8(utf8));
    ASSERT_EQ(static_cast<int>(i), AddRecord(db, {utf8}));
  }
  ASSERT_EQ(0, rs.Select(""));
  for (int t = 0; t < 150; ++t) {
    const std::vector<int>& from = made[rng() % made.size()];
    if (from.empty()) continue;
    const size_t at = rng() % from.size(), n = 1 + rng() % std::min<size_t>(3, from.size() - at);
    std::string lit;
    for (size_t k = at; k < at + n; ++k) lit += pieces[from[k]];
    std::vector<int> want;
    for (size_t i = 0; i < values.size(); ++i)
      if (ContainsByRule(widthfold::Fold(values[i]), widthfold::Fold(cp932::FromUtf8(lit)), true))
        want.push_back(static_cast<int>(i));
    EXPECT_EQ(want, FindAll(("A= '*" + lit + "*'").c_str(), true)) << lit;
  }
}

}  // namespace
