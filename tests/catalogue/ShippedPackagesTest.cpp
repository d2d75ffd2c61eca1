// Every package the program ships, unpacked as a new division would be and
// read back through the real readers.
#include <gtest/gtest.h>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "input/CMyHyo.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "screens/CMyScr.h"
#include "screens/InputDef.h"
#include "support/TempDir.h"

TEST(ShippedPackages, EachUnpacksIntoAWorkingDivision) {
  auto names = packagelist::Names(JBX_PROGRAM_DIR);
  ASSERT_GE(names.size(), 4u);
  int kinds[2] = {0, 0};
  for (const auto& name : names) {
    SCOPED_TRACE(cp932::ToUtf8(name));
    TempDir dir;
    ScriptedPrompter prompter;
    CMyPackage package(prompter);
    ASSERT_EQ(0, package.UnpackTo(packagelist::PathOf(JBX_PROGRAM_DIR, name), dir.path(), nullptr, false));
    EXPECT_TRUE(prompter.Shown().empty());

    jsc::InputDef def;
    ASSERT_EQ(0, jsc::LoadInputDef(dir / "scrin.jsc", def, &prompter));
    EXPECT_TRUE(prompter.Shown().empty()) << (prompter.Shown().empty() ? "" : prompter.ShownUtf8()[0]);
    ASSERT_TRUE(def.header.dataKind == 0 || def.header.dataKind == 100);
    ++kinds[def.header.dataKind == 100 ? 1 : 0];
    // the package list finds this package again by the identity it stores
    EXPECT_EQ(&name - &names[0], packagelist::Preselect(names, def.header.packageId));
    bool hasMemo = false;
    for (const auto& c : def.controls) hasMemo = hasMemo || c.field == "MEM001";
    EXPECT_TRUE(hasMemo);

    CMyMaster screens;
    ASSERT_EQ(0, screens.Read(dir / "divin.jpr"));
    ASSERT_GE(screens.RecordCount(), 2);
    for (int i = 0; i < screens.RecordCount(); ++i) {
      CMyScr scr;
      EXPECT_EQ(0, scr.LoadScreen(dir / (cp932::ToUtf8(screens.Name(i)) + ".jos")))
          << cp932::ToUtf8(screens.Name(i));
      EXPECT_GT(scr.ItemCount(), 0);
      EXPECT_GT(scr.View().bandWidth[0], 0);
      // the sheet fits the default window of 462 pixels with its scroll bar
      EXPECT_LE(scr.View().bandWidth[scr.View().mode == 10 ? 1 : 0] + scr.ToDevice(0, scr.SheetWidth()), 440);
    }
    CMyMaster colors;
    ASSERT_EQ(0, colors.Read(dir / "color.dat"));
    for (int button = 1; button <= 3; ++button) EXPECT_GE(colors.FindByInt(14, button), 0) << button;
    for (const std::string& file : fileops::List(dir.path(), "*.ms")) {
      if (file.rfind("cboms", 0) == 0) continue;  // plain text lines
      CMyHyo list;
      EXPECT_EQ(0, list.Load(dir / file)) << file;
    }
  }
  EXPECT_GE(kinds[0], 3);  // diaries, schedules, household books
  EXPECT_GE(kinds[1], 1);  // notebooks
}
