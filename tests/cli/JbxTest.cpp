// The command-line tool as a person runs it: the real binary, real files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "catalogue/CMyMaster.h"
#include "catalogue/PackageWriter.h"
#include "cli/JbxRun.h"
#include "platform/Cp932.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Every path under a folder, so a test can see that nothing was made.
std::set<std::string> Tree(const std::string& dir) {
  std::set<std::string> out;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    out.insert(it->path().string());
  return out;
}

// A data root with user "u" owning one book made from the shipped notebook.
std::string MakeRoot(const TempDir& dir) {
  const std::string root = dir / "root";
  EXPECT_TRUE(MakeBooks(root, {{"PK4_ノート", "note"}}));
  WriteBytes(root + "/jotbox.ini", "[APL]\r\nNAME=u\r\n");
  return root;
}

}  // namespace

TEST(Jbx, DatesAndTimes) {
  struct Row {
    const char* args;
    int status;
    const char* out;
  } rows[] = {
      {"date 20200304 --era", 0, "R02/03/04\n"},
      {"date 2019/04/30 2019/5/1 1989/01/07 1989/1/8 --era", 0,
       "H31/04/30\nR01/05/01\nS64/01/07\nH01/01/08\n"},
      {"date R8/9/21 H32/3/4", 0, "2026/09/21\n2020/03/04\n"},
      {"date ２０２６/９/２１ ２０２６．９．２１", 0, "2026/09/21\n2026/09/21\n"},
      // a text that is no date still gets its line, and the run fails
      {"date 2020.3.4 nonsense", 1, "2020/03/04\n\n"},
      {"time 9:5 2359 ０９：３０", 0, "09:05\tyes\n23:59\tyes\n09:30\tyes\n"},
      {"time 9:5 2559 2560 --max23", 1, "09:05\tyes\n25:59\tno\n\tno\n"},
      {"date", 2, ""},
      {"time", 2, ""},
      {"date --bogus 1", 2, ""},
  };
  for (const auto& r : rows) {
    RunResult got = Jbx(r.args);
    EXPECT_EQ(r.status, got.status) << r.args;
    EXPECT_EQ(r.out, got.out) << r.args;
  }
  RunResult bad = Jbx("date nonsense");
  EXPECT_TRUE(Has(bad.err, "日付ではありません: nonsense")) << bad.err;
  RunResult json = Jbx("date 2026/9/21 x --json");
  EXPECT_EQ(1, json.status);
  EXPECT_TRUE(Has(json.out, "\"date\": \"2026/09/21\"")) << json.out;
  EXPECT_TRUE(Has(json.out, "\"date\": null")) << json.out;
}

TEST(Jbx, EverySubcommandHasHelpAndTheToolItsVersion) {
  for (const char* sub : {"date", "time", "select", "dump", "holidays", "holiday-rules", "render", "chart",
                          "pack", "unpack", "draw"}) {
    RunResult r = Jbx(std::string(sub) + " --help");
    EXPECT_EQ(0, r.status) << sub;
    EXPECT_EQ(0u, r.out.find(std::string("使い方: jbx ") + sub + " ")) << sub << ": " << r.out;
    EXPECT_EQ("", r.err) << sub;
    // a wrong command line is a usage error, told on stderr
    RunResult wrong = Jbx(std::string(sub) + " --no-such-option x y");
    EXPECT_EQ(2, wrong.status) << sub;
    EXPECT_TRUE(Has(wrong.err, std::string("jbx ") + sub + " --help")) << sub << ": " << wrong.err;
  }
  for (const char* sub : {"add", "edit"})
    EXPECT_TRUE(Has(Jbx(std::string(sub) + " --help").out, "--turn A|B|C|D")) << sub;
  RunResult v = Jbx("--version");
  EXPECT_EQ(0, v.status);
  EXPECT_EQ(0u, v.out.find("jbx "));
  EXPECT_EQ(0, Jbx("--help").status);
  EXPECT_EQ(2, Jbx("").status);
  RunResult unknown = Jbx("no-such-command");
  EXPECT_EQ(2, unknown.status);
  EXPECT_TRUE(Has(unknown.err, "no-such-command"));
}

TEST(Jbx, ValuesThatDoNotReachStdoutFailTheRun) {
  // a full disk, a closed stdout, help as much as values
  for (const char* args : {"date 2026/9/21 >/dev/full", "date 2026/9/21 >&-", "time --help >/dev/full"}) {
    RunResult r = Jbx(args);
    EXPECT_EQ(1, r.status) << args;
    EXPECT_TRUE(Has(r.err, "標準出力に書けませんでした")) << args << ": " << r.err;
  }
  // a reader that has gone: neither killed by the signal nor status 0
  TempDir dir;
  int fds[2];
  ASSERT_EQ(0, ::pipe(fds));
  ::close(fds[0]);
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    ::dup2(fds[1], 1);
    std::freopen((dir / "err").c_str(), "w", stderr);
    ::execl(JBX_PROGRAM_DIR "/jbx", "jbx", "date", "2026/9/21", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
  EXPECT_EQ(1, WEXITSTATUS(status));
  EXPECT_TRUE(Has(ReadBytes(dir / "err"), "jbx date: 標準出力に書けませんでした: 読み手が先に終わりました"));
}

TEST(Jbx, AFileThatIsNotWhatItsNameSaysFailsWithItsName) {
  TempDir dir;
  std::string noise;
  for (int i = 0; i < 300; ++i) noise += static_cast<char>((i * 73 + 11) & 0xff);
  for (const char* name : {"r.jos", "r.jdt", "scrin.jsc", "r.jpk", "alarm.dat", "r.jpr"})
    WriteBytes(dir / name, noise);
  WriteBytes(dir / "other.jsc", "plain text\r\n");  // not even noise: a text file
  std::filesystem::create_directory(dir / "folder.jdt");
  struct Row {
    std::string args;
    std::string words;
  } rows[] = {
      {"dump " + dir / "r.jos", "表示画面として読めません"},
      {"dump " + dir / "r.jdt", "データファイル"},
      {"dump " + dir / "scrin.jsc", "入力画面の定義として読めません"},
      {"dump " + dir / "other.jsc", "入力画面の定義として読めません"},
      {"dump " + dir / "r.jpk", "パッケージ"},
      {"dump " + dir / "alarm.dat", "アラームの一覧"},
      {"dump " + dir / "r.jpr", "名前表"},
      {"dump " + dir / "folder.jdt", "フォルダです"},
      {"dump " + dir / "x.jdt", "ファイルが見つかりません: " + dir / "x.jdt"},
      {"select " + dir / "x.jdt", "ファイルが見つかりません: " + dir / "x.jdt"},
      {"select " + dir / "r.jdt --memo", "データファイル"},
      {"draw " + dir / "r.jos --out " + dir / "o.png", dir / "r.jos"},
      {"unpack " + dir / "r.jpk " + dir / "out", "パッケージではないか、壊れています"},
  };
  for (const auto& r : rows) {
    RunResult got = Jbx(r.args);
    EXPECT_EQ(1, got.status) << r.args;
    EXPECT_TRUE(Has(got.err, r.words)) << r.args << ": " << got.err;
    EXPECT_TRUE(Has(got.err, r.args.substr(r.args.find(' ') + 1,
                                           r.args.find(' ', r.args.find(' ') + 1) - r.args.find(' ') - 1)))
        << r.args << ": " << got.err;
    EXPECT_EQ("", got.out) << r.args;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));  // a bad package leaves no folder
  EXPECT_FALSE(std::filesystem::exists(dir / "o.png"));
}

TEST(Jbx, RenderRefusesWhatIsNotThereAndMakesNothing) {
  TempDir dir;
  const std::string root = MakeRoot(dir);
  const std::set<std::string> before = Tree(dir.path());
  struct Row {
    std::string args;
    std::string words;
  } rows[] = {
      {"--root " + dir / "nosuchroot" + " --user x", "データフォルダが見つかりません"},
      {"--root " + root + " --user 誰か", "ユーザーが見つかりません: 誰か"},
      {"--root " + root + " --user u --division 5", "分類がありません: 5"},
      {"--root " + root + " --user u --screen 9", "表示画面がありません: 9"},
      {"--root " + root + " --user u --out " + dir / "no/such/folder.png",
       "出力先のフォルダが見つかりません"},
  };
  for (const auto& r : rows) {
    const std::string out = Has(r.args, "--out") ? "" : " --out " + dir / "x.png";
    RunResult got = Jbx("render --page 1 " + r.args + out);
    EXPECT_EQ(1, got.status) << r.args;
    EXPECT_TRUE(Has(got.err, r.words)) << r.args << ": " << got.err;
  }
  EXPECT_EQ(before, Tree(dir.path()));
  // a book without its input definition would need the window's dialog
  std::filesystem::remove(root + "/u/note/scrin.jsc");
  RunResult got = Jbx("render --page 1 --root " + root + " --user u --out " + dir / "x.png");
  EXPECT_EQ(1, got.status);
  EXPECT_TRUE(Has(got.err, "入力画面の定義がありません")) << got.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "x.png"));
}

// jbx alone (no jbx-draw beside it) still does every subcommand that does
// not draw, answers --help for those that do, and refuses to draw in words.
TEST(Jbx, WithoutItsDrawingPartJbxSaysSoOnlyWhenAskedToDraw) {
  TempDir dir;
  const std::string alone = dir / "jbx";
  std::filesystem::copy_file(std::string(JBX_PROGRAM_DIR) + "/jbx", alone);
  auto run = [&](const std::string& args) {
    const std::string cmd = alone + " " + args + " >" + dir / "out" + " 2>" + dir / "err";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  };
  EXPECT_EQ(0, run("date 2026/9/21"));
  EXPECT_EQ("2026/09/21\n", ReadBytes(dir / "out"));
  EXPECT_EQ(0, run("render --help"));
  EXPECT_TRUE(Has(ReadBytes(dir / "out"), "使い方: jbx render"));
  EXPECT_EQ(2, run("render --root . --user a/b --out x.png"));  // a name outside the root, refused first
  for (const char* sub :
       {"render --page 1 --root . --user u --out x.png", "print --root . --user u --pdf x.pdf",
        "draw a.jos --out x.png", "sheet --root . --user u delete --key K --serial 1"}) {
    EXPECT_EQ(1, run(sub)) << sub;
    EXPECT_EQ("jbx " + std::string(sub).substr(0, std::string(sub).find(' ')) +
                  ": 描画の部品が見つかりません: " + dir / "jbx-draw\n",
              ReadBytes(dir / "err"))
        << sub;
  }
}

TEST(Jbx, DumpShowsListsAndNameTables) {
  TempDir dir;
  CMyLine lines;
  lines.Append("first");
  lines.Append("二行目"_sj);
  lines.Append(std::string("\x01\x02", 2));
  ASSERT_GE(lines.WriteList(dir / "a.li"), 0);
  RunResult r = Jbx("dump " + dir / "a.li");
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.out.find("\"二行目\""));
  EXPECT_NE(std::string::npos, r.out.find("\"hex\": \"0102\""));

  CMyMaster table("USER");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, "日記帳"_sj);
  EXPECT_EQ(0, table.Append(rec));
  EXPECT_GE(table.Write(dir / "jbxuser.jpr"), 0);
  r = Jbx("dump " + dir / "jbxuser.jpr");
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.out.find("\"name table\""));
  EXPECT_NE(std::string::npos, r.out.find("\"日記帳\""));
}

TEST(Jbx, UnpackRefusesEscapingNamesAndDumpListsEntries) {
  TempDir dir;
  PackageWriter w;
  EXPECT_TRUE(w.Add("scrin.jsc", "x"));
  EXPECT_TRUE(w.Add("month.jos", "y"));
  EXPECT_TRUE(w.Write(dir / "p.jpk"));
  RunResult r = Jbx("dump " + dir / "p.jpk");
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.out.find("\"month.jos\""));
  EXPECT_EQ(0, Jbx("unpack " + dir / "p.jpk " + dir / "div").status);
  std::string bytes = w.Bytes();
  bytes.resize(bytes.size() - 4);
  std::string tail = std::string("\x01\0\0\0\x05\0\0\0../x\0\x01\0\0\0z\0\0\0\0", 21);
  WriteBytes(dir / "evil.jpk", bytes + tail);
  EXPECT_EQ(1, Jbx("unpack " + dir / "evil.jpk " + dir / "div2").status);
  EXPECT_FALSE(std::ifstream(dir / "x").good());
}

TEST(Jbx, HolidaysOfTheShippedCalendar) {
  RunResult r = Jbx("holidays 2026");
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.out.find("2026/09/22\t国民の休日\t\n"));
  EXPECT_NE(std::string::npos, r.out.find("2026/05/06\t振替休日\t\n"));
  TempDir dir;
  WriteBytes(dir / "holiday.dat", "CL01\n");
  WriteBytes(dir / "kinen.dat", "CL01\n6\t1\t" + cp932::FromUtf8("創立記念日") + "\t1990\t9999\t0\t-1\n");
  r = Jbx("holidays 2026 --root " + dir.path());
  EXPECT_EQ("2026/06/01\t\t創立記念日\n", r.out);
  EXPECT_EQ(2, Jbx("holidays 12x").status);
  EXPECT_EQ(2, Jbx("holidays 2030..2020").status);
  RunResult range = Jbx("holidays 2025..2026");
  EXPECT_EQ(0, range.status);
  EXPECT_TRUE(Has(range.out, "2025/01/01\t元日\t\n") && Has(range.out, "2026/01/01\t元日\t\n"));
  RunResult json = Jbx("holidays 2026 --json --root " + dir.path());
  EXPECT_EQ(0, json.status);
  EXPECT_TRUE(Has(json.out, "\"anniversary\": \"創立記念日\"")) << json.out;
  EXPECT_EQ(1, Jbx("holidays 2026 --root " + dir / "missing").status);
}

TEST(Jbx, PackRebuildsAShippedPackage) {
  TempDir dir;
  EXPECT_EQ(0, Jbx(std::string("pack ") + JBX_SOURCE_DIR + "/packages/notebook " + dir / "n.jpk").status);
  RunResult r = Jbx("dump " + dir / "n.jpk");
  EXPECT_NE(std::string::npos, r.out.find("\"dataKind\": 100"));
  EXPECT_NE(std::string::npos, r.out.find("ページ.jos"));
  WriteBytes(dir / "package.json", "{\"file\": \"x\", \"input\": \"missing.json\"}");
  EXPECT_EQ(1, Jbx("pack " + dir.path() + " " + dir / "x.jpk").status);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.jpk"));
  EXPECT_EQ(1, Jbx("pack " + dir / "missing " + dir / "x.jpk").status);
}

TEST(Jbx, RenderDrawsTheSheetOfABook) {
  TempDir dir;
  const std::string root = MakeRoot(dir);
  RunResult r =
      Jbx("render --root " + root + " --user u --page 2 --width 300 --height 200 --out " + dir / "p.png");
  ASSERT_EQ(0, r.status);
  std::string png = ReadBytes(dir / "p.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(std::string("\x89PNG", 4), png.substr(0, 4));
  // width and height in the IHDR chunk, big-endian
  auto be = [&](size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(300, be(16));
  EXPECT_EQ(200, be(20));
  EXPECT_EQ(2, Jbx("render --root " + root).status);
}
