#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalogue/CMyMaster.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

namespace {
std::string Named(const std::string& name) {
  std::string r = CMyMaster::Blank();
  CMyMaster::SetName(r, name);
  return r;
}
}  // namespace

TEST(CMyMaster, FileLayoutByteForByte) {
  TempDir dir;
  CMyMaster t("USER");
  ASSERT_EQ(0, t.Append(Named("日記"_sj), "memo"));
  ASSERT_EQ(3, t.Write(dir / "t.jpr"));
  CMyLine raw(512);
  ASSERT_EQ(3, raw.ReadList(dir / "t.jpr"));
  EXPECT_EQ(std::string("\x01\0\0\0\0\0\0\0MS\0\0", 12), raw.Str(0));
  ASSERT_EQ(164, raw.Length(1));
  EXPECT_EQ(1, le::GetI32(raw.Item(1)));
  EXPECT_EQ("USER", le::GetFixedText(raw.Item(1) + 4, 32));
  EXPECT_EQ(2, le::GetI32(raw.Item(1) + 44));
  EXPECT_EQ(9999, le::GetI32(raw.Item(1) + 52));
  EXPECT_EQ(30, le::GetI32(raw.Item(1) + 56));
  EXPECT_EQ(0xFFFFFF, le::GetI32(raw.Item(1) + 160));
  ASSERT_EQ(132 + 5, raw.Length(2));
  EXPECT_EQ(1, le::GetI32(raw.Item(2) + 8));
  EXPECT_EQ(0xFFFFFF, le::GetI32(raw.Item(2) + 124));
  EXPECT_EQ("memo", std::string(raw.Item(2) + 132));
}

TEST(CMyMaster, NamesAreUniqueWithoutCase) {
  ScriptedPrompter p;
  CMyMaster t("DIVIN", &p);
  ASSERT_EQ(0, t.Append(Named("WORK")));
  EXPECT_EQ(-3, t.Append(Named("Work")));
  EXPECT_EQ("データが重複します。", p.ShownUtf8().back());
  EXPECT_EQ(0, t.ReplaceAt(0, Named("work")));  // itself does not collide
  EXPECT_EQ(0, t.Append(Named("")));
  EXPECT_EQ(0, t.Append(Named("")));  // empty names never collide
  EXPECT_EQ(3, t.RecordCount());
  EXPECT_EQ(1, t.ReplaceAt(7, Named("x")));
  EXPECT_EQ("更新データがありません。", p.ShownUtf8().back());
  EXPECT_EQ(-10, t.Put(5, 0, Named("y")));
  EXPECT_EQ(-4, t.Append(Named("z"), std::string(256, 'a').c_str()));
  EXPECT_EQ("データサイズが大きいです。", p.ShownUtf8().back());
  EXPECT_EQ(0, t.InsertAt(0, Named("first")));
  EXPECT_EQ("first", t.Name(0));
  EXPECT_EQ(0, t.InsertAt(99, Named("last")));
  EXPECT_EQ("last", t.Name(4));
  EXPECT_EQ(0, t.FindByText(0, "FIRST"));
  EXPECT_EQ(-1, t.FindByText(3, "first"));
}

TEST(CMyMaster, IdsKeepGrowingAcrossDeletions) {
  ScriptedPrompter p;
  CMyMaster t("COLOR", &p);
  EXPECT_EQ(0, t.Append(Named("a")));
  EXPECT_EQ(0, t.Append(Named("b")));
  ASSERT_EQ(0, t.Delete(1));
  EXPECT_EQ(0, t.Append(Named("c")));
  EXPECT_EQ(3, t.GetInt(1, CMyMaster::kRId));
  EXPECT_EQ(4, t.HeaderInt(CMyMaster::kHNextId));
  EXPECT_EQ(2, t.HeaderInt(CMyMaster::kHCount));
  EXPECT_EQ(-2, t.Delete(5));
  EXPECT_EQ("削除対象のデータを選択して下さい。", p.ShownUtf8().back());
  EXPECT_EQ(1, t.Swap(0, 1));
  EXPECT_EQ("c", t.Name(0));
  EXPECT_EQ(0, t.Swap(0, 2));
  EXPECT_TRUE(t.SetInt(0, CMyMaster::kRKey14, 2));
  EXPECT_EQ(0, t.FindByInt(14, 2));
  EXPECT_EQ(-1, t.FindByInt(15, 2));
}

TEST(CMyMaster, ReadingClearsRunTimeFlagsAndRejectsDisagreeingCounts) {
  TempDir dir;
  CMyMaster t("DIVOUT");
  EXPECT_EQ(0, t.Append(Named("202003")));
  EXPECT_TRUE(t.SetInt(0, CMyMaster::kRFlag, 1));
  EXPECT_TRUE(t.SetInt(0, CMyMaster::kRValue, 7));
  EXPECT_TRUE(t.SetInt(0, CMyMaster::kRKey11, 12));
  t.SetHeaderText("2020/03/05");
  EXPECT_GE(t.Write(dir / "divout.jpr"), 0);
  CMyMaster r;
  ASSERT_EQ(0, r.Read(dir / "divout.jpr"));
  EXPECT_EQ("DIVOUT", r.TableName());
  EXPECT_EQ(0, r.GetInt(0, CMyMaster::kRFlag));
  EXPECT_EQ(0, r.GetInt(0, CMyMaster::kRValue));
  EXPECT_EQ(12, r.GetInt(0, CMyMaster::kRKey11));
  EXPECT_EQ("2020/03/05", r.HeaderText());
  // a header that says 3 records over a file holding 4
  CMyMaster four("X");
  for (const char* n : {"a", "b", "c", "d"}) EXPECT_EQ(0, four.Append(Named(n)));
  four.SetHeaderInt(CMyMaster::kHCount, 3);
  EXPECT_GE(four.Write(dir / "bad.jpr"), 0);
  EXPECT_EQ(-1, r.Read(dir / "bad.jpr"));
  EXPECT_EQ(0, r.RecordCount());
  EXPECT_EQ("", r.TableName());
  EXPECT_EQ(-1, r.Read(dir / "missing.jpr"));
}

TEST(CMyMaster, ShortAndOverlongRecordsNeverOverrunAField) {
  TempDir dir;
  CMyLine raw(512);
  CMyMaster proto("T");
  raw.Set(0, std::string("\x01\0\0\0\0\0\0\0MS\0\0", 12));
  std::string header(proto.Header(), 164);
  le::PutI32(&header[0], 2);
  raw.Set(1, header);
  raw.Set(2, std::string("\0\0\0\0\0\0\0\0\0\0\0\0abc", 15));  // 15 bytes only
  std::string full(132, 'N');                                  // a name with no NUL in its 32 bytes
  full += std::string(400, 't');
  raw.Set(3, full);
  ASSERT_GE(raw.WriteList(dir / "d.jpr"), 0);
  CMyMaster r;
  ASSERT_EQ(0, r.Read(dir / "d.jpr"));
  EXPECT_EQ("abc", r.Name(0));
  EXPECT_EQ(0xFFFFFF, r.GetInt(0, CMyMaster::kRKey22));
  EXPECT_EQ(32u, r.Name(1).size());
  EXPECT_EQ(255u, r.Text(1).size());
}

TEST(CMyMaster, AFileThatAlreadyHoldsTheTableIsNotWrittenAgain) {
  // opening a book writes its lists back at every start; the same bytes keep
  // the same file (no new file, no sync), a change makes a new one
  TempDir dir;
  CMyMaster t("USER");
  ASSERT_EQ(0, t.Append(Named("日記"_sj)));
  ASSERT_EQ(3, t.Write(dir / "t.jpr"));
  struct stat first {
  }, again{};
  ASSERT_EQ(0, ::stat((dir / "t.jpr").c_str(), &first));
  ASSERT_EQ(3, t.Write(dir / "t.jpr"));
  ASSERT_EQ(0, ::stat((dir / "t.jpr").c_str(), &again));
  EXPECT_EQ(first.st_ino, again.st_ino);
  ASSERT_TRUE(t.SetInt(0, CMyMaster::kRKey11, 7));
  ASSERT_EQ(3, t.Write(dir / "t.jpr"));
  ASSERT_EQ(0, ::stat((dir / "t.jpr").c_str(), &again));
  EXPECT_NE(first.st_ino, again.st_ino);
  CMyMaster back("USER");
  ASSERT_EQ(0, back.Read(dir / "t.jpr"));
  EXPECT_EQ(7, back.GetInt(0, CMyMaster::kRKey11));
}
