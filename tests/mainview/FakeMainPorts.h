// The main window's shared objects over a temporary data root, every seam
// scripted, and one recorder standing in for each window port: the
// *Commands classes run as in the window, without one. Books are the shipped
// packages, opened by the window's own BookOpener.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "catalogue/menu/FileCommands.h"
#include "extract/menu/ExtractCommands.h"
#include "mainview/editing/EditCommands.h"
#include "mainview/editing/EntryCommands.h"
#include "mainview/host/BookOpener.h"
#include "mainview/host/MainWindowPort.h"
#include "mainview/search/ReferenceCommands.h"
#include "mainview/search/SearchCommands.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/FileOps.h"
#include "platform/Launcher.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

constexpr int kDiary = 0, kHousehold = 2, kNotebook = 3;  // shipped packages

struct FakeReference : ReferenceWindow {
  ReferenceView view;
  bool open = true;
  int presented = 0;
  ReferenceView& View() override { return view; }
  bool IsOpen() const override { return open; }
  void Present() override { ++presented; }
};

// Every window port at once; what each was told goes to `told`, one line a call.
struct FakeMain : MainWindowPort, EditWindow, EntryWindow, ExtractWindow, ReferenceHost, SearchWindow {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 12, 9}};
  ScriptedFileChooser files;
  MemoryClipboard clipboard;
  RecordingOpener opener;
  RecordingLauncher launcher;
  MainObjects o{{&prompter, &beeper, &clock, JBX_PROGRAM_DIR, dir / "home", dir.path()}, nullptr};
  MainContext ctx{o, prompter, beeper, clock, files, clipboard, opener, &launcher};
  std::vector<std::string> told;
  // scripted answers of the window's own dialogs
  std::deque<std::string> names;                    // AskName; "" cancels
  bool reinstall = false;                           // AskReinstall
  std::function<bool(const std::string&)> askUser;  // AskUser
  std::function<void(CMyColorKinds&)> editColors;   // EditColorKinds
  std::function<bool(CMyPickup&)> conditions;       // AskConditions; none cancels
  std::deque<int> openResults;                      // OpenDivision / OpenScreen; 0 when empty
  std::unique_ptr<FakeReference> reference;

  FakeMain() {
    o.global->SetUserName("u");
    EXPECT_TRUE(fileops::MakeDirs(o.global->UserPath("")));
  }
  CMyGlobal& G() { return *o.global; }
  CMyView& View() { return *o.view; }
  std::string Told() const {
    std::string s;
    for (const std::string& t : told) s += t + ";";
    return s;
  }

  // A book made from a shipped package, listed for user "u".
  void AddBook(const char* name, int package) {
    CMyMaster& users = o.Table(kUserTable);
    G().SetDivisionFolder(cp932::FromUtf8(name));
    ASSERT_TRUE(fileops::MakeDirs(G().DivisionPath("")));
    CMyPackage pkg(prompter);
    ASSERT_EQ(0,
              pkg.UnpackTo(packagelist::PathOf(JBX_PROGRAM_DIR, packagelist::Names(JBX_PROGRAM_DIR)[package]),
                           G().DivisionPath(""), nullptr, false));
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, cp932::FromUtf8(name));
    ASSERT_EQ(0, users.Append(rec));
    ASSERT_GE(users.Write(G().UserPath("jbxuser.jpr")), 0);
  }
  // Book `index` and its first screen opened as the window opens them
  // (BookOpener, the window's dialogs and tabs left out), the sheet tall
  // enough for every row of a month, at today.
  void Open(int index) {
    struct Quiet : OpeningWindow {
      bool AskNewDivision() override { return false; }
      bool AskDivisionInput() override { return false; }
      bool AskScreen(bool, int) override { return false; }
      void DivisionTabsChanged(int) override {}
      void ScreenTabsChanged(int) override {}
      void ShowScreenTab(int) override {}
      int MeasureMemoLineHeight(int) override { return 0; }
      void ScreenClosing() override {}
      void ScreenLoaded(int) override {}
      void ScreenOpened() override {}
      void LeaveView() override {}
      void BookOpened() override {}
      void ViewChanged() override {}
    } quiet;
    BookOpener opener(ctx, quiet);
    ASSERT_EQ(0, opener.OpenDivision(OpenDivisionMode::Switch, index));
    CMyMaster& colors = o.Table(kColorTable);
    if (colors.Read(G().DivisionPath("color.dat")) != 0) colors.Init("COLOR");
    o.view->SetViewHeight(o.scr->ToLogical(1, 100000));
    o.view->ReloadView();
    o.view->GoToday();
  }
  void OpenNew(int package) {
    AddBook(package == kNotebook ? "ノート" : "日記", package);
    Open(o.Table(kUserTable).RecordCount() - 1);
  }

  std::string File(const std::string& period) { return ReadBytes(G().DivisionPath("dt" + period + ".jdt")); }
  bool Has(const std::string& period) { return fileops::Exists(G().DivisionPath("dt" + period + ".jdt")); }

  // ---- MainWindowPort ----
  int Next() {
    if (openResults.empty()) return 0;
    const int rc = openResults.front();
    openResults.pop_front();
    return rc;
  }
  int OpenDivision(OpenDivisionMode mode, int index) override {
    told.push_back("OpenDivision " + std::to_string(static_cast<int>(mode)) + " " + std::to_string(index));
    return Next();
  }
  int OpenScreen(bool, OpenScreenMode mode, int index) override {
    told.push_back("OpenScreen " + std::to_string(static_cast<int>(mode)) + " " + std::to_string(index));
    return Next();
  }
  int divisionTab = 0, screenTab = 0;
  int DivisionTab() const override { return divisionTab; }
  int ScreenTab() const override { return screenTab; }
  int CurrentScreen() const override { return screenTab; }
  void DivisionTabsChanged(int select) override { told.push_back("DivisionTabs " + std::to_string(select)); }
  void ScreenTabsChanged(int select) override { told.push_back("ScreenTabs " + std::to_string(select)); }
  void SetDivisionTabText(int i, const std::string& n) override {
    told.push_back("DivisionTab " + std::to_string(i) + " " + cp932::ToUtf8(n));
  }
  void SetScreenTabText(int i, const std::string& n) override {
    told.push_back("ScreenTab " + std::to_string(i) + " " + cp932::ToUtf8(n));
  }
  void ViewChanged() override { told.push_back("ViewChanged"); }
  void PaletteChanged() override { told.push_back("PaletteChanged"); }
  std::string AskName(int, const std::string&) override {
    if (names.empty()) return {};
    std::string n = cp932::FromUtf8(names.front());
    names.pop_front();
    return n;
  }
  bool AskReinstall() override { return reinstall; }
  void EditColorKinds(CMyColorKinds& kinds) override {
    if (editColors) editColors(kinds);
  }
  bool AskUser(const std::string& current) override { return askUser && askUser(current); }
  void KeepWindowSettings() override { told.push_back("KeepWindowSettings"); }
  void FollowWindowSettings() override { told.push_back("FollowWindowSettings"); }

  // ---- EditWindow, EntryWindow, ExtractWindow ----
  bool GroupShown() const override { return o.groupShown; }
  void DataReloaded() override { told.push_back("DataReloaded"); }
  bool ShowEntry(const std::string& key, int index) override {
    told.push_back("ShowEntry " + key + " " + std::to_string(index));
    return true;
  }
  bool AskConditions(CMyPickup& model) override { return conditions && conditions(model); }
  void ShownChanged(bool shown) override { told.push_back(shown ? "Shown" : "NotShown"); }
  void HideEntry() override { told.push_back("HideEntry"); }

  // ---- SearchWindow ----
  void ShowFindDialog() override { told.push_back("ShowFindDialog"); }
  void CloseReference() override { told.push_back("CloseReference"); }
  void Note(const std::string& text) override { told.push_back("Note " + cp932::ToUtf8(text)); }

  // ---- ReferenceHost ----
  ReferenceWindow* Reference() override { return reference.get(); }
  ReferenceWindow& CreateReference() override {
    told.push_back("CreateReference");
    reference = std::make_unique<FakeReference>();
    reference->view.SetViewHeight(1 << 20);
    return *reference;
  }
  void DestroyReference() override {
    told.push_back("DestroyReference");
    reference.reset();
  }
};

// An entry written as the input form writes one: its line serial.
inline std::string AddEntry(FakeMain& m, EditCommands& edit, const std::string& key, const char* memo) {
  EXPECT_TRUE(edit.NewRecordAt(key));
  EXPECT_EQ(0, m.o.db->SetValue(memo::kMem001, cp932::FromUtf8(memo)));
  EXPECT_EQ(0, m.o.db->SetValue(memo::kNoData, "1"));
  EXPECT_EQ(0, m.o.db->Store());
  EXPECT_EQ(0, m.o.periods->SavePeriod(CMyPeriods::PeriodOf(key)));
  edit.ReloadData();
  return edit.NewSerial();
}

// The memo texts (UTF-8) of the records on the rows of `key`, in row order.
inline std::vector<std::string> Memos(FakeMain& m, EditCommands& edit, const std::string& key) {
  std::vector<std::string> out;
  if (!edit.SelectRow(key, {})) return out;
  for (const SheetRow& r : m.View().Rows())
    if (key == r.key && r.record >= 0)
      out.push_back(cp932::ToUtf8(m.o.db->Value(memo::kMem001, m.o.rec->Items()[r.record])));
  return out;
}
