#include <gtest/gtest.h>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageWriter.h"
#include "catalogue/ScreenImport.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {

// An input definition whose header item carries the data kind at offset 52.
std::string InputDefinition(int kind, int headerSize = 164) {
  CMyLine def(2048);
  std::string header(static_cast<size_t>(headerSize), '\0');
  if (headerSize >= 56) le::PutI32(&header[52], kind);
  def.Append(header);
  return def.ListBytes();
}

struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  CMyPackage package{prompter};
  std::string div = dir / "div";
  std::string pkg = dir / "p.jpk";
  Fixture() { EXPECT_TRUE(fileops::MakeDir(div)); }
  std::string LastMessage() const { return prompter.ShownUtf8().empty() ? "" : prompter.ShownUtf8().back(); }
};

}  // namespace

TEST(CMyPackage, UnpacksEveryEntryAndRespectsType2OnReinstall) {
  Fixture f;
  PackageWriter w(100, 0);
  EXPECT_TRUE(w.Add("scrin.jsc", InputDefinition(0)));
  EXPECT_TRUE(w.Add("month.jos", "screen"));
  EXPECT_TRUE(w.Add("selms01.ms", "learned", 2));
  EXPECT_TRUE(w.Add("PhotSm/readme.txt", "x"));
  ASSERT_TRUE(w.Write(f.pkg));
  ASSERT_EQ(0, f.package.UnpackTo(f.pkg, f.div, nullptr, false));
  EXPECT_EQ("screen", ReadBytes(f.div + "/month.jos"));
  EXPECT_EQ("x", ReadBytes(f.div + "/PhotSm/readme.txt"));
  // the user changes both files, then re-installs
  WriteBytes(f.div + "/month.jos", "changed");
  WriteBytes(f.div + "/selms01.ms", "mine");
  ASSERT_EQ(0, f.package.UnpackTo(f.pkg, f.div, nullptr, false));
  EXPECT_EQ("screen", ReadBytes(f.div + "/month.jos"));  // type 1 replaced
  EXPECT_EQ("mine", ReadBytes(f.div + "/selms01.ms"));   // type 2 kept
  EXPECT_TRUE(f.prompter.Shown().empty());
}

TEST(CMyPackage, OnlyNameWritesThatFileAlone) {
  Fixture f;
  PackageWriter w;
  EXPECT_TRUE(w.Add("divin.jpr", "list"));
  EXPECT_TRUE(w.Add("scrin.jsc", InputDefinition(0)));
  EXPECT_TRUE(w.Add("a.jos", "a"));
  EXPECT_TRUE(w.Write(f.pkg));
  std::string only = "SCRIN.JSC";
  ASSERT_EQ(0, f.package.UnpackTo(f.pkg, f.div, &only, false));
  EXPECT_EQ(1u, fileops::List(f.div, "*").size());
  EXPECT_TRUE(fileops::IsFile(f.div + "/scrin.jsc"));
}

TEST(CMyPackage, HeaderChecks) {
  Fixture f;
  struct Case {
    std::string bytes;
    const char* message;
  } cases[] = {
      {"JB\0", "データのないファイルです。"},
      {std::string("XX\0\0abcdefghijklmnop", 20), "パッケージ情報でないファイルです。"},
      {PackageWriter(99).Bytes(), "バージョンが異なります。"},
      {PackageWriter(200).Bytes(), "バージョンが異なります。"},
  };
  for (const auto& c : cases) {
    WriteBytes(f.pkg, c.bytes);
    EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, f.div, nullptr, false));
    EXPECT_EQ(c.message, f.LastMessage());
    EXPECT_EQ("注意"_sj, f.prompter.Shown().back().caption);
  }
  EXPECT_EQ(0, f.package.UnpackTo(f.dir / "none.jpk", f.div, nullptr, false) + 1);
  EXPECT_EQ("オープンに失敗しました。", f.LastMessage());
  EXPECT_EQ(0, f.package.UnpackTo(PackageWriter(199).Write(f.pkg) ? f.pkg : "", f.div, nullptr, false));
}

TEST(CMyPackage, RefusesAFolderHoldingAnotherKindOfData) {
  Fixture f;
  WriteBytes(f.div + "/scrin.jsc", InputDefinition(0));
  PackageWriter w(100, 100);
  EXPECT_TRUE(w.Add("x.jos", "x"));
  EXPECT_TRUE(w.Write(f.pkg));
  EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, f.div, nullptr, false));
  EXPECT_EQ("作成先にデータ種類の異なるデータが存在します。\n異なる分類名にして下さい。", f.LastMessage());
  // into the work folder, the kind to agree with is the division's: a
  // by-page screen is never added to a by-date book, whatever tmp/ holds
  std::string tmp = f.dir / "tmp";
  ASSERT_TRUE(fileops::MakeDir(tmp));
  EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, tmp, nullptr, true, f.div));
  EXPECT_EQ("データ種類の異なるパッケージです。", f.LastMessage());
  WriteBytes(tmp + "/scrin.jsc", InputDefinition(100));
  EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, tmp, nullptr, true, f.div));
  EXPECT_FALSE(fileops::Exists(tmp + "/x.jos"));
  WriteBytes(f.div + "/scrin.jsc", InputDefinition(100, 160));
  EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, f.div, nullptr, false));
  EXPECT_EQ("作成先のフォルダに不正なファイルが存在します。\n異なる分類名にして下さい。", f.LastMessage());
  EXPECT_FALSE(fileops::Exists(f.div + "/x.jos"));
}

TEST(CMyPackage, DamagedEntriesGiveTheirErrorNumbers) {
  Fixture f;
  std::string head = PackageWriter().Bytes();
  head.resize(head.size() - 4);  // without the end entry
  auto entry = [](int32_t type, int32_t n, const std::string& name, int32_t size, const std::string& data) {
    std::string s;
    le::AppendI32(s, type);
    le::AppendI32(s, n);
    s += name;
    le::AppendI32(s, size);
    return s + data;
  };
  std::string name51(50, 'n');
  name51 += '\0';
  struct Case {
    std::string tail;
    int number;
  } cases[] = {
      {"", 1},
      {std::string("\x01\0\0\0", 4), 2},
      {entry(1, 51, name51, 0, ""), 3},
      {std::string("\x01\0\0\0\x08\0\0\0abc", 11), 4},
      {std::string("\x01\0\0\0\x02\0\0\0a", 9) + std::string(1, '\0'), 6},
      {entry(1, 2, std::string("a\0", 2), 10, "short"), 8},
      {entry(7, 2, std::string("a\0", 2), 0, ""), 100},
  };
  // every damaged package is preceded by a good entry and an old file: the
  // division is left exactly as it was
  WriteBytes(f.div + "/divin.jpr", "old list");
  const std::string good = entry(1, 10, std::string("divin.jpr\0", 10), 3, "new");
  for (const auto& c : cases) {
    WriteBytes(f.pkg, head + good + c.tail);
    EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, f.div, nullptr, false));
    EXPECT_EQ("パッケージの解凍に失敗しました。(" + std::to_string(c.number) + ")", f.LastMessage());
    EXPECT_EQ("old list", ReadBytes(f.div + "/divin.jpr"));
    EXPECT_TRUE(fileops::List(f.div, "*", true).empty()) << c.number;  // no staging left
    EXPECT_EQ(std::vector<std::string>{"divin.jpr"}, fileops::List(f.div, "*")) << c.number;
  }
}

TEST(CMyPackage, AnOnlyNameThePackageLacksIsReported) {
  Fixture f;
  PackageWriter w;
  EXPECT_TRUE(w.Add("divin.jpr", "list"));
  EXPECT_TRUE(w.Write(f.pkg));
  std::string only = "月表.jos"_sj;
  EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, f.div, &only, false));
  EXPECT_EQ("パッケージに「月表.jos」が含まれていません。", f.LastMessage());
  EXPECT_TRUE(fileops::List(f.div, "*", true).empty());
}

TEST(CMyPackage, TheWorkFolderHoldsOnlyWhatThisPackageGave) {
  Fixture f;
  WriteBytes(f.dir / "jotbox.ini", "");
  FixedClock clock;
  CMyGlobal g(f.prompter, clock, f.dir.path());
  g.SetUserName("u");
  g.SetDivisionFolder("d");
  ASSERT_TRUE(fileops::MakeDirs(g.DivisionPath("")));
  WriteBytes(g.DivisionPath("scrin.jsc"), InputDefinition(0));
  ASSERT_TRUE(fileops::MakeDirs(g.TempPath("")));
  WriteBytes(g.TempPath("a.jos"), "left by another package");
  PackageWriter w;
  EXPECT_TRUE(w.Add("divin.jpr", "list"));
  EXPECT_TRUE(w.Write(f.pkg));
  const std::string only = "a.jos";
  EXPECT_EQ(-1, f.package.Unpack(g, f.pkg, &only, true));
  EXPECT_FALSE(fileops::Exists(g.TempPath("a.jos")));
  // and a by-page package is refused for this by-date book
  EXPECT_TRUE(PackageWriter(100, 100).Write(f.pkg));
  EXPECT_EQ(-1, f.package.Unpack(g, f.pkg, nullptr, true));
  EXPECT_EQ("データ種類の異なるパッケージです。", f.LastMessage());
  // a screen taken from a package leaves nothing in the work folder
  PackageWriter screens;
  EXPECT_TRUE(screens.Add("divin.jpr", CMyMaster("DIVIN").Bytes()));
  EXPECT_TRUE(screens.Add("月表.jos"_sj, "screen"));
  EXPECT_TRUE(screens.Write(f.pkg));
  std::vector<std::string> names;
  EXPECT_EQ(0, screenimport::PackageScreens(g, f.prompter, f.pkg, names));
  EXPECT_FALSE(fileops::Exists(g.TempPath("")));
  EXPECT_EQ(0, screenimport::TakeScreen(g, f.prompter, f.pkg, "月表"_sj, "予定"_sj));
  EXPECT_EQ("screen", ReadBytes(g.DivisionPath("予定"_sj, ".jos")));
  EXPECT_FALSE(fileops::Exists(g.TempPath("")));
}

TEST(CMyPackage, NamesThatWouldEscapeTheFolderAreRefused) {
  Fixture f;
  // the temporary folder's parent is shared with every other program
  const bool outsideBefore = fileops::Exists(f.dir.path() + "/../x");
  for (const char* name : {"../x", "..\\x", "/etc/x", "a/../../x", "C:\\x", "sub\\..\\..\\x", "."}) {
    PackageWriter w;
    EXPECT_TRUE(w.Add("ok.jos", "fine"));
    std::string bytes = w.Bytes();
    bytes.resize(bytes.size() - 4);
    le::AppendI32(bytes, 1);
    le::AppendI32(bytes, static_cast<int32_t>(std::strlen(name) + 1));
    bytes += name;
    bytes += '\0';
    le::AppendI32(bytes, 4);
    bytes += "evil";
    le::AppendI32(bytes, 0);
    WriteBytes(f.pkg, bytes);
    EXPECT_EQ(-1, f.package.UnpackTo(f.pkg, f.div, nullptr, false)) << name;
    EXPECT_EQ("パッケージの解凍に失敗しました。(9)", f.LastMessage()) << name;
  }
  EXPECT_FALSE(fileops::Exists(f.dir / "x"));
  EXPECT_EQ(outsideBefore, fileops::Exists(f.dir.path() + "/../x"));
  // a backslash inside a double-byte character is not a separator
  EXPECT_EQ("表"_sj + ".jos", CMyPackage::SafeRelativePath("表"_sj + ".jos"));
  EXPECT_EQ("PhotSm/a.jpg", CMyPackage::SafeRelativePath("PhotSm\\a.jpg"));
}

TEST(CMyPackage, ListReadsEntriesWithoutWriting) {
  Fixture f;
  PackageWriter w(120, 100);
  EXPECT_TRUE(w.Add("scrin.jsc", InputDefinition(100)));
  EXPECT_TRUE(w.Add("sub/a.txt", "abc", 2));
  EXPECT_TRUE(w.Write(f.pkg));
  int version = 0, kind = 0;
  std::vector<CMyPackage::Entry> entries;
  ASSERT_EQ(0, CMyPackage::List(f.pkg, version, kind, entries));
  EXPECT_EQ(120, version);
  EXPECT_EQ(100, kind);
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ("sub\\a.txt", entries[1].name);
  EXPECT_EQ(3, entries[1].size);
  EXPECT_EQ(2, entries[1].type);
  std::string cut = ReadBytes(f.pkg);
  WriteBytes(f.pkg, cut.substr(0, cut.size() - 6));
  EXPECT_EQ(CMyPackage::kErrDataShort, CMyPackage::List(f.pkg, version, kind, entries));
}

#include "catalogue/PackageList.h"

TEST(PackageList, ListsPackagesWithoutExtensionAndFindsTheInstalledOne) {
  TempDir dir;
  for (const char* n : {"PK2_スケジュール.jpk", "PK1_日記帳.jpk", "PK10_x.jpk", "a.jpk", "notes.txt"})
    WriteBytes(dir / n, "");
  ASSERT_TRUE(fileops::MakeDir(dir / "sub.jpk"));
  auto names = packagelist::Names(dir.path());
  ASSERT_EQ(4u, names.size());
  EXPECT_EQ("PK1_日記帳"_sj, names[1]);
  EXPECT_EQ("a.jpk", names[3]);  // five characters: shown as it is
  EXPECT_EQ(1, packagelist::Preselect(names, 1500));
  EXPECT_EQ(0, packagelist::Preselect(names, 10000));
  EXPECT_EQ(-1, packagelist::Preselect(names, 3000));
  EXPECT_EQ(dir / "PK1_日記帳.jpk", packagelist::PathOf(dir.path(), names[1]));
}

#include "catalogue/CMyMaster.h"
#include "catalogue/PackageBuilder.h"
#include "input/CMyHyo.h"

TEST(PackageBuilder, CompilesASourceFolderIntoAPackage) {
  TempDir dir;
  std::string src = dir / "src";
  ASSERT_TRUE(fileops::MakeDir(src));
  WriteBytes(src + "/package.json", R"({
    "file": "PK1_日記帳", "version": 100, "dataKind": 0,
    "input": "input.json",
    "screens": [{"name": "月表", "source": "month.json"}],
    "colors": [{"name": "重要", "text": "#FF0000", "palette": 1, "f6": true},
               {"name": "済み", "back": "#E0E0E0"}],
    "combos": [{"slot": 0, "learn": true, "items": ["晴れ", "雨"]}],
    "lists": [{"slot": 1, "learn": true, "rows": [["1", "NoP", "散歩"]]}]
  })");
  WriteBytes(src + "/input.json", "{}");
  WriteBytes(src + "/month.json", "{}");
  PackageBuilder b;
  b.SetInputCompiler([](const std::string&, std::string& out, std::string&) {
    out = "INPUT";
    return true;
  });
  b.SetScreenCompiler([](const std::string&, std::string& out, std::string&) {
    out = "SCREEN";
    return true;
  });
  std::string bytes, error;
  ASSERT_EQ(0, b.Build(src, bytes, error)) << error;
  EXPECT_EQ("PK1_日記帳", b.FileName());
  WriteBytes(dir / "p.jpk", bytes);
  ScriptedPrompter prompter;
  CMyPackage package(prompter);
  std::string div = dir / "div";
  ASSERT_TRUE(fileops::MakeDir(div));
  ASSERT_EQ(0, package.UnpackTo(dir / "p.jpk", div, nullptr, false));
  EXPECT_EQ("SCREEN", ReadBytes(div + "/月表.jos"));
  CMyMaster divin, colors;
  ASSERT_EQ(0, divin.Read(div + "/divin.jpr"));
  EXPECT_EQ("月表"_sj, divin.Name(0));
  ASSERT_EQ(0, colors.Read(div + "/color.dat"));
  EXPECT_EQ(0x0000FF, colors.GetInt(0, CMyMaster::kRKey21));  // red as 0x00BBGGRR
  EXPECT_EQ(1, colors.GetInt(0, CMyMaster::kRKey14));
  EXPECT_EQ(0, colors.GetInt(1, CMyMaster::kRKey11));
  EXPECT_EQ("$$$ 1\r\n"_sj + "晴れ"_sj + "\r\n" + "雨"_sj + "\r\n", ReadBytes(div + "/cboms00.ms"));
  CMyHyo list;
  ASSERT_EQ(0, list.Load(div + "/selms01.ms"));
  EXPECT_EQ("散歩"_sj, list.Cell(2, 0));
  EXPECT_TRUE(list.Switch(1));
}

TEST(PackageBuilder, MistakesInTheSourceAreReportedNotThrown) {
  TempDir dir;
  PackageBuilder b;
  std::string bytes, error;
  EXPECT_EQ(-1, b.Build(dir.path(), bytes, error));
  EXPECT_NE(std::string::npos, error.find("package.json"));
  WriteBytes(dir / "package.json", R"({"file": 5})");
  EXPECT_EQ(-1, b.Build(dir.path(), bytes, error));
  WriteBytes(dir / "package.json", R"({"file": "x", "input": "i.json"})");
  WriteBytes(dir / "i.json", "{}");
  EXPECT_EQ(-1, b.Build(dir.path(), bytes, error));  // no input compiler
  b.SetInputCompiler([](const std::string&, std::string& out, std::string&) { return out = "i", true; });
  WriteBytes(dir / "package.json",
             R"({"file": "x", "input": "i.json", "colors": [{"name": "a", "text": "red"}]})");
  EXPECT_EQ(-1, b.Build(dir.path(), bytes, error));
  EXPECT_NE(std::string::npos, error.find("#RRGGBB"));
  WriteBytes(dir / "package.json", R"({"file": "x", "input": "i.json", "combos": [{"items": ["😀"]}]})");
  EXPECT_EQ(-1, b.Build(dir.path(), bytes, error));
  EXPECT_NE(std::string::npos, error.find("CP932"));
}

#include "catalogue/PackageJson.h"
#include "screens/InputDef.h"

// Names and texts kept in fixed fields of the files are taken whole or
// refused: cut short, two names could become one.
TEST(PackageBuilder, TextsTooLongForTheirFieldsAreRefusedNotCut) {
  TempDir dir;
  PackageBuilder b;
  b.SetInputCompiler([](const std::string&, std::string& out, std::string&) { return out = "i", true; });
  b.SetScreenCompiler([](const std::string&, std::string& out, std::string&) { return out = "s", true; });
  WriteBytes(dir / "i.json", "{}");
  WriteBytes(dir / "s.json", "{}");
  const std::string fits(15, 'a'), longer = "あいうえおかきくけこさしすせそた";  // 31 and 32 bytes
  std::string bytes, error;
  for (const char* part :
       {R"("screens": [{"name": "NAME", "source": "s.json"}])", R"("colors": [{"name": "NAME"}])"}) {
    std::string manifest = std::string(R"({"file": "x", "input": "i.json", )") + part + "}";
    std::string ok = manifest, bad = manifest;
    ok.replace(ok.find("NAME"), 4, fits + fits + "a");
    bad.replace(bad.find("NAME"), 4, longer);
    WriteBytes(dir / "package.json", ok);
    EXPECT_EQ(0, b.Build(dir.path(), bytes, error)) << error;
    WriteBytes(dir / "package.json", bad);
    EXPECT_EQ(-1, b.Build(dir.path(), bytes, error)) << part;
    EXPECT_NE(std::string::npos, error.find("longer than 31 bytes")) << error;
  }

  EXPECT_TRUE(packagejson::CompileInput(
      R"({"controls": [{"kind": "text", "field": "DAT001", "alias": ")" + fits + fits + R"("}]})", bytes,
      error))
      << error;
  for (const char* key : {"alias", "default", "face"}) {
    EXPECT_FALSE(
        packagejson::CompileInput(std::string(R"({"controls": [{"kind": "text", "field": "DAT001", ")") +
                                      key + R"(": ")" + longer + R"("}]})",
                                  bytes, error))
        << key;
    EXPECT_NE(std::string::npos, error.find(key)) << error;
  }
  EXPECT_FALSE(packagejson::CompileInput(
      R"({"controls": [{"kind": "text", "field": "DAT001", "formula": ")" + longer + longer + R"("}]})",
      bytes, error));
  EXPECT_NE(std::string::npos, error.find("longer than 63 bytes")) << error;
  EXPECT_FALSE(packagejson::CompileScreen(R"({"items": [{"field": ")" + longer + R"("}]})", bytes, error));
  EXPECT_NE(std::string::npos, error.find("longer than 29 bytes")) << error;
}

#include "input/HyoLookup.h"

TEST(PackageBuilder, LookUpTablesAreSortedForTheReaderAndRefusedWhenMalformed) {
  TempDir dir;
  PackageBuilder b;
  b.SetInputCompiler([](const std::string&, std::string& out, std::string&) { return out = "i", true; });
  WriteBytes(dir / "i.json", "{}");
  auto build = [&](const std::string& tables, std::string& error) {
    WriteBytes(dir / "package.json", R"({"file": "x", "input": "i.json", "tables": )" + tables + "}");
    std::string bytes;
    int rc = b.Build(dir.path(), bytes, error);
    if (rc == 0) WriteBytes(dir / "p.jpk", bytes);
    return rc;
  };
  std::string error;
  // rows and columns listed as a person reads them, not in key order
  ASSERT_EQ(0, build(R"([{"number": 1, "rows": [["標準", "1.10"], ["軽減", "1.08"], ["非課税", "1.00"]]},
                         {"number": 2, "range": true, "columns": ["B", "A"],
                          "rows": [["20", "b20", "a20"], ["10", "b10", "a10"]]}])",
                     error))
      << error;
  ScriptedPrompter prompter;
  CMyPackage package(prompter);
  std::string div = dir / "div";
  ASSERT_TRUE(fileops::MakeDir(div));
  ASSERT_EQ(0, package.UnpackTo(dir / "p.jpk", div, nullptr, false));
  EXPECT_EQ("1.08", hyo::Lookup(div, 1, 1, "軽減"_sj, ""));
  EXPECT_EQ("1.00", hyo::Lookup(div, 1, 1, "非課税"_sj, ""));
  EXPECT_EQ("", hyo::Lookup(div, 1, 1, "不明"_sj, ""));
  EXPECT_FALSE(fileops::Exists(div + "/hyo01.id2"));  // one dimension: no column index
  // the cells follow their keys through the sort; rows look up by range
  EXPECT_EQ("a10", hyo::Lookup(div, 2, 2, "15", "A"));
  EXPECT_EQ("b20", hyo::Lookup(div, 2, 2, "99", "B"));
  EXPECT_EQ("", hyo::Lookup(div, 2, 2, "5", "A"));

  for (const char* bad : {R"([{"number": 0, "rows": [["a", "1"]]}])",  // number
                          R"([{"number": 1, "rows": [["a", "1"]]}, {"number": 1, "rows": [["b", "2"]]}])",
                          R"([{"number": 1, "rows": []}])",                        // no rows
                          R"([{"number": 1, "rows": [["a", "1"], ["a", "2"]]}])",  // same key twice
                          R"([{"number": 1, "columns": ["x", "y"], "rows": [["a", "1"]]}])",  // short row
                          R"([{"number": 1, "rows": [["a"]]}])",                              // no cell
                          R"([{"number": 1, "rows": [["😀", "1"]]}])"}) {
    SCOPED_TRACE(bad);
    error.clear();
    EXPECT_EQ(-1, build(bad, error));
    EXPECT_NE(std::string::npos, error.find("table")) << error;
  }
}
