// Opening the input form from the sheet: the cursor row's entry (or a new
// one at its key), a new entry at the cursor, a new entry for today.
#pragma once
#include <string>

#include "mainview/MainObjects.h"

// What the entry commands ask of the window.
class EntryWindow {
 public:
  virtual ~EntryWindow() = default;
  // Shows the form for record `index` of the record set, or a new record
  // with `key` (index -1). False when the book has no input form.
  virtual bool ShowEntry(const std::string& key, int index) = 0;
  virtual void ViewChanged() = 0;
};

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
