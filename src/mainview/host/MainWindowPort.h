// What the command classes ask of the main window: opening books and
// screens, keeping its tabs in step, the dialogs a command needs, the input
// form. The window implements them; tests give their own.
#pragma once
#include <string>
#include <vector>

#include "mainview/host/MainObjects.h"
#include "screens/InputDef.h"

class CMyColorKinds;

class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;
  // 0 opened; 1 a new book was cancelled; -1 failed (see TfrmMain).
  virtual int OpenDivision(OpenDivisionMode mode, int index) = 0;
  virtual int OpenScreen(bool quiet, OpenScreenMode mode, int index) = 0;
  virtual int DivisionTab() const = 0;  // the selected tab, -1 none
  virtual int ScreenTab() const = 0;
  virtual int CurrentScreen() const = 0;
  // The tabs are rebuilt from the name tables with `select` current.
  virtual void DivisionTabsChanged(int select) = 0;
  virtual void ScreenTabsChanged(int select) = 0;
  virtual void SetDivisionTabText(int index, const std::string& name) = 0;
  virtual void SetScreenTabText(int index, const std::string& name) = 0;
  // The view moved or changed: labels, scroll bars, repaint.
  virtual void ViewChanged() = 0;
  virtual void PaletteChanged() = 0;

  // The one-line name dialog (0 division, 1 screen); CP932, "" cancelled.
  virtual std::string AskName(int mode, const std::string& current) = 0;
  // The new-division dialog in its re-install mode; true when it installed.
  virtual bool AskReinstall() = 0;
  // The colour-kind editor over `kinds`.
  virtual void EditColorKinds(CMyColorKinds& kinds) = 0;
  // The user dialog showing `current`; true when the user chose one (the
  // dialog has made it the settings' user).
  virtual bool AskUser(const std::string& current) = 0;
  // The window's own settings (its place, the width-fit button, the bottom
  // panel) into the settings held in memory, before they are written.
  virtual void KeepWindowSettings() = 0;
  // Another user's settings were read: the width-fit button and the bottom
  // panel follow them (the window stays where it is).
  virtual void FollowWindowSettings() = 0;
};

// What the entry commands ask of the window.
class EntryWindow {
 public:
  virtual ~EntryWindow() = default;
  // Shows the form for record `index` of the record set, or a new record
  // with `key` (index -1). False when the book has no input form.
  virtual bool ShowEntry(const std::string& key, int index) = 0;
  virtual void ViewChanged() = 0;
};

// What the editing commands ask of the window.
class EditWindow {
 public:
  virtual ~EditWindow() = default;
  // Repaint, labels and scroll bars after the rows changed.
  virtual void ViewChanged() = 0;
  virtual bool GroupShown() const { return false; }
  // The input form's controls in file order; null when the book has none.
  virtual const std::vector<jsc::Control>* FormControls() const { return nullptr; }
  // The division was read again from its files (undo, redo, a failed
  // command): nothing may keep pointing at the old records.
  virtual void DataReloaded() {}
};
