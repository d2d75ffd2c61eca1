#include <gtest/gtest.h>

#include "input/CMySetMaster.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

TEST(CMySetMaster, ChecksAndSaves) {
  TempDir dir;
  WriteBytes(dir / "cboms00.ms", "$$$ 1\r\nA\r\nB\r\n");
  CMyHyo pair;
  pair.SetCell(1, 0, "A");
  pair.SetCell(2, 0, "child");
  ScriptedPrompter p;
  CMySetMaster m(dir.path(), 0, &p, nullptr, &pair, 3);
  EXPECT_TRUE(m.Learn());
  EXPECT_EQ((std::vector<std::string>{"A", "B"}), m.Items());
  struct Row {
    const char* name;
    int selected;
    bool update;
    const char* message;  // nullptr: accepted
  } rows[] = {
      {"", -1, false, "項目名を設定して下さい。"},
      {"$$$x", -1, false, "頭３文字に＄はシステムで予約されています。"},
      {"B", -1, false, "既に同じ項目名が登録されています。"},
      {"x$$$", 1, false, nullptr},  // inserted before B
      {"C", -1, true, "項目を選択して下さい。"},
      {"B", 0, true, "既に同じ項目名が登録されています。"},
      {"AA", 0, true, nullptr},
  };
  for (const auto& r : rows) {
    p.ClearShown();
    int got =
        r.update ? m.Update(cp932::FromUtf8(r.name), r.selected) : m.Add(cp932::FromUtf8(r.name), r.selected);
    if (r.message) {
      EXPECT_EQ(-1, got) << r.name;
      EXPECT_EQ(std::vector<std::string>{r.message}, p.ShownUtf8());
    } else {
      EXPECT_GE(got, 0) << r.name;
      EXPECT_TRUE(p.Shown().empty());
    }
  }
  EXPECT_EQ((std::vector<std::string>{"AA", "x$$$", "B"}), m.Items());
  EXPECT_EQ(2, m.MoveDown(1));
  m.SetLearn(false);
  auto closed = m.Close();
  EXPECT_TRUE(closed.saved);
  EXPECT_FALSE(closed.learn);
  EXPECT_EQ("$$$ 0\r\nAA\r\nB\r\nx$$$\r\n", ReadBytes(dir / "cboms00.ms"));
  CMyHyo back;
  ASSERT_EQ(0, back.Load(dir / "cbsms03.ms"));
  EXPECT_EQ("AA", back.Cell(1, 0));  // the renamed parent follows

  CMySetMaster failing(dir / "gone", 0, &p);
  failing.Add("z", -1);
  p.ClearShown();
  EXPECT_FALSE(failing.Close().saved);
  EXPECT_EQ(std::vector<std::string>{"保存に失敗しました。"}, p.ShownUtf8());
}

TEST(CMySetMaster2, KeysNamesAndParents) {
  TempDir dir;
  WriteBytes(dir / "cboms00.ms", "$$$ 1\r\nP\r\nQ\r\n");
  CMyHyo table;
  table.SetSwitch(0, true);
  table.SetSwitch(1, true);
  table.SetSwitch(2, true);
  auto row = [&](int r, const char* key, const char* parent, const char* name) {
    table.SetCell(0, r, key);
    table.SetCell(1, r, parent);
    table.SetCell(2, r, name);
  };
  row(0, "3", "P", "p3");
  row(1, "", "Q", "q1");
  ScriptedPrompter p;
  CMySetMaster2::Args a;
  a.dir = dir.path();
  a.mode = CMySetMaster2::kEditorList;
  a.table = &table;
  a.slot = 4;
  a.parentSlot = -1;
  {
    // mode 0 with a parent list read from selms of the parent editor
    CMyHyo parents;
    parents.SetCell(2, 0, "P");
    parents.SetCell(2, 1, "Q");
    parents.Save(dir / "selms02.ms");
  }
  a.parentSlot = 2;
  a.parentValue = "P";
  CMySetMaster2 m(a, &p);
  EXPECT_EQ((std::vector<std::string>{"P", "Q"}), m.ParentValues());
  EXPECT_TRUE(m.ParentOn());
  EXPECT_EQ((std::vector<std::string>{" 3 p3"}), m.Lines());
  struct Row {
    const char* name;
    const char* key;
    int update;  // -2 add
    const char* message;
  } rows[] = {
      {"", "", -2, "項目名を設定して下さい。"},
      {"*", "", -2, "システムで使用されています。"},
      {"n", "-1", -2, "正数を入力して下さい。"},
      {"n", "123", -2, "正数を入力して下さい。"},
      {"n", "1a", -2, "正数を入力して下さい。"},
      {"p3", "", -2, "既に同じ項目名が登録されています。"},
      {"n", "3", -2, "既に同じ数字キーが登録されています。"},
      {"n", "4", -2, nullptr},
      {"m", "", -1, "項目を選択して下さい。"},
      {"p3b", "3", 0, nullptr},  // the row is not compared with itself
  };
  for (const auto& r : rows) {
    p.ClearShown();
    int got = r.update == -2 ? m.Add(r.name, r.key) : m.Update(r.update, r.name, r.key);
    if (r.message) {
      EXPECT_EQ(-1, got) << r.name << " " << r.key;
      EXPECT_EQ(std::vector<std::string>{r.message}, p.ShownUtf8());
    } else {
      EXPECT_GE(got, 0) << r.name;
    }
  }
  EXPECT_EQ((std::vector<std::string>{" 3 p3b", " 4 n"}), m.Lines());
  m.SetParentValue("Q");  // key 3 is free under another parent
  EXPECT_EQ((std::vector<std::string>{" - q1"}), m.Lines());
  EXPECT_GE(m.Add("q3", "3"), 0);
  auto closed = m.Close();
  EXPECT_TRUE(closed.saved);
  CMyHyo back;
  ASSERT_EQ(0, back.Load(dir / "selms04.ms"));
  ASSERT_EQ(4, back.RowCount());
  std::vector<std::string> names;
  for (int r = 0; r < back.RowCount(); ++r) names.push_back(back.Cell(1, r) + ":" + back.Cell(2, r));
  EXPECT_EQ((std::vector<std::string>{"P:p3b", "P:n", "Q:q1", "Q:q3"}), names);

  // without a parent the parent switch stays off; rows are "NoP"
  CMySetMaster2::Args b;
  b.dir = dir.path();
  b.table = &back;
  b.slot = 5;
  CMySetMaster2 flat(b, &p);
  EXPECT_FALSE(flat.ParentEnabled());
  EXPECT_EQ(4, flat.RowCount());
  p.ClearShown();
  EXPECT_GE(flat.Add("z", ""), 0);
  EXPECT_TRUE(flat.Close().saved);
  CMyHyo five;
  ASSERT_EQ(0, five.Load(dir / "selms05.ms"));
  EXPECT_EQ("NoP", five.Cell(1, 4));
  EXPECT_FALSE(five.Switch(2));

  CMySetMaster2::Args none;
  CMySetMaster2 missing(none, &p);
  p.ClearShown();
  EXPECT_EQ(-1, missing.Add("x", ""));
  EXPECT_EQ(std::vector<std::string>{"設定がされていません。"}, p.ShownUtf8());
}
