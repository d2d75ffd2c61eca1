// The commands of the file menu: users, books (divisions), display screens
// and colour kinds. Each takes effect on disk at once.
#pragma once
#include <functional>
#include <string>

#include "mainview/host/MainObjects.h"
#include "mainview/host/MainWindowPort.h"

class FileCommands {
 public:
  FileCommands(MainContext& ctx, MainWindowPort& window) : ctx_(ctx), w_(window) {}

  void ChangeUser();
  // The same change of user with another dialog in the user dialog's place
  // (the restore): `ask` shows it with the current name (CP932) and returns
  // true when it made another user the settings' current one.
  void ChangeUserBy(const std::function<bool(const std::string& current)>& ask);
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
