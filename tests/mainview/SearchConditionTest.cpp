// The condition the search dialog builds, and that the record set reads
// back exactly the text that was typed.
#include <gtest/gtest.h>

#include "mainview/search/SearchCommands.h"
#include "platform/Cp932.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

struct Memo {
  CMyDB db;
  CMyRec rec{&db};
  std::vector<SearchField> fields;
  Memo() {
    EXPECT_EQ(0, DefineMemoSchema(db));
    // the diary's form: 気分, 天気 and 日記
    fields = {{"MARK", "気分"_sj}, {"DAT001", "天気"_sj}, {"MEM001", "日記"_sj}};
  }
  int Add(const std::string& memoSj) {
    db.New();
    EXPECT_EQ(0, db.SetValue(memo::kKey, "2024/05/01"));
    EXPECT_EQ(0, db.SetValue(memo::kMem001, memoSj));
    EXPECT_EQ(0, db.Store());
    return db.RecordCount() - 1;
  }
};

SearchQuery Query(const char* nameUtf8, const std::string& textSj, int kind = SearchCommands::kContains,
                  bool caseSensitive = false) {
  SearchQuery q;
  q.name = cp932::FromUtf8(nameUtf8);
  q.text = textSj;
  q.kind = kind;
  q.caseSensitive = caseSensitive;
  return q;
}

TEST(SearchCondition, TheConditionTextOfEachKindFieldAndCase) {
  Memo m;
  struct Case {
    SearchQuery q;
    int rc;
    const char* condition;
  } cases[] = {
      {Query("MEM001", "abc"), SearchCommands::kBuilt, "MEM001= '*abc*'"},
      {Query("日記", "abc"), SearchCommands::kBuilt, "MEM001= '*abc*'"},  // a caption names its field
      {Query("mem001", "abc", SearchCommands::kEqual, true), SearchCommands::kBuilt, "MEM001=='abc'"},
      {Query("天気", "晴"_sj, SearchCommands::kBegins), SearchCommands::kBuilt, "DAT001= '晴*'"},
      {Query("天気", "晴"_sj, SearchCommands::kEnds), SearchCommands::kBuilt, "DAT001= '*晴'"},
      {Query("（全て）", "x"), SearchCommands::kBuilt, "(MARK= '*x*' or DAT001= '*x*' or MEM001= '*x*')"},
      {Query("NODATA", "1", SearchCommands::kEqual), SearchCommands::kBuilt,
       "NODATA= '1'"},  // any table field
      {Query("日記", "it's"), SearchCommands::kBuilt, "MEM001= '*it''s*'"},
      {Query("日記", "''"), SearchCommands::kBuilt, "MEM001= '*''''*'"},
      {Query("日記", "*"), SearchCommands::kBuilt, "MEM001= '***'"},
      {Query("日記", "a\x82"), SearchCommands::kBuilt, "MEM001= '*a*'"},   // half a character is dropped
      {Query("日記", "\x82'"), SearchCommands::kBuilt, "MEM001= '*''*'"},  // and never takes the quote
      {Query("日記", "\x82"), SearchCommands::kIncomplete, ""},
      {Query("日記", ""), SearchCommands::kIncomplete, ""},
      {Query("", "x"), SearchCommands::kIncomplete, ""},
      {Query("日記", "x", -1), SearchCommands::kIncomplete, ""},
      {Query("写真帳", "x"), SearchCommands::kNotSearchable, ""},
  };
  for (const Case& c : cases) {
    std::string condition;
    EXPECT_EQ(c.rc, SearchCommands::BuildCondition(c.q, m.fields, m.db, condition))
        << cp932::ToUtf8(c.q.text);
    EXPECT_EQ(cp932::FromUtf8(c.condition), condition) << cp932::ToUtf8(c.q.text);
  }
  std::string condition;
  EXPECT_EQ(SearchCommands::kNotSearchable, SearchCommands::BuildCondition(Query("（全て）", "x"), {}, m.db,
                                                                           condition));  // no form, no fields
}

TEST(SearchCondition, WhatIsTypedIsWhatIsFound) {
  Memo m;
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "検"_sj;
  const std::string texts[] = {"it's", "'", "*", "**", "a*b", "x'*'y", "'; or MEM001= '", thirty, "ｶﾅ"_sj};
  for (const std::string& t : texts) {
    m.Add("[" + t + "]");
    m.Add("[" + t.substr(0, t.size() - 1) + "]");  // one byte short is no hit
  }
  ASSERT_EQ(0, m.rec.Select(""));
  for (const std::string& t : texts) {
    for (int kind : {SearchCommands::kEqual, SearchCommands::kContains}) {
      const std::string text = kind == SearchCommands::kEqual ? "[" + t + "]" : t;
      std::string condition;
      ASSERT_EQ(SearchCommands::kBuilt,
                SearchCommands::BuildCondition(Query("（全て）", text, kind), m.fields, m.db, condition));
      const int pos = SearchCommands::Start(m.rec, condition, false, 1);
      ASSERT_GE(pos, 0) << cp932::ToUtf8(condition);
      const std::string found = m.db.Value(memo::kMem001, m.rec.Items()[pos]);
      if (kind == SearchCommands::kContains) {
        EXPECT_NE(std::string::npos, found.find(t)) << cp932::ToUtf8(condition);
        continue;
      }
      EXPECT_EQ("[" + t + "]", found) << cp932::ToUtf8(condition);
      if (t.size() > 1) {
        EXPECT_EQ(-1, m.rec.FindNext()) << cp932::ToUtf8(t);  // the shorter one is no hit
      }
    }
  }
}

}  // namespace
