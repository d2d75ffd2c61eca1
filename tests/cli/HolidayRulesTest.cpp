#include <gtest/gtest.h>

#include "cli/JbxRun.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(JbxHolidayRules, AddChangeAndDeleteAsTheSheetThenShowsThem) {
  TempDir dir;
  const std::string root = " --root " + dir.path() + " --year 2026";
  // the data folder has no files yet: the program's holidays are the start
  RunResult list = Jbx("holiday-rules list" + root);
  ASSERT_EQ(0, list.status) << list.err;
  EXPECT_TRUE(Has(list.out, "\t* 1月12日 2000-     成人の日\n")) << list.out;
  EXPECT_FALSE(fileops::Exists(dir / "holiday.dat"));  // listing writes nothing

  RunResult add = Jbx("holiday-rules add --kinen --month 6 --day 20 --from 2014 --name 結婚記念日" + root);
  ASSERT_EQ(0, add.status) << add.err;
  EXPECT_EQ("1\t  6月20日 2014-     結婚記念日\n", add.out);
  EXPECT_TRUE(Has(Jbx("holidays 2026 --root " + dir.path()).out, "2026/06/20\t\t結婚記念日\n"));

  // change the end year of 海の日 (the rule from 2022 on): the sheet's 2031 loses it
  const size_t line = list.out.find("2022-     海の日");
  ASSERT_NE(std::string::npos, line);
  std::string sea = list.out.substr(list.out.rfind('\n', line) + 1);
  sea = sea.substr(0, sea.find('\t'));
  RunResult set = Jbx("holiday-rules set " + sea + " --to 2030" + root);
  ASSERT_EQ(0, set.status) << set.err;
  EXPECT_TRUE(Has(set.out, "* 7月20日 2022-2030 海の日")) << set.out;
  EXPECT_TRUE(Has(Jbx("holidays 2030 --root " + dir.path()).out, "2030/07/15\t海の日\t"));
  EXPECT_FALSE(Has(Jbx("holidays 2031 --root " + dir.path()).out, "海の日"));

  // deleting needs --yes
  RunResult no = Jbx("holiday-rules rm 1 --kinen" + root);
  EXPECT_EQ(1, no.status);
  EXPECT_TRUE(Has(no.err, "削除しませんでした")) << no.err;
  EXPECT_EQ(0, Jbx("holiday-rules rm 1 --kinen --yes" + root).status);
  EXPECT_FALSE(Has(Jbx("holidays 2026 --root " + dir.path()).out, "結婚記念日"));
  EXPECT_EQ("CL01\r\n", ReadBytes(dir / "kinen.dat"));
}

TEST(JbxHolidayRules, RefusalsAndUsage) {
  TempDir dir;
  const std::string root = " --root " + dir.path() + " --year 2026";
  struct Case {
    std::string args;
    int status;
    const char* err;
  } cases[] = {
      {"add --month 2 --day 3 --from 2030 --to 2020 --name x", 1, "開始年が終了年より後になっています"},
      {"add --month 13 --day 3 --name x", 1, "月は１から１２の間で入力してください"},
      {"add --month 3 --term 秋分 --name x", 1, "秋分は９月のみ設定可能です"},
      {"add --month 3 --day 3", 1, "祝日が入力されていません"},
      {"add --month 3 --day 3 --name \"a b\"", 1, "内容に半角の空白や改行は使えません"},
      {"set 999 --to 2030", 1, "選択されていません"},
      {"set --to 2030", 2, "規則の番号"},
      {"add --month 3 --day 3 --week 第２月曜 --name x", 2, "どれか一つ"},
      {"add --month 3 --week 第５月曜 --name x", 2, "--week"},
      {"rm 1 --name x", 2, "項目を取りません"},
      {"move 1", 2, "知らない操作です"},
  };
  for (const auto& c : cases) {
    RunResult r = Jbx("holiday-rules " + c.args + root);
    EXPECT_EQ(c.status, r.status) << c.args;
    EXPECT_TRUE(Has(r.err, c.err)) << c.args << ": " << r.err;
  }
  EXPECT_EQ(2, Jbx("holiday-rules list").status);  // no --root
  EXPECT_EQ(1, Jbx("holiday-rules list --root " + dir / "missing").status);
  EXPECT_FALSE(fileops::Exists(dir / "holiday.dat"));
  EXPECT_FALSE(fileops::Exists(dir / "kinen.dat"));
  // a week rule by its name, with an ASCII digit too; the day is the year's
  RunResult w = Jbx("holiday-rules add --month 10 --week 第2月曜 --name 体育の日" + root);
  ASSERT_EQ(0, w.status) << w.err;
  EXPECT_TRUE(Has(w.out, "*10月12日     -     体育の日")) << w.out;
  RunResult json = Jbx("holiday-rules list --all --json" + root);
  EXPECT_TRUE(Has(json.out, "\"weekRule\": 8")) << json.out;
}

TEST(JbxHolidayRules, AFileThatIsNoRuleFileIsNeverWrittenAndStrayLinesAreKept) {
  std::string noise;  // the same bytes every run
  for (unsigned x = 12345, i = 0; i < 4096; ++i)
    noise += static_cast<char>((x = x * 1103515245u + 12345u) >> 23);
  const std::string passwd =
      "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1:daemon:/usr/sbin:/usr/sbin/nologin\n"
      "games:x:5:60:games:/usr/games:/usr/sbin/nologin\n";
  const std::string good = "CL01\r\n1\t1\t" + cp932::FromUtf8("元日") + "\t1000\t9999\t0\t-1\r\n";
  // a rule with a year that is not one, and a line that is no rule
  const std::string stray[] = {"5\t3\t" + cp932::FromUtf8("憲法記念日") + "\t19x8\t9999\t0\t-1\r\n",
                               "# " + cp932::FromUtf8("自分のメモ") + "\r\n"};
  struct Case {
    const char* file;
    std::string bytes;
    int status;
  } cases[] = {
      {"holiday.dat", noise, 1},
      {"kinen.dat", noise, 1},
      {"holiday.dat", passwd, 1},
      {"kinen.dat", passwd, 1},
      {"holiday.dat", good + stray[0] + stray[1], 0},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteBytes(dir / c.file, c.bytes);
    const std::string kinen = std::string(c.file) == "kinen.dat" ? " --kinen" : "";
    RunResult r = Jbx("holiday-rules add --month 6 --day 20 --name x --root " + dir.path() + kinen);
    EXPECT_EQ(c.status, r.status) << c.file << r.err;
    const std::string now = ReadBytes(dir / c.file);
    if (c.status != 0) {
      EXPECT_EQ(c.bytes, now) << c.file;
      EXPECT_TRUE(Has(r.err, std::string(c.file) + " は祝日・記念日のファイル")) << r.err;
    } else {  // the new rule among the old ones, the stray lines as they were
      EXPECT_EQ(0u, now.find(good)) << now;
      EXPECT_TRUE(Has(now, "6\t20\tx\t")) << now;
      for (const std::string& line : stray) EXPECT_TRUE(Has(now, line)) << now;
    }
  }
}
