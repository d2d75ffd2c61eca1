// Registers the commands that open the input form (popup items and tool
// buttons; the sheet's Enter, Insert and double click call them too).
#pragma once
#include "mainview/editing/EntryCommands.h"
#include "mainview/host/MainFeature.h"

class FeatureHost;

class MainActions;
class EntryCommands;

void RegisterEntryActions(MainActions& actions, EntryCommands& commands);

// Opening the input form from the sheet: its items, Enter, Insert and the double click.
class EntryFeature : public MainFeature {
 public:
  explicit EntryFeature(FeatureHost& host);
  EntryCommands& Commands() { return commands_; }
  bool SheetKey(int key) override;
  void SheetDoubleClicked(const FieldHit& field) override { commands_.EditCursorRow(field.field); }

 private:
  EntryCommands commands_;
};
