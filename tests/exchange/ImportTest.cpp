// The import model: the checking pass that refuses hostile files before
// anything changes, the writing pass that changes every file or none, the
// day's safety copy, and exports that come back without loss.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "exchange/BookFixture.h"
#include "exchange/CMyExport.h"
#include "exchange/CMyImport.h"

using bookfix::Book;

namespace {

ImportOptions Quiet(const std::string& path, bool replace = false) {
  ImportOptions o;
  o.path = path;
  o.replaceAll = replace;
  o.interactive = false;
  o.remember = false;
  return o;
}

int Import(Book& b, const std::string& path, bool replace = false, ImportResult* r = nullptr) {
  ExchangeBook eb = b.Exchange();
  return CMyImport(eb, b.prompter, b.clock).Run(Quiet(path, replace), r);
}

int ExportAll(Book& b, const std::string& path, CsvEncoding enc = CsvEncoding::kShiftJis,
              bool guard = false) {
  ExchangeBook eb = b.Exchange();
  CMyExport ex(eb, b.prompter);
  ExportOptions o;
  o.path = path;
  o.columns = ex.StandardColumns();
  o.encoding = enc;
  o.formulaGuard = guard;
  o.interactive = false;
  return ex.Run(o);
}

std::string Sj(const char* utf8) { return cp932::FromUtf8(utf8); }

// A memo that holds everything that could go wrong on the way through a
// CSV file: quotes, commas, CR LF, "<BR>", characters whose second byte is
// "\" or "|", a line of 500 bytes.
std::string HardMemo(int n) {
  std::string m =
      Sj("「引用」\"q\" a,b,c\r\n<BR>表ソポ\\|\r\n") + std::string(500, static_cast<char>('a' + n % 26));
  if (n % 2) m += "\r\n";
  return m;
}

void FillDiary(Book& b) {
  for (int i = 0; i < 40; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "2025/%02d/%02d", 1 + i % 12, 1 + (i * 7) % 28);
    ASSERT_TRUE(b.Add(date,
                      {{"品目", i % 3 ? "お茶" : "=SUM(A1)"},
                       {"分類", "食費"},
                       {"金額", std::to_string(100 * i)},
                       {"税率", "0.08"},
                       {"時刻", i % 4 ? "" : "25:30"},
                       {"!メモ", HardMemo(i)},
                       {"写真", i % 5 ? "" : "/photos/IMG_0001.JPG"}},
                      i % 2 == 0))
        << date;
  }
}

}  // namespace

TEST(CMyImport, ExportThenImportGivesTheSameRecords) {
  struct Case {
    const char* name;
    CsvEncoding encoding;
    bool guard;
  } cases[] = {
      {"Shift-JIS", CsvEncoding::kShiftJis, false},
      {"UTF-8", CsvEncoding::kUtf8, false},
      {"with the formula guard", CsvEncoding::kShiftJis, true},
  };
  for (const Case& c : cases) {
    Book from;
    FillDiary(from);
    ASSERT_EQ(CMyExport::kOk, ExportAll(from, from.dir / "all.csv", c.encoding, c.guard)) << c.name;
    Book to;
    ASSERT_TRUE(to.Add("2024/01/01", {{"品目", "replaced"}}));
    ExchangeBook eb = to.Exchange();
    ImportOptions o = Quiet(from.dir / "all.csv", true);
    o.encoding = c.encoding == CsvEncoding::kUtf8 ? CsvEncoding::kShiftJis : c.encoding;  // the BOM decides
    o.formulaGuard = c.guard;
    ImportResult r;
    ASSERT_EQ(CMyImport::kOk, CMyImport(eb, to.prompter, to.clock).Run(o, &r))
        << c.name << ": " << (to.prompter.Shown().empty() ? "" : to.prompter.ShownUtf8().back());
    EXPECT_EQ(40, r.added);
    EXPECT_EQ(1, r.deleted);
    EXPECT_EQ(from.Records(false), to.Records(false)) << c.name;
    EXPECT_EQ(from.Records(false), to.OnDisk(false)) << c.name << ": what is in memory is on disk";
    EXPECT_TRUE(to.prompter.Shown().empty()) << c.name;
  }
}

TEST(CMyImport, AddingKeepsRecordsAndTakesTheNextSerials) {
  Book b;
  ASSERT_TRUE(b.Add("2026/03/01", {{"品目", "old"}}));
  WriteBytes(
      b.dir / "in.csv",
      Sj("年月日,品目,メモ\r\n2026/3/1,new,\"a\r\nb\"\r\n2026/04/02,x,\"a\r\nb\r\n\"\r\n2026/04/03,,\r\n"));
  ImportResult r;
  ASSERT_EQ(CMyImport::kOk, Import(b, b.dir / "in.csv", false, &r));
  EXPECT_EQ(2, r.added);
  EXPECT_EQ(1, r.skipped) << "a line with only its date";
  auto recs = b.OnDisk();
  ASSERT_EQ(3u, recs.size());
  EXPECT_EQ("old", recs[0][memo::kDat001]);
  EXPECT_EQ("00002", recs[1][memo::kLineSerial]) << "after the record already on that date";
  EXPECT_EQ("new", recs[1][memo::kDat001]);
  EXPECT_EQ("1", recs[1][memo::kWeekday]) << "2026/03/01 is a Sunday";
  EXPECT_EQ("0", recs[1][memo::kKubun]);
  EXPECT_EQ("1", recs[1][memo::kNoData]);
  EXPECT_EQ("2", recs[1][memo::kMem001L]);
  EXPECT_EQ("2", recs[2][memo::kMem001L]) << "a final line break starts no line";
  EXPECT_EQ("00001", recs[2][memo::kLineSerial]);
  EXPECT_EQ("2026/03/14", recs[2][memo::kUpdated]) << "without the column: today";
  EXPECT_EQ("2026/03/14", recs[2][memo::kCreated]);
  EXPECT_TRUE(fileops::IsFile(b.Path("dt202604.jdt")));

  // a file with only its header imports nothing and succeeds
  WriteBytes(b.dir / "empty.csv", Sj("年月日,品目\r\n"));
  const auto before = b.Files();
  EXPECT_EQ(CMyImport::kOk, Import(b, b.dir / "empty.csv"));
  EXPECT_EQ(before, b.Files());
}

TEST(CMyImport, HostileFilesAreRefusedBeforeAnythingChanges) {
  std::string random;
  uint32_t x = 12345;
  for (int i = 0; i < 5000; ++i) random += static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  std::string cols300 = Sj("年月日");
  for (int i = 1; i < 300; ++i) cols300 += ",c" + std::to_string(i);
  struct Case {
    const char* name;
    std::string bytes;
    bool page;
    int code;
    const char* message;  // part of the last message shown
  } cases[] = {
      {"random bytes", random, false, CMyImport::kOpenFailed, ""},
      {"an unknown column", Sj("年月日,品目,色\r\n"), false, CMyImport::kOpenFailed,
       "フィールド【色】は定義出来ません。"},
      {"300 columns", cols300 + "\r\n", false, CMyImport::kOpenFailed, "フィールド数をオーバーしました。"},
      {"no key column", Sj("品目\r\nx\r\n"), false, CMyImport::kMissingKey, "年月日は必須項目です。"},
      {"no line column", Sj("ページ,見出し\r\n1,x\r\n"), true, CMyImport::kMissingKey,
       "ページと行番号は必須項目です。"},
      {"a column twice", Sj("年月日,品目,品目\r\n"), false, CMyImport::kOpenFailed,
       "フィールド【品目】が重複しています。"},
      {"a quote never closed", Sj("年月日,メモ\r\n2026/03/01,ok\r\n2026/03/02,\"cut"), false,
       CMyImport::kCheckFailed,
       "3レコード目でエラーが発生しました。\n【メモ】の引用符が閉じないままファイルが終わりました。"},
      {"a 10 MB field", Sj("年月日,メモ\r\n2026/03/01,\"") + std::string(10 << 20, 'x') + "\"\r\n", false,
       CMyImport::kCheckFailed, "2レコード目でエラーが発生しました。\n【メモ】のサイズがオーバーしました。"},
      {"line number 0", Sj("ページ,行番号,見出し\r\n1,1,a\r\n1,0,b\r\n"), true, CMyImport::kCheckFailed,
       "3レコード目でエラーが発生しました。\n行番号がオーバーしました。1から30までです。"},
      {"line number past the page", Sj("ページ,行番号,見出し\r\n1,31,b\r\n"), true, CMyImport::kCheckFailed,
       "行番号がオーバーしました。1から30までです。"},
      {"page 0", Sj("ページ,行番号,見出し\r\n0,1,b\r\n"), true, CMyImport::kCheckFailed,
       "ページがオーバーしました。"},
      {"no such day", Sj("年月日,品目\r\n2026/02/30,x\r\n"), false, CMyImport::kCheckFailed,
       "【年月日】は不正な日付です。"},
      {"a date missing", Sj("年月日,品目\r\n,x\r\n"), false, CMyImport::kCheckFailed,
       "【年月日】は必須項目です。"},
      {"not a number", Sj("年月日,金額\r\n2026/03/01,12円\r\n"), false, CMyImport::kCheckFailed,
       "【金額】は不正な数値です。"},
      {"a picture that is no JPEG", Sj("年月日,写真\r\n2026/03/01,x.png\r\n"), false, CMyImport::kCheckFailed,
       "2レコード目でエラーが発生しました。\n画像ファイルにJPG以外が指定されました。"},
      {"UTF-8 read as Shift-JIS", "\xEF\xBB\xBF" + std::string("x"), false, CMyImport::kOpenFailed, ""},
      {"UTF-8 without its mark", "\xE5\xB9\xB4\xE6\x9C\x88\xE6\x97\xA5\r\n", false, CMyImport::kOpenFailed,
       "UTF-8で書かれているようです。文字コードに「UTF-8 (BOM付き)」を選んでください。"},
      {"a header name across lines", Sj("年月日,\"金\r\n額\"\r\n"), false, CMyImport::kOpenFailed,
       "フィールド【金(改行)額】は定義出来ません。"},
      {"a character Shift-JIS cannot hold",
       "\xEF\xBB\xBF\xE5\xB9\xB4\xE6\x9C\x88\xE6\x97\xA5,\xE5\x93\x81\xE7\x9B\xAE\r\n2026/03/"
       "01,\xF0\x9F\x98\x80\r\n",
       false, CMyImport::kCheckFailed, "【品目】の文字「U+1F600」はShift-JISで表せません。"},
  };
  for (const Case& c : cases) {
    Book b(c.page);
    if (c.page)
      ASSERT_TRUE(b.Add("1/1", {{"見出し", "keep"}}));
    else
      ASSERT_TRUE(b.Add("2026/03/01", {{"品目", "keep"}}));
    const auto files = b.Files();
    const auto records = b.Records();
    WriteBytes(b.dir / "bad.csv", c.bytes);
    for (bool replace : {false, true}) {
      b.prompter.ClearShown();
      EXPECT_EQ(c.code, Import(b, b.dir / "bad.csv", replace)) << c.name;
      ASSERT_FALSE(b.prompter.Shown().empty()) << c.name;
      EXPECT_NE(std::string::npos, b.prompter.ShownUtf8().back().find(c.message))
          << c.name << ": " << b.prompter.ShownUtf8().back();
      EXPECT_EQ(files, b.Files()) << c.name;
      EXPECT_EQ(records, b.Records()) << c.name;
    }
  }
}

TEST(CMyImport, PicturesInCapitalsAndEmptyLines) {
  Book b;
  WriteBytes(b.dir / "in.csv", Sj("年月日,写真,品目\r\n2026/03/01,/p/A.JPG,\r\n\r\n,,\r\n2026/03/02,,x\r\n"));
  ImportResult r;
  ASSERT_EQ(CMyImport::kOk, Import(b, b.dir / "in.csv", false, &r));
  EXPECT_EQ(2, r.added);
  EXPECT_EQ(2, r.skipped) << "lines without any value are skipped, not refused";
  EXPECT_EQ("/p/A.JPG", b.OnDisk()[0][memo::kImg001]);
}

TEST(CMyImport, QuestionsAndThePreview) {
  Book b;
  ASSERT_TRUE(b.Add("2026/03/01", {{"品目", "keep"}}));
  ASSERT_TRUE(b.Add("2026/03/02", {{"品目", "keep"}}));
  WriteBytes(b.dir / "in.csv", Sj("年月日,品目\r\n2026/03/05,a\r\n2026/03/06,\r\n"));
  const auto files = b.Files();
  ExchangeBook eb = b.Exchange();
  CMyImport im(eb, b.prompter, b.clock);
  ImportOptions o = Quiet(b.dir / "in.csv", true);
  o.interactive = true;
  o.remember = true;
  struct Case {
    std::vector<int> answers;
    size_t shown;  // boxes until it stopped
  } cases[] = {{{kAnswerNo}, 1}, {{kAnswerYes, kAnswerNo}, 2}, {{kAnswerYes, kAnswerYes, kAnswerCancel}, 3}};
  for (const Case& c : cases) {
    b.prompter.ClearShown();
    for (int a : c.answers) b.prompter.Queue(a);
    EXPECT_EQ(CMyImport::kCancelled, im.Run(o));
    ASSERT_EQ(c.shown, b.prompter.Shown().size());
    EXPECT_EQ(files, b.Files());
  }
  auto shown = b.prompter.ShownUtf8();
  EXPECT_EQ("データを取り込みます。よろしいですか？", shown[0]);
  EXPECT_EQ("取り込み種類が「全データ入替」です。\n本当によろしいですか？", shown[1]);
  EXPECT_EQ("再確認", bookfix::Utf8(b.prompter.Shown()[1].caption));
  EXPECT_EQ(kAnswerNo, b.prompter.Shown()[1].defaultButton);
  EXPECT_EQ(
      "追加: 1件 / 空行のため読み飛ばし: 1件 (全データ入替: 既存 2件を削除)\n行末: CR "
      "LF\nこの内容で取り込みますか？",
      shown[2]);
  EXPECT_EQ(PromptButtons::OkCancel, b.prompter.Shown()[2].buttons);

  b.prompter.ClearShown();
  ASSERT_EQ(CMyImport::kOk, im.Run(o));
  EXPECT_EQ("正常にインポートしました。", b.prompter.ShownUtf8().back());
  EXPECT_EQ("ひとこと帳", bookfix::Utf8(b.prompter.Shown().back().caption));
  ASSERT_EQ(1u, b.OnDisk().size());
  EXPECT_EQ("a", b.OnDisk()[0][memo::kDat001]);
  // the path and the mode are kept for the next time
  ImportOptions last = im.LastOptions();
  EXPECT_EQ(b.dir / "in.csv", last.path);
  EXPECT_TRUE(last.replaceAll);
}

TEST(CMyImport, ReplacingEverythingRemovesMonthsTheFileDoesNotHave) {
  Book b;
  ASSERT_TRUE(b.Add("2025/01/01", {{"品目", "gone"}}));
  ASSERT_TRUE(b.Add("2026/03/01", {{"品目", "gone too"}}));
  WriteBytes(b.dir / "in.csv", Sj("年月日,品目\r\n2026/03/01,new\r\n"));
  ASSERT_EQ(CMyImport::kOk, Import(b, b.dir / "in.csv", true));
  EXPECT_EQ((std::vector<std::string>{"dt202603.jdt"}), fileops::List(b.Div(), "dt*.jdt"));
  ASSERT_EQ(1u, b.OnDisk().size());
  EXPECT_EQ("00001", b.OnDisk()[0][memo::kLineSerial]) << "serials start again";
  EXPECT_EQ("new", b.OnDisk()[0][memo::kDat001]);
  // a header alone replaces everything with nothing
  WriteBytes(b.dir / "none.csv", Sj("年月日\r\n"));
  ASSERT_EQ(CMyImport::kOk, Import(b, b.dir / "none.csv", true));
  EXPECT_TRUE(b.OnDisk().empty());
  EXPECT_TRUE(fileops::List(b.Div(), "*.before-import*").empty());
}

TEST(CMyImport, TheSafetyCopyIsWrittenOnceADayAndImportsBack) {
  Book b;
  FillDiary(b);
  const auto original = b.Records(false);
  // a second book object on the same files, as after a fresh start: only
  // one month is loaded when the import begins
  Book again;
  {
    for (const auto& [name, bytes] : exfix::Tree(b.Div())) WriteBytes(again.Path(name), bytes);
    (void)again.periods.LoadTable();
    const std::string m = "202501";
    again.periods.LoadPeriods(m, m);
  }
  WriteBytes(again.dir / "one.csv", Sj("年月日,品目\r\n2026/03/01,added\r\n"));
  ImportResult r;
  ASSERT_EQ(CMyImport::kOk, Import(again, again.dir / "one.csv", false, &r));
  EXPECT_TRUE(r.safetyCopyWritten);
  EXPECT_EQ(again.Path("BK20260314.csv"), r.safetyCopy);
  const std::string copy = ReadBytes(r.safetyCopy);
  EXPECT_EQ(0u, copy.find(Sj("\"年月日\",\"品目\",\"分類\",\"金額\",\"税率\",\"時刻\",\"メモ\",\"写真\","
                             "\"テキスト色\",\"背景色\","
                             "\"更新日\",\"登録日\"\r\n")));
  // the same day again: the copy stays as it was
  ASSERT_EQ(CMyImport::kOk, Import(again, again.dir / "one.csv", false, &r));
  EXPECT_FALSE(r.safetyCopyWritten);
  EXPECT_EQ(copy, ReadBytes(r.safetyCopy));
  // and it brings back every month, also those not loaded at the time
  ASSERT_EQ(CMyImport::kOk, Import(again, again.Path("BK20260314.csv"), true));
  EXPECT_EQ(original, again.OnDisk(false));
}

TEST(CMyImport, AFailureWhileWritingLeavesEveryFileAsItWas) {
  // Three months with records, a file that adds to two of them and to a new
  // one; every write of the import fails in turn.
  for (fileops::Fault fault : {fileops::Fault::kRename, fileops::Fault::kWrite, fileops::Fault::kFsync}) {
    for (bool replace : {false, true}) {
      for (int nth = 1;; ++nth) {
        Book b;
        ASSERT_TRUE(b.Add("2026/01/10", {{"品目", "a"}}));
        ASSERT_TRUE(b.Add("2026/02/10", {{"品目", "b"}}));
        ASSERT_TRUE(b.Add("2026/03/10", {{"品目", "c"}}));
        WriteBytes(b.dir / "in.csv", Sj("年月日,品目\r\n2026/01/11,x\r\n2026/03/11,y\r\n2026/05/01,z\r\n"));
        WriteBytes(b.Path("BK20260314.csv"), "made earlier");  // the safety copy takes no write
        const auto files = b.Files();
        const auto records = b.Records();
        fileops::InjectFault(fault, nth);
        ImportResult r;
        const int rc = Import(b, b.dir / "in.csv", replace, &r);
        fileops::ClearFaults();
        if (rc == CMyImport::kOk) {
          EXPECT_GT(nth, 2) << "the fault was never reached";
          EXPECT_EQ(replace ? 3u : 6u, b.OnDisk().size());
          break;
        }
        EXPECT_EQ(CMyImport::kSaveFailed, rc) << nth;
        EXPECT_EQ(files, b.Files()) << "fault " << static_cast<int>(fault) << " at write " << nth;
        EXPECT_EQ(records, b.Records()) << "the table follows the files back";
        EXPECT_EQ("取り込みを取り止めました。データは取り込む前のままです。", b.prompter.ShownUtf8().back());
        ASSERT_LT(nth, 20);
      }
    }
  }
}

TEST(CMyImport, ACrashAtAnyRenameLeavesTheBookAsItWasOrAsImported) {
  std::set<std::string> seen;
  for (int nth = 1; nth <= 8; ++nth) {
    SCOPED_TRACE(nth);
    Book b;
    ASSERT_TRUE(b.Add("2026/01/10", {{"品目", "a"}}));
    ASSERT_TRUE(b.Add("2026/02/10", {{"品目", "b"}}));
    ASSERT_TRUE(b.Add("2026/03/10", {{"品目", "c"}}));
    WriteBytes(b.dir / "in.csv", Sj("年月日,品目\r\n2026/01/11,x\r\n2026/05/01,z\r\n"));
    WriteBytes(b.Path("BK20260314.csv"), "made earlier");
    const auto before = b.OnDisk();
    const pid_t pid = ::fork();
    if (pid == 0) {
      fileops::InjectCrash(fileops::Fault::kRename, nth);
      ::_exit(Import(b, b.dir / "in.csv", true) == CMyImport::kOk ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 70 || WEXITSTATUS(status) == 0));
    // the next opening finishes what the journal names
    std::vector<std::string> done;
    ASSERT_TRUE(fileops::RecoverFolder(b.Div(), done));
    const auto after = b.OnDisk();
    if (after == before) {
      seen.insert("old");
    } else {
      seen.insert("new");
      ASSERT_EQ(2u, after.size());
      EXPECT_EQ((std::vector<std::string>{"dt202601.jdt", "dt202605.jdt"}),
                fileops::List(b.Div(), "dt*.jdt"));
    }
  }
  EXPECT_EQ((std::set<std::string>{"new", "old"}), seen);
}
