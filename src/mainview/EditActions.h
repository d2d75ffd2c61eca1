// Registers the editing commands: the Edit menu (with undo and redo), the
// sheet's popup items for lines and fields, the palette buttons and F6.
#pragma once

class MainActions;
class EditCommands;
class QAction;

// The Edit menu's shortcuts act only while the main window is the active
// one: another window's Delete or Ctrl+V must never change the sheet.
class EditActions {
 public:
  EditActions(MainActions& actions, EditCommands& commands);
  // FormActivate / FormDeactivate.
  void SetWindowActive(bool active, bool groupShown);

 private:
  MainActions& a_;
  EditCommands& c_;
  QAction* keyed_[4] = {};  // delete, cut, copy, paste
};
