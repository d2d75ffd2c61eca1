#include <gtest/gtest.h>

#include <cstring>

#include "StoreTestUtil.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "support/TempDir.h"

namespace {

constexpr int T = fielddef::kTypeText;
constexpr int N = fielddef::kTypeNumber;

std::string Hex(std::string_view b) {
  std::string out;
  char buf[4];
  for (unsigned char c : b) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

class CMyDBTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.SetPrompter(&prompter);
    ASSERT_EQ(0, DefineFields(db, {{"A", T, 5}, {"B", T, 5}, {"C", T, 5}}));
  }
  ScriptedPrompter prompter;
  CMyDB db;
  TempDir dir;
};

TEST(CMyFieldTest, AddValidatesEachDefinition) {
  struct Case {
    const char* name;
    int type;
    int maxLength;
    int flag;
    int code;
  } cases[] = {
      {"text", T, 5000, 0, 0},   {"num", N, 9, 1, 0},        {"badtype", 2, 5, 0, 400},
      {"long", T, 5001, 0, 401}, {"longnum", N, 10, 0, 401}, {"neg", T, -1, 0, 401},
      {"flag", T, 5, 2, 402},    {"TEXT", T, 5, 0, 200},     {"Num", N, 3, 0, 200},
  };
  CMyField f;
  for (const auto& c : cases) {
    FieldDef d;
    d.name = c.name;
    d.type = c.type;
    d.maxLength = c.maxLength;
    d.flag = c.flag;
    EXPECT_EQ(c.code, f.Add(d)) << c.name;
  }
  EXPECT_EQ(2, f.Count());
}

TEST(CMyFieldTest, DefinitionEncodesAtFixedOffsets) {
  FieldDef d;
  d.name = "キー項目"_sj;
  d.alias = "key";
  d.type = N;
  d.maxLength = 9;
  d.flag = 1;
  char b[fielddef::kSize];
  std::memset(b, 0x55, sizeof b);
  d.Encode(b);
  EXPECT_EQ(d.name, std::string(b));
  EXPECT_EQ("key", std::string(b + 31));
  EXPECT_EQ(1, le::GetI32(b + 80));
  EXPECT_EQ(9, le::GetI32(b + 84));
  EXPECT_EQ(1, le::GetI32(b + 88));
  for (int i : {61, 79, 92, 111, 112, 115}) EXPECT_EQ(0, b[i]) << i;
  FieldDef back = FieldDef::Decode(b);
  EXPECT_EQ(d.name, back.name);
  EXPECT_EQ("key", back.alias);
  EXPECT_EQ(9, back.maxLength);
  // A name that fills its field without a NUL is cut to 30 bytes.
  std::memset(b, 'x', 31);
  EXPECT_EQ(30u, FieldDef::Decode(b).name.size());
}

TEST_F(CMyDBTest, StoresTheDocumentedRecordAndFileBytes) {
  ASSERT_EQ(0, AddRecord(db, {"A", "", "xyz"}));
  EXPECT_EQ("00 07 00 09 00 0A 00 41 00 00 78 79 7A 00", Hex(db.RecordBytes(0)));

  std::string path = dir / "t.jdt";
  ASSERT_EQ(0, db.WriteFile(path));
  std::string file = ReadBytes(path);
  std::string expect;
  le::AppendI32(expect, 0);
  le::AppendI32(expect, 3);
  char def[fielddef::kSize];
  for (int i = 0; i < 3; ++i) {
    db.Fields()[i].Encode(def);
    expect.append(def, sizeof def);
  }
  le::AppendI32(expect, 0);
  le::AppendI32(expect, 0);
  le::AppendI32(expect, 15);
  expect.append(db.RecordBytes(0));
  expect.push_back('\0');
  le::AppendI32(expect, 0);
  EXPECT_EQ(Hex(expect), Hex(file));

  CMyDB back;
  ASSERT_EQ(0, back.ReadFile(path, true));
  ASSERT_EQ(3, back.FieldCount());
  EXPECT_EQ("B", back.Fields()[1].name);
  EXPECT_EQ(db.RecordBytes(0), back.RecordBytes(0));
}

TEST_F(CMyDBTest, SetValueRefusals) {
  ASSERT_EQ(0, DefineFields(db, {{"T", T, 5}, {"N", N, 4}}));
  struct Case {
    int field;
    const char* text;
    int code;
  } cases[] = {
      {0, "12345", 0}, {0, "123456", 100}, {1, "", 0},     {1, "0042", 0}, {1, "-1", 101},
      {1, "1.5", 101}, {1, "12345", 100},  {-1, "x", 202}, {2, "x", 50},   {-5, "x", 50},
  };
  for (const auto& c : cases) EXPECT_EQ(c.code, db.SetValue(c.field, c.text)) << c.field << " " << c.text;
  // A refused value leaves the old one.
  EXPECT_STREQ("12345", db.EditValue(0));
  EXPECT_STREQ("0042", db.EditValue(1));
  EXPECT_EQ(50, db.SetValueByName("missing", "x"));
  EXPECT_EQ(0, db.SetValueByName("t", "ab"));
  EXPECT_STREQ("ab", db.EditValue(0));
}

TEST_F(CMyDBTest, FieldsAndAliases) {
  EXPECT_EQ(0, db.SetAlias("a", "First"));
  EXPECT_EQ(0, db.FindField("fIRST"));
  EXPECT_EQ(2, db.FindField("c"));
  EXPECT_EQ(-1, db.FindField(""));  // an empty alias never matches
  EXPECT_EQ(-1, db.FindField("D"));
  struct Case {
    const char* name;
    std::string alias;
    int code;
  } cases[] = {
      {"B", std::string(30, 'x'), -3},
      {"B", std::string(29, 'x'), 0},
      {"B", "c", -2},
      {"C", "FIRST", -2},
      {"A", "first", 0},
      {"C", "c", 0},  // a control named after its field keeps that name
      {"c", "B", -2},
      {"Z", "zz", -1},
      {"C", "", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.code, db.SetAlias(c.name, c.alias)) << c.name << " " << c.alias;
  db.ClearAliases();
  EXPECT_EQ(-1, db.FindField("first"));
}

TEST_F(CMyDBTest, LoadStoreAndDelete) {
  ASSERT_EQ(0, AddRecord(db, {"a", "b", "c"}));
  ASSERT_EQ(1, AddRecord(db, {"d", "e", "f"}));
  ASSERT_EQ(2, AddRecord(db, {"g", "h", "i"}));
  EXPECT_EQ(-1, db.Current());  // appending leaves no current record

  db.SetMatched(1, true);
  ASSERT_EQ(0, db.Load(1));
  EXPECT_EQ(1, db.Current());
  ASSERT_EQ(0, db.SetValue(1, "EEEEE"));
  ASSERT_EQ(0, db.Store());
  EXPECT_EQ(3, db.RecordCount());
  EXPECT_STREQ("EEEEE", db.Value(1, 1));
  EXPECT_EQ(0, db.RecordBytes(1)[0]);  // the selection mark went with the rebuild

  EXPECT_EQ(1, db.MarkDeleted(1));
  EXPECT_EQ(1, db.MarkDeleted(1));
  EXPECT_EQ(0, db.MarkDeleted(3));
  EXPECT_EQ(0, db.MarkDeleted(-1));
  EXPECT_EQ(2, db.LiveCount());
  EXPECT_EQ(-1, db.Store());  // current record is deleted
  EXPECT_STREQ("g", db.Value(0, 2));

  EXPECT_EQ(201, db.Load(-1));
  EXPECT_EQ(-1, db.Current());
  EXPECT_STREQ("", db.EditValue(0));
  EXPECT_EQ(201, db.Load(7));

  EXPECT_EQ(nullptr, db.Value(3, 0));
  EXPECT_EQ(nullptr, db.Value(-1, 0));
  EXPECT_EQ(nullptr, db.Value(0, -1));
  EXPECT_EQ(nullptr, db.Value(0, 3));
  EXPECT_STREQ("c", db.ValueByName("C", 0));

  std::string path = dir / "d.jdt";
  ASSERT_EQ(0, db.WriteFile(path));
  CMyDB back;
  ASSERT_EQ(0, back.ReadFile(path, true));
  ASSERT_EQ(2, back.RecordCount());
  EXPECT_STREQ("a", back.Value(0, 0));
  EXPECT_STREQ("g", back.Value(0, 1));

  db.ClearRecords();
  EXPECT_EQ(0, db.RecordCount());
  EXPECT_EQ(3, db.FieldCount());
}

TEST_F(CMyDBTest, DefineRefusesEmptyAndUnaddressableLayouts) {
  CMyField none;
  EXPECT_EQ(50, db.Define(none));
  CMyField wide;
  for (int i = 0; i < 14; ++i) {
    FieldDef d;
    d.name = "F" + std::to_string(i);
    d.maxLength = 5000;
    ASSERT_EQ(0, wide.Add(d));
  }
  EXPECT_EQ(52, db.Define(wide));
  EXPECT_EQ(3, db.FieldCount());  // the old table stays
}

TEST_F(CMyDBTest, SubsetFilesAppendButCannotDefine) {
  for (const char* v : {"1", "2", "3", "4"}) AddRecord(db, {v, v, v});
  ASSERT_EQ(1, db.MarkDeleted(2));
  std::string path = dir / "dt202003.jdt";
  int numbers[] = {3, 2, 0, 9, -1};
  ASSERT_EQ(0, db.WriteSubset(path, numbers, 5));

  CMyDB other(&prompter);
  EXPECT_EQ(302, other.ReadFile(path, true));
  EXPECT_EQ(0, other.FieldCount());
  ASSERT_EQ(1u, prompter.Shown().size());
  EXPECT_EQ("P)新規読込でフィールド情報スキップのファイルは読めません。", prompter.ShownUtf8()[0]);
  EXPECT_EQ("エラー"_sj, prompter.Shown()[0].caption);
  EXPECT_EQ(PromptIcon::None, prompter.Shown()[0].icon);

  ASSERT_EQ(0, DefineFields(other, {{"A", T, 5}, {"B", T, 5}, {"C", T, 5}}));
  ASSERT_EQ(0, other.ReadFile(path, false));
  ASSERT_EQ(0, other.ReadFile(path, false));  // files load one after another
  ASSERT_EQ(4, other.RecordCount());
  EXPECT_STREQ("4", other.Value(0, 0));
  EXPECT_STREQ("1", other.Value(0, 1));
  EXPECT_STREQ("4", other.Value(0, 2));

  prompter.ClearShown();
  EXPECT_EQ(303, db.WriteSubset(path, nullptr, 3));
  EXPECT_EQ(std::vector<std::string>{"レコードがNULLです。"}, prompter.ShownUtf8());

  // A period with no records is a header and a terminator.
  ASSERT_EQ(0, db.WriteSubset(path, numbers, 0));
  EXPECT_EQ(4u * 5, ReadBytes(path).size());
}

TEST_F(CMyDBTest, AppendingRefusesADifferentFieldCount) {
  AddRecord(db, {"1", "2", "3"});
  std::string path = dir / "t.jdt";
  ASSERT_EQ(0, db.WriteFile(path));
  CMyDB two(&prompter);
  ASSERT_EQ(0, DefineFields(two, {{"A", T, 5}, {"B", T, 5}}));
  EXPECT_EQ(301, two.ReadFile(path, false));
  EXPECT_EQ(std::vector<std::string>{"読み込んだ内容はフォールド数が異なります。"}, prompter.ShownUtf8());
  // Same count, definitions skipped without comparing them.
  CMyDB three;
  ASSERT_EQ(0, DefineFields(three, {{"X", T, 5}, {"Y", T, 5}, {"Z", T, 5}}));
  EXPECT_EQ(0, three.ReadFile(path, false));
  EXPECT_STREQ("3", three.Value(2, 0));
}

TEST_F(CMyDBTest, ReadersAcceptExtraNulsAfterValues) {
  // Status, offsets 7, 10, 11; "A" followed by two NULs.
  const char rec[] = {0, 7, 0, 10, 0, 11, 0, 'A', 0, 0, 0, 'x', 'y', 0};
  std::string file;
  le::AppendI32(file, 1);
  le::AppendI32(file, 3);
  le::AppendI32(file, 0);
  le::AppendI32(file, 0);
  le::AppendI32(file, static_cast<int>(sizeof rec) + 1);
  file.append(rec, sizeof rec);
  file.push_back('\0');
  le::AppendI32(file, 0);
  ASSERT_EQ(0, db.ReadBytes(file, false));
  EXPECT_STREQ("A", db.Value(0, 0));
  EXPECT_STREQ("", db.Value(1, 0));
  EXPECT_STREQ("xy", db.Value(2, 0));
  ASSERT_EQ(0, db.Load(0));
  ASSERT_EQ(0, db.Store());
  EXPECT_EQ("00 07 00 09 00 0A 00 41 00 00 78 79 00", Hex(db.RecordBytes(0)));
}

TEST_F(CMyDBTest, MissingFilesAndUnwritablePaths) {
  EXPECT_EQ(300, db.ReadFile(dir / "none.jdt", false));
  EXPECT_EQ(3, db.FieldCount());
  EXPECT_EQ(300, db.ReadFile(dir / "none.jdt", true));
  EXPECT_EQ(0, db.FieldCount());
  EXPECT_EQ(300, db.WriteFile(dir / "no/such/folder/t.jdt"));
  int one = 0;
  EXPECT_EQ(300, db.WriteSubset(dir / "no/such/folder/t.jdt", &one, 1));
}

// ---- damaged files --------------------------------------------------------------

class CMyDBCorruptionTest : public CMyDBTest {
 protected:
  // A valid file of three records with definitions.
  std::string ValidFile() {
    AddRecord(db, {"one", "", "a"});
    AddRecord(db, {"two", "bb", ""});
    AddRecord(db, {"three", "ccc", "zz"});
    std::string path = dir / "v.jdt";
    EXPECT_EQ(0, db.WriteFile(path));
    return ReadBytes(path);
  }
  std::string SubsetHeader() {
    std::string f;
    le::AppendI32(f, 1);
    le::AppendI32(f, 3);
    le::AppendI32(f, 0);
    le::AppendI32(f, 0);
    return f;
  }
  // Every record the table holds must be readable within its fields' limits.
  void ExpectSound(const CMyDB& t) {
    for (int r = 0; r < t.RecordCount(); ++r)
      for (int f = 0; f < t.FieldCount(); ++f) {
        const char* v = t.Value(f, r);
        ASSERT_NE(nullptr, v);
        EXPECT_LE(std::strlen(v), static_cast<size_t>(t.Fields()[f].maxLength));
      }
  }
};

TEST_F(CMyDBCorruptionTest, EveryTruncationKeepsWholeRecordsOnlyAndIsReported) {
  std::string file = ValidFile();
  ASSERT_EQ(0, CMyDB().ReadBytes(file, true));
  const size_t header = 8 + 3 * fielddef::kSize + 8;
  for (size_t n = 0; n < file.size(); ++n) {
    CMyDB t;
    int rc = t.ReadBytes(std::string_view(file.data(), n), true);
    if (n < 8 + 3 * fielddef::kSize) {
      EXPECT_EQ(302, rc) << n;
      EXPECT_EQ(0, t.FieldCount()) << n;
    } else {
      // a cut file must never look whole: its owner would save it shortened
      EXPECT_EQ(305, rc) << n;
      EXPECT_LE(t.RecordCount(), 3);
      if (n < header) {
        EXPECT_EQ(0, t.RecordCount());
      }
      ExpectSound(t);
    }
  }
}

TEST_F(CMyDBCorruptionTest, HostileLengthsStopAtTheBadRecord) {
  std::string good = SubsetHeader();
  const char rec[] = {0, 7, 0, 9, 0, 10, 0, 'A', 0, 0, 'x', 'y', 'z', 0};
  le::AppendI32(good, sizeof rec + 1);
  good.append(rec, sizeof rec);
  good.push_back('\0');
  struct Case {
    const char* what;
    std::string tail;
  };
  auto withLength = [&](int32_t len, std::string body) {
    std::string t;
    le::AppendI32(t, len);
    return t + body;
  };
  std::string offsetOut(rec, sizeof rec);
  offsetOut[5] = 60;  // third offset beyond the record
  std::string offsetIn(rec, sizeof rec);
  offsetIn[1] = 2;  // first offset inside the offset table
  std::string tooLongValue = std::string("\0\x07\0\x0e\0\x0f\0", 7) + "ABCDEF" + std::string(3, '\0');
  Case cases[] = {
      {"huge length", withLength(0x7fffffff, "xxxx")},
      {"negative length", withLength(-5, "xxxx")},
      {"beyond the largest record", withLength(db.MaxRecordSize() + 2, std::string(100, 'x'))},
      {"empty record", withLength(1, std::string(1, '\0'))},
      {"shorter than its offsets", withLength(5, std::string(5, '\0'))},
      {"offset past the end", withLength(sizeof rec + 1, offsetOut + '\0')},
      {"offset into the table", withLength(sizeof rec + 1, offsetIn + '\0')},
      {"value over its maximum", withLength(static_cast<int>(tooLongValue.size()) + 1, tooLongValue + '\0')},
  };
  for (const auto& c : cases) {
    CMyDB t(&prompter);
    DefineFields(t, {{"A", T, 5}, {"B", T, 5}, {"C", T, 5}});
    prompter.ClearShown();
    std::string file = good + c.tail;
    le::AppendI32(file, 0);
    EXPECT_EQ(304, t.ReadBytes(file, false)) << c.what;
    EXPECT_EQ(1, t.RecordCount()) << c.what;
    EXPECT_STREQ("xyz", t.Value(2, 0));
    EXPECT_EQ(1u, prompter.Shown().size()) << c.what;
    ExpectSound(t);
  }
}

TEST_F(CMyDBCorruptionTest, DamagedHeadersAreRefused) {
  auto header = [](int32_t flag, int32_t count) {
    std::string f;
    le::AppendI32(f, flag);
    le::AppendI32(f, count);
    return f;
  };
  struct Case {
    const char* what;
    std::string bytes;
    bool define;
    int code;
  } cases[] = {
      {"empty file", "", true, 302},
      {"flag only", header(0, 0).substr(0, 4), true, 302},
      {"unknown flag", header(7, 3), false, 302},
      {"negative count", header(0, -1), true, 302},
      {"huge count, few bytes", header(0, 0x10000000) + std::string(200, '\0'), true, 302},
      {"no definitions", header(0, 0) + std::string(8, '\0'), true, 302},
      {"count only, appending", header(1, 3), false, 305},
      {"a definition Add refuses",
       header(0, 1) + std::string(80, 'x') + std::string("\x05\0\0\0", 4) + std::string(32, '\0'), true, 302},
      {"short definitions, appending", header(0, 3) + std::string(300, '\0'), false, 302},
  };
  for (const auto& c : cases) {
    CMyDB t;
    DefineFields(t, {{"A", T, 5}, {"B", T, 5}, {"C", T, 5}});
    EXPECT_EQ(c.code, t.ReadBytes(c.bytes, c.define)) << c.what;
    EXPECT_EQ(0, t.RecordCount()) << c.what;
  }
}

TEST_F(CMyDBCorruptionTest, BitFlipsNeverYieldUnsoundRecords) {
  std::string file = ValidFile();
  for (size_t i = 0; i < file.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string f = file;
      f[i] = static_cast<char>(f[i] ^ (1 << bit));
      CMyDB t;
      int rc = t.ReadBytes(f, true);
      ASSERT_TRUE(rc == 0 || rc == 302 || rc == 304 || rc == 305) << i << ":" << bit << " -> " << rc;
      ExpectSound(t);
      if (t.FieldCount() > 0 && t.RecordCount() > 0 && !t.IsDeleted(0)) {
        ASSERT_EQ(0, t.Load(0));
        EXPECT_EQ(0, t.Store());  // a loaded record always fits the build buffer
      }
    }
  }
}

}  // namespace
