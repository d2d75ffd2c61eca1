// A main window over a temporary data folder, with every dialog answered by
// script and the shipped diary package for new books.
#pragma once
#include <QAction>
#include <QTabBar>
#include <functional>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/FileOps.h"
#include "platform/Launcher.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "shell/CMyGlobal.h"
#include "shell/TfrmNewUser.h"
#include "support/TempDir.h"

// The window's environment over a book written beforehand: the build's
// program folder, `root` as the data root, user "u", and the seams of
// `fixture` (its launcher too, where it has one).
template <typename Fixture>
MainEnvironment BookEnvironment(Fixture& fixture, const std::string& root) {
  MainEnvironment e;
  e.prompter = &fixture.prompter;
  e.beeper = &fixture.beeper;
  e.clock = &fixture.clock;
  e.programFolder = JBX_PROGRAM_DIR;
  e.dataRoot = root;
  e.dataHome = root + "/home";
  e.user = "u";
  e.dialogs = &fixture.dialogs;
  e.files = &fixture.files;
  e.clipboard = &fixture.clipboard;
  e.opener = &fixture.opener;
  if constexpr (requires { fixture.launcher; }) e.launcher = &fixture.launcher;
  e.sheetHeight = 600;
  return e;
}

struct MainFixture {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 12, 9}};
  ScriptedDialogs dialogs;
  ScriptedFileChooser files;
  RecordingLauncher launcher;
  MemoryClipboard clipboard;
  RecordingOpener opener;
  std::string program = dir / "prog";
  std::string home = dir / "home";
  TfrmMain* window = nullptr;
  int newDivisions = 0;
  int packageIndex = 0;  // which shipped package a new book is made from

  MainFixture() {
    EXPECT_TRUE(fileops::MakeDir(program));
    WriteBytes(program + "/jotbox.ini", "");  // portable: data beside the program
    // by default a new book is the shipped diary
    dialogs.On<QDialog>("frmNewDiv", [this](QDialog&) {
      return MakeDivision("日記帳"_sj) ? QDialog::Accepted : QDialog::Rejected;
    });
  }
  // The user dialog answers with `name` (UTF-8), or cancels when empty.
  void UserAnswers(const char* name) {
    std::string n = name;
    dialogs.On<TfrmNewUser>("frmNewUser", [n](TfrmNewUser& dlg) {
      if (n.empty()) {
        dlg.cmd_CancelClick();
      } else {
        dlg.SetName(QString::fromUtf8(n.c_str()));
        dlg.cmd_OkClick();
      }
      return dlg.result();
    });
  }
  // A stand-in for the new-division dialog: makes a division with an input
  // definition and its screens, as unpacking a package would.
  bool MakeDivision(const std::string& name) {
    ++newDivisions;
    CMyGlobal& g = *window->Global();
    CMyMaster& users = *window->Table(kUserTable);
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, name);
    if (users.Append(rec) != 0) return false;
    g.SetDivisionFolder(name);
    EXPECT_TRUE(fileops::MakeDirs(g.DivisionPath("")));
    CMyPackage package(prompter);
    std::string pkg = packagelist::PathOf(
        JBX_PROGRAM_DIR, packagelist::Names(JBX_PROGRAM_DIR)[static_cast<size_t>(packageIndex)]);
    return package.UnpackTo(pkg, g.DivisionPath(""), nullptr, false) == 0;
  }
  // The environment with a user dialog that answers `name` (UTF-8).
  MainEnvironment As(const char* name) {
    UserAnswers(name);
    return Env();
  }
  // The environment with the user dialog scripted by `run`.
  MainEnvironment Main(std::function<bool(TfrmNewUser&)> run) {
    dialogs.On<TfrmNewUser>("frmNewUser", [run](TfrmNewUser& dlg) { return run(dlg) ? 1 : 0; });
    return Env();
  }
  MainEnvironment Env() {
    MainEnvironment e;
    e.prompter = &prompter;
    e.beeper = &beeper;
    e.clock = &clock;
    e.programFolder = program;
    e.dataHome = home;
    e.dialogs = &dialogs;
    e.files = &files;
    e.clipboard = &clipboard;
    e.opener = &opener;
    e.launcher = &launcher;
    return e;
  }
};

inline QTabBar* Tabs(TfrmMain& w, const char* name) { return w.findChild<QTabBar*>(name); }

// Triggers a registered action by its objectName; false when there is none.
inline bool Trigger(TfrmMain& w, const char* name) {
  QAction* a = w.findChild<QAction*>(name);
  if (!a) return false;
  a->trigger();
  return true;
}
