// A book's folder and the objects a program keeps over it (settings, table,
// period list, periods), for the period tests. Several programs may share
// one folder: `Program` over an existing data root stands for another one.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "catalogue/CMyMaster.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

namespace periods_test {

class Host : public PeriodHost {
 public:
  bool group = false;
  std::vector<std::string> moves;
  CMyPeriods* periods = nullptr;
  bool GroupViewShown() const override { return group; }
  bool MoveViewToKey(const std::string& key) override {
    moves.push_back(key);
    std::string p = CMyPeriods::PeriodOf(key);
    periods->LoadPeriods(p, p);
    return true;
  }
};

struct Program {
  ScriptedPrompter prompter;
  FixedClock clock{{2020, 3, 5}};
  CMyGlobal global;
  CMyDB db{&prompter};
  CMyRec work{&db};
  CMyMaster divout{"DIVOUT", &prompter};
  Host host;
  CMyPeriods periods{global, db, work, divout, prompter, &host};
  explicit Program(const std::string& root) : global(prompter, clock, root, root + "/home") {
    global.SetUserName("u");
    global.SetDivisionFolder("d");
    EXPECT_TRUE(fileops::MakeDirs(global.DivisionPath("")));
    EXPECT_EQ(0, DefineMemoSchema(db));
    host.periods = &periods;
  }
  // Adds a record the way the main view does and saves its period.
  int Add(const std::string& key, const std::string& memo) {
    std::string period = CMyPeriods::PeriodOf(key);
    int serial = periods.RegisterKey(period, key, false);
    char buf[8];
    std::snprintf(buf, sizeof buf, "%05d", serial);
    db.New();
    EXPECT_EQ(0, db.SetValue(memo::kKey, key));
    EXPECT_EQ(0, db.SetValue(memo::kLineSerial, buf));
    EXPECT_EQ(0, db.SetValue(memo::kMem001, memo));
    EXPECT_EQ(0, db.Store());
    EXPECT_EQ(0, periods.SavePeriod(period));
    return serial;
  }
};

struct BookDir {
  TempDir dir;
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);  // data beside the "program"
};

struct Book : BookDir, Program {
  Book() : Program(dir.path()) {}
};

}  // namespace periods_test
