// The sheet's zoom steps and the user's view settings as they are kept.
#include <gtest/gtest.h>

#include "mainview/display/SheetZoom.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

TEST(SheetZoom, StepsStopAtTheEndsAndKeptValuesAreReadSafely) {
  struct Case {
    int kept, direction, next;
  } cases[] = {
      {100, 1, 110}, {100, -1, 90}, {80, -1, 80},  {200, 1, 200},
      {175, 1, 200}, {150, 0, 100}, {130, 1, 150},                // between steps: the one below, then on
      {0, 1, 110},   {79, -1, 90},  {201, 0, 100}, {-5, 1, 110},  // outside: the normal size
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.next, SheetZoom::Next(c.kept, c.direction)) << c.kept << " " << c.direction;
}

TEST(SheetZoom, AChangeIsWrittenAtOnceAndLeavesOtherKeysAsTheyAre) {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 9}};
  WriteBytes(dir / "jotbox.ini", "");
  CMyGlobal g{prompter, clock, dir.path()};
  g.SetUserName("u");
  ASSERT_TRUE(fileops::MakeDirs(g.UserPath("")));
  // another window wrote its own key meanwhile
  WriteBytes(g.UserPath("jbxuser.ini"), "[FORM0]\nWIDTH=900\n");
  SheetZoom zoom(g);
  bool written = false;
  ASSERT_TRUE(zoom.Step(1, written));
  EXPECT_TRUE(written);
  EXPECT_TRUE(zoom.SetFitColumns(true));
  IniFile ini;
  ASSERT_TRUE(ini.Load(g.UserPath("jbxuser.ini")));
  EXPECT_EQ(110, ini.GetInt("FORM0", "ZOOM", 0));
  EXPECT_TRUE(ini.GetBool("FORM0", "FIT_COLUMNS", false));
  EXPECT_EQ(900, ini.GetInt("FORM0", "WIDTH", 0));

  g.zoom = 200;
  EXPECT_FALSE(zoom.Step(1, written)) << "at the end nothing changes";
  fileops::InjectFault(fileops::Fault::kRename, 1);
  EXPECT_TRUE(zoom.Step(-1, written));
  fileops::ClearFaults();
  EXPECT_FALSE(written) << "a failed write is told, not taken for kept";
  EXPECT_EQ(175, zoom.Percent()) << "the window still shows the new size";
  ASSERT_TRUE(ini.Load(g.UserPath("jbxuser.ini")));
  EXPECT_EQ(110, ini.GetInt("FORM0", "ZOOM", 0)) << "the file stays whole";
}
