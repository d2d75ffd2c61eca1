// jbx find on a diary unpacked from the shipped package and written with jbx add.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/CMyMaster.h"
#include "cli/JbxRun.h"
#include "support/TempDir.h"

namespace {

struct Diary {
  TempDir dir;
  std::string root = dir / "root";
  std::string base;
  Diary() {
    EXPECT_TRUE(MakeBooks(root, {{"PK1_日記帳", "diary"}}));
    base = "--root " + root + " --user u ";
    for (const char* entry :
         {"--date 2024/12/24 '日記=歯医者（年末）'", "--date 2019/01/10 '日記=歯医者の予約'",
          "--date 2020/06/01 日記=カレー 天気=晴れ", "--date 2020/06/01 天気=晴れのち雨",
          "--date 2023/05/20 \"日記=it's *new*\"",
          "--date 2023/05/21 \"日記=$(printf '一行目\\r\\n歯医者')\""})
      EXPECT_EQ(0, Jbx("add " + base + "--today 2024/05/15 " + entry).status) << entry;
  }
  RunResult Find(const std::string& args) { return Jbx("find " + base + args); }
};

}  // namespace

TEST(JbxFind, EveryHitInTheSheetsOrderWithTheFieldThatMatched) {
  Diary d;
  RunResult r = d.Find("歯医者");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "2019/01/10\t00001\t日記\t歯医者の予約\n"
      "2023/05/21\t00002\t日記\t一行目\\r\\n歯医者\n"
      "2024/12/24\t00001\t日記\t歯医者（年末）\n",
      r.out);
  // under （全て） the first of the form's fields that matches names the hit
  EXPECT_EQ("2020/06/01\t00001\t天気\t晴れ\n2020/06/01\t00002\t天気\t晴れのち雨\n", d.Find("晴れ").out);
  EXPECT_EQ("2020/06/01\t00001\t天気\t晴れ\n", d.Find("--field 天気 --kind 0 晴れ").out);
  EXPECT_EQ("2020/06/01\t00002\t天気\t晴れのち雨\n", d.Find("--field DAT001 --kind 2 雨").out);
  EXPECT_EQ("2023/05/20\t00001\t日記\tit's *new*\n", d.Find("\"it's\"").out);
  EXPECT_EQ("2023/05/20\t00001\t日記\tit's *new*\n", d.Find("--kind 0 \"it's *new*\"").out);
  EXPECT_EQ("2020/06/01\t00001\t日記\tカレー\n", d.Find("--fold ｶﾚｰ").out);
  EXPECT_EQ("2023/05/20\t00001\t日記\tit's *new*\n", d.Find("--fold ＮＥＷ").out);
  EXPECT_EQ("", d.Find("--fold --case ＮＥＷ").out);
}

TEST(JbxFind, NoHitRefusalsAndUsage) {
  Diary d;
  struct Case {
    std::string args;
    int status;
    const char* err;  // part of stderr
  } cases[] = {
      {"ｶﾚｰ", 1, "見つかりませんでした"},  // the widths differ without --fold
      {"--case IT", 1, "見つかりませんでした"},
      {"--field 写真帳 x", 1, "『写真帳』は検索できません。"},
      {"検検検検検検検検検検検検検検検検検検検検検検検検検検検検検検検", 2, "30 文字まで"},
      {"''", 2, "空"},
      {"--kind 4 x", 2, ""},
      {"", 2, ""},
      {"a b", 2, ""},
  };
  for (const Case& c : cases) {
    RunResult r = d.Find(c.args);
    EXPECT_EQ(c.status, r.status) << c.args;
    EXPECT_EQ("", r.out) << c.args;
    EXPECT_NE(std::string::npos, r.err.find(c.err)) << c.args << ": " << r.err;
  }
  // thirty double-byte characters are a text like any other
  EXPECT_EQ(1, d.Find("検検検検検検検検検検検検検検検検検検検検検検検検検検検検検検").status);
  EXPECT_EQ(0, Jbx("find --help").status);
  EXPECT_EQ(1, Jbx("find --root " + d.root + " --user nobody x").status);
}
