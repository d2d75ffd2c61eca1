// A data root written before a main window starts on it: user "u" with one
// division per package, each filled with entries through the period files.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

struct BookEntry {
  const char* key;
  std::vector<std::pair<int, const char*>> values;  // field, UTF-8 value
};

// A data root with user "u" and one division per package, filled with entries.
class WrittenBook {
 public:
  WrittenBook() { WriteBytes(dir_ / "jotbox.ini", "[APL]\r\nNAME=u\r\n"); }
  void AddDivision(const char* name, int package, const std::vector<BookEntry>& entries) {
    FixedClock clock({2026, 9, 15});
    CMyGlobal g(prompter_, clock, dir_.path());
    g.SetUserName("u");
    g.SetDivisionFolder(cp932::FromUtf8(name));
    ASSERT_TRUE(fileops::MakeDirs(g.DivisionPath("")));
    CMyMaster users("USER");
    users.Read(g.UserPath("jbxuser.jpr"));
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, cp932::FromUtf8(name));
    EXPECT_EQ(0, users.Append(rec));
    EXPECT_GE(users.Write(g.UserPath("jbxuser.jpr")), 0);
    auto names = packagelist::Names(JBX_PROGRAM_DIR);
    CMyPackage pkg(prompter_);
    ASSERT_EQ(0, pkg.UnpackTo(packagelist::PathOf(JBX_PROGRAM_DIR, names[static_cast<size_t>(package)]),
                              g.DivisionPath(""), nullptr, false));
    CMyDB db;
    ASSERT_EQ(0, DefineMemoSchema(db));
    CMyRec work(&db);
    CMyMaster divout("DIVOUT");
    CMyPeriods periods(g, db, work, divout, prompter_);
    for (const BookEntry& e : entries) {
      std::string period = CMyPeriods::PeriodOf(e.key);
      char serial[8];
      std::snprintf(serial, sizeof serial, "%05d", periods.RegisterKey(period, e.key, false));
      db.New();
      ASSERT_EQ(0, db.SetValue(memo::kKey, e.key));
      ASSERT_EQ(0, db.SetValue(memo::kLineSerial, serial));
      for (const auto& [field, value] : e.values) ASSERT_EQ(0, db.SetValue(field, cp932::FromUtf8(value)));
      ASSERT_EQ(0, db.Store());
      ASSERT_EQ(0, periods.SavePeriod(period));
    }
  }
  const std::string& Root() const { return dir_.path(); }

 private:
  TempDir dir_;
  ScriptedPrompter prompter_;
};
