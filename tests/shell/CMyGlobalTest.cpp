#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

namespace {

struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 9}};
  std::string program = dir / "prog";
  std::string home = dir / "home";
  Fixture() { EXPECT_TRUE(fileops::MakeDir(program)); }
};

}  // namespace

TEST(CMyGlobal, PortableIniKeepsAllDataBesideTheProgram) {
  Fixture f;
  WriteBytes(f.program + "/jotbox.ini", "");
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  EXPECT_EQ(f.program + "/", g.DataRoot());
  EXPECT_FALSE(fileops::Exists(f.home + "/oakden"));
}

TEST(CMyGlobal, FirstRunCreatesTheApplicationDataFolderWithItsProbe) {
  Fixture f;
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  EXPECT_EQ(f.home + "/oakden/jotbox/", g.DataRoot());
  EXPECT_TRUE(fileops::IsFile(f.home + "/oakden/jotbox/make.chk"));
  EXPECT_EQ((CivilDate{2026, 12, 9}), g.Today());
}

TEST(CMyGlobal, UnwritableDataHomeFallsBackToTheProgramFolder) {
  Fixture f;
  WriteBytes(f.home, "a file where the folder should be");
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  EXPECT_EQ(f.program + "/", g.DataRoot());
}

TEST(CMyGlobal, PathBuilders) {
  Fixture f;
  WriteBytes(f.program + "/jotbox.ini", "");
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  std::string r = g.DataRoot();
  g.SetUserName("taro");
  g.SetDivisionFolder("div.v2");
  EXPECT_EQ(r + "holiday.dat", g.RootPath("holiday.dat"));
  EXPECT_EQ(r + "tmp/x.csv", g.TempPath("x.csv"));
  EXPECT_EQ(r + "taro", g.UserPath(""));
  EXPECT_EQ(r + "taro/alarm.dat", g.UserPath("alarm.dat"));
  EXPECT_EQ(r + "taro/div.v2", g.DivisionPath(""));
  EXPECT_EQ(r + "taro/div.v2/month.jos", g.DivisionPath("month.old", ".jos"));
  EXPECT_EQ(r + "taro/div.v2/month.jos", g.DivisionPath("month", ".jos"));
  // the first dot of the last component starts its extension
  EXPECT_EQ(r + "taro/div.v2/a.jos", g.DivisionPath("a.b.c", ".jos"));
  EXPECT_EQ(r + "taro/div.jos", g.DivisionPath("", ".jos"));
  // names are CP932 inside; on disk they are spelled in UTF-8
  EXPECT_EQ(r + "taro/div.v2/月表.jos", g.DivisionPath("月表"_sj, ".jos"));
  g.SetUserName("花子"_sj);
  EXPECT_EQ(r + "花子/alarm.dat", g.UserPath("alarm.dat"));
  EXPECT_TRUE(f.prompter.Shown().empty());
}

TEST(CMyGlobal, OverlongPathsAreReported) {
  Fixture f;
  std::string prog = f.dir / std::string(250 - f.dir.path().size() - 1, 'p');
  ASSERT_TRUE(fileops::MakeDir(prog));
  WriteBytes(prog + "/jotbox.ini", "");
  CMyGlobal g(f.prompter, f.clock, prog, f.home);
  ASSERT_EQ(251u, g.DataRoot().size());
  EXPECT_EQ("abcdefghij", g.RootPath("abcdefghij"));
  EXPECT_EQ("", g.TempPath("abcde"));
  EXPECT_EQ("", g.RootPath(std::string(300, 'n')));
  ASSERT_EQ(3u, f.prompter.Shown().size());
  EXPECT_EQ("ファイル名が長すぎます。", f.prompter.ShownUtf8()[0]);
  EXPECT_EQ("注意"_sj, f.prompter.Shown()[0].caption);
}

TEST(CMyGlobal, SettingsHaveTheirDefaultsAndRoundTrip) {
  Fixture f;
  WriteBytes(f.program + "/jotbox.ini", "");
  {
    CMyGlobal g(f.prompter, f.clock, f.program, f.home);
    g.ReadSettings(true);
    EXPECT_EQ("", g.UserName());
    EXPECT_EQ(462, g.width[0]);
    EXPECT_EQ(600, g.height[2]);
    EXPECT_TRUE(g.scrVisible);
    EXPECT_EQ(3, g.backCuMax);
    EXPECT_TRUE(g.printTitle);
    EXPECT_FALSE(g.alarmSound);
    EXPECT_EQ("[", g.timeF);
    g.SetUserName("花子"_sj);
    ASSERT_TRUE(fileops::MakeDir(g.UserPath("")));
    g.left[0] = 10;
    g.width[2] = 700;
    g.ren = true;
    g.backPath = "/backup";
    g.timeF = "【"_sj;
    ASSERT_TRUE(g.WriteSettings(true));
  }
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  g.ReadSettings(true);
  EXPECT_EQ("花子"_sj, g.UserName());
  EXPECT_EQ(10, g.left[0]);
  EXPECT_EQ(700, g.width[2]);
  EXPECT_TRUE(g.ren);
  EXPECT_EQ("/backup", g.backPath);
  EXPECT_EQ("【"_sj, g.timeF);  // one double-byte character is one character
  IniFile ini;
  ASSERT_TRUE(ini.Load(g.UserPath("jbxuser.ini")));
  EXPECT_EQ("1", ini.GetString("FORM1", "REN", ""));
}

TEST(CMyGlobal, BadStoredValuesFallBackToDefaults) {
  Fixture f;
  WriteBytes(f.program + "/jotbox.ini", "[APL]\r\nNAME=u\r\n");
  ASSERT_TRUE(fileops::MakeDir(f.program + "/u"));
  WriteBytes(f.program + "/u/jbxuser.ini", "[ALARM]\r\nTIME_F=<<\r\nTIME_T=\r\nONSOUND_PATH=" +
                                               std::string(260, 'a') + "\r\n[BACK]\r\nPATH=/ok\r\n");
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  g.ReadSettings(true);
  EXPECT_EQ("[", g.timeF);
  EXPECT_EQ("]", g.timeT);
  EXPECT_EQ("", g.alarmSoundPath);
  EXPECT_EQ("/ok", g.backPath);
}

TEST(CMyGlobal, PathDatLines) {
  Fixture f;
  WriteBytes(f.program + "/jotbox.ini", "");
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  g.SetUserName("u");
  g.SetDivisionFolder("d");
  ASSERT_TRUE(fileops::MakeDirs(g.DivisionPath("")));
  EXPECT_EQ("", g.GetPathLine(0));
  ASSERT_TRUE(g.SetPathLine(2, "1"));
  ASSERT_TRUE(g.SetPathLine(0, "/home/x.csv"));
  EXPECT_EQ("/home/x.csv", g.GetPathLine(0));
  EXPECT_EQ("", g.GetPathLine(1));
  EXPECT_EQ("1", g.GetPathLine(2));
  EXPECT_EQ("/home/x.csv\r\n\r\n1\r\n", ReadBytes(g.DivisionPath("Path.dat")));
  // a list that is there but cannot be read is never written over with
  // only the line given (the superuser reads it anyway)
  if (::geteuid() != 0) {
    const std::string path = g.DivisionPath("Path.dat");
    ASSERT_EQ(0, ::chmod(path.c_str(), 0));
    EXPECT_FALSE(g.SetPathLine(1, "x"));
    ASSERT_EQ(0, ::chmod(path.c_str(), 0600));
    EXPECT_EQ("/home/x.csv\r\n\r\n1\r\n", ReadBytes(path));
  }
}

TEST(CMyGlobal, HelpLooksUpKeywords) {
  Fixture f;
  WriteBytes(f.program + "/jotbox.ini", "");
  ASSERT_TRUE(fileops::MakeDir(f.program + "/help"));
  WriteBytes(f.program + "/help/keywords.txt", "アラーム\talarm.html\n");
  for (const char* page : {"alarm.html", "index.html"}) WriteBytes(f.program + "/help/" + page, "");
  CMyGlobal g(f.prompter, f.clock, f.program, f.home);
  RecordingOpener opener;
  EXPECT_EQ(f.program + "/help/alarm.html", g.ShowHelp("アラーム"_sj, &opener));
  EXPECT_EQ(f.program + "/help/index.html", g.ShowHelp("", &opener));
  ASSERT_EQ(2u, opener.opened.size());
  EXPECT_EQ("file://" + f.program + "/help/alarm.html", opener.opened[0]);
  EXPECT_EQ("", g.ShowHelp("ない"_sj, &opener));
  ASSERT_EQ(1u, f.prompter.Shown().size());
  EXPECT_EQ("そのようなキーワードはありません", f.prompter.ShownUtf8()[0]);
  EXPECT_EQ("エラー"_sj, f.prompter.Shown()[0].caption);
}

TEST(CMyGlobal, HelpThatCannotBeShownSaysWhichPage) {
  struct Failing : Opener {
    bool Open(const std::string&) override { return false; }
  } failing;
  RecordingOpener working;
  for (const bool pageThere : {true, false}) {  // then the opener fails, else the page is missing
    Fixture f;
    WriteBytes(f.program + "/jotbox.ini", "");
    ASSERT_TRUE(fileops::MakeDir(f.program + "/help"));
    if (pageThere) WriteBytes(f.program + "/help/index.html", "");
    Opener* opener = pageThere ? static_cast<Opener*>(&failing) : &working;
    EXPECT_EQ("", CMyGlobal(f.prompter, f.clock, f.program, f.home).ShowHelp("", opener));
    EXPECT_EQ(std::vector<std::string>{"ヘルプを開けませんでした: " + f.program + "/help/index.html"},
              f.prompter.ShownUtf8());
  }
}

TEST(CMyGlobal, HelpOpensOnePercentEncodedUrlThroughTheOpenerSetOnce) {
  Fixture f;
  std::string program = f.dir / "ひとこと 帳";
  ASSERT_TRUE(fileops::MakeDirs(program + "/help"));
  WriteBytes(program + "/jotbox.ini", "");
  WriteBytes(program + "/help/keywords.txt", "新規分類作成\t新規分類.html#作成\n");
  WriteBytes(program + "/help/新規分類.html", "");
  CMyGlobal g(f.prompter, f.clock, program, f.home);
  RecordingOpener opener;
  g.SetOpener(&opener);  // the dialogs call ShowHelp without one
  EXPECT_EQ(program + "/help/新規分類.html#作成", g.ShowHelp("新規分類作成"_sj));
  ASSERT_EQ(1u, opener.opened.size());
  EXPECT_EQ("file://" + CMyGlobal::FileUrl(f.dir.path()).substr(7) +
                "/%E3%81%B2%E3%81%A8%E3%81%93%E3%81%A8%20%E5%B8%B3/help/"
                "%E6%96%B0%E8%A6%8F%E5%88%86%E9%A1%9E.html#作成",
            opener.opened[0]);
  struct Case {
    const char* path;
    const char* url;
  } cases[] = {
      {"/a b/c%d.html", "file:///a%20b/c%25d.html"},
      {"/x/y.html#top", "file:///x/y.html#top"},
      {"/漢", "file:///%E6%BC%A2"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.url, CMyGlobal::FileUrl(c.path));
}
