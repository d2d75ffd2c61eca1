#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"

namespace {

TEST(MemoSchemaTest, DefinesTheFortyThreeFieldsInOrder) {
  CMyDB db;
  ASSERT_EQ(0, DefineMemoSchema(db));
  ASSERT_EQ(memo::kFieldCount, db.FieldCount());
  struct Case {
    int index;
    const char* name;
    int maxLength;
  } cases[] = {
      {memo::kKubun, "区分", 1},       {memo::kKey, "キー項目", 16},     {memo::kDateTo, "年月日_TO", 16},
      {memo::kWeekday, "曜日", 5},     {memo::kLineSerial, "行連番", 5}, {memo::kMark, "MARK", 10},
      {memo::kTimeF, "TIME_F", 5},     {memo::kTimeT, "TIME_T", 5},      {memo::kTimeOnOff, "TIME_ONOFF", 5},
      {memo::kNoData, "NODATA", 5},    {memo::kFlag, "FLAG", 30},        {memo::kMem001L, "MEM001L", 5},
      {memo::kMem001, "MEM001", 5000}, {memo::kImg001, "IMG001", 250},   {memo::kIms001, "IMS001", 250},
      {memo::kChk001, "CHK001", 100},  {memo::kChk002, "CHK002", 100},   {memo::kHis001, "HIS001", 100},
      {memo::kHis002, "HIS002", 100},  {memo::kCr001, "CR001", 15},      {memo::kCr002, "CR002", 15},
      {memo::Dat(1), "DAT001", 250},   {memo::Dat(10), "DAT010", 250},   {memo::Dat(20), "DAT020", 250},
      {memo::kUpdated, "更新日", 20},  {memo::kCreated, "登録日", 20},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.index, db.FindField(cp932::FromUtf8(c.name))) << c.name;
    EXPECT_EQ(c.maxLength, db.Fields()[c.index].maxLength) << c.name;
  }
  for (int i = 0; i < memo::kFieldCount; ++i) {
    EXPECT_EQ(fielddef::kTypeText, db.Fields()[i].type);
    EXPECT_EQ(0, db.Fields()[i].flag);
    EXPECT_TRUE(db.Fields()[i].alias.empty());
  }
  int expect = 1 + 2 * memo::kFieldCount;
  for (int i = 0; i < memo::kFieldCount; ++i) expect += memo::FieldMaxLength(i) + 1;
  EXPECT_EQ(expect, db.MaxRecordSize());
}

}  // namespace
