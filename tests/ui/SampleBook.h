// Small books for the window's tests: a data root with user "u" and one
// division per shipped package, filled with the given entries.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

struct Entry {
  const char* key;
  std::vector<std::pair<int, const char*>> values;  // field, UTF-8 value
};

// A data root with user "u" and one division per package, filled with entries.
class Book {
 public:
  Book() { WriteBytes(dir_ / "jotbox.ini", "[APL]\r\nNAME=u\r\n"); }
  void AddDivision(const char* name, int package, const std::vector<Entry>& entries) {
    FixedClock clock({2026, 9, 15});
    CMyGlobal g(prompter_, clock, dir_.path());
    g.SetUserName("u");
    g.SetDivisionFolder(cp932::FromUtf8(name));
    fileops::MakeDirs(g.DivisionPath(""));
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
    DefineMemoSchema(db);
    CMyRec work(&db);
    CMyMaster divout("DIVOUT");
    CMyPeriods periods(g, db, work, divout, prompter_);
    for (const Entry& e : entries) {
      std::string period = CMyPeriods::PeriodOf(e.key);
      char serial[8];
      std::snprintf(serial, sizeof serial, "%05d", periods.RegisterKey(period, e.key, false));
      db.New();
      db.SetValue(memo::kKey, e.key);
      db.SetValue(memo::kLineSerial, serial);
      for (const auto& [field, value] : e.values) db.SetValue(field, cp932::FromUtf8(value));
      ASSERT_EQ(0, db.Store());
      periods.SavePeriod(period);
    }
  }
  const std::string& Root() const { return dir_.path(); }

 private:
  TempDir dir_;
  ScriptedPrompter prompter_;
};
