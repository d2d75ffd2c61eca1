#include <gtest/gtest.h>

#include "input/CMyHyo.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "support/TempDir.h"

TEST(CMyHyo, RoundTripsCellsAndSwitches) {
  TempDir dir;
  CMyHyo t;
  t.SetSwitch(0, true);
  t.SetSwitch(2, true);
  t.SetCell(0, 0, "1");
  t.SetCell(1, 0, "NoP");
  t.SetCell(2, 0, "晴れ"_sj);
  t.SetCell(2, 3, "雨"_sj);  // rows 1, 2 stay empty
  ASSERT_EQ(4, t.Save(dir / "selms01.ms"));
  CMyHyo r;
  ASSERT_EQ(0, r.Load(dir / "selms01.ms"));
  EXPECT_EQ(4, r.RowCount());
  EXPECT_TRUE(r.Switch(0));
  EXPECT_FALSE(r.Switch(1));
  EXPECT_TRUE(r.Switch(2));
  EXPECT_EQ("晴れ"_sj, r.Cell(2, 0));
  EXPECT_EQ("", r.Cell(2, 1));
  EXPECT_EQ("雨"_sj, r.Cell(2, 3));
  EXPECT_EQ(1, r.CellNumber(0, 0, -1));
  EXPECT_EQ(-1, r.CellNumber(0, 3, -1));
}

TEST(CMyHyo, DamagedFilesKeepWhatWasRead) {
  TempDir dir;
  CMyHyo t;
  t.SetCell(2, 0, "a");
  std::string good = t.Bytes();
  std::string wrongEnd = good;
  le::PutI32(&wrongEnd[wrongEnd.size() - 4], 1);
  struct Case {
    std::string bytes;
    int result;
    int rows;
  } cases[] = {
      {"XY\x01\0\0\0", -3, 0},
      {good.substr(0, good.size() - 12), -6, 1},
      {wrongEnd, -7, 1},
      {good.substr(0, good.size() - 20), -6, 0},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "x.ms", c.bytes);
    CMyHyo r;
    EXPECT_EQ(c.result, r.Load(dir / "x.ms"));
    EXPECT_EQ(c.rows, r.RowCount());
  }
  // hostile row and length never allocate the world
  std::string hostile = good.substr(0, good.size() - 12 - 14);
  le::AppendI32(hostile, 0);
  le::AppendI32(hostile, 0x7fffffff);
  le::AppendI32(hostile, 2);
  hostile += "a";
  WriteBytes(dir / "h.ms", hostile);
  CMyHyo r;
  EXPECT_EQ(-6, r.Load(dir / "h.ms"));
  CMyHyo m;
  EXPECT_EQ(-1, m.Load(dir / "missing.ms"));
}

TEST(CMyHyo, FilterAndFind) {
  CMyHyo t;
  const char* rows[][3] = {
      {"1", "食費", "米"}, {"2", "食費", "野菜"}, {"", "交通", "電車"}, {"3", "食費", "肉"}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) t.SetCell(c, r, cp932::FromUtf8(rows[r][c]));
  t.AddCondition(1, "食費"_sj, "", false);
  EXPECT_EQ(0, t.Find(0));
  EXPECT_EQ(1, t.Find(1));
  EXPECT_EQ(3, t.Find(1));
  EXPECT_EQ(-1, t.Find(1));
  EXPECT_EQ(1, t.Find(-2, 2));
  t.AddCondition(0, "2", ">=", true);
  EXPECT_EQ(1, t.Find(0));
  t.ClearFilter();
  t.AddCondition(2, "電車"_sj, "<>", false);
  EXPECT_EQ(3, t.Find(-2));
  t.MoveRow(3, 0);
  EXPECT_EQ("肉"_sj, t.Cell(2, 0));
  t.DeleteRow(0);
  t.InsertRow(1);
  EXPECT_EQ("", t.Cell(2, 1));
  EXPECT_EQ(5, t.RowCount() + 1);
}
