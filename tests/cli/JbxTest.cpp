// The command-line tool as a person runs it: the real binary, real files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "catalogue/CMyMaster.h"
#include "catalogue/PackageWriter.h"
#include "platform/Cp932.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {

struct RunResult {
  int status;
  std::string out;
};

RunResult Jbx(const std::string& args) {
  // the tool's own data-folder probe must never reach the real home
  std::string cmd = "XDG_DATA_HOME=/tmp/jbx-cli-test-home " + std::string(JBX_PROGRAM_DIR) + "/jbx " + args +
                    " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  RunResult r{-1, {}};
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace

TEST(Jbx, DatesAndTimes) {
  EXPECT_EQ("H32/03/04\n", Jbx("date 20200304 --era").out);
  EXPECT_EQ("2020/03/04\n\n", Jbx("date 2020.3.4 nonsense").out);
  EXPECT_EQ("09:05\tyes\n25:59\tno\n\tno\n", Jbx("time 9:5 2559 2560 --max23").out);
  EXPECT_EQ(2, Jbx("date").status);
  EXPECT_EQ(2, Jbx("no-such-command").status);
}

TEST(Jbx, DumpShowsListsAndNameTables) {
  TempDir dir;
  CMyLine lines;
  lines.Append("first");
  lines.Append("二行目"_sj);
  lines.Append(std::string("\x01\x02", 2));
  lines.WriteList(dir / "a.li");
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
}

TEST(Jbx, PackRebuildsAShippedPackage) {
  TempDir dir;
  EXPECT_EQ(0, Jbx(std::string("pack ") + JBX_SOURCE_DIR + "/packages/notebook " + dir / "n.jpk").status);
  RunResult r = Jbx("dump " + dir / "n.jpk");
  EXPECT_NE(std::string::npos, r.out.find("\"dataKind\": 100"));
  EXPECT_NE(std::string::npos, r.out.find("ページ.jos"));
  WriteBytes(dir / "package.json", "{\"file\": \"x\", \"input\": \"missing.json\"}");
  EXPECT_EQ(2, Jbx("pack " + dir.path() + " " + dir / "x.jpk").status);
}

TEST(Jbx, RenderDrawsTheSheetOfABook) {
  TempDir dir;
  const std::string root = dir / "root";
  ASSERT_EQ(0, Jbx("unpack " + std::string(JBX_PROGRAM_DIR) + "/PK4_ノート.jpk " + root + "/u/note").status);
  CMyMaster users("USER");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, "note");
  EXPECT_EQ(0, users.Append(rec));
  ASSERT_GE(users.Write(root + "/u/jbxuser.jpr"), 0);
  WriteBytes(root + "/jotbox.ini", "[APL]\r\nNAME=u\r\n");
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
