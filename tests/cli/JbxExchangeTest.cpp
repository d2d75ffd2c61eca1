// jbx export / import / csv on books unpacked from the shipped packages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "catalogue/CMyMaster.h"
#include "cli/JbxRun.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

// A user "u" with two household books (by date) and the notebook (by page).
struct Books {
  TempDir dir;
  std::string root = dir / "root";
  std::string base;
  Books() {
    EXPECT_TRUE(MakeBooks(root, {{"PK3_家計簿", "kakei"}, {"PK3_家計簿", "kakei2"}, {"PK4_ノート", "note"}}));
    base = "--root " + root + " --user u --today 2026/03/14 ";
  }
  std::string Select(const std::string& division, const std::string& columns) {
    std::string files;
    for (const std::string& f : fileops::List(root + "/u/" + division, "dt*.jdt"))
      files += root + "/u/" + division + "/" + f + " ";
    if (files.empty()) return {};
    return Jbx("select --memo " + files + "--sort キー項目,行連番 --columns " + columns).out;
  }
};

}  // namespace

TEST(JbxExchange, AHouseholdBookGoesOutAndComesBackTheSame) {
  Books b;
  const char* entries[] = {
      "--date 2026/03/01 品目=お茶 分類=食費 金額=120 税率=0.08 'MEM001=\"緑\", 表ソポ'",
      "--date 2026/03/01 品目=本 金額=1500 税率=0.1",
      "--date 2026/04/15 品目=電車 金額=300 \"MEM001=$(printf '行1\\r\\n行2')\"",
  };
  for (const char* e : entries) ASSERT_EQ(0, Jbx("add " + b.base + "--division kakei " + e).status) << e;
  RunResult r = Jbx("export " + b.base + "--division kakei " + b.dir / "kakei.csv");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("file\t" + b.dir / "kakei.csv" + "\nlines\t3\n", r.out);
  EXPECT_EQ("", r.err);

  // the reader's own view of the file
  r = Jbx("csv " + b.dir / "kakei.csv" + " --header");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(0u, r.out.find("[\"年月日\",\"曜日\",\"品目\","));
  EXPECT_NE(std::string::npos, r.out.find("\"\\\"緑\\\", 表ソポ\"")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("\"行1\\r\\n行2\"")) << r.out;

  r = Jbx("import " + b.base + "--division kakei2 " + b.dir / "kakei.csv");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("added\t3\nskipped\t0\ndeleted\t0\nsafety-copy\t" + b.root +
                "/u/kakei2/BK20260314.csv\nline-ends\tCR LF\n",
            r.out);
  const std::string columns =
      "キー項目,曜日,DAT001,DAT002,DAT004,DAT005,DAT006,MEM001,MEM001L,NODATA,更新日,登録日";
  EXPECT_EQ(b.Select("kakei", columns), b.Select("kakei2", columns));
  EXPECT_NE("", b.Select("kakei2", columns));

  // the safety copy of the day brings the book back to before the import
  r = Jbx("import " + b.base + "--division kakei2 --replace " + b.root + "/u/kakei2/BK20260314.csv");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", b.Select("kakei2", columns));
}

TEST(JbxExchange, ColumnsViewsAndOptions) {
  Books b;
  ASSERT_EQ(0, Jbx("add " + b.base + "--division kakei --date 2026/03/02 品目=x 金額=-5").status);
  ASSERT_EQ(0, Jbx("add " + b.base + "--division kakei --date 2026/04/02 品目=y").status);
  RunResult r = Jbx("export " + b.base +
                    "--division kakei --columns 年月日,曜日,品目,金額 --view 2026/03 "
                    "--no-header --formula-guard " +
                    b.dir / "march");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("lines\t31\n", r.out.substr(r.out.find("lines")));
  const std::string file = ReadBytes(b.dir / "march.CSV");
  EXPECT_EQ(31, std::count(file.begin(), file.end(), '\n'))
      << "one line for every date, also those without entries";
  r = Jbx("csv " + b.dir / "march.CSV");
  EXPECT_NE(std::string::npos,
            r.out.find("[\"2026/03/01\",\"日\",\"\",\"\"]\n[\"2026/03/02\",\"月\",\"x\",\"-5\"]"))
      << r.out;

  r = Jbx("export " + b.base + "--division note --utf8 --columns ページ,行番号,見出し " + b.dir / "n.csv");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("\xEF\xBB\xBF\"ページ\",\"行番号\",\"見出し\"\r\n", ReadBytes(b.dir / "n.csv"));

  struct Case {
    std::string args;
    int status;
    const char* err;
  } cases[] = {
      {"export " + b.base + "--division kakei --columns 年月日,色 " + b.dir / "x.csv", 1,
       "転送項目【色】はこの分類にありません。"},
      {"export " + b.base + "--division kakei --view 2026-03 " + b.dir / "x.csv", 2,
       "--view は yyyy/mm です"},
      {"export " + b.base + "--division nosuch " + b.dir / "x.csv", 1, "分類がありません"},
      {"export " + b.base, 2, "書き出すファイルを 1 つ指定してください"},
      {"import " + b.base + "--division kakei " + b.dir / "missing.csv", 1, "ファイルが見つかりません"},
      {"import " + b.base + "--division kakei --bogus " + b.dir / "n.csv", 2, "知らないオプションです"},
      {"csv", 2, "読むファイルを 1 つ指定してください"},
  };
  for (const Case& c : cases) {
    r = Jbx(c.args);
    EXPECT_EQ(c.status, r.status) << c.args;
    EXPECT_NE(std::string::npos, r.err.find(c.err)) << c.args << "\n" << r.err;
  }
  EXPECT_FALSE(fileops::Exists(b.dir / "x.csv"));
}

TEST(JbxExchange, WhatASpreadsheetReadsAndSavesBack) {
  Books b;
  // a refund and its calculated 税込 stay numbers under the guard; a formula does not
  ASSERT_EQ(
      0, Jbx("add " + b.base + "--division kakei --date 2026/04/01 品目=返品 金額=-500 税区分=軽減").status);
  ASSERT_EQ(
      0, Jbx("add " + b.base + "--division kakei --date 2026/04/02 '品目==SUM(A1:A3)' 金額=1000 税区分=軽減")
             .status);
  RunResult r = Jbx("export " + b.base + "--division kakei --columns 年月日,品目,金額,税込 --formula-guard " +
                    b.dir / "g.csv");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "\"年月日\",\"品目\",\"金額\",\"税込\"\r\n\"2026/04/01\",\"返品\",\"-500\",\"-540\"\r\n"
      "\"2026/04/02\",\"'=SUM(A1:A3)\",\"1000\",\"1080\"\r\n"_sj,
      ReadBytes(b.dir / "g.csv"));

  // saved again on Linux: LF line ends, quotes only where needed
  WriteBytes(b.dir / "lf.csv",
             "年月日,品目,金額,メモ\n2026/04/01,返品,-500,\"行1\n行2\"\n2026/04/03,本,1500,\n"_sj);
  r = Jbx("csv --header " + b.dir / "lf.csv");
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ(3, std::count(r.out.begin(), r.out.end(), '\n')) << r.out;
  EXPECT_NE(std::string::npos, r.err.find("行末: LF")) << r.err;
  r = Jbx("import " + b.base + "--division kakei2 " + b.dir / "lf.csv");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(0u, r.out.find("added\t2\n")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("line-ends\tLF\n")) << r.out;
  const std::string got = b.Select("kakei2", "DAT004,MEM001");
  EXPECT_NE(std::string::npos, got.find("-500\t行1\\r\\n行2"))
      << "a LF inside quotes is still CR LF: " << got;

  // the same file in UTF-8 without its mark: the hint names the option
  WriteBytes(b.dir / "u8.csv", "年月日,品目\n2026/04/01,返品\n");
  r = Jbx("import " + b.base + "--division kakei2 " + b.dir / "u8.csv");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("UTF-8で書かれているようです。--utf8 を付けてください")) << r.err;
  r = Jbx("csv " + b.dir / "u8.csv");
  EXPECT_NE(std::string::npos, r.err.find("--utf8 を付けてください")) << r.err;
  EXPECT_EQ(0, Jbx("import " + b.base + "--division kakei2 --utf8 " + b.dir / "u8.csv").status);
}

TEST(JbxExchange, RefusedImportsChangeNothing) {
  Books b;
  ASSERT_EQ(0, Jbx("add " + b.base + "--division kakei --date 2026/03/02 品目=keep").status);
  const std::string before = b.Select("kakei", "キー項目,行連番,DAT001");
  WriteBytes(b.dir / "bad.csv", "年月日,品目\r\n2026/03/05,ok\r\n2026/02/30,bad\r\n"_sj);
  RunResult r = Jbx("import " + b.base + "--division kakei " + b.dir / "bad.csv");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("3レコード目でエラーが発生しました。")) << r.err;
  EXPECT_NE(std::string::npos, r.err.find("【年月日】は不正な日付です。")) << r.err;
  EXPECT_EQ(before, b.Select("kakei", "キー項目,行連番,DAT001"));

  // the notebook's screen has 30 lines a page
  WriteBytes(b.dir / "page.csv", "ページ,行番号,見出し\r\n1,31,x\r\n"_sj);
  r = Jbx("import " + b.base + "--division note " + b.dir / "page.csv");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("1から30までです。")) << r.err;
  EXPECT_TRUE(fileops::List(b.root + "/u/note", "dt*.jdt").empty());
}

TEST(JbxExchange, TheReaderAlone) {
  TempDir dir;
  WriteBytes(dir / "a.csv", "a,\"b\"\"c\"\r\n\x95\x5C,\"x\r\ny\"\r\n\"open");
  RunResult r = Jbx("csv " + dir / "a.csv");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("[\"a\",\"b\\\"c\"]\n[\"表\",\"x\\r\\ny\"]\n", r.out) << "the records before the error";
  EXPECT_NE(std::string::npos, r.err.find("3レコード目でエラーが発生しました。")) << r.err;
  WriteBytes(dir / "h.csv", "\xEF\xBB\xBFname,n\r\n\xE8\xA1\xA8,1\r\n");
  r = Jbx("csv --header " + dir / "h.csv");
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("[\"name\",\"n\"]\n[\"表\",\"1\"]\n", r.out);
  r = Jbx("csv " + dir / "none.csv");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("ファイルが見つかりません")) << r.err;
}

TEST(JbxExchange, AScheduleGoesToACalendarAndComesBackOnce) {
  Books b;
  ASSERT_TRUE(MakeBooks(b.root, {{"PK2_スケジュール", "yotei"}, {"PK2_スケジュール", "yotei2"}}));
  ASSERT_EQ(0, Jbx("add " + b.base +
                   "--division yotei --date 2027/03/01 TIME_F=09:30 TIME_T=10:00 DAT001=本社 "
                   "\"MEM001=$(printf '会議\\r\\n資料')\"")
                   .status);
  ASSERT_EQ(0, Jbx("add " + b.base + "--division yotei --date 2027/03/02 MEM001=休み").status);
  RunResult r = Jbx("ics export " + b.base + "--division yotei --zone Asia/Tokyo " + b.dir / "y.ics");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("file\t" + b.dir / "y.ics" + "\nevents\t2\nalarms\t0\n", r.out);
  const std::string import = "ics import " + b.base +
                             "--division yotei2 --zone Asia/Tokyo --from 2027/01/01 "
                             "--to 2027/12/31 " +
                             b.dir / "y.ics";
  for (const char* expected : {"added\t2\nupdated\t0\n", "added\t0\nupdated\t2\n"}) {
    r = Jbx(import);
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find(expected)) << r.out;
  }
  const std::string columns = "キー項目,TIME_F,TIME_T,DAT001,MEM001";
  EXPECT_EQ(b.Select("yotei", columns), b.Select("yotei2", columns));
  // usage errors are told before anything is opened
  for (const char* bad : {"ics ", "ics send x.ics ", "ics export --zone Mars/Base x.ics ",
                          "ics export --from 2027/01/01 x.ics ", "ics export --map start=- x.ics "}) {
    r = Jbx(std::string(bad) + b.base + "--division yotei");
    EXPECT_EQ(2, r.status) << bad;
  }
}
