// Every writer of the program, made to fail at each step of saving: the old
// file stays as it was and the caller is told.
#include <gtest/gtest.h>

#include "alarm/CMyAlarm.h"
#include "catalogue/CMyMaster.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyLine.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

namespace {

const fileops::Fault kFaults[] = {fileops::Fault::kWrite, fileops::Fault::kFsync, fileops::Fault::kRename,
                                  fileops::Fault::kClose};

// Runs `save` once with each fault; `save` returns true on success.
template <typename Save>
void ExpectEachFaultKeepsTheOldFile(const std::string& path, Save save) {
  ASSERT_TRUE(save()) << "a first save must succeed";
  const std::string before = ReadBytes(path);
  for (fileops::Fault f : kFaults) {
    SCOPED_TRACE(static_cast<int>(f));
    fileops::InjectFault(f, 1);
    EXPECT_FALSE(save());
    fileops::ClearFaults();
    EXPECT_EQ(before, ReadBytes(path));
  }
}

struct Division {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2020, 3, 5}};
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal global{prompter, clock, dir.path(), dir / "home"};
  Division() {
    global.SetUserName("u");
    global.SetDivisionFolder("d");
    EXPECT_TRUE(fileops::MakeDirs(global.DivisionPath("")));
  }
};

}  // namespace

TEST(WriteFaults, DataFilesOfAMonth) {
  Division d;
  CMyDB db(&d.prompter);
  ASSERT_EQ(0, DefineMemoSchema(db));
  CMyRec work(&db);
  CMyMaster divout("DIVOUT", &d.prompter);
  CMyPeriods periods(d.global, db, work, divout, d.prompter);
  int serial = periods.RegisterKey("202003", "2020/03/05", false);
  db.New();
  ASSERT_EQ(0, db.SetValue(memo::kKey, "2020/03/05"));
  ASSERT_EQ(0, db.SetValue(memo::kLineSerial, std::to_string(serial)));
  ASSERT_EQ(0, db.SetValue(memo::kMem001, "a"));
  ASSERT_EQ(0, db.Store());
  ExpectEachFaultKeepsTheOldFile(d.global.DivisionPath("dt202003.jdt"), [&] {
    d.prompter.ClearShown();
    bool ok = periods.SavePeriod("202003") == 0;
    if (!ok) {
      EXPECT_EQ("保存に失敗しました。", d.prompter.ShownUtf8().back());
    }
    return ok;
  });
}

TEST(WriteFaults, ListsNameTablesSettingsAndAlarms) {
  Division d;
  CMyLine lines(2048);
  lines.Append("one");
  ExpectEachFaultKeepsTheOldFile(d.dir / "list.dat",
                                 [&] { return lines.WriteList(d.dir / "list.dat") >= 0; });

  CMyMaster users("USER");
  users.Init("USER");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, "日記"_sj);
  ASSERT_EQ(0, users.Append(rec));
  int change = 0;  // unchanged bytes are not written at all, so each save changes one
  ExpectEachFaultKeepsTheOldFile(d.dir / "jbxuser.jpr", [&] {
    EXPECT_TRUE(users.SetInt(0, CMyMaster::kRKey11, ++change));
    return users.Write(d.dir / "jbxuser.jpr") >= 0;
  });

  IniFile ini;
  ini.SetString("USER", "NAME", "u");
  ExpectEachFaultKeepsTheOldFile(d.dir / "jotbox.ini", [&] { return ini.Save(d.dir / "jotbox.ini"); });

  CMyAlarm alarms(d.global, d.clock);
  alarms.Add("2020/03/05", "00001", "10:30", "歯医者"_sj, 0, 0);
  ExpectEachFaultKeepsTheOldFile(d.dir / "alarm.dat", [&] { return alarms.Save(d.dir / "alarm.dat"); });
}
