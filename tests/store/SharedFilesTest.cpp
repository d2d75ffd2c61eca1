// The files besides the book that a window and jbx both rewrite: what one
// program wrote between another's read and save is never written over.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "alarm/CMyAlarm.h"
#include "calendar/CMyHolidayEditor.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/ListRecovery.h"
#include "input/CMyHyo.h"
#include "input/CMySetMaster.h"
#include "input/SelectionLists.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/SharedConflicts.h"
#include "support/TempDir.h"

namespace {

// One program over the data root: user "u", division "d".
struct Program {
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 10}, {9, 0, 0}};
  CMyGlobal g;
  explicit Program(const std::string& root) : g(prompter, clock, root) {
    g.SetUserName("u");
    g.SetDivisionFolder("d");
  }
};

// What a program holds of one file: it read it when opened; `change`
// makes a change named by a tag in memory, `save` writes.
struct Side {
  explicit Side(std::shared_ptr<Program> p) : program(std::move(p)) {}
  std::shared_ptr<Program> program;
  std::shared_ptr<void> state;
  std::function<void(const std::string&)> change;
  std::function<bool()> save;
};

struct Case {
  const char* file;  // under the data root
  std::function<void(Program&, const std::string& path)> seed;
  std::function<Side(std::shared_ptr<Program>, const std::string& path)> open;
  int readsBeforeRereading;  // the open of the file that fails (after jotbox.ini's)
  bool tells;                // a refusal comes with a message
};

template <class T>
std::shared_ptr<T> Keep(Side& s, std::shared_ptr<T> t) {
  s.state = t;
  return t;
}

Side NameTable(std::shared_ptr<Program> p, const std::string& path, bool screens) {
  Side s(p);
  auto t = Keep(s, std::make_shared<CMyMaster>("T", &p->prompter));
  if (screens)
    (void)listrecovery::LoadScreenList(p->g, *t, p->prompter, p->clock);
  else
    (void)listrecovery::LoadDivisionList(p->g, *t, p->prompter, p->clock);
  s.change = [t](const std::string& tag) {
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, tag);
    ASSERT_EQ(0, t->Append(rec));
  };
  s.save = [t, path] { return t->Write(path) >= 0; };
  return s;
}

void SeedTable(Program&, const std::string& path) {
  CMyMaster t("T");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, "seed");
  ASSERT_EQ(0, t.Append(rec));
  ASSERT_GE(t.Write(path), 0);
}

const Case kCases[] = {
    {"u/alarm.dat",
     [](Program& p, const std::string& path) {
       CMyAlarm a(p.g, p.clock);
       a.Add("2026/12/20", "0", "09:00", "seed", 0, 1);
       ASSERT_TRUE(a.Save(path));
     },
     [](std::shared_ptr<Program> p, const std::string& path) {
       Side s(p);
       auto a = Keep(s, std::make_shared<CMyAlarm>(p->g, p->clock, &p->prompter));
       a->Load(path);
       s.change = [a](const std::string& tag) { a->Add("2026/12/21", "0", "10:00", tag, 0, 1); };
       s.save = [a, path] { return a->Save(path); };
       return s;
     },
     1, true},
    {"u/jbxuser.ini", [](Program&, const std::string& path) { WriteBytes(path, "[KEEP]\r\nSEED=seed\r\n"); },
     [](std::shared_ptr<Program> p, const std::string&) {
       Side s(p);
       p->g.ReadSettings(false);
       s.change = [p](const std::string& tag) {
         (tag == "theirs" ? p->g.alarmSoundPath : p->g.backPath) = tag;
       };
       s.save = [p] { return p->g.WriteSettings(true); };
       return s;
     },
     2 /* jotbox.ini */, false},
    {"u/jbxuser.jpr", SeedTable,
     [](std::shared_ptr<Program> p, const std::string& path) { return NameTable(p, path, false); }, 1, true},
    {"u/d/divin.jpr", SeedTable,
     [](std::shared_ptr<Program> p, const std::string& path) { return NameTable(p, path, true); }, 1, true},
    {"holiday.dat",
     [](Program&, const std::string& path) { WriteBytes(path, "CL01\r\n1\t1\tseed\t1000\t9999\t0\t-1\r\n"); },
     [](std::shared_ptr<Program> p, const std::string& path) {
       Side s(p);
       const std::string root = fileops::DirName(path);
       auto e = Keep(s, std::make_shared<CMyHolidayEditor>(path, root + "kinen.dat", root + "prog/", 2026,
                                                           p->prompter));
       e->Open();
       s.change = [e](const std::string& tag) {
         HolidayForm f;
         f.month = "5";
         f.day = tag == "ours" ? "5" : "6";
         f.name = tag;
         ASSERT_GE(e->Insert(0, f), 1);
       };
       s.save = [e] { return e->SaveChanged(); };
       return s;
     },
     1, true},
    {"u/d/selms01.ms",
     [](Program&, const std::string& path) {
       CMyHyo t;
       t.SetSwitch(1, true);
       t.InsertRow(0);
       t.SetCell(1, 0, "NoP");
       t.SetCell(2, 0, "seed");
       ASSERT_GE(t.Save(path), 0);
     },
     [](std::shared_ptr<Program> p, const std::string& path) {
       Side s(p);
       auto t = Keep(s, std::make_shared<std::pair<CMyHyo, std::string>>());
       (void)t->first.Load(path);
       s.change = [t](const std::string& tag) { t->second = tag; };
       s.save = [t, path] {
         return sellist::LearnListValue(false, t->first, t->second, "", 1, fileops::DirName(path)) == 1;
       };
       return s;
     },
     1, false},
    {"u/d/cboms01.ms", [](Program&, const std::string& path) { WriteBytes(path, "$$$ 1\r\nseed\r\n"); },
     [](std::shared_ptr<Program> p, const std::string& path) {
       Side s(p);
       auto l = Keep(s, std::make_shared<std::pair<sellist::ComboList, std::string>>());
       (void)sellist::LoadComboList(path, l->first);
       s.change = [l](const std::string& tag) { l->second = tag; };
       s.save = [l, path] { return sellist::LearnComboValue(l->first, l->second, path) == 1; };
       return s;
     },
     1, false},
};

struct Shared {
  TempDir dir;
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  bool folders = fileops::MakeDirs(dir / "u/d") && fileops::MakeDir(dir / "prog");
  std::string Path(const Case& c) const { return dir / c.file; }
  Side Open(const Case& c) { return c.open(std::make_shared<Program>(dir.path()), Path(c)); }
};

}  // namespace

TEST(SharedFiles, WhatAnotherProgramWroteBetweenOurReadAndSaveStays) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    Shared f;
    Program seeder(f.dir.path());
    c.seed(seeder, f.Path(c));
    Side window = f.Open(c);
    window.change("ours");
    Side jbx = f.Open(c);
    jbx.change("theirs");
    ASSERT_TRUE(jbx.save());
    ASSERT_TRUE(window.save());
    const std::string bytes = ReadBytes(f.Path(c));
    for (const char* tag : {"seed", "ours", "theirs"}) EXPECT_NE(std::string::npos, bytes.find(tag)) << tag;
    // the window's next save starts from what it wrote: nothing comes twice
    window.change("again");
    ASSERT_TRUE(window.save());
    const std::string again = ReadBytes(f.Path(c));
    EXPECT_NE(std::string::npos, again.find("theirs"));
    EXPECT_EQ(again.find("theirs"), again.rfind("theirs"));
  }
}

TEST(SharedFiles, AFileThatCannotBeReadAgainIsNotWrittenOver) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    Shared f;
    Program seeder(f.dir.path());
    c.seed(seeder, f.Path(c));
    Side window = f.Open(c);
    window.change("ours");
    Side jbx = f.Open(c);
    jbx.change("theirs");
    ASSERT_TRUE(jbx.save());
    const std::string theirs = ReadBytes(f.Path(c));
    fileops::InjectFault(fileops::Fault::kOpen, c.readsBeforeRereading);
    EXPECT_FALSE(window.save());
    fileops::ClearFaults();
    EXPECT_EQ(theirs, ReadBytes(f.Path(c)));
    if (c.tells) {
      const auto shown = window.program->prompter.ShownUtf8();
      ASSERT_FALSE(shown.empty());
      EXPECT_NE(std::string::npos, shown.back().find(fileops::BaseName(c.file))) << shown.back();
    }
  }
}

// Where a whole list is replaced after a dialog, no merge makes sense: a
// list another program changed meanwhile is left as it is, and the user is
// told which file.
TEST(SharedFiles, AnEditorsListChangedMeanwhileIsRefusedByName) {
  Shared f;
  const std::string dir = f.dir / "u/d";
  WriteBytes(dir + "/cboms02.ms", "$$$ 0\r\nseed\r\n");
  ScriptedPrompter prompter;
  CMySetMaster editor(dir, 2, &prompter, nullptr);
  ASSERT_EQ(1, editor.Add("ours", -1));
  sellist::ComboList other;
  ASSERT_EQ(0, sellist::LoadComboList(dir + "/cboms02.ms", other));
  other.items.push_back("theirs");
  ASSERT_GE(sellist::SaveComboList(dir + "/cboms02.ms", other), 0);
  EXPECT_TRUE(editor.Close().failed);
  EXPECT_EQ("$$$ 0\r\nseed\r\ntheirs\r\n", ReadBytes(dir + "/cboms02.ms"));
  ASSERT_FALSE(prompter.ShownUtf8().empty());
  EXPECT_NE(std::string::npos, prompter.ShownUtf8().back().find("cboms02.ms"));
}

TEST(SharedFiles, TheWindowTakesInAnAlarmAnotherProgramMade) {
  Shared f;
  const std::string path = f.dir / "u/alarm.dat";
  Program window(f.dir.path()), jbx(f.dir.path());
  CMyAlarm ours(window.g, window.clock, &window.prompter), theirs(jbx.g, jbx.clock);
  ours.Load(path);
  EXPECT_EQ(0, ours.Refresh(path));
  theirs.Load(path);
  theirs.Add("2026/12/10", "3", "09:30", "theirs", 1, 1);
  ASSERT_TRUE(theirs.Save(path));
  ASSERT_EQ(1, ours.Refresh(path));
  ASSERT_EQ(1, ours.Count());
  EXPECT_EQ("theirs", ours.Item(0).message);
  EXPECT_FALSE(ours.Unsaved());  // nothing of its own to write back
}

TEST(SharedFiles, ConflictCopiesOfTheOtherFilesAreMergedByRecordOrListed) {
  Shared f;
  Program p(f.dir.path());
  const std::string u = f.dir / "u/";
  struct Side {
    const char* file;
    const char* copy;
  } sides[] = {{"alarm.dat", "alarm.sync-conflict-20261210-101530-ABCDEFG.dat"},
               {"jbxuser.jpr", "jbxuser (conflicted copy 2026-12-10).jpr"}};
  for (const Side& s : sides) {
    for (const char* tag : {"ours", "theirs"}) {
      const std::string path = u + (tag == std::string("ours") ? s.file : s.copy);
      if (s.file == std::string("alarm.dat")) {
        CMyAlarm a(p.g, p.clock);
        a.Add("2026/12/20", "0", "09:00", "both", 0, 1);
        a.Add("2026/12/21", "0", "09:00", tag, 0, 1);
        ASSERT_TRUE(a.Save(path));
      } else {
        CMyMaster t("T");
        for (const char* name : {"both", tag}) {
          std::string rec = CMyMaster::Blank();
          CMyMaster::SetName(rec, name);
          ASSERT_EQ(0, t.Append(rec));
        }
        ASSERT_GE(t.Write(path), 0);
      }
    }
  }
  WriteBytes(u + "jbxuser.sync-conflict-20261210-101530-ABCDEFG.ini", "[A]\r\nB=1\r\n");
  EXPECT_EQ(3u, sharedconflicts::Find(p.g).size());
  std::vector<std::string> report;
  ASSERT_EQ(2, sharedconflicts::Merge(p.g, p.prompter, report));
  EXPECT_EQ(3u, report.size());
  for (const Side& s : sides) {
    const std::string bytes = ReadBytes(u + s.file);
    for (const char* tag : {"ours", "theirs"}) EXPECT_NE(std::string::npos, bytes.find(tag)) << s.file;
    EXPECT_EQ(bytes.find("both"), bytes.rfind("both")) << s.file;
    EXPECT_TRUE(fileops::Exists(u + s.copy + ".merged-20261210")) << s.copy;
  }
  // settings are listed, never merged
  EXPECT_EQ(1u, sharedconflicts::Find(p.g).size());
}
