// The condition grid's editing rules, the boxes' checks and the list chooser.
#include <gtest/gtest.h>

#include "PickupFixture.h"
#include "platform/FileOps.h"
#include "screens/InputDef.h"

namespace {

TEST(PickupGrid, RowsAreKeyFieldsAndTheThreeSpecialRows) {
  PickupFixture f;
  std::vector<std::string> kinds, captions;
  for (int r = 0; r < f.m.RowCount(); ++r) {
    kinds.push_back(U(f.m.CellText(r, 0)));
    captions.push_back(U(f.m.CellText(r, 1)));
  }
  EXPECT_EQ((std::vector<std::string>{"0", "DAT001", "DAT002", "DAT004", "DAT005", "DAT006", "1", "2", "3"}),
            kinds);
  EXPECT_EQ((std::vector<std::string>{"年月日", "品目", "分類", "金額", "税率", "税込", "色種類", "更新日",
                                      "登録日"}),
            captions);
  EXPECT_EQ(5, f.m.GridColumns());
  EXPECT_EQ("条件値", U(f.m.HeaderText(4)));
  f.m.SetMode(CMyPickup::kGroupDisplay);
  EXPECT_EQ(7, f.m.GridColumns());
  EXPECT_EQ("集約種類", U(f.m.HeaderText(4)));
  EXPECT_EQ("集約サイズ", U(f.m.HeaderText(5)));
  EXPECT_EQ("条件値", U(f.m.HeaderText(6)));
}

TEST(PickupGrid, SortNumbersMakeRoomAndDropOutPastThree) {
  struct Step {
    const char* row;
    char key;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::string> expect;  // 並び番号 of 品目, 分類, 金額, 税率
  } cases[] = {
      {"two rows given 1 in turn", {{"品目", '1'}, {"分類", '1'}}, {"2", "1", "", ""}},
      {"a row at 3 drops out when the chain passes 3",
       {{"品目", '1'}, {"分類", '2'}, {"金額", '3'}, {"税率", '1'}},
       {"2", "3", "", "1"}},
      {"a free number moves nobody", {{"品目", '1'}, {"分類", '3'}}, {"1", "3", "", ""}},
      {"a number behind the one taken stays",
       {{"品目", '1'}, {"分類", '2'}, {"金額", '2'}},
       {"1", "3", "2", ""}},
      {"another key takes the row out", {{"品目", '1'}, {"品目", 'x'}}, {"", "", "", ""}},
      {"4 is not a sort number", {{"品目", '4'}}, {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    PickupFixture f;
    for (const Step& s : c.steps) f.m.TypeKey(f.Row(s.row), 2, s.key);
    std::vector<std::string> got{f.SortNo("品目"), f.SortNo("分類"), f.SortNo("金額"), f.SortNo("税率")};
    EXPECT_EQ(c.expect, got) << c.what;
    for (int r = 0; r < f.m.RowCount(); ++r) {
      const auto& row = f.m.GetRow(r);
      EXPECT_EQ(row.sortNo.empty(), row.order.empty()) << c.what << ": 昇降順 follows 並び番号";
    }
  }
}

TEST(PickupGrid, OrderNeedsASortNumber) {
  PickupFixture f;
  const int r = f.Row("品目");
  f.m.TypeKey(r, 3, '1');
  EXPECT_EQ("", f.m.GetRow(r).order);
  EXPECT_EQ(1, f.beeper.Count());
  EXPECT_EQ("※並び順が設定されてある必要があります。", U(f.m.ColumnHelp(r, 3)));
  f.m.TypeKey(r, 2, '2');
  EXPECT_EQ("0:昇順", U(f.m.GetRow(r).order));
  EXPECT_EQ("昇順・降順を設定（0:昇順 1:降順）", U(f.m.ColumnHelp(r, 3)));
  f.m.TypeKey(r, 3, '1');
  EXPECT_EQ("1:降順", U(f.m.GetRow(r).order));
  f.m.TypeKey(r, 3, 'z');
  EXPECT_EQ("0:昇順", U(f.m.GetRow(r).order));
  f.m.TypeKey(r, 3, '1');
  f.m.EraseKey(r, 3);  // clearing it puts back ascending
  EXPECT_EQ("0:昇順", U(f.m.GetRow(r).order));
  f.m.EraseKey(r, 2);
  EXPECT_EQ("", f.m.GetRow(r).sortNo);
  EXPECT_EQ("", f.m.GetRow(r).order);
}

TEST(PickupGrid, GroupLayoutMarksKeysAndSumsNumbers) {
  PickupFixture f;
  f.SortBy("分類", '1');
  f.Where("品目", "*食*");
  f.m.SetMode(CMyPickup::kGroupDisplay);
  EXPECT_TRUE(f.m.DetailPage());
  EXPECT_FALSE(f.m.SimplePageShown());
  auto agg = [&](const char* c) { return U(f.m.CellText(f.Row(c), 4)); };
  EXPECT_EQ("(ｸﾞﾙｰﾌﾟ)", agg("分類"));
  EXPECT_EQ("0", f.m.CellText(f.Row("分類"), 5));
  EXPECT_EQ("2:SUM", agg("金額"));
  EXPECT_EQ("2:SUM", agg("税率"));
  EXPECT_EQ("", agg("品目"));
  EXPECT_EQ("*食*", U(f.m.CellText(f.Row("品目"), 6)));  // the value moved to column 6

  // 集約種類: a key stays a key; other rows take 0..4
  const int amount = f.Row("金額");
  f.m.TypeKey(amount, 4, '4');
  EXPECT_EQ("4:AVG", agg("金額"));
  f.m.TypeKey(amount, 4, '9');
  EXPECT_EQ("", agg("金額"));
  f.m.TypeKey(f.Row("分類"), 4, '1');
  EXPECT_EQ("(ｸﾞﾙｰﾌﾟ)", agg("分類"));
  // 集約サイズ only on rows with a sort number
  f.m.SetCellText(amount, 5, "3");
  EXPECT_EQ("", f.m.CellText(amount, 5));
  f.m.SetCellText(f.Row("分類"), 5, "3");
  EXPECT_EQ("3", f.m.CellText(f.Row("分類"), 5));
  f.m.EraseKey(f.Row("分類"), 4);
  EXPECT_EQ("", f.m.CellText(f.Row("分類"), 5));
  // a new key in the group layout becomes a group key of all characters
  f.SortBy("品目", '1');
  EXPECT_EQ("(ｸﾞﾙｰﾌﾟ)", agg("品目"));
  EXPECT_EQ("2", f.SortNo("分類"));
  // taking a row out of the order drops its group mark
  f.m.EraseKey(f.Row("品目"), 2);
  EXPECT_EQ("", agg("品目"));

  f.m.SetMode(CMyPickup::kCompactList);
  EXPECT_TRUE(f.m.SimplePageShown());
  EXPECT_EQ(5, f.m.GridColumns());
  for (int r = 0; r < f.m.RowCount(); ++r) {
    EXPECT_EQ("", f.m.GetRow(r).aggregate);
    EXPECT_EQ("", f.m.GetRow(r).aggSize);
  }
  EXPECT_EQ("*食*", U(f.m.CellText(f.Row("品目"), 4)));
}

TEST(PickupGrid, StatusHelpAndInputMethodPerColumn) {
  PickupFixture f;
  f.m.SetMode(CMyPickup::kGroupDisplay);
  EXPECT_EQ("並び順の設定（１～３の値を設定）", U(f.m.ColumnHelp(0, 2)));
  EXPECT_EQ("集約種類を設定（0:MIN 1:MAX 2:SUM 3:COUNT 4:AVG）", U(f.m.ColumnHelp(0, 4)));
  EXPECT_EQ("集約文字のサイズを設定（0:全て 1-15:指定サイズ）", U(f.m.ColumnHelp(0, 5)));
  EXPECT_EQ("対象データを入力（例:'ABC'でABCを検索。'*ABC*'でABCを含むデータの検索）",
            U(f.m.ColumnHelp(0, 6)));
  EXPECT_TRUE(f.m.ImeOn(6));
  EXPECT_FALSE(f.m.ImeOn(4));
}

TEST(PickupGrid, PeriodBoxesSelectTheRangeAndCheckWhatWasTyped) {
  PickupFixture f;
  f.m.SetFromText("2026.3.4");
  EXPECT_EQ(CMyPickup::kRange, f.m.GetPeriod());
  EXPECT_TRUE(f.m.LeaveFromBox());
  EXPECT_EQ("2026/03/04", f.m.FromText());
  f.m.SetToText("2026/02/30");
  EXPECT_FALSE(f.m.LeaveToBox());
  f.m.SetPeriod(CMyPickup::kYear);
  EXPECT_EQ("", f.m.FromText());
  EXPECT_EQ("", f.m.ToText());

  PickupFixture p(100);
  struct {
    const char* text;
    bool ok;
  } pages[] = {{"", true}, {"7", true}, {"99999", true}, {"0", false}, {"100000", false}, {"a", false}};
  for (auto c : pages) {
    p.m.SetFromText(c.text);
    EXPECT_EQ(c.ok, p.m.LeaveFromBox()) << c.text;
  }
  struct {
    const char* text;
    bool ok;
  } lines[] = {{"", false}, {"x", false}, {"0", false}, {"30", true}};
  for (auto c : lines) {
    p.m.SetLineText(c.text);
    EXPECT_EQ(c.ok, p.m.LeaveLineBox()) << c.text;
  }
  EXPECT_EQ(
      (std::vector<std::string>{"範囲をオーバーしました。", "範囲をオーバーしました。", "不正なページです。",
                                "値を入力して下さい。", "不正な表示行数です。", "範囲をオーバーしました。"}),
      p.prompter.ShownUtf8());
  EXPECT_EQ(1u, f.prompter.ShownUtf8().size());
  EXPECT_EQ("不正な日付です。", f.prompter.ShownUtf8()[0]);
}

TEST(PickupGrid, ValueChoicesComeFromTheComboListOrTheColourKinds) {
  PickupFixture f;
  WriteBytes(f.dir / "cboms00.ms", "$$$ 1\r\n食費\r\n日用品\r\n"_sj);
  std::vector<std::string> items;
  ASSERT_TRUE(f.m.ValueChoices(f.Row("分類"), items));
  EXPECT_EQ((std::vector<std::string>{"食費"_sj, "日用品"_sj}), items);
  ASSERT_TRUE(f.m.ValueChoices(f.Row("色種類"), items));
  EXPECT_EQ((std::vector<std::string>{"赤"_sj, "ToDo"}), items);
  EXPECT_FALSE(f.m.ValueChoices(f.Row("品目"), items));

  // the chooser's OK
  const int row = f.Row("分類");
  EXPECT_FALSE(f.m.ChooseValue(row, {"食費"_sj}, -1));
  EXPECT_FALSE(f.m.ChooseValue(row, {std::string(60, 'x')}, 0));
  EXPECT_TRUE(f.m.ChooseValue(row, {std::string(59, 'x')}, 0));
  EXPECT_EQ(std::string(59, 'x'), f.m.GetRow(row).value);
  EXPECT_EQ((std::vector<std::string>{"リストを選択して下さい。", "サイズが大きいです。"}),
            f.prompter.ShownUtf8());
}

TEST(PickupGrid, FieldRowsAreTheInputFormsFieldControlsOnce) {
  jsc::InputDef def;
  auto add = [&def](const char* field, const char* alias, int kind, int type, int slot, int decimals) {
    jsc::Control c;
    c.field = field;
    c.alias = cp932::FromUtf8(alias);
    c.kind = kind;
    c.dataType = type;
    c.slot = slot;
    c.decimals = decimals;
    def.controls.push_back(c);
  };
  add("", "見出し", jsc::kCaption, jsc::kFlatCaption, 0, 0);
  add("DAT002", "分類", jsc::kCombo, 0, 3, 0);
  add("DAT004", "金額", jsc::kText, jsc::kNumber, 1, 0);
  add("DAT005", "", jsc::kText, jsc::kDecimal, 2, 2);
  add("dat004", "また金額", jsc::kText, 0, 4, 0);
  add("MEM001", "メモ", jsc::kMemo, 0, 0, 0);
  const auto fields = FieldsFromInputDef(def);
  ASSERT_EQ(4u, fields.size());
  EXPECT_EQ("分類", U(fields[0].caption));
  EXPECT_EQ(3, fields[0].list);
  EXPECT_TRUE(fields[1].numeric);
  EXPECT_EQ(-1, fields[1].list);
  EXPECT_EQ("DAT005", fields[2].caption);  // no display name: the field's name
  EXPECT_EQ(2, fields[2].decimals);
  EXPECT_FALSE(fields[3].numeric);
}

}  // namespace
