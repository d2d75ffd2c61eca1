// jbx add / edit / rm on books unpacked from the shipped packages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "catalogue/CMyMaster.h"
#include "cli/JbxRun.h"
#include "platform/FileOps.h"
#include "screens/CMyBitmap.h"
#include "screens/JpegWrite.h"
#include "support/TempDir.h"

namespace {

// A user "u" with the schedule book (by date) and the notebook (by page).
struct Books {
  TempDir dir;
  std::string root = dir / "root";
  std::string base;
  Books() {
    EXPECT_TRUE(MakeBooks(root, {{"PK2_スケジュール", "sched"}, {"PK4_ノート", "note"}}));
    base = "--root " + root + " --user u --today 2026/03/14 ";
  }
  std::string Select(const std::string& file, const std::string& columns) {
    return Jbx("select --memo " + root + "/u/" + file + " --columns " + columns).out;
  }
};

}  // namespace

TEST(JbxEntry, AddEditAndRemoveRoundTripAnEntry) {
  Books b;
  RunResult r = Jbx("add " + b.base + "--date 2030/05/01 開始=0930 場所=会議室 'MEM001=打ち合わせ'");
  ASSERT_EQ(0, r.status);
  EXPECT_EQ("2030/05/01\t00001\n", r.out);
  EXPECT_EQ("2030/05/01\t00001\t09:30\t会議室\t打ち合わせ\t1\n",
            b.Select("sched/dt203005.jdt", "キー項目,行連番,TIME_F,DAT001,MEM001,NODATA"));
  EXPECT_EQ("2030/05/01\t00002\n", Jbx("add " + b.base + "--date 2030/05/01 場所=駅").out);

  ASSERT_EQ(0, Jbx("edit " + b.base + "--date 2030/05/01 --serial 1 場所=本社").status);
  EXPECT_EQ("00001\t本社\n00002\t駅\n", b.Select("sched/dt203005.jdt", "行連番,DAT001"));
  ASSERT_EQ(0, Jbx("rm " + b.base + "--date 2030/05/01 --serial 1").status);
  EXPECT_EQ("00002\t駅\n", b.Select("sched/dt203005.jdt", "行連番,DAT001"));
  EXPECT_EQ(1, Jbx("rm " + b.base + "--date 2030/05/01 --serial 1").status);

  // the notebook is kept by page and line; its screen has 30 lines a page
  r = Jbx("add " + b.base + "--division note --page 3 --line 7 MEM001=ノート");
  ASSERT_EQ(0, r.status) << r.out;
  EXPECT_EQ("00003/00007\t00001\n", r.out);
}

TEST(JbxEntry, RefusalsChangeNothing) {
  Books b;
  ASSERT_EQ(0, Jbx("add " + b.base + "--date 2030/05/01 場所=駅").status);
  const std::string before = ReadBytes(b.root + "/u/sched/dt203005.jdt");
  const std::string divout = ReadBytes(b.root + "/u/sched/divout.jpr");
  struct Case {
    const char* args;
    int status;
  } cases[] = {
      {"add --date 2030/05/01 開始=12:60", 1},             // a time the field refuses
      {"add --date 2030/05/01 NOSUCH=1", 1},               // no such field
      {"add --date 2030/05/01 場所=\xF0\x9F\x98\x80", 1},  // not in CP932
      {"add --date 2030/02/30 場所=x", 1},                 // no such day
      {"add --page 1 --line 1 場所=x", 2},                 // the book is kept by date
      {"add --division note --page 5000 --line 1 MEM001=x", 1},
      {"add --division note --page 1 --line 31 MEM001=x", 1},
      {"edit --date 2030/05/01 --serial 9 場所=x", 1},  // no such entry
      {"add --date 2030/05/01", 2},                     // nothing to write
      {"add --date 2030/05/01 --bogus 場所=x", 2},
  };
  for (const Case& c : cases) {
    std::string a = c.args;
    std::string cmd = a.substr(0, a.find(' ')) + " " + b.base + a.substr(a.find(' ') + 1);
    EXPECT_EQ(c.status, Jbx(cmd).status) << c.args;
  }
  EXPECT_EQ(before, ReadBytes(b.root + "/u/sched/dt203005.jdt"));
  EXPECT_EQ(divout, ReadBytes(b.root + "/u/sched/divout.jpr"));
  TempDir empty;
  EXPECT_EQ(1, Jbx("add --root " + empty.path() + " --user u --date 2030/05/01 場所=x").status);
  EXPECT_EQ(std::string(), ReadBytes(empty / "u/jbxuser.jpr")) << "nothing created";
  EXPECT_EQ(0, Jbx("add --help").status);
  EXPECT_EQ(2, Jbx("rm").status);
}

TEST(JbxEntry, ATimeInTheFutureBecomesAnAlarm) {
  Books b;
  ASSERT_EQ(0, Jbx("add " + b.base + "--date 2030/05/01 'MEM001=歯医者 [10:30]'").status);
  RunResult r = Jbx("dump " + b.root + "/u/alarm.dat");
  EXPECT_NE(std::string::npos, r.out.find("10:30")) << r.out;
  ASSERT_EQ(0, Jbx("rm " + b.base + "--date 2030/05/01 --serial 1").status);
  r = Jbx("dump " + b.root + "/u/alarm.dat");
  EXPECT_EQ(std::string::npos, r.out.find("10:30")) << r.out;
}

TEST(JbxEntry, APictureGetsItsThumbnailTurnedAndLosesItWithTheEntry) {
  TempDir dir;
  const std::string root = dir / "root";
  ASSERT_TRUE(MakeBooks(root, {{"PK1_日記帳", "diary"}}));
  const std::string base = "--root " + root + " --user u --today 2026/03/14 ";
  ASSERT_TRUE(fileops::MakeDirs(dir / "写真"));
  ASSERT_TRUE(WriteTestJpeg(dir / "写真/海.jpg", 320, 160));
  WriteBytes(dir / "写真/cut.jpg", ReadBytes(dir / "写真/海.jpg").substr(0, 600));
  auto select = [&](const std::string& cols) {
    return Jbx("select --memo " + root + "/u/diary/dt202603.jdt --columns " + cols).out;
  };
  auto thumbs = [&] { return fileops::List(root + "/u/diary/PhotSm/D2026", "*.bmp"); };

  // refusals write nothing
  for (const std::string& bad : {dir / "写真", dir / "写真/cut.jpg", dir / "写真/none.jpg"}) {
    RunResult r = Jbx("add " + base + "--date 2026/03/14 IMG001=" + bad);
    EXPECT_EQ(1, r.status) << bad;
  }
  EXPECT_EQ(2, Jbx("add " + base + "--date 2026/03/14 --turn E IMG001=" + dir / "写真/海.jpg").status);
  EXPECT_FALSE(fileops::Exists(root + "/u/diary/PhotSm"));

  RunResult r = Jbx("add " + base + "--date 2026/03/14 --turn C IMG001=" + dir / "写真/海.jpg");
  ASSERT_EQ(0, r.status) << r.err;
  std::string row = select("IMG001,IMS001");
  ASSERT_EQ(dir / "写真/海.jpg\t", row.substr(0, row.find('\t') + 1));
  std::string key = row.substr(row.find('\t') + 1);
  key.pop_back();  // the line's end
  ASSERT_EQ(37u, key.size());
  EXPECT_EQ('C', key.back());
  ASSERT_EQ(1u, thumbs().size());
  EXPECT_EQ(key.substr(6, 14) + ".bmp", thumbs()[0]);

  // turned again, through the same thumbnail name
  ASSERT_EQ(0, Jbx("edit " + base + "--date 2026/03/14 --serial 1 --turn B").status);
  row = select("IMS001");
  EXPECT_EQ(key.substr(0, 36) + "B\n", row);
  CMyBitmap t;
  ASSERT_EQ(1, t.LoadBmp(root + "/u/diary/PhotSm/D2026/" + thumbs()[0]));
  EXPECT_EQ(90, t.Width());
  EXPECT_EQ(180, t.Height());

  ASSERT_EQ(0, Jbx("rm " + base + "--date 2026/03/14 --serial 1").status);
  EXPECT_TRUE(thumbs().empty());
}

TEST(JbxEntry, CalculatedFieldsFillThemselvesFromTheHouseholdTaxTable) {
  TempDir dir;
  const std::string root = dir / "root";
  ASSERT_TRUE(MakeBooks(root, {{"PK3_家計簿", "kakei"}}));
  const std::string base = "--root " + root + " --user u --today 2026/03/14 ";
  ASSERT_EQ(0, Jbx("add " + base + "--date 2026/03/01 品目=米 金額=2000").status);
  ASSERT_EQ(0, Jbx("add " + base + "--date 2026/03/01 品目=パン 金額=300 税区分=軽減").status);
  // 3 is the code of 非課税 in the strip, taken as the form takes a typed code
  ASSERT_EQ(0, Jbx("add " + base + "--date 2026/03/01 品目=切手 金額=84 税区分=3").status);
  // a kind the table does not hold leaves the rate empty and the total 0
  ASSERT_EQ(0, Jbx("add " + base + "--date 2026/03/01 品目=謎 金額=10 税区分=不明").status);
  EXPECT_EQ(
      "米\t1.10\t2200\n"
      "パン\t1.08\t324\n"
      "切手\t1.00\t84\n"
      "謎\t\t0\n",
      Jbx("select --memo " + root + "/u/kakei/dt202603.jdt --columns DAT001,DAT005,DAT006").out);
  EXPECT_EQ("米\t標準\nパン\t軽減\n切手\t非課税\n謎\t不明\n",
            Jbx("select --memo " + root + "/u/kakei/dt202603.jdt --columns DAT001,DAT008").out);
  // a payment method typed here is learnt as the form learns it, on top of the history
  ASSERT_EQ(0, Jbx("add " + base + "--date 2026/03/02 品目=本 支払方法=商品券").status);
  EXPECT_EQ(0u, ReadBytes(root + "/u/kakei/cboms02.ms").find("$$$ 1\r\n\x8f\xa4\x95\x69\x8c\x94"));
}

TEST(JbxEntry, NamesThatAreNoFolderNameAreRefusedByEveryCommandBeforeAnythingIsRead) {
  Books b;
  ASSERT_EQ(0, Jbx("add " + b.base + "--date 2030/05/01 場所=駅").status);
  const std::string month = b.root + "/u/sched/dt203005.jdt";
  const std::string before = ReadBytes(month);
  ASSERT_TRUE(fileops::MakeDirs(b.dir / "other"));
  // from --root other, "../root/u" is the user folder of root
  const std::string out = "--root " + b.dir / "other" + " --today 2026/03/14 ";
  WriteBytes(b.dir / "in.csv", "年月日,場所\r\n2030/05/01,x\r\n");
  const char* const kUser = "ユーザー名に「/」「\\」などフォルダ名に使えない文字は使えません: ";
  const char* const kDivision = "分類名に「/」「\\」などフォルダ名に使えない文字は使えません: ";
  struct Case {
    std::string args;
    std::string err;
  } cases[] = {
      {"add " + out + "--user ../root/u --date 2030/05/01 場所=外", kUser + std::string("../root/u")},
      {"edit " + out + "--user=../root/u --date 2030/05/01 --serial 1 場所=外", kUser},
      {"rm " + out + "--user ../root/u --date 2030/05/01 --serial 1", kUser},
      {"import " + out + "--user ../root/u --replace " + b.dir / "in.csv", kUser},
      {"sheet " + out + "--user ../root/u delete --key 2030/05/01 --serial 1", kUser},
      {"backup " + out + "--user ../root/u --to " + b.dir / "back", kUser},
      {"alarms " + out + "--user 'u\\x'", kUser},
      {"find " + out + "--user '' 駅", "ユーザー名を入力して下さい: "},
      {"add " + b.base + "--division ../u/sched --date 2030/05/01 場所=外",
       kDivision + std::string("../u/sched")},
      {"export " + b.base + "--division=.. " + b.dir / "x.csv", kDivision},
      {"render " + b.base + "--division 'a\\b' --month 2030/05 --out " + b.dir / "x.png", kDivision},
      {"print " + b.base + "--division /etc --month 2030/05 --pdf " + b.dir / "x.pdf", kDivision},
      {"pickout " + b.base + "--division= --run", "分類名を入力して下さい: "},
  };
  for (const Case& c : cases) {
    RunResult r = Jbx(c.args);
    EXPECT_EQ(2, r.status) << c.args;
    EXPECT_NE(std::string::npos, r.err.find(c.err)) << c.args << "\n" << r.err;
  }
  EXPECT_EQ(before, ReadBytes(month));
  for (const char* made : {"back", "x.csv", "x.png", "x.pdf", "other/u"})
    EXPECT_FALSE(fileops::Exists(b.dir / made)) << made;
}

TEST(JbxEntry, OptionsAsNameEqualsValueAndMessagesInJapanese) {
  Books b;
  RunResult r = Jbx("add --root=" + b.root + " --user=u --today=2026/03/14 --date=2030/05/01 場所=駅");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("2030/05/01\t00001\n", r.out);
  EXPECT_EQ("2030/05/01\t00001\t2026/03/14\n", b.Select("sched/dt203005.jdt", "キー項目,行連番,登録日"));
  r = Jbx("sheet --root=" + b.root + " --user=u --today=2026/03/15 delete --key=2030/05/01 --serial=00001");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("- 2030/05/01 00001\n", r.out);
  struct Case {
    std::string args;
    const char* err;
  } cases[] = {
      {"add " + b.base + "--date 2030/05/01 --bogus 場所=x",
       "jbx add: 知らないオプションです: --bogus\n使い方: jbx add "},
      {"edit " + b.base + "--date 2030/05/01 場所=x", "jbx edit: --serial には行連番"},
      {"rm " + b.base + "--date 2030/05/01 --serial 9", "jbx rm: 記録がありません: 2030/05/01 00009"},
      {"add " + b.base + "--page 1 --line 1 場所=x", "jbx add: この分類は日付で管理しています"},
      {"add " + b.base + "--date 2030/05/01 NOSUCH=1", "jbx add: この分類の入力画面に無い項目です: NOSUCH"},
  };
  for (const Case& c : cases) {
    r = Jbx(c.args);
    EXPECT_NE(std::string::npos, r.err.find(c.err)) << c.args << "\n" << r.err;
  }
}

TEST(JbxEntry, MergeConflictsTakesTheOtherFilesCopiesAndOnlyListsSettings) {
  Books b;
  const std::string u = b.root + "/u/";
  const std::string table = "jbxuser.sync-conflict-20261210-101530-ABCDEFG.jpr";
  const std::string settings = "jbxuser (conflicted copy 2026-12-10).ini";
  ASSERT_TRUE(fileops::Copy(u + "jbxuser.jpr", u + table));
  WriteBytes(u + settings, "[A]\r\nB=1\r\n");
  const std::string book = "merge-conflicts --root " + b.root + " --user u --division sched";
  RunResult r = Jbx(book);
  EXPECT_EQ(0, r.status) << r.all();
  EXPECT_EQ(table + "\n" + settings + "（統合しません）\n", r.out);
  r = Jbx(book + " --yes");
  EXPECT_EQ(0, r.status) << r.all();
  EXPECT_NE(std::string::npos, r.out.find(table + ": 「jbxuser.jpr」に統合")) << r.out;
  EXPECT_EQ(1u, fileops::List(u, table + ".merged-*").size());
  EXPECT_TRUE(fileops::Exists(u + settings));  // a person decides
}
