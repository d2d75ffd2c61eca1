#include <gtest/gtest.h>

#include "input/CMyHyo.h"
#include "input/CMySetMaster.h"
#include "input/SelStrip.h"
#include "input/SelectionLists.h"
#include "platform/Canvas.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

namespace {

CMyHyo Table(std::vector<std::vector<std::string>> rows, bool learn, bool twoLevel) {
  CMyHyo t;
  t.SetSwitch(0, true);
  t.SetSwitch(1, learn);
  t.SetSwitch(2, twoLevel);
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c)
      t.SetCell(static_cast<int>(c), static_cast<int>(r), cp932::FromUtf8(rows[r][c]));
  return t;
}

std::vector<std::string> Column(const CMyHyo& t, int column) {
  std::vector<std::string> out;
  for (int r = 0; r < t.RowCount(); ++r) out.push_back(cp932::ToUtf8(t.Cell(column, r)));
  return out;
}

}  // namespace

TEST(ComboLists, HeaderLine) {
  TempDir dir;
  struct Row {
    std::string file;
    std::vector<std::string> items;
    bool learn;
  } rows[] = {
      {"$$$ 1\r\na\r\nb\r\n", {"a", "b"}, true},
      {"$$$ 0\r\na\r\n", {"a"}, false},
      {"$$$\r\na\r\n", {"$$$", "a"}, false},
      {"a$$$\r\n", {"a$$$"}, false},
  };
  for (const auto& r : rows) {
    WriteBytes(dir / "cboms00.ms", r.file);
    sellist::ComboList l;
    ASSERT_EQ(0, sellist::LoadComboList(dir / "cboms00.ms", l));
    EXPECT_EQ(r.items, l.items);
    EXPECT_EQ(r.learn, l.learn);
  }
  sellist::ComboList l;
  EXPECT_EQ(-1, sellist::LoadComboList(dir / "missing.ms", l));
  EXPECT_TRUE(l.items.empty());
}

TEST(ComboLists, LearningPutsTheLatestOnTop) {
  TempDir dir;
  const std::string path = dir / "cboms01.ms";
  sellist::ComboList l{{"a", "b", "c"}, true};
  EXPECT_EQ(0, sellist::LearnComboValue(l, "a", path));  // already on top: nothing written
  EXPECT_FALSE(fileops::Exists(path));
  EXPECT_EQ(1, sellist::LearnComboValue(l, "c", path));
  EXPECT_EQ((std::vector<std::string>{"c", "a", "b"}), l.items);
  EXPECT_EQ("$$$ 1\r\nc\r\na\r\nb\r\n", ReadBytes(path));
  EXPECT_EQ(0, sellist::LearnComboValue(l, "", path));
  sellist::ComboList off{{"a"}, false};
  EXPECT_EQ(0, sellist::LearnComboValue(off, "z", path));

  sellist::ComboList full{{}, true};
  for (int i = 0; i < 101; ++i) full.items.push_back(std::to_string(i));
  EXPECT_EQ(1, sellist::LearnComboValue(full, "new", path));
  EXPECT_EQ(101u, full.items.size());
  EXPECT_EQ("new", full.items.front());
  EXPECT_EQ("99", full.items.back());  // "100" dropped

  sellist::ComboList cannot{{"a"}, true};
  EXPECT_EQ(-1, sellist::LearnComboValue(cannot, "b", dir / "no/such/folder/cboms01.ms"));
}

TEST(TableLists, LearnListValue) {
  TempDir dir;
  // text-editor list, one level
  CMyHyo t = Table({{"1", "NoP", "散歩"}}, true, false);
  EXPECT_EQ(0, sellist::LearnListValue(false, t, "散歩"_sj, "", 3, dir.path()));
  EXPECT_EQ(1, sellist::LearnListValue(false, t, "読書"_sj, "", 3, dir.path()));
  EXPECT_EQ((std::vector<std::string>{"散歩", "読書"}), Column(t, 2));
  EXPECT_EQ("NoP", t.Cell(1, 1));
  CMyHyo back;
  ASSERT_EQ(0, back.Load(dir / "selms03.ms"));
  EXPECT_EQ(2, back.RowCount());
  // slots beyond the combo range still learn in text-editor lists
  EXPECT_EQ(1, sellist::LearnListValue(false, t, "x", "", 15, dir.path()));

  // two-level, empty parent learns nothing
  CMyHyo two = Table({{"", "食費", "米"}}, true, true);
  EXPECT_EQ(0, sellist::LearnListValue(false, two, "肉"_sj, "", 4, dir.path()));
  EXPECT_EQ(1, two.RowCount());
  CMyHyo off = Table({}, false, false);
  EXPECT_EQ(0, sellist::LearnListValue(false, off, "肉"_sj, "", 4, dir.path()));

  // pair: the latest value goes first among its parent's rows
  CMyHyo pair =
      Table({{"", "交通", "電車"}, {"", "食費", "米"}, {"", "食費", "肉"}, {"", "食費", "魚"}}, true, true);
  EXPECT_EQ(0, sellist::LearnListValue(true, pair, "米"_sj, "食費"_sj, 1, dir.path()));
  EXPECT_EQ(1, sellist::LearnListValue(true, pair, "魚"_sj, "食費"_sj, 1, dir.path()));
  EXPECT_EQ((std::vector<std::string>{"電車", "魚", "米", "肉"}), Column(pair, 2));
  EXPECT_EQ(1, sellist::LearnListValue(true, pair, "菓子"_sj, "食費"_sj, 1, dir.path()));
  EXPECT_EQ("菓子", Column(pair, 2).back());
  EXPECT_EQ((std::vector<std::string>{"魚", "米", "肉", "菓子"}), [&] {
    std::vector<std::string> v;
    for (const auto& s : sellist::FillChildCombo(pair, "食費"_sj)) v.push_back(cp932::ToUtf8(s));
    return v;
  }());
  EXPECT_TRUE(sellist::FillChildCombo(pair, "").empty());
  EXPECT_EQ(0, sellist::LearnListValue(true, pair, "x", "食費"_sj, 10, dir.path()));
  ASSERT_EQ(0, back.Load(dir / "cbsms01.ms"));
  EXPECT_EQ(5, back.RowCount());
}

TEST(TableLists, CodeEntry) {
  CMyHyo t = Table({{"1", "A", "one-a"}, {"2", "A", "two-a"}, {"1", "B", "one-b"}}, true, true);
  struct Row {
    std::string typed;
    bool usesParent;
    std::string parent;
    std::optional<std::string> expect;
  } rows[] = {{"1", true, "B", "one-b"},      {"1", false, "", "one-a"},     {"2", true, "B", std::nullopt},
              {"x", false, "", std::nullopt}, {"", false, "", std::nullopt}, {"9", false, "", std::nullopt}};
  for (const auto& r : rows)
    EXPECT_EQ(r.expect, sellist::CodeEntry(t, r.typed, r.usesParent, r.parent)) << r.typed;
}

TEST(SelStrip, PagesHighlightsAndPaints) {
  CMyHyo t = Table({{"1", "A", "a1"}, {"", "A", "a2"}, {"123", "B", "b1"}, {"", "A", "a3"}, {"", "A", "a4"}},
                   true, true);
  SelStrip s;
  s.SetSize(100, 30);  // two rows a page
  s.Show(&t, 2, 1, "A");
  EXPECT_EQ((std::vector<int>{0, 1, 3, 4}), s.Rows());
  EXPECT_FALSE(s.CanPageUp());
  EXPECT_TRUE(s.CanPageDown());
  s.PageDown();
  EXPECT_EQ(2, s.FirstRow());
  EXPECT_FALSE(s.CanPageDown());
  std::string text;
  EXPECT_TRUE(s.TextAt(13, text));
  EXPECT_EQ("a4", text);
  EXPECT_FALSE(s.TextAt(25, text));  // below the last whole row
  EXPECT_TRUE(s.HoverAt(0));
  EXPECT_FALSE(s.HoverAt(5));
  EXPECT_EQ(2, s.Highlighted());
  s.PageUp();
  EXPECT_EQ(0, s.FirstRow());

  RecordingCanvas c;
  s.Paint(c);
  auto texts = c.CallsStarting("textout ");
  ASSERT_EQ(4u, texts.size());
  EXPECT_NE(std::string::npos, texts[0].find(" 1"));
  EXPECT_NE(std::string::npos, texts[2].find(" -"));
  EXPECT_NE(std::string::npos, c.Calls()[0].find("B4CDFF"));

  s.Show(&t, 2, 1, "");  // no parent value: every row
  EXPECT_EQ(5u, s.Rows().size());
  s.Forget();
  c.Clear();
  s.Paint(c);
  ASSERT_EQ(1u, c.Calls().size());
  EXPECT_NE(std::string::npos, c.Calls()[0].find("AAAAAA"));
}
