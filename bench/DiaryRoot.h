// The data root the whole-book benches start from: user "u" with one book,
// "diary", made from the first shipped package, remembered in jotbox.ini.
#pragma once
#include <string>
#include <vector>

#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "shell/CMyGlobal.h"

namespace bench {

// jotbox.ini comes first: a settings object takes a folder that holds one
// as its data root.
inline void MakeDiaryRoot(const std::string& root, Prompter& prompter) {
  Require(fileops::MakeDirs(root), "MakeDirs");
  Require(fileops::WriteAtomic(root + "/jotbox.ini", "[APL]\r\nNAME=u\r\n"), "WriteAtomic");
  FixedClock clock({2024, 12, 15});
  CMyGlobal g(prompter, clock, root);
  g.SetUserName("u");
  g.SetDivisionFolder("diary");
  Require(fileops::MakeDirs(g.DivisionPath("")), "MakeDirs");
  CMyMaster users("USER");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, "diary");
  Require(users.Append(rec) == 0, "Append");
  Require(users.Write(g.UserPath("jbxuser.jpr")) >= 0, "Write");
  const std::string program = syspaths::ProgramFolder();
  const std::vector<std::string> packages = packagelist::Names(program);
  Require(!packages.empty(), "the program folder holds no packages");
  CMyPackage pkg(prompter);
  Require(pkg.UnpackTo(packagelist::PathOf(program, packages[0]), g.DivisionPath(""), nullptr, false) == 0,
          "UnpackTo");
}

}  // namespace bench
