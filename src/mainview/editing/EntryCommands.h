// Opening the input form from the sheet: the cursor row's entry (or a new
// one at its key), a new entry at the cursor, a new entry for today.
#pragma once
#include <string>

#include "mainview/host/MainObjects.h"
#include "mainview/host/MainWindowPort.h"

class EntryCommands {
 public:
  EntryCommands(MainContext& ctx, EntryWindow& window) : ctx_(ctx), w_(window) {}
  // Double click, Enter, "レコードの編集". `field`: the table field under the
  // mouse; on "IMG001" the row's picture is shown instead of the form.
  void EditCursorRow(const std::string& field = {});
  void NewAtCursor();  // Insert, "新規レコードの作成"
  void NewForToday();  // "現在日に新規追加"

 private:
  bool GroupShown();  // true (after a beep) while the group rows are shown
  void ShowRowPicture();
  MainContext& ctx_;
  EntryWindow& w_;
};
