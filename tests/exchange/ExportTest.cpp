// The export model: columns and their order, the record and empty-row
// writers, the remembered choice in JotBoxExp.dat, questions and failures.
#include <gtest/gtest.h>

#include "exchange/BookFixture.h"
#include "exchange/CMyExport.h"
#include "store/CMyLine.h"

using bookfix::Book;

namespace {

ExportOptions Quiet(const std::string& path, std::vector<std::string> columns) {
  ExportOptions o;
  o.path = path;
  o.columns = std::move(columns);
  o.interactive = false;
  return o;
}

std::vector<std::string> Sj(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* u : utf8) out.push_back(cp932::FromUtf8(u));
  return out;
}

}  // namespace

TEST(CMyExport, StandardOrderOfTheColumnItems) {
  Book date;
  ExchangeBook b = date.Exchange();
  EXPECT_EQ(Sj({"年月日", "曜日", "品目", "分類", "金額", "税率", "時刻", "メモ", "写真", "テキスト色",
                "背景色", "更新日", "登録日"}),
            CMyExport(b, date.prompter).StandardColumns());
  Book page(true);
  ExchangeBook p = page.Exchange();
  EXPECT_EQ(Sj({"ページ", "行番号", "見出し", "本文", "テキスト色", "背景色", "更新日", "登録日"}),
            CMyExport(p, page.prompter).StandardColumns());
}

TEST(CMyExport, RecordsWithEveryKindOfColumn) {
  Book book;
  ASSERT_TRUE(book.Add("2026/03/01",
                       {{"品目", "Tea \"green\""}, {"金額", "1200"}, {"メモ", "line1\r\nline2"}}, true));
  ASSERT_TRUE(book.Add("2026/03/01", {{"品目", "=1+2"}}));
  ExchangeBook b = book.Exchange();
  CMyExport ex(b, book.prompter);
  ExportOptions o = Quiet(book.dir / "out.csv", ex.StandardColumns());
  ExportResult r;
  ASSERT_EQ(CMyExport::kOk, ex.Run(o, {}, &r));
  EXPECT_EQ(2, r.lines);
  EXPECT_EQ(cp932::FromUtf8(
                "\"年月日\",\"曜日\",\"品目\",\"分類\",\"金額\",\"税率\",\"時刻\",\"メモ\",\"写真\","
                "\"テキスト色\",\"背景色\",\"更新日\",\"登録日\"\r\n"
                "\"2026/03/01\",\"日\",\"Tea \"\"green\"\"\",\"\",\"1200\",\"\",\"\",\"line1\r\nline2\",\"\","
                "\"255\",\"\",\"2026/03/14\",\"2026/03/14\"\r\n"
                "\"2026/03/01\",\"日\",\"=1+2\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"2026/03/14\","
                "\"2026/03/14\"\r\n"),
            ReadBytes(book.dir / "out.csv"));

  // chk_Field off, memo breaks replaced, the formula guard, columns in the user's order
  o = Quiet(book.dir / "out2.csv", Sj({"メモ", "品目", "年月日"}));
  o.header = false;
  o.memoBreak = true;
  o.formulaGuard = true;
  ASSERT_EQ(CMyExport::kOk, ex.Run(o));
  EXPECT_EQ("\"line1<BR>line2\",\"Tea \"\"green\"\"\",\"2026/03/01\"\r\n\"\",\"'=1+2\",\"2026/03/01\"\r\n",
            ReadBytes(book.dir / "out2.csv"));
  EXPECT_TRUE(book.prompter.Shown().empty()) << "jbx's export shows nothing on success";
}

TEST(CMyExport, WeekdaysAndPageKeys) {
  EXPECT_EQ("日", bookfix::Utf8(exch::WeekdayText("1")));
  EXPECT_EQ("土", bookfix::Utf8(exch::WeekdayText("7")));
  EXPECT_EQ("0", exch::WeekdayText("0")) << "other values are written as they are";
  EXPECT_EQ("", exch::WeekdayText(""));
  EXPECT_EQ("a<BR>b<BR>c<BR>", exch::ReplaceBreaks("a\r\nb\rc\n", "<BR>"))
      << "no character after a CR is lost";

  Book page(true);
  ASSERT_TRUE(page.Add("12/3", {{"見出し", "h"}}));
  ExchangeBook b = page.Exchange();
  CMyExport ex(b, page.prompter);
  ASSERT_EQ(CMyExport::kOk, ex.Run(Quiet(page.dir / "p.csv", Sj({"ページ", "行番号", "見出し"}))));
  EXPECT_EQ(cp932::FromUtf8("\"ページ\",\"行番号\",\"見出し\"\r\n\"00012\",\"00003\",\"h\"\r\n"),
            ReadBytes(page.dir / "p.csv"));
}

TEST(CMyExport, ShownRowsIncludeEmptyDates) {
  Book book;
  ASSERT_TRUE(book.Add("2026/03/02", {{"品目", "x"}}));
  const int row = book.db.RecordCount() - 1;
  ExchangeBook b = book.Exchange();
  CMyExport ex(b, book.prompter);
  ExportOptions o = Quiet(book.dir / "v.csv", Sj({"年月日", "曜日", "品目"}));
  o.allData = false;
  o.header = false;
  std::vector<ShownRow> rows = {{"2026/03/01", 1, ShownRow::kNoRecord},
                                {"2026/03/02", 2, row},
                                {"2026/03/03", 3, ShownRow::kUnreachable}};
  ExportResult r;
  ASSERT_EQ(CMyExport::kOk, ex.Run(o, rows, &r));
  EXPECT_EQ(3, r.lines);
  EXPECT_EQ(cp932::FromUtf8("\"2026/03/01\",\"日\",\"\"\r\n\"2026/03/02\",\"月\",\"x\"\r\n\r\n"),
            ReadBytes(book.dir / "v.csv"));
}

TEST(CMyExport, RefusalsQuestionsAndFailures) {
  Book book;
  ASSERT_TRUE(book.Add("2026/03/02", {{"品目", "x"}}));
  ExchangeBook b = book.Exchange();
  CMyExport ex(b, book.prompter);
  const std::vector<std::string> cols = Sj({"年月日", "品目"});
  struct Case {
    ExportOptions o;
    int code;
    const char* message;
  } cases[] = {
      {Quiet("", cols), CMyExport::kNoPath, "ファイル名を入力してください。"},
      {Quiet(book.dir / "a.csv", {}), CMyExport::kNoColumns, "転送項目を選択してください。"},
      {Quiet(book.dir / "a.csv", std::vector<std::string>(100, "品目"_sj)), CMyExport::kTooManyColumns,
       "フィールド数を超えました。"},
      {Quiet(book.dir / "a.csv", Sj({"ページ"})), CMyExport::kUnknownColumn,
       "転送項目【ページ】はこの分類にありません。"},
      {Quiet(book.dir / "no/such/folder/a.csv", cols), CMyExport::kCannotCreate,
       "ファイルオープンに失敗しました。"},
  };
  for (Case& c : cases) {
    book.prompter.ClearShown();
    EXPECT_EQ(c.code, ex.Run(c.o)) << c.message;
    ASSERT_EQ(1u, book.prompter.Shown().size()) << c.message;
    EXPECT_EQ(c.message, book.prompter.ShownUtf8()[0]);
    EXPECT_EQ("注意", bookfix::Utf8(book.prompter.Shown()[0].caption));
  }
  EXPECT_FALSE(fileops::Exists(book.dir / "a.csv"));

  // the dialog asks first, and again before replacing a file
  ExportOptions o = Quiet("out", cols);
  o.interactive = true;
  book.prompter.ClearShown();
  book.prompter.Queue(kAnswerNo);
  EXPECT_EQ(CMyExport::kCancelled, ex.Run(o));
  const std::string resolved = book.global.UserPath("") + "/out.CSV";
  EXPECT_FALSE(fileops::Exists(resolved)) << "a bare name goes into the user's folder with .CSV";
  ExportResult r;
  ASSERT_EQ(CMyExport::kOk, ex.Run(o, {}, &r));
  EXPECT_EQ(resolved, r.path);
  EXPECT_EQ("正常にエクスポートされました。", book.prompter.ShownUtf8().back());
  EXPECT_EQ("ひとこと帳", bookfix::Utf8(book.prompter.Shown().back().caption));
  WriteBytes(resolved, "old");
  book.prompter.ClearShown();
  book.prompter.Queue(kAnswerYes);
  book.prompter.Queue(kAnswerNo);
  EXPECT_EQ(CMyExport::kCancelled, ex.Run(o));
  ASSERT_EQ(2u, book.prompter.Shown().size());
  EXPECT_EQ("既にファイルが存在します。上書きしてよろしいですか？", book.prompter.ShownUtf8()[1]);
  EXPECT_EQ("注意", bookfix::Utf8(book.prompter.Shown()[1].caption));
  EXPECT_EQ(kAnswerNo, book.prompter.Shown()[1].defaultButton);
  EXPECT_EQ("old", ReadBytes(resolved));

  // a write that fails leaves the old file, the choice and the last path alone
  const std::string choice = ReadBytes(book.Path("JotBoxExp.dat"));
  const std::string paths = ReadBytes(book.Path("Path.dat"));
  ASSERT_FALSE(choice.empty());
  o.interactive = false;
  o.columns = Sj({"品目"});
  for (fileops::Fault f : {fileops::Fault::kWrite, fileops::Fault::kFsync, fileops::Fault::kRename}) {
    fileops::InjectFault(f, 1);
    EXPECT_EQ(CMyExport::kWriteFailed, ex.Run(o));
    fileops::ClearFaults();
    EXPECT_EQ("old", ReadBytes(resolved));
    EXPECT_EQ(choice, ReadBytes(book.Path("JotBoxExp.dat")));
    EXPECT_EQ(paths, ReadBytes(book.Path("Path.dat")));
  }
  EXPECT_EQ(std::vector<std::string>{"out.CSV"}, fileops::List(book.global.UserPath(""), "out*"))
      << "no temporary file is left behind";
}

TEST(CMyExport, TheRememberedChoice) {
  Book book;
  ExchangeBook b = book.Exchange();
  CMyExport ex(b, book.prompter);
  // no file: everything exported, the default options
  ExportChoice c = ex.LoadChoice();
  EXPECT_EQ(ex.StandardColumns(), c.options.columns);
  EXPECT_TRUE(c.from.empty());
  EXPECT_TRUE(c.options.allData);
  EXPECT_TRUE(c.options.header);
  EXPECT_FALSE(c.options.memoBreak);
  EXPECT_EQ("<BR>", c.options.memoBreakText);

  ExportOptions o = Quiet(book.dir / "x.csv", Sj({"メモ", "年月日"}));
  o.memoBreak = true;
  o.memoBreakText = "//";
  o.allData = true;
  o.header = false;
  o.encoding = CsvEncoding::kUtf8;
  ASSERT_EQ(CMyExport::kOk, ex.Run(o));
  EXPECT_EQ(cp932::FromUtf8("2\r\n110100000000000000000000000000000000\r\n//\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                            "メモ\r\n年月日\r\n"),
            ReadBytes(book.Path("JotBoxExp.dat")));
  c = ex.LoadChoice();
  EXPECT_EQ(Sj({"メモ", "年月日"}), c.options.columns);
  EXPECT_EQ(Sj({"曜日", "品目", "分類", "金額", "税率", "時刻", "写真", "テキスト色", "背景色", "更新日",
                "登録日"}),
            c.from);
  EXPECT_TRUE(c.options.memoBreak && c.options.allData && !c.options.header);
  EXPECT_EQ(CsvEncoding::kUtf8, c.options.encoding);
  EXPECT_EQ("//", c.options.memoBreakText);
  EXPECT_EQ(book.dir / "x.csv", c.options.path);

  // a caption no longer on the screen is dropped; a new field waits in lst_From
  WriteBytes(book.Path("JotBoxExp.dat"),
             cp932::FromUtf8("3\r\n011\r\n<BR>\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n旧項目\r\n品目\r\n品目\r\n"));
  c = ex.LoadChoice();
  EXPECT_EQ(Sj({"品目"}), c.options.columns);
  EXPECT_EQ(ex.StandardColumns().size() - 1, c.from.size());
  EXPECT_EQ("年月日"_sj, c.from.front());
  // without the flag line every option is off and the shown rows are chosen
  WriteBytes(book.Path("JotBoxExp.dat"), "0\r\n");
  c = ex.LoadChoice();
  EXPECT_FALSE(c.options.allData || c.options.header || c.options.memoBreak);
  EXPECT_TRUE(c.options.columns.empty());
}

TEST(CMyExport, TheTwoListsAndTheirButtons) {
  CountingBeeper beeper;
  const std::vector<std::string> all = {"a", "b", "c", "d"};
  ExportColumnLists l(all, beeper);
  l.Set({"a", "b"}, {"c", "d"});
  EXPECT_EQ(2, l.Right(0));
  EXPECT_EQ((std::vector<std::string>{"c", "d", "a"}), l.To());
  EXPECT_EQ(1, l.Left(0));
  EXPECT_EQ((std::vector<std::string>{"b", "c"}), l.From());
  EXPECT_EQ(0, l.Up(1));
  EXPECT_EQ((std::vector<std::string>{"a", "d"}), l.To());
  EXPECT_EQ(1, l.Down(0));
  EXPECT_EQ((std::vector<std::string>{"d", "a"}), l.To());
  EXPECT_EQ(0, beeper.Count());
  // at either end, or without a selection: a beep and nothing moves
  EXPECT_EQ(-1, l.Up(0));
  EXPECT_EQ(-1, l.Down(1));
  EXPECT_EQ(-1, l.Up(-1));
  EXPECT_EQ(-1, l.Right(5));
  EXPECT_EQ(-1, l.Left(-1));
  EXPECT_EQ(5, beeper.Count());
  EXPECT_EQ((std::vector<std::string>{"d", "a"}), l.To());
  l.RightAll();
  EXPECT_EQ(all, l.To());
  EXPECT_TRUE(l.From().empty());
  l.LeftAll();
  EXPECT_EQ(all, l.From());
  EXPECT_TRUE(l.To().empty());
}
