#include <gtest/gtest.h>

#include "options/CMyOptions.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

namespace {
struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock;
  Fixture() { WriteBytes(dir / "jotbox.ini", "[APL]\r\nNAME=u\r\n"); }
  // The settings as the program reads them at start.
  std::unique_ptr<CMyGlobal> Read() {
    auto g = std::make_unique<CMyGlobal>(prompter, clock, dir.path());
    g->ReadSettings(true);
    EXPECT_TRUE(fileops::MakeDirs(g->UserPath("")));
    return g;
  }
};
}  // namespace

TEST(CMyOptions, BackupKindsAndTheirItems) {
  // KIND 1, 7, 31 have items of their own; anything else is "manual only"
  // and is stored as 0 once OK is pressed
  const struct {
    int kind, item, stored;
  } kCases[] = {{0, 0, 0}, {1, 1, 1}, {7, 2, 7}, {31, 3, 31}, {3, 0, 0}, {-1, 0, 0}, {30, 0, 0}};
  for (const auto& k : kCases) {
    Fixture f;
    auto g = f.Read();
    g->backKind = k.kind;
    CMyOptions o(*g, true);
    EXPECT_EQ(k.item, o.Initial().backItem) << k.kind;
    EXPECT_FALSE(o.Store(o.Initial())) << k.kind;  // OK without changes: the panel stays
    EXPECT_EQ(k.stored, g->backKind) << k.kind;
  }
  EXPECT_EQ(0, CMyOptions::KindOfItem(4));
  EXPECT_EQ(0, CMyOptions::KindOfItem(-1));
}

TEST(CMyOptions, WhatOkStoresComesBackAtTheNextStart) {
  Fixture f;
  {
    auto g = f.Read();
    CMyOptions o(*g, true);
    // the defaults: everything printed, the panel shown
    EXPECT_TRUE(o.Initial().printTitle && o.Initial().printPage && o.Initial().printNow);
    EXPECT_FALSE(o.Initial().panelHidden);
    CMyOptions::Values v = o.Initial();
    v.printTitle = false;
    v.printNow = false;
    v.backItem = 2;
    v.backPath = "/media/usb/バックアップ"_sj;
    v.panelHidden = true;
    EXPECT_TRUE(o.Store(v));  // the panel goes
    ASSERT_TRUE(g->WriteSettings(true));
  }
  auto g = f.Read();
  CMyOptions o(*g, false);
  EXPECT_FALSE(o.Initial().printTitle);
  EXPECT_TRUE(o.Initial().printPage);
  EXPECT_FALSE(o.Initial().printNow);
  EXPECT_EQ(2, o.Initial().backItem);
  EXPECT_EQ(7, g->backKind);
  EXPECT_EQ("/media/usb/バックアップ"_sj, o.Initial().backPath);
  EXPECT_TRUE(o.Initial().panelHidden);
}

TEST(CMyOptions, TheLastBackupAndFoldersTheSettingCannotHold) {
  Fixture f;
  auto g = f.Read();
  EXPECT_EQ("", CMyOptions(*g, true).LastBackup());
  g->backLastTime = "2026/09/14 21:05";
  EXPECT_EQ("前回のバックアップ：2026/09/14 21:05  成功", cp932::ToUtf8(CMyOptions(*g, true).LastBackup()));
  g->backLastResult = -3;
  EXPECT_EQ("前回のバックアップ：2026/09/14 21:05  失敗（-3）",
            cp932::ToUtf8(CMyOptions(*g, true).LastBackup()));

  std::string sj, why;
  EXPECT_TRUE(CMyOptions::BackPathOf("/home/花子/控え", sj, why));
  EXPECT_EQ("/home/花子/控え"_sj, sj);
  sj = "kept";
  EXPECT_FALSE(CMyOptions::BackPathOf("/home/한국", sj, why));  // no CP932 form
  EXPECT_EQ("kept", sj);
  EXPECT_FALSE(why.empty());
  EXPECT_TRUE(CMyOptions::BackPathOf("/" + std::string(258, 'a'), sj, why));
  EXPECT_FALSE(CMyOptions::BackPathOf("/" + std::string(259, 'a'), sj, why));
}
