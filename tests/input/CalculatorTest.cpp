#include <gtest/gtest.h>

#include "catalogue/CMyMaster.h"
#include "input/Calculator.h"
#include "input/HyoLookup.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

namespace {

jsc::Control Target(const std::string& formula, int dataType = 0, int decimals = 0, int slot = 5) {
  jsc::Control c;
  c.field = "DAT006";
  c.kind = jsc::kText;
  c.slot = slot;
  c.formula = formula;
  c.dataType = dataType;
  c.decimals = decimals;
  return c;
}

void WriteTable(const std::string& dir, int t, const std::vector<std::string>& rows,
                const std::vector<std::string>& cols, const std::vector<std::vector<std::string>>& cells,
                bool range) {
  hyo::TableFiles f;
  std::string error;
  ASSERT_TRUE(hyo::BuildHyoTable(rows, cols, cells, range, f, error)) << error;
  WriteBytes(dir + "/" + hyo::DataName(t), f.data);
  WriteBytes(dir + "/" + hyo::IndexName(t, 1), f.rowIndex);
  if (!cols.empty()) WriteBytes(dir + "/" + hyo::IndexName(t, 2), f.columnIndex);
}

}  // namespace

TEST(Calculator, ArithmeticFormulas) {
  TempDir dir;
  struct Row {
    const char* formula;
    std::vector<std::string> values;  // DAT001..
    int dataType, decimals;
    const char* expect;  // UTF-8; nullptr: refused, target unchanged
    const char* message;
    std::vector<std::string> notNumbers;
  } rows[] = {
      {"=DAT001*DAT002", {"3", "4"}, 2, 2, "12.00", nullptr, {}},
      {"=DAT001*DAT002", {"3", "4"}, 1, 0, "12", nullptr, {}},
      {"=DAT001+DAT002*DAT003", {"1", "2", "3"}, 0, 0, "9", nullptr, {}},
      {"=DAT001/DAT002", {"5", "0"}, 0, 0, "5", nullptr, {}},
      {"=DAT001/DAT002", {"1", "3"}, 2, 2, "0.33", nullptr, {}},
      {"=DAT001-DAT002", {"1.5", "4"}, 0, 0, "-2.5", nullptr, {}},
      {"=DAT001*DAT002", {"3", ""}, 0, 0, "0", nullptr, {"DAT002"}},
      {"=DAT001+DAT002", {"12円", "x"}, 0, 0, "12", nullptr, {"DAT001", "DAT002"}},
      {"=DAT001*&TM", {"8"}, 0, 0, "4", nullptr, {}},
      // amounts as the number check writes them
      {"=DAT001*DAT002", {"1,000", "1.10"}, 1, 0, "1100", nullptr, {}},
      {"=DAT001+DAT002", {"1,", ",5"}, 0, 0, "1", nullptr, {"DAT001", "DAT002"}},
      {"=DAT001+DAT0", {"8"}, 0, 0, "8", nullptr, {}},  // a short tail ends the formula
      {"=DAT021", {}, 0, 0, nullptr, "P:計算式が不正です。", {}},
      {"=DAT000", {}, 0, 0, nullptr, "P:計算式が不正です。", {}},
      {"=&TB(3,1,DAT001)", {"1"}, 0, 0, nullptr, "P:関数式が不正です。(2)", {}},
      {"&TB(1,10,DAT001)", {"1"}, 0, 0, nullptr, "P:関数式が不正です。(1)", {}},
      {"&TB(1,1,DAT001", {"1"}, 0, 0, nullptr, "P:関数式が不正です。(1)", {}},
      {"&TM", {}, 0, 0, "0.5", nullptr, {}},
      {"&XY", {}, 0, 0, "", nullptr, {}},
      {"=DAT001+DAT002+DAT003+DAT004+DAT005+DAT007+DAT008+DAT009+DAT010+DAT011",
       {},
       0,
       0,
       nullptr,
       "P:計算式が不正です。",
       {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.formula);
    ScriptedPrompter p;
    Calculator calc(dir.path(), &p);
    MapFields f;
    for (size_t i = 0; i < r.values.size(); ++i) f.values[static_cast<int>(i)] = cp932::FromUtf8(r.values[i]);
    f.values[5] = "old";
    CalcResult res = calc.Calculate(Target(r.formula, r.dataType, r.decimals), f);
    if (r.expect) {
      EXPECT_TRUE(res.written);
      EXPECT_EQ(r.expect, f.Text(5));
      EXPECT_TRUE(p.Shown().empty());
      EXPECT_EQ(r.notNumbers, res.notNumbers);
    } else {
      EXPECT_FALSE(res.written);
      EXPECT_EQ("old", f.Text(5));
      ASSERT_EQ(1u, p.Shown().size());
      EXPECT_EQ(r.message, p.ShownUtf8()[0]);
      EXPECT_EQ("注意"_sj, p.Shown()[0].caption);
    }
  }
}

TEST(Calculator, OnlyTextEditorsAreCalculated) {
  ScriptedPrompter p;
  CountingBeeper beep;
  Calculator calc("/nonexistent", &p, &beep);
  MapFields f;
  jsc::Control c = Target("=DAT001");
  c.kind = jsc::kCombo;
  EXPECT_FALSE(calc.Calculate(c, f).written);
  EXPECT_EQ(1, beep.Count());
  EXPECT_EQ(std::vector<std::string>{"P)計算処理のコントロールはテキストエディタのみ可能です。"},
            p.ShownUtf8());
}

TEST(Calculator, TableLookups) {
  TempDir dir;
  WriteTable(dir.path(), 1, {"10", "20", "30"}, {}, {{"a"}, {"b"}, {"c"}}, true);
  WriteTable(dir.path(), 2, {"10", "20", "30"}, {}, {{"a"}, {"b"}, {"c"}}, false);
  WriteTable(dir.path(), 3, {"軽減"_sj, "標準"_sj}, {"A", "B"}, {{"1.08", "y"}, {"1.10", "x"}}, false);
  struct Row {
    int table;
    std::string key;
    int expect;
  } finds[] = {{1, "25", 1}, {1, "5", -1},  {1, "30", 2}, {1, "99", 2},
               {1, "10", 0}, {2, "25", -1}, {2, "20", 1}, {9, "20", -1}};
  for (const auto& r : finds) EXPECT_EQ(r.expect, hyo::FindKey(dir.path(), r.table, 1, r.key)) << r.key;

  ScriptedPrompter p;
  Calculator calc(dir.path(), &p);
  MapFields f;
  f.values[0] = "25";
  f.values[1] = "軽減"_sj;
  f.values[2] = "B";
  f.values[5] = "old";
  EXPECT_TRUE(calc.Calculate(Target("&TB(1,1,DAT001)"), f).written);
  EXPECT_EQ("b", f.Text(5));
  EXPECT_TRUE(calc.Calculate(Target("&TB(2,3,DAT002,DAT003)"), f).written);
  EXPECT_EQ("y", f.Text(5));
  f.values[3] = "100";
  f.values[1] = "標準"_sj;
  f.values[2] = "A";
  EXPECT_TRUE(calc.Calculate(Target("=DAT004*&TB(2,3,DAT002,DAT003)", 2, 0), f).written);
  EXPECT_EQ("110", f.Text(5));
  f.values[0] = "";  // an empty key empties the target
  EXPECT_TRUE(calc.Calculate(Target("&TB(1,1,DAT001)"), f).written);
  EXPECT_EQ("", f.Text(5));
  f.values[5] = "old";
  EXPECT_TRUE(calc.Calculate(Target("=DAT004+&TB(1,1,DAT001)"), f).written);
  EXPECT_EQ("", f.Text(5));
  EXPECT_TRUE(p.Shown().empty());
}

TEST(Calculator, DamagedTablesGiveNothing) {
  TempDir dir;
  hyo::TableFiles t;
  std::string error;
  ASSERT_TRUE(hyo::BuildHyoTable({"1", "2"}, {}, {{"a"}, {"b"}}, false, t, error));
  std::string wide = t.rowIndex;
  le::PutI32(&wide[12], 65);  // records over 64 bytes are refused
  std::string hugeCount = t.rowIndex;
  le::PutI32(&hugeCount[8], 0x7fffffff);
  std::string badOffset = t.data;
  le::PutI32(&badOffset[108], 0x7ffffff0);
  std::string longCell = t.data;
  le::PutI32(&longCell[le::GetI32(&t.data[108])], 250);
  struct Row {
    std::string index, data;
    std::string expect;
  } rows[] = {
      {t.rowIndex, t.data, "a"},
      {wide, t.data, ""},
      {hugeCount, t.data, ""},
      {t.rowIndex.substr(0, 63), t.data, ""},
      {t.rowIndex, t.data.substr(0, 107), ""},
      {t.rowIndex, badOffset, ""},
      {t.rowIndex, longCell, ""},
  };
  for (const auto& r : rows) {
    WriteBytes(dir / "hyo01.id1", r.index);
    WriteBytes(dir / "hyo01.dat", r.data);
    EXPECT_EQ(r.expect, hyo::Lookup(dir.path(), 1, 1, "1", ""));
  }
  EXPECT_FALSE(hyo::BuildHyoTable({"2", "1"}, {}, {{"a"}, {"b"}}, false, t, error));
  EXPECT_FALSE(hyo::BuildHyoTable({std::string(64, 'k')}, {}, {{"a"}}, false, t, error));
}

TEST(Calculator, RelationsPickTheirTargets) {
  CMyMaster rel("RELATION");
  auto add = [&](const std::string& src, const std::string& dst, int kind) {
    std::string rec = CMyMaster::Blank();
    le::PutFixedText(&rec[CMyMaster::kRText2], 32, src);
    le::PutFixedText(&rec[CMyMaster::kRText3], 20, dst);
    le::PutI32(&rec[CMyMaster::kRKey11], kind);
    EXPECT_EQ(0, rel.Append(rec));
  };
  add("DAT001", "DAT003", 1);
  add("dat001", "DAT004", 2);
  add("DAT001", "DAT005", 3);  // other kinds are ignored
  add("DAT002", "DAT03", 1);
  std::vector<jsc::Control> controls;
  for (int s : {2, 3, 4}) {
    jsc::Control c = Target("=DAT001*DAT002", 0, 0, s);
    char name[16];
    std::snprintf(name, sizeof name, "DAT%03d", s + 1);
    c.field = name;
    controls.push_back(c);
  }
  ScriptedPrompter p;
  Calculator calc("/nonexistent", &p);
  MapFields f;
  f.values[0] = "2";
  f.values[1] = "7";
  auto done = calc.RunCalculations("DAT001", rel, controls, f);
  ASSERT_EQ(2u, done.size());
  EXPECT_EQ("14", f.Text(2));
  EXPECT_EQ("14", f.Text(3));
  EXPECT_EQ("", f.Text(4));
  EXPECT_TRUE(calc.RunCalculations("DAT002", rel, controls, f).empty());
  EXPECT_EQ(std::vector<std::string>{"PG:計算先フィールド名が不正です。"}, p.ShownUtf8());
}
