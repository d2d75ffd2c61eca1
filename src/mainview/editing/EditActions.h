// Registers the editing commands: the Edit menu (with undo and redo), the
// sheet's popup items for lines and fields, the palette buttons and F6.
#pragma once

#include "mainview/editing/EditCommands.h"
#include "mainview/host/MainFeature.h"
#include "mainview/sheet/FieldUnderMouse.h"

class FeatureHost;
class MainActions;
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
  QAction* keyed_[4] = {};  // delete, cut, copy, paste
};

// The editing commands with their items, and what the window tells them: the
// field the popup opened over, the window's activation.
class EditFeature : public MainFeature {
 public:
  explicit EditFeature(FeatureHost& host);
  EditCommands& Commands() { return commands_; }
  void PopupOpening(const FieldHit& field) override { commands_.SetFieldUnderMouse(field.caption); }
  void WindowActivated(bool active) override;
  // The palette buttons show the colour kinds they apply.
  void PaletteChanged() override;

 private:
  FeatureHost& host_;
  EditCommands commands_;
  EditActions actions_;
};
