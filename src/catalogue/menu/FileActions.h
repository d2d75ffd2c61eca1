// The file menu's items over the file commands (users, books, screens,
// colours, the end of the program), and the change of user and the colour
// dialog offered to the other features.
#pragma once
#include "catalogue/menu/FileCommands.h"
#include "mainview/host/MainFeature.h"

class FeatureHost;
class MainActions;
class QWidget;

class FileFeature : public MainFeature {
 public:
  explicit FileFeature(FeatureHost& host);
  FileCommands& Commands() { return commands_; }

 private:
  FileCommands commands_;
};

void RegisterFileActions(MainActions& actions, FileCommands& commands, QWidget& window);
