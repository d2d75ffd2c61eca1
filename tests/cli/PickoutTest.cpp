// jbx pickout on books unpacked from the shipped packages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "catalogue/CMyMaster.h"
#include "cli/JbxRun.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

// A user "u" with the household book and the diary (both by date).
struct Books {
  TempDir dir;
  std::string root = dir / "root";
  std::string base;
  Books() {
    EXPECT_TRUE(MakeBooks(root, {{"PK3_家計簿", "kakei"}, {"PK1_日記帳", "diary"}}));
    base = "--root " + root + " --user u ";
  }
  void Add(const std::string& division, const std::string& args) {
    RunResult r = Jbx("add " + base + "--division " + division + " --today 2026/06/01 " + args);
    ASSERT_EQ(0, r.status) << args << r.err;
  }
};

TEST(JbxPickout, TheWorkedExampleFromItsConditionFile) {
  Books b;
  const std::string file = b.dir / "example.pit";
  WriteBytes(file, cp932::FromUtf8("1\t1\t\t5\t2020/01/01\t2020/03/31\t1\t\t\t3\t0\t\t0\t0\t0\r\n"
                                   "年月日\t\t\t\t\t\t\r\n"
                                   "天気\t\t\t*会議*\t\t\t\r\n"));
  RunResult r = Jbx("pickout --division-dir " + b.root + "/u/diary " + file);
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "キー項目 >= '2020/01/01' and キー項目 <= '2020/03/31' and DAT001 = '*会議*' and NODATA = '1'\n"
      "キー項目,行連番\n",
      r.out);
  // the same from options
  r = Jbx("pickout --division-dir " + b.root +
          "/u/diary --from 2020/1/1 --to 2020/03/31 --where '天気=*会議*' --json");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos,
            r.out.find("\"filter\": \"キー項目 >= '2020/01/01' and キー項目 <= '2020/03/31' and "
                       "DAT001 = '*会議*' and NODATA = '1'\""))
      << r.out;
  EXPECT_FALSE(fileops::Exists(b.root + "/u/diary/pickout.pit")) << "nothing written";
}

TEST(JbxPickout, ThisYearsEntriesGroupedByCategoryWithTheirSum) {
  Books b;
  b.Add("kakei", "--date 2026/01/05 品目=パン 分類=食費 金額=300");
  b.Add("kakei", "--date 2026/02/11 品目=洗剤 分類=日用品 金額=450");
  b.Add("kakei", "--date 2026/03/02 品目=米 分類=食費 金額=2000");
  b.Add("kakei", "--date 2026/03/09 品目=外食 分類=食費");
  b.Add("kakei", "--date 2025/12/30 品目=餅 分類=食費 金額=800");
  RunResult r = Jbx("pickout " + b.base +
                    "--division kakei --shown 2026/06/01 --period year --group 分類 "
                    "--agg 税率=NONE --agg 税込=NONE --agg 品目=COUNT --run --header");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("品目\t分類\t金額\n3\t食費\t2300\n1\t日用品\t450\n", r.out);
  EXPECT_EQ("", r.err);

  // the entries themselves, newest first, with the condition on the category
  r = Jbx("pickout " + b.base +
          "--division kakei --shown 2026/06/01 --period year --where 分類=食費 --key-desc --run");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "2026/03/09\t00002\t外食\t食費\t\t\t1.10\t\t\t標準\t\n"
      "2026/03/02\t00001\t米\t食費\t\t2000\t1.10\t2200\t\t標準\t\n"
      "2026/01/05\t00001\tパン\t食費\t\t300\t1.10\t330\t\t標準\t\n",
      r.out);

  // a saved method by its name
  WriteBytes(b.root + "/u/kakei/pickout.lst", cp932::FromUtf8("（前の内容）\r\n去年\r\n"));
  WriteBytes(b.root + "/u/kakei/去年.pic", "1\t1\t\t5\t2025/01/01\t2025/12/31\t1\r\n");
  r = Jbx("pickout " + b.base + "--division kakei --method 去年 --run");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(0u, r.out.find("2025/12/30\t00001\t餅"));
  EXPECT_EQ(1, std::count(r.out.begin(), r.out.end(), '\n'));
}

TEST(JbxPickout, TheDiaryFindsAWordInARangeNewestFirst) {
  Books b;
  b.Add("diary", "--date 2026/04/01 日記=花見に行った");
  b.Add("diary", "--date 2026/04/03 日記=雨");
  b.Add("diary", "--date 2026/04/10 日記=また花見");
  b.Add("diary", "--date 2026/05/10 日記=花見は終わり");
  RunResult r =
      Jbx("pickout " + b.base +
          "--division diary --search 花見 --field 日記 --from 2026/04/01 --to 2026/04/30 --key-desc --run");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(0u, r.out.find("2026/04/10"));
  EXPECT_NE(std::string::npos, r.out.find("\n2026/04/01"));
  EXPECT_EQ(2, std::count(r.out.begin(), r.out.end(), '\n'));
}

TEST(JbxPickout, RefusalsAndUsageErrors) {
  Books b;
  const std::string kakei = "--division-dir " + b.root + "/u/kakei ";
  WriteBytes(b.dir / "bad.pit", std::string("\0", 1));
  struct Case {
    std::string args;
    int status;
    const char* err;  // part of stderr
  } cases[] = {
      {kakei + "--from 2026/05/01 --to 2026/04/01", 1, "左の期間が右の期間より大きいです。"},
      {kakei + "--mode group", 1, "グループとなる項目を選択して下さい。"},
      {kakei + "--where 色種類=ない色", 1, "該当しない色種類名です。"},
      {kakei + "--where ない項目=1", 1, "その項目は条件の表にありません"},
      {kakei + "--from 2026/02/30", 1, "不正な日付です。"},
      {kakei + b.dir / "bad.pit", 1, "読めません"},
      {kakei + b.dir / "none.pit", 1, "ファイルが見つかりません"},
      {kakei + "--method ない", 1, "保存されていません"},
      {kakei + "--period week", 2, "--period"},
      {kakei + "--sort 品目:up", 2, "--sort"},
      {kakei + "--agg 金額=SUM", 2, "--agg"},
      {kakei + "--run", 2, "--run"},
      {"--division-dir " + b.dir / "nowhere", 1, "フォルダーが見つかりません"},
      {"", 2, "--division-dir"},
      {b.base + "--division none", 1, "分類が見つかりません"},
      {kakei + "--bogus", 2, "--bogus"},
  };
  for (const Case& c : cases) {
    RunResult r = Jbx("pickout " + c.args);
    EXPECT_EQ(c.status, r.status) << c.args << "\n" << r.err;
    EXPECT_NE(std::string::npos, r.err.find(c.err)) << c.args << "\n" << r.err;
    EXPECT_EQ("", r.out) << c.args;
  }
  EXPECT_EQ(0, Jbx("pickout --help").status);
}

}  // namespace
