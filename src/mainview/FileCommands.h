// The commands of the file menu: users, books (divisions), display screens
// and colour kinds. Each takes effect on disk at once.
#pragma once
#include "mainview/MainObjects.h"
#include "mainview/MainWindowPort.h"

class FileCommands {
 public:
  FileCommands(MainContext& ctx, MainWindowPort& window) : ctx_(ctx), w_(window) {}

  void ChangeUser();
  void NewDivision();
  void ReinstallDivision();
  void RenameDivision();
  void DeleteDivision();
  void MoveDivision(int direction);  // -1 left, +1 right
  void NewScreen();
  void RenameScreen();
  void DeleteScreen();
  void MoveScreen(int direction);
  void EditColors();

 private:
  MainObjects& o() { return ctx_.objects; }
  MainContext& ctx_;
  MainWindowPort& w_;
};
