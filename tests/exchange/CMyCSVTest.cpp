// The CSV reader's dialect, its checks by definition, its encodings and the
// writer's rules, on files written byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "exchange/CMyCSV.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

namespace {

using Records = std::vector<std::vector<std::string>>;

struct Reader {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 3, 14}};
  CMyCSV csv{prompter, clock};
  std::string path = dir / "in.csv";
  int error = 0;          // the first ReadRecord error, 0 none
  int errorRecord = 0;    // RecordsRead() at that error
  std::string errorText;  // UTF-8

  // Reads the whole file, going on after record errors.
  Records ReadAll(const std::string& bytes, bool header = false) {
    WriteBytes(path, bytes);
    Records out;
    if (csv.Open(path, header) != 0) {
      errorText = cp932::ToUtf8(csv.ErrorText());
      return out;
    }
    for (int guard = 0; guard < 100000; ++guard) {
      int n = csv.ReadRecord();
      if (n == 0) break;
      if (n < 0) {
        if (!error) {
          error = n;
          errorRecord = csv.RecordsRead();
          errorText = cp932::ToUtf8(csv.ErrorText());
        }
        out.push_back({"<error>"});
        continue;
      }
      std::vector<std::string> rec;
      for (int c = 0; c < n; ++c) rec.push_back(csv.Value(c));
      out.push_back(rec);
    }
    return out;
  }
};

TEST(CMyCSV, TheDialect) {
  struct Case {
    const char* name;
    std::string bytes;
    Records want;
    CsvLineEnds ends = CsvLineEnds::kCrLf;
  } cases[] = {
      {"plain", "a,b,c\r\n", {{"a", "b", "c"}}},
      {"two quotes are one", "\"a\"\"b\",c\r\n", {{"a\"b", "c"}}},
      {"quotes switch on and off mid-field", "a\"b,c\"d\r\n", {{"ab,cd"}}},
      {"CR LF inside quotes", "\"x\r\ny\",z\r\n", {{"x\r\ny", "z"}}},
      {"a lone LF inside quotes is CR LF", "\"x\ny\"\r\n", {{"x\r\ny"}}},
      {"a lone CR inside quotes stays", "\"x\ry\"\r\n", {{"x\ry"}}},
      // a file without any CR outside quotes ends its lines with LF
      {"lines ended by LF alone", "a\nb,\n\nc", {{"a"}, {"b", ""}, {""}, {"c"}}, CsvLineEnds::kLf},
      {"LF lines with line breaks inside quotes",
       "a,\"x\ny\"\n\"p\r\nq\",b\n",
       {{"a", "x\r\ny"}, {"p\r\nq", "b"}},
       CsvLineEnds::kLf},
      {"CR LF lines keep a lone LF in a value", "a\nb,\"c\nd\"\r\ne\n\r\n", {{"a\nb", "c\r\nd"}, {"e\n"}}},
      {"a thousands comma splits a number", "1,234\r\n", {{"1", "234"}}},
      {"a last empty field before CR counts", "a,b,\r\n", {{"a", "b", ""}}},
      {"an empty field at the end of the file is dropped", "a,b,", {{"a", "b"}}, CsvLineEnds::kNone},
      {"a last record without CR LF", "a\r\nb", {{"a"}, {"b"}}},
      {"a blank line is one empty field", "a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
      {"only the LF after a CR is skipped", "a\rb\r\n", {{"a"}, {"b"}}, CsvLineEnds::kCr},
      {"empty quoted values", "\"\",\"\"\r\n", {{"", ""}}},
      {"nothing at all", "", {}, CsvLineEnds::kNone},
      // 表 ソ ポ end in "\" and "|"; the second byte is never a delimiter
      {"double-byte characters", "表,\"ソ\"\"ポ\",ソ|ポ\r\n"_sj, {{"表"_sj, "ソ\"ポ"_sj, "ソ|ポ"_sj}}},
  };
  for (const Case& c : cases) {
    Reader r;
    EXPECT_EQ(c.want, r.ReadAll(c.bytes)) << c.name;
    EXPECT_EQ(0, r.error) << c.name << ": " << r.errorText;
    EXPECT_EQ(c.ends, r.csv.LineEnds()) << c.name;
  }
  // the line ends are known before the first record, however far the
  // first CR is; reading goes on from the start
  std::string lf, late;
  Records lfWant;
  for (int i = 0; i < 1500; ++i) {
    lf += std::to_string(i) + ",\"x\r\ny\"\n";
    lfWant.push_back({std::to_string(i), "x\r\ny"});
    late += "\"x\ny\"\n";
  }
  Reader r;
  EXPECT_EQ(lfWant, r.ReadAll(lf));
  EXPECT_EQ(CsvLineEnds::kLf, r.csv.LineEnds());
  Reader s;
  EXPECT_EQ(2u, s.ReadAll(late + "z\r\nlast\r\n").size()) << "a CR far down: LF is data, as always";
  EXPECT_EQ(CsvLineEnds::kCrLf, s.csv.LineEnds());
}

TEST(CMyCSV, RefusedRecordsAndTheirMessages) {
  std::string cols256, cols257;
  for (int i = 0; i < 256; ++i) cols256 += (i ? "," : "") + std::to_string(i);
  cols257 = cols256 + ",x";
  struct Case {
    const char* name;
    std::string bytes;
    int code;
    const char* text;  // part of the message
  } cases[] = {
      {"257 columns", cols257 + "\r\nok\r\n", CMyCSV::kTooManyFields, "フィールド数をオーバーしました。"},
      {"a quote never closed", "a,\"b\r\nc", CMyCSV::kOpenQuote, "引用符が閉じない"},
      {"a NUL byte", std::string("a\0b\r\n", 5), CMyCSV::kBadBytes, "読めないバイト"},
      {"a lead byte without its partner", "a\x81\r\n", CMyCSV::kBadBytes, "Shift-JISとして読めない"},
      {"a field over 64 KiB", std::string(70000, 'x') + "\r\n", CMyCSV::kFieldFailed,
       "フィールドデータ取得失敗"},
  };
  for (const Case& c : cases) {
    Reader r;
    Records got = r.ReadAll(c.bytes);
    EXPECT_EQ(c.code, r.error) << c.name;
    EXPECT_NE(std::string::npos, r.errorText.find(c.text)) << c.name << ": " << r.errorText;
    EXPECT_EQ(1, r.errorRecord) << c.name;
  }
  Reader r;
  Records got = r.ReadAll(cols256 + "\r\n" + cols257 + "\r\nlast\r\n");
  ASSERT_EQ(3u, got.size());
  EXPECT_EQ(256u, got[0].size());
  EXPECT_EQ(Records::value_type{"<error>"}, got[1]);
  EXPECT_EQ(Records::value_type{"last"}, got[2]) << "the reader goes on at the next record";
  EXPECT_EQ(2, r.errorRecord);
}

TEST(CMyCSV, OpenResults) {
  Reader r;
  EXPECT_EQ(CMyCSV::kCannotOpen, r.csv.Open(r.dir / "missing.csv", true));
  EXPECT_EQ("ファイルが見つかりません。", cp932::ToUtf8(r.csv.ErrorText()));
  WriteBytes(r.path, "");
  EXPECT_EQ(CMyCSV::kNoFields, r.csv.Open(r.path, true));
  EXPECT_EQ("フィールドが存在しません。", cp932::ToUtf8(r.csv.ErrorText()));
  EXPECT_FALSE(r.csv.IsOpen());

  r.csv.UseDefinitions(true);
  ASSERT_EQ(0, r.csv.AddDefinition("MEM001", CMyCSV::kText, 0, 0, 0, 0, 7));
  WriteBytes(r.path, "mem001\r\nx\r\n");
  ASSERT_EQ(0, r.csv.Open(r.path, true)) << "header names match without ASCII case";
  EXPECT_EQ(0, r.csv.DefinitionOf(0));
  EXPECT_EQ("mem001", r.csv.ColumnName(0));
  WriteBytes(r.path, "MEM001,メモ\r\n"_sj);
  EXPECT_EQ(CMyCSV::kUndefined, r.csv.Open(r.path, true));
  EXPECT_EQ("フィールド【メモ】は定義出来ません。", cp932::ToUtf8(r.csv.ErrorText()));

  EXPECT_EQ(-1, r.csv.AddDefinition(std::string(31, 'n'), 0, 0, 0, 0, 0, 0));
  ASSERT_EQ(1u, r.prompter.Shown().size());
  EXPECT_EQ("P:フィールド名のサイズが大きい", r.prompter.ShownUtf8()[0]);
  EXPECT_EQ("エラー", cp932::ToUtf8(r.prompter.Shown()[0].caption));
}

TEST(CMyCSV, ValuesAreCheckedAndNormalisedByType) {
  struct Case {
    int type, decimals, size;
    const char* value;
    const char* want;  // the stored value, or null for `code`
    int code;
  } cases[] = {
      {CMyCSV::kInteger, 0, 0, "12", "12", 0},
      {CMyCSV::kInteger, 0, 0, "12.00", "12", 0},
      {CMyCSV::kInteger, 0, 0, "-7", "-7", 0},
      {CMyCSV::kInteger, 0, 0, "12.5", nullptr, CMyCSV::kBadNumber},  // no silent cut
      {CMyCSV::kInteger, 0, 0, "1x", nullptr, CMyCSV::kBadNumber},
      {CMyCSV::kInteger, 0, 0, "-", nullptr, CMyCSV::kBadNumber},
      {CMyCSV::kDecimal, 2, 0, "1.5", "1.50", 0},
      {CMyCSV::kDecimal, 2, 0, "3", "3.00", 0},
      {CMyCSV::kDecimal, 0, 0, "1100.0", "1100", 0},
      {CMyCSV::kDate, 0, 0, "2026/3/4", "2026/03/04", 0},
      {CMyCSV::kDate, 0, 0, "20260304", "2026/03/04", 0},
      {CMyCSV::kDate, 0, 0, "H31/04/30", "2019/04/30", 0},
      {CMyCSV::kDate, 0, 0, "3/4", "2026/03/04", 0},  // this year, from the clock
      {CMyCSV::kDate, 0, 0, "2026/02/30", nullptr, CMyCSV::kBadDate},
      {CMyCSV::kTime, 0, 0, "25:30", "25:30", 0},
      {CMyCSV::kTime, 0, 0, "0930", "09:30", 0},
      {CMyCSV::kTime, 0, 0, "9:60", nullptr, CMyCSV::kBadTime},
      {CMyCSV::kTimeOfDay, 0, 0, "9:5", "09:05", 0},
      {CMyCSV::kTimeOfDay, 0, 0, "25:30", nullptr, CMyCSV::kBadTime},
      {CMyCSV::kText, 0, 3, "abc", "abc", 0},
      {CMyCSV::kText, 0, 3, "abcd", nullptr, CMyCSV::kTooLong},
      {CMyCSV::kText, 0, 3, "表表", nullptr, CMyCSV::kTooLong},  // bytes, not characters
      {CMyCSV::kText, 0, 0, "", "", 0},
  };
  for (const Case& c : cases) {
    Reader r;
    r.csv.UseDefinitions(true);
    ASSERT_EQ(0, r.csv.AddDefinition("F", c.type, c.size, c.decimals, 0, 0, 0));
    Records got = r.ReadAll("F\r\n\"" + cp932::FromUtf8(c.value) + "\"\r\n", true);
    ASSERT_EQ(1u, got.size()) << c.value;
    if (c.want) {
      EXPECT_EQ(0, r.error) << c.value << ": " << r.errorText;
      EXPECT_EQ(cp932::FromUtf8(c.want), got[0][0]) << c.value;
    } else {
      EXPECT_EQ(c.code, r.error) << c.value;
    }
  }
  Reader r;
  r.csv.UseDefinitions(true);
  ASSERT_EQ(0, r.csv.AddDefinition("D", CMyCSV::kDate, 0, 0, 0, 0, 0));
  r.ReadAll("D\r\nx\r\n", true);
  EXPECT_EQ("【D】は不正な日付です。", r.errorText);
}

TEST(CMyCSV, RequiredColumnsAndBlankLines) {
  Reader r;
  r.csv.UseDefinitions(true);
  ASSERT_EQ(0, r.csv.AddDefinition("年月日"_sj, CMyCSV::kDate, 10, 0, 0, 1, 1));
  ASSERT_EQ(0, r.csv.AddDefinition("メモ"_sj, CMyCSV::kText, 0, 0, 0, 0, 2));
  // a short record does not reach the required column
  Records got = r.ReadAll("メモ,年月日\r\nx\r\n,\r\nx,2026/3/4\r\n"_sj, true);
  ASSERT_EQ(3u, got.size());
  EXPECT_EQ(CMyCSV::kRequired, r.error);
  EXPECT_EQ("【年月日】は必須項目です。", r.errorText);
  EXPECT_EQ(2, r.errorRecord) << "the header is record 1";
  EXPECT_EQ((std::vector<std::string>{"", ""}), got[1]) << "a line without any value is no error";
  EXPECT_EQ((std::vector<std::string>{"x", "2026/03/04"}), got[2]);
}

TEST(CMyCSV, Encodings) {
  {
    // the byte order mark decides, whatever was chosen
    Reader r;
    Records got = r.ReadAll("\xEF\xBB\xBF\xE8\xA1\xA8,\"\xEF\xBD\xB1\"\r\n");
    EXPECT_EQ(CsvEncoding::kUtf8, r.csv.FileEncoding());
    EXPECT_EQ((Records{{"表"_sj, "ｱ"_sj}}), got);
  }
  {
    Reader r;
    r.csv.SetEncoding(CsvEncoding::kUtf8);
    r.ReadAll("ok,\xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(CMyCSV::kNotShiftJis, r.error);
    EXPECT_EQ("【2列目】の文字「U+1F600」はShift-JISで表せません。", r.errorText);
  }
  {
    Reader r;
    r.csv.SetEncoding(CsvEncoding::kUtf8);
    r.ReadAll("\xE8\xA1\r\n");
    EXPECT_EQ(CMyCSV::kBadBytes, r.error);
  }
  {
    // UTF-8 read as Shift-JIS: the reader notices it looks like UTF-8
    Reader r;
    r.ReadAll("\xE6\x97\xA5\xE8\xA8\x98\r\n");
    EXPECT_TRUE(r.csv.LooksLikeUtf8());
    Reader s;
    s.ReadAll("日記,表\r\n"_sj);
    EXPECT_FALSE(s.csv.LooksLikeUtf8());
    Reader t;
    t.ReadAll("ascii only\r\n");
    EXPECT_FALSE(t.csv.LooksLikeUtf8());
  }
}

TEST(CMyCSV, FormulaGuard) {
  struct Case {
    const char* value;
    bool guarded;
  } cases[] = {
      {"=SUM(A1:A3)", true},
      {"+A1", true},
      {"-A1", true},
      {"@x", true},
      {"＝1", true},
      {"＋", true},
      {"－５００", true},
      {"＠", true},
      {"'=1", true},
      {"''-1", true},
      {"'-500", true},
      {"-", true},
      {"+.", true},
      {"-5-5", true},
      {"-1e3", true},
      {"'abc", false},
      {"abc", false},
      {"", false},
      {"'", false},
      {"表=", false},
      {"a=b", false},
      // numbers stay numbers, so the spreadsheet adds them up: refunds, a calculated 税込
      {"-500", false},
      {"+1", false},
      {"-540.0", false},
      {"-.5", false},
      {"108", false},
  };
  for (const Case& c : cases) {
    const std::string v = cp932::FromUtf8(c.value);
    EXPECT_EQ(c.guarded, CMyCSV::NeedsGuard(v)) << c.value;
    const std::string g = CMyCSV::Guard(v);
    EXPECT_EQ(c.guarded ? "'" + v : v, g) << c.value;
    EXPECT_EQ(v, CMyCSV::Unguard(g)) << c.value << ": what is guarded comes back exactly";
  }
  Reader r;
  r.csv.SetFormulaGuard(true);
  r.csv.UseDefinitions(true);
  ASSERT_EQ(0, r.csv.AddDefinition("N", CMyCSV::kInteger, 5, 0, 0, 0, 0));
  EXPECT_EQ((Records{{"-500"}, {"-5"}}), r.ReadAll("N\r\n'-500\r\n-5\r\n", true))
      << "taken off before the number check, also from a number an older export guarded";
}

TEST(CMyCSV, WriterRulesAndRoundTripAcrossBlocks) {
  EXPECT_EQ("\"a\"\"b\"", CsvWriter::Quote("a\"b"));
  EXPECT_EQ("\"\"", CsvWriter::Quote(""));
  TempDir dir;
  {
    CsvWriter w(dir / "w.csv", CsvEncoding::kShiftJis);
    ASSERT_TRUE(w.Open());
    for (const char* v : {"", "x,y", "l1\r\nl2", "\"q\""}) w.Field(v);
    w.EndRecord();
    w.Field("表");
    w.EndRecord();
    ASSERT_TRUE(w.Commit());
    EXPECT_EQ("\"\",\"x,y\",\"l1\r\nl2\",\"\"\"q\"\"\"\r\n\"表\"\r\n", ReadBytes(dir / "w.csv"));
  }
  {
    CsvWriter w(dir / "u.csv", CsvEncoding::kUtf8);
    ASSERT_TRUE(w.Open());
    w.Field("表"_sj);
    w.EndRecord();
    ASSERT_TRUE(w.Commit());
    EXPECT_EQ("\xEF\xBB\xBF\"表\"\r\n", ReadBytes(dir / "u.csv"));
  }
  // Values of every kind and length, so that characters, CR LF pairs and
  // doubled quotes fall on every position of the 2004-byte blocks.
  std::mt19937 rng(7);
  const std::vector<std::string> pieces = {"a",     ",",     "\"",   "\r\n", "表"_sj,
                                           "ソ"_sj, "ポ"_sj, "ｱ"_sj, " ",    "<BR>"};
  for (CsvEncoding enc : {CsvEncoding::kShiftJis, CsvEncoding::kUtf8}) {
    Records want;
    for (int rec = 0; rec < 300; ++rec) {
      std::vector<std::string> values;
      const int n = 1 + static_cast<int>(rng() % 5);
      for (int k = 0; k < n; ++k) {
        std::string v;
        const int len = static_cast<int>(rng() % (rec % 7 == 0 ? 900 : 12));
        for (int i = 0; i < len; ++i) v += pieces[rng() % pieces.size()];
        values.push_back(v);
      }
      want.push_back(values);
    }
    CsvWriter w(dir / "r.csv", enc);
    ASSERT_TRUE(w.Open());
    for (const auto& rec : want) {
      for (const auto& v : rec) w.Field(v);
      w.EndRecord();
    }
    ASSERT_TRUE(w.Commit());
    Reader r;
    r.csv.SetEncoding(enc);
    EXPECT_EQ(want, r.ReadAll(ReadBytes(dir / "r.csv")));
    EXPECT_EQ(0, r.error) << r.errorText;
  }
}

}  // namespace
