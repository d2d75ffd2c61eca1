#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "StoreTestUtil.h"
#include "platform/Collate.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

constexpr int T = fielddef::kTypeText;
constexpr int Num = fielddef::kTypeNumber;

// Fields A..D text, N number, M a longer text.
class CMyRecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.SetPrompter(&prompter);
    ASSERT_EQ(
        0, DefineFields(
               db, {{"A", T, 20}, {"B", T, 20}, {"C", T, 20}, {"D", T, 20}, {"N", Num, 9}, {"M", T, 200}}));
    rs.Bind(&db);
  }
  // Record numbers of the selection, in order.
  std::vector<int> Selected() { return std::vector<int>(rs.Items(), rs.Items() + rs.Count()); }
  std::vector<int> SelectUtf8(const char* expr) {
    int rc = rs.Select(cp932::FromUtf8(expr));
    EXPECT_TRUE(rc == 0 || rc == 202) << expr << " -> " << rc;
    return Selected();
  }
  ScriptedPrompter prompter;
  CMyDB db;
  CMyRec rs;
};

TEST_F(CMyRecTest, MakeSqlCodes) {
  const std::string fifty(50, 'x');
  struct Case {
    std::string expr;
    int code;
  } cases[] = {
      {"", 0},
      {"   ", 0},
      {"A='1'", 0},
      {"a  =  '1'", 0},
      {"A='1' and", -1},
      {"A='1' AN", -1},
      {"A='1' or", -1},
      {"A='1' ANDY B='1'", -2},
      {"A='1' ) and B='1'", -21},
      {"A='1' xor B='2'", -2},
      {"(A='1' or (B='2' and C='3'))", -2},
      {"A='1' and(B='2')", -2},
      {"A='1' and ", -4},
      {"(", -4},
      {"A='1' or (  ", -4},
      {"A", -5},
      {"A='1' and B", -5},
      {"Z='1'", -6},
      {"((A='1')", -6},
      {"A  ", -7},
      {"A x", -8},
      {"A 'x'", -8},
      {"A<<'1'", -9},
      {"A=<'1'", -9},
      {"A=>'1'", -9},
      {"A>>'1'", -9},
      {"A><'1'", -9},
      {"A=", -10},
      {"A<>  ", -10},
      {"A=1", -13},
      {"A='abc", -13},
      {"A='it''s", -13},
      {"A='" + fifty + "'", 0},
      {"A='" + fifty + "x'", -14},
      {"N=1x", -15},
      {"N=-", -15},
      {"(N=5)", -15},
      {"(N='5')", -15},
      {"(N=5 )", 0},
      {"N=-123456789", 0},
      {"N=+1234567890", -16},
      {"(A='1' and (A='1' and (A='1' and (A='1' and (A='1' and (A='1' and (A='1' and (A='1' and (A='1' and "
       "(A='1' and (A='1'",
       -20},
      {"A='1')", -21},
      {"(A='1' or B='2') )", -2},
      {"(A='1'", -22},
      {"(A='1' or (B='2' and C='3') and D='4')", 0},
      {"(A='1' or (B='2' and (C='3') and D='4') and A='5')", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.code, rs.MakeSql(c.expr, CMyRec::kListCheck)) << c.expr;
  EXPECT_EQ(0, rs.MakeSql(nullptr, 0));
  EXPECT_EQ(0, rs.List(0).Count());
  EXPECT_TRUE(prompter.Shown().empty());  // compile errors are returned, not shown
}

TEST_F(CMyRecTest, FailedCompileKeepsTheNodesBeforeTheErrorAndTheSelection) {
  AddRecord(db, {"1"});
  AddRecord(db, {"2"});
  ASSERT_EQ(0, rs.Select("A='2'"));
  EXPECT_EQ(-6, rs.Select("A='1' or Z='3'"));
  EXPECT_EQ(1, rs.List(0).Count());
  EXPECT_EQ(std::vector<int>{1}, Selected());
  EXPECT_TRUE(rs.CheckSyntax("A='1'"));
  EXPECT_FALSE(rs.CheckSyntax("A='1"));
}

TEST(CMyRecNodes, WorkedExampleCompilesToFiveNodes) {
  CMyDB db;
  ASSERT_EQ(0, DefineMemoSchema(db));
  CMyRec rs(&db);
  ASSERT_EQ(0, rs.MakeSql("キー項目>='2020/01/01' and (MEM001='*会議*' or MARK=='A*') or NODATA<>''"_sj, 0));
  const CMyLine& l = rs.List(0);
  ASSERT_EQ(5, l.Count());
  struct Expect {
    char kind;
    int ref;
    char op1, op2;
    const char* text;
  } expect[] = {
      {'o', memo::kKey, '>', '=', "2020/01/01"}, {'{', 4, 0, 0, ""},
      {'o', memo::kMem001, '=', '3', "会議"},    {'o', memo::kMark, '=', '5', "A"},
      {'o', memo::kNoData, '<', '>', ""},
  };
  for (int i = 0; i < 5; ++i) {
    const char* b = l.Item(i);
    ASSERT_EQ(sqlnode::kSize, l.Length(i));
    EXPECT_EQ(expect[i].kind, b[0]) << i;
    EXPECT_EQ(expect[i].ref, le::GetI32(b + 4)) << i;
    EXPECT_EQ(expect[i].op1, b[8]) << i;
    EXPECT_EQ(expect[i].op2, b[9]) << i;
    EXPECT_EQ(0, le::GetI32(b + 12)) << i;
    EXPECT_EQ(cp932::FromUtf8(expect[i].text), std::string(b + 20)) << i;
    for (int pad : {1, 2, 3, 10, 11, 71}) EXPECT_EQ(0, b[pad]) << i << "@" << pad;
  }
  // A number node.
  CMyDB nd;
  DefineFields(nd, {{"N", Num, 9}});
  CMyRec nr(&nd);
  ASSERT_EQ(0, nr.MakeSql("N<=-42", 0));
  EXPECT_EQ('<', nr.List(0).Item(0)[8]);
  EXPECT_EQ('=', nr.List(0).Item(0)[9]);
  EXPECT_EQ(1, le::GetI32(nr.List(0).Item(0) + 12));
  EXPECT_EQ(-42, le::GetI32(nr.List(0).Item(0) + 16));
}

TEST(CMyRecNodes, WorkedExampleSelects) {
  CMyDB db;
  ASSERT_EQ(0, DefineMemoSchema(db));
  struct Row {
    const char* key;
    const char* mem;
    const char* mark;
    const char* nodata;
    bool selected;
  } rows[] = {
      {"2021/05/01", "定例会議の準備", "", "", true}, {"2021/05/01", "買い物", "Apple", "", true},
      {"2021/05/01", "買い物", "apple", "", false},  // == is case-sensitive
      {"2019/12/31", "会議", "A", "", false},         {"2019/12/31", "", "", "1", true},
      {"2020/01/01", "xx会議", "", "", true},         {"2020/01/01", "", "", "", false},
  };
  for (const auto& r : rows) {
    db.New();
    ASSERT_EQ(0, db.SetValue(memo::kKey, r.key));
    ASSERT_EQ(0, db.SetValue(memo::kMem001, cp932::FromUtf8(r.mem)));
    ASSERT_EQ(0, db.SetValue(memo::kMark, r.mark));
    ASSERT_EQ(0, db.SetValue(memo::kNoData, r.nodata));
    ASSERT_EQ(0, db.Store());
  }
  CMyRec rs(&db);
  ASSERT_EQ(0, rs.Select("キー項目>='2020/01/01' and (MEM001='*会議*' or MARK=='A*') or NODATA<>''"_sj));
  std::vector<int> expect;
  for (int i = 0; i < 7; ++i)
    if (rows[i].selected) expect.push_back(i);
  EXPECT_EQ(expect, std::vector<int>(rs.Items(), rs.Items() + rs.Count()));
  // The selection mark follows the last requery.
  for (int i = 0; i < 7; ++i) EXPECT_EQ(rows[i].selected, (db.RecordBytes(i)[0] & 1) == 1) << i;
}

TEST_F(CMyRecTest, ConditionsAndPrecedence) {
  AddRecord(db, {"1", "2", "x", "", "5", "abc"});       // 0
  AddRecord(db, {"1", "x", "3", "*", "10", "ABC"});     // 1
  AddRecord(db, {"x", "x", "3", "**", "03", "xABCx"});  // 2
  AddRecord(db, {"x", "2", "x", "", "", "ab"});         // 3
  struct Case {
    const char* expr;
    std::vector<int> selected;
  } cases[] = {
      {"", {0, 1, 2, 3}},
      {"D=''", {0, 3}},
      {"D<>''", {1, 2}},
      {"D='*'", {1}},
      {"D='**'", {}},
      {"M='abc'", {0, 1}},
      {"M=='abc'", {0}},
      {"M='*BC'", {0, 1}},
      {"M=='*BC'", {1}},
      {"M='aB*'", {0, 1, 3}},
      {"M='*bc*'", {0, 1, 2}},
      {"M=='*BC*'", {1, 2}},
      {"M='ab*' or M='*x'", {0, 1, 2, 3}},
      {"M<'abc'", {3}},
      {"M<='ABC'", {0, 1, 3}},
      {"M>'abc'", {2}},
      {"M>='ab*'", {0, 1, 2}},  // "*" with other operators is an ordinary character
      {"A='1' AND B='2' OR C='3'", {0, 1, 2}},
      {"A='1' and (B='2' or C='3')", {0, 1}},
      {"C='3' or A='1' and B='2'", {0, 1, 2}},
      {"(A='x' or B='x') and (C='x' and D='')", {3}},
      {"N=5", {0}},
      {"N==10", {1}},
      {"N>4", {0, 1}},
      {"N<4", {2, 3}},
      {"N<>0", {0, 1, 2}},
      {"N=0", {3}},
      {"N>=3 and N<=5", {0, 2}},
      {"N>-1 and N<1", {3}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.selected, SelectUtf8(c.expr)) << c.expr;
}

TEST_F(CMyRecTest, MatchModesRespectDoubleByteCharacters) {
  struct Case {
    const char* value;
    const char* expr;
    bool match;
  } cases[] = {
      // "ア" is 0x83 0x41: its trail byte is "A".
      {"ア", "M='*A'", false},
      {"ア", "M=='*A'", false},
      {"ア", "M='*a*'", false},
      {"ア", "M=='*A*'", false},
      {"xアA", "M='*a'", true},
      {"xアA", "M=='*A*'", true},
      {"定例会議です", "M='*会議*'", true},
      {"定例会議です", "M=='*会議*'", true},
      {"定例会議です", "M='定例*'", true},
      {"定例会議です", "M='*です'", true},
      {"会", "M='*会議*'", false},
      {"ａｂｃ", "M='*ＡＢＣ*'", false},  // full-width letters are not folded
      {"AB", "M='ABC*'", false},
      {"AB", "M='*xAB'", false},
      {"", "M='*'", false},
      {"*", "M='*'", true},
      {"it's", "M='it''s'", true},
      {"it's", "M='*''*'", true},
  };
  for (const auto& c : cases) {
    db.ClearRecords();
    AddRecord(db, {"", "", "", "", "", c.value});
    EXPECT_EQ(c.match, SelectUtf8(c.expr).size() == 1) << c.value << " " << c.expr;
  }
}

TEST_F(CMyRecTest, NumbersReadAsLeadingIntegers) {
  // Values reach number fields only as digits, but files may carry anything;
  // a text field compared as a number is not possible, so build one by file.
  CMyDB t;
  DefineFields(t, {{"N", Num, 9}});
  CMyRec r(&t);
  std::string file;
  le::AppendI32(file, 1);
  le::AppendI32(file, 1);
  le::AppendI32(file, 0);
  le::AppendI32(file, 0);
  for (const char* v : {" 42", "-7x", "abc", "+3"}) {
    std::string rec("\0\x03\0", 3);
    rec += v;
    le::AppendI32(file, static_cast<int>(rec.size()) + 2);
    file += rec;
    file += std::string(2, '\0');
  }
  le::AppendI32(file, 0);
  ASSERT_EQ(0, t.ReadBytes(file, false));
  ASSERT_EQ(0, r.Select("N=42"));
  EXPECT_EQ(0, r.Items()[0]);
  ASSERT_EQ(0, r.Select("N<0"));
  EXPECT_EQ(1, r.Items()[0]);
  ASSERT_EQ(0, r.Select("N=0"));
  EXPECT_EQ(2, r.Items()[0]);
  ASSERT_EQ(0, r.Select("N=3"));
  EXPECT_EQ(3, r.Items()[0]);
}

TEST_F(CMyRecTest, RequerySkipsDeletedRecordsAndReportsEmptiness) {
  AddRecord(db, {"1"});
  AddRecord(db, {"1"});
  ASSERT_EQ(1, db.MarkDeleted(0));
  EXPECT_EQ(0, rs.Select("A='1'"));
  EXPECT_EQ(std::vector<int>{1}, Selected());
  EXPECT_EQ(0, rs.Position());
  EXPECT_EQ(202, rs.Select("A='2'"));
  EXPECT_EQ(-1, rs.Position());
  EXPECT_TRUE(rs.NoCurrent());
  EXPECT_EQ(0, db.RecordBytes(1)[0] & 1);
}

TEST_F(CMyRecTest, BrokenListsReportOnce) {
  for (int i = 0; i < 5; ++i) AddRecord(db, {"1"});
  // A group left open keeps its node with no end: evaluating it is an error.
  EXPECT_EQ(-22, rs.MakeSql("(A='1'", 0));
  EXPECT_EQ(202, rs.Requery());
  EXPECT_EQ(std::vector<std::string>{"P):括弧処理で不正な処理になりました。"}, prompter.ShownUtf8());
  EXPECT_EQ("エラー"_sj, prompter.Shown()[0].caption);

  // A list compiled for a table that has since lost the field.
  prompter.ClearShown();
  ASSERT_EQ(0, rs.MakeSql("M='x'", 0));
  DefineFields(db, {{"A", T, 20}});
  AddRecord(db, {"1"});
  EXPECT_EQ(-1, rs.Requery());
  EXPECT_EQ(std::vector<std::string>{"PG_Err:不正なデータが混入しています。"}, prompter.ShownUtf8());
  EXPECT_EQ(-1, rs.Evaluate(0, 0));
}

TEST_F(CMyRecTest, EvaluateRanges) {
  AddRecord(db, {"1", "2", "3"});
  ASSERT_EQ(0, rs.MakeSql("A='9' or (B='2' and C='3')", 1));
  EXPECT_EQ(1, rs.Evaluate(0, 1));
  EXPECT_EQ(1, rs.Evaluate(0, 1, 0, 1));  // from 0 means the whole list
  EXPECT_EQ(1, rs.Evaluate(0, 1, 2, 4));  // the group's contents
  EXPECT_EQ(-1, rs.Evaluate(5, 1));
  ASSERT_EQ(0, rs.MakeSql(nullptr, 1));
  EXPECT_EQ(1, rs.Evaluate(0, 1));  // an empty list is true
}

// ---- sorting -------------------------------------------------------------------

TEST_F(CMyRecTest, SetSortParsing) {
  struct Case {
    const char* spec;
    int code;
    std::vector<CMyRec::SortKey> keys;
  } cases[] = {
      {"A", 0, {{0, 0, 0}}},
      {" a , b D", 0, {{0, 0, 0}, {1, 1, 0}}},
      {"A DESC,B U,C ND,D nu", 0, {{0, 1, 0}, {1, 0, 0}, {2, 3, 0}, {3, 2, 0}}},
      {"A D L5,B L40,C U l3 whatever", 0, {{0, 1, 5}, {1, 0, 0}, {2, 0, 3}}},
      {"A,", 0, {{0, 0, 0}}},
      {"", 0, {}},
      {"A,Z", -6, {{0, 0, 0}}},
      {"A D,B ASC,C", -7, {{0, 1, 0}}},
      {"A N", -7, {}},
      {"A,B,C,D,A,B,C,D,A,B,Z,D",
       0,
       {{0, 0, 0},
        {1, 0, 0},
        {2, 0, 0},
        {3, 0, 0},
        {0, 0, 0},
        {1, 0, 0},
        {2, 0, 0},
        {3, 0, 0},
        {0, 0, 0},
        {1, 0, 0}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.code, rs.SetSort(c.spec, false)) << c.spec;
    const auto& keys = rs.SortKeys();
    ASSERT_EQ(c.keys.size(), keys.size()) << c.spec;
    for (size_t i = 0; i < keys.size(); ++i) {
      EXPECT_EQ(c.keys[i].field, keys[i].field) << c.spec << " #" << i;
      EXPECT_EQ(c.keys[i].flags, keys[i].flags) << c.spec << " #" << i;
      EXPECT_EQ(c.keys[i].prefix, keys[i].prefix) << c.spec << " #" << i;
    }
  }
}

TEST(CMyRecSort, KeyDescendingSerialAscending) {
  CMyDB db;
  ASSERT_EQ(0, DefineMemoSchema(db));
  const char* rows[][2] = {{"2020/01/02", "00002"},
                           {"2020/01/01", "00001"},
                           {"2020/01/02", "00001"},
                           {"2020/01/03", "00003"},
                           {"2020/01/01", "00002"}};
  for (auto& r : rows) {
    db.New();
    ASSERT_EQ(0, db.SetValue(memo::kKey, r[0]));
    ASSERT_EQ(0, db.SetValue(memo::kLineSerial, r[1]));
    ASSERT_EQ(0, db.Store());
  }
  CMyRec rs(&db);
  ASSERT_EQ(0, rs.Select(""));
  ASSERT_EQ(0, rs.SetSort("キー項目 D,行連番"_sj, true));
  EXPECT_EQ((std::vector<int>{3, 2, 0, 1, 4}), std::vector<int>(rs.Items(), rs.Items() + rs.Count()));
  ASSERT_EQ(0, rs.SetSort("キー項目,行連番 D"_sj, false));
  ASSERT_EQ(0, rs.Requery());  // a requery sorts too
  EXPECT_EQ((std::vector<int>{4, 1, 0, 2, 3}), std::vector<int>(rs.Items(), rs.Items() + rs.Count()));
}

TEST_F(CMyRecTest, NumericCaseAndPrefixKeys) {
  AddRecord(db, {"b", "", "", "", "10"});
  AddRecord(db, {"A", "", "", "", "9"});
  AddRecord(db, {"a", "", "", "", "100"});
  AddRecord(db, {"abz", "", "", "", ""});
  ASSERT_EQ(0, rs.Select(""));
  ASSERT_EQ(0, rs.SetSort("N NU", true));
  EXPECT_EQ((std::vector<int>{3, 1, 0, 2}), Selected());
  ASSERT_EQ(0, rs.SetSort("N", true));  // as text
  EXPECT_EQ((std::vector<int>{3, 0, 2, 1}), Selected());
  ASSERT_EQ(0, rs.SetSort("A D L1,N ND", true));
  EXPECT_EQ((std::vector<int>{0, 2, 1, 3}), Selected());
}

TEST_F(CMyRecTest, LargeSortsAreOrdered) {
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    char a[8], n[8];
    std::snprintf(a, sizeof a, "%c%02d", 'a' + static_cast<int>(rng() % 5), static_cast<int>(rng() % 40));
    std::snprintf(n, sizeof n, "%d", static_cast<int>(rng() % 1000));
    AddRecord(db, {a, "", "", "", n});
  }
  for (int i = 0; i < 200; ++i) AddRecord(db, {"same", "", "", "", "1"});  // long run of equal keys
  ASSERT_EQ(0, rs.Select(""));
  ASSERT_EQ(0, rs.SetSort("A D,N NU", true));
  auto sel = Selected();
  ASSERT_EQ(3200u, sel.size());
  EXPECT_EQ(3200u, std::set<int>(sel.begin(), sel.end()).size());
  for (size_t i = 1; i < sel.size(); ++i) {
    std::string pa = db.Value(0, sel[i - 1]), pb = db.Value(0, sel[i]);
    ASSERT_GE(collate::CompareNoCase(pa, pb), 0) << i;
    if (pa == pb) {
      ASSERT_LE(std::atoi(db.Value(4, sel[i - 1])), std::atoi(db.Value(4, sel[i]))) << i;
    }
  }
}

// Values built to stress the leading-key shortcut: case, double-byte
// characters whose trail byte is an ASCII letter, long shared prefixes and
// prefix lengths. Every adjacent pair must be ordered by the plain comparison.
TEST_F(CMyRecTest, SortShortcutOrdersLikeThePlainComparison) {
  const std::string parts[] = {"a", "A", "b", "_", "ア"_sj, "アA"_sj, "0", "z", "ｱ"_sj, "会"_sj};
  std::mt19937 rng(11);
  auto value = [&](size_t maxParts) {
    std::string v = (rng() % 2) ? "common-prefix-" : "";
    size_t n = rng() % maxParts;
    for (size_t i = 0; i < n; ++i) v += parts[rng() % 10];
    return v.substr(0, 20);
  };
  for (int i = 0; i < 2000; ++i) {
    std::string a = value(8), b = value(3), c = value(12);
    db.New();
    ASSERT_EQ(0, db.SetValue(0, a.substr(0, cp932::CharStart(a, std::min<size_t>(a.size(), 20)))));
    ASSERT_EQ(0, db.SetValue(1, b));
    ASSERT_EQ(0, db.SetValue(2, c));
    ASSERT_EQ(0, db.Store());
  }
  struct Case {
    const char* spec;
    int prefix[3];
    bool desc[3];
  } cases[] = {
      {"A,B D,C", {0, 0, 0}, {false, true, false}},
      {"C D,A", {0, 0, 0}, {true, false, false}},
      {"A L3,B D L15,C", {3, 15, 0}, {false, true, false}},
      {"B,A L17", {0, 17, 0}, {false, false, false}},
  };
  int fieldsOf[][3] = {{0, 1, 2}, {2, 0, -1}, {0, 1, 2}, {1, 0, -1}};
  for (size_t ci = 0; ci < 4; ++ci) {
    const auto& c = cases[ci];
    ASSERT_EQ(0, rs.Select(""));
    ASSERT_EQ(0, rs.SetSort(c.spec, true));
    auto sel = Selected();
    ASSERT_EQ(2000u, sel.size());
    auto cmp = [&](int ra, int rb) {
      for (int k = 0; k < 3 && fieldsOf[ci][k] >= 0; ++k) {
        std::string va = db.Value(fieldsOf[ci][k], ra), vb = db.Value(fieldsOf[ci][k], rb);
        if (c.prefix[k]) {
          va = va.substr(0, c.prefix[k]);
          vb = vb.substr(0, c.prefix[k]);
        }
        int r = collate::CompareNoCase(va, vb);
        if (r) return c.desc[k] ? -r : r;
      }
      return 0;
    };
    for (size_t i = 1; i < sel.size(); ++i)
      ASSERT_LE(cmp(sel[i - 1], sel[i]), 0)
          << c.spec << " at " << i << ": " << cp932::ToUtf8(db.Value(0, sel[i - 1])) << " | "
          << cp932::ToUtf8(db.Value(1, sel[i - 1])) << " / " << cp932::ToUtf8(db.Value(0, sel[i])) << " | "
          << cp932::ToUtf8(db.Value(1, sel[i]));
  }
}

TEST_F(CMyRecTest, SortRefusesKeysBeyondTheTable) {
  AddRecord(db, {"b"});
  AddRecord(db, {"a"});
  ASSERT_EQ(0, rs.Select(""));
  ASSERT_EQ(0, rs.SetSort("M", false));
  DefineFields(db, {{"A", T, 20}});
  AddRecord(db, {"b"});
  AddRecord(db, {"a"});
  rs.Sort();
  EXPECT_EQ(std::vector<std::string>{"PG:ソート番号がフィールド数をオーバーしました。"},
            prompter.ShownUtf8());
  EXPECT_EQ((std::vector<int>{0, 1}), Selected());
}

// ---- navigation and finding ---------------------------------------------------------

TEST_F(CMyRecTest, Navigation) {
  EXPECT_EQ(-1, rs.First());
  EXPECT_EQ(-1, rs.Last());
  EXPECT_EQ(2, rs.Prev());
  for (const char* v : {"a", "b", "c"}) AddRecord(db, {v});
  ASSERT_EQ(0, rs.Select(""));
  struct Step {
    char op;
    int result;
    int position;
    int record;
  } steps[] = {
      {'n', 0, 1, 1},   {'n', 0, 2, 2},   {'n', 1, 3, -1}, {'n', 2, 3, -1}, {'p', 0, 2, 2}, {'f', 0, 0, 0},
      {'p', 1, -1, -1}, {'p', 2, -1, -1}, {'n', 0, 0, 0},  {'l', 0, 2, 2},  {'g', 1, 1, 1}, {'G', -1, -1, -1},
  };
  for (const auto& s : steps) {
    int r = s.op == 'n'   ? rs.Next()
            : s.op == 'p' ? rs.Prev()
            : s.op == 'f' ? rs.First()
            : s.op == 'l' ? rs.Last()
            : s.op == 'g' ? rs.GoTo(1)
                          : rs.GoTo(3);
    EXPECT_EQ(s.result, r) << s.op;
    EXPECT_EQ(s.position, rs.Position()) << s.op;
    EXPECT_EQ(s.record, rs.CurrentRecord()) << s.op;
    EXPECT_EQ(s.record < 0, rs.NoCurrent()) << s.op;
  }
  EXPECT_EQ(nullptr, rs.Value(0));
  EXPECT_EQ(201, rs.LoadCurrent());
  rs.First();
  EXPECT_TRUE(rs.HasNext());
  EXPECT_STREQ("a", rs.ValueByName("a"));
  EXPECT_EQ(0, rs.LoadCurrent());
  EXPECT_EQ(0, rs.SetValue(0, "z"));
  EXPECT_EQ(0, rs.Store());
  EXPECT_STREQ("z", db.Value(0, 0));
}

TEST_F(CMyRecTest, DeleteCurrent) {
  for (const char* v : {"a", "b", "c"}) AddRecord(db, {v});
  ASSERT_EQ(0, rs.Select(""));
  EXPECT_EQ(1, rs.GoTo(1));
  EXPECT_EQ(1, rs.DeleteCurrent(true));
  EXPECT_EQ(2, rs.Count());
  EXPECT_EQ(2, rs.CurrentRecord());  // the next record became current
  EXPECT_EQ(1, rs.DeleteCurrent(true));
  EXPECT_TRUE(rs.NoCurrent());  // it was the last one
  EXPECT_EQ(0, rs.DeleteCurrent(true));
  rs.First();
  EXPECT_EQ(1, rs.DeleteCurrent(false));
  EXPECT_EQ(1, rs.Count());  // the selection keeps its numbers until a requery
  EXPECT_EQ(0, db.LiveCount());
}

TEST_F(CMyRecTest, FindSearchesTheSelection) {
  for (const char* v : {"x", "m", "x", "m", "x"}) AddRecord(db, {v});
  ASSERT_EQ(0, rs.Select(""));
  EXPECT_EQ(4, rs.Find("A='x'", 2, false));
  EXPECT_EQ(2, rs.FindPrev());
  EXPECT_EQ(0, rs.FindPrev());
  EXPECT_EQ(-1, rs.FindPrev());
  EXPECT_TRUE(rs.NoCurrent());
  EXPECT_EQ(4, rs.FindPrev());  // from the last when there is no current record
  EXPECT_EQ(-1, rs.FindNext());
  EXPECT_EQ(0, rs.FindNext());              // from the first
  EXPECT_EQ(0, rs.Find("A='x'", 1, true));  // the start record itself is tested
  EXPECT_EQ(1, rs.Find("A='m'", 0, true));
  ASSERT_EQ(1, db.MarkDeleted(3));
  EXPECT_EQ(-1, rs.FindNext());  // deleted records are skipped
  EXPECT_EQ(-1, rs.Find("Z='m'", 0, true));
  EXPECT_EQ(-1, rs.Find("A='x'", 5, true));
}

TEST_F(CMyRecTest, FindFromTheCurrentRecordWithoutOneStaysInTheSelection) {
  for (const char* v : {"x", "m", "x"}) AddRecord(db, {v});
  ASSERT_EQ(202, rs.Select("A='none'"));
  EXPECT_EQ(-1, rs.Find("A='x'", 1, true));
  EXPECT_EQ(-1, rs.Find("A='x'", 1, false));
  EXPECT_EQ(-1, rs.FindNext());
  EXPECT_EQ(-1, rs.FindPrev());
  ASSERT_EQ(0, rs.Select(""));
  rs.Last();
  rs.Next();  // past the end: no current record
  EXPECT_EQ(2, rs.Find("A='x'", 1, false));
  rs.Last();
  rs.Next();
  EXPECT_EQ(0, rs.Find("A='x'", 1, true));
}

}  // namespace
