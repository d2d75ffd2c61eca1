// Changing records straight from the sheet: delete, copy, cut and paste of
// whole records, moving a record among the lines of its key, inserting and
// deleting lines and pages of a notebook, one-click colours, copying a
// field's text, and undo / redo of all of these and of the input form's
// saves. Every command writes the periods it touched before it returns, or,
// when anything fails, leaves every file and the table as they were before
// it.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "mainview/host/MainObjects.h"
#include "mainview/host/MainWindowPort.h"
#include "screens/InputDef.h"
#include "store/CMyRec.h"

// How a colour panel looks: text and back colour (0x00BBGGRR).
struct PanelLook {
  int text = 0;
  int back = 0xFFFFFF;
};

class EditCommands {
 public:
  EditCommands(MainContext& ctx, EditWindow& window);

  // ---- the menu, popup, button and key handlers ----
  void mnuEditDel();           // asks, then deletes the cursor row's record
  void mnuEditCopy(int mode);  // 0 copy, 1 cut: remembers the cursor row's record
  void mnuEditPaste();         // a new record at the cursor row
  void mnuEditPageIns();       // asks, then opens an empty page at the current one
  void mnuEditPageDel();       // asks, then removes the current page
  void mnuEditLineIns();       // the cursor row's line and those below move down one
  void mnuEditLineDel();       // the cursor row's line goes, those below move up
  void pmenu_GyoUp(int tag);   // -1 up, +1 down
  void cmd_Cr(int panel);      // palette button 1..3
  void KeyF6();                // the colour kind marked for F6
  void pmenu_FieldCopy();      // the remembered field's text to the clipboard
  void mnuEditUndo();
  void mnuEditRedo();

  // ---- the operations ----
  // Starts a new record at `key` in the table's edit buffer (line serial,
  // weekday, stamps, NODATA "0"), left for the caller to fill and store.
  // False after its message (caption "注意") for a key that cannot be.
  bool NewRecordAt(const std::string& key);
  // Deletes the record shown in `row` and saves its period. False when a
  // write failed (everything put back); true also when there was nothing.
  bool DeleteRowRecord(int row);
  // Pastes the copy source at the cursor row. False when it does not apply
  // or failed (then nothing changed).
  bool PasteRecord(bool overwrite);
  // Exchanges the cursor row's record with its neighbour of the same key;
  // beeps when it does not apply.
  void SwapLine(int direction);
  // Moves every page from `page` on by `delta` (+1 opens an empty page,
  // -1 removes the page). 0 done or nothing to move; -1 not applicable
  // (beeped) or failed (after its message, nothing changed).
  int ShiftPages(int page, int delta, bool refresh);
  // Moves the lines of the current page from `row`'s line on by `delta`;
  // records pushed past the last line go to a new page after this one.
  // 0 done; 1 the user said No; -1 not applicable or failed.
  int ShiftLines(int page, int row, int delta);
  // Colours of palette button `panel` on the cursor row; beeps on failure.
  void ColorPanelClick(int panel);
  // Sets (or, given the colours the record has, clears) the cursor row's
  // colours ("%d" texts, "" for none). False when it did not apply.
  bool ApplyRowColors(const std::string& text, const std::string& back);
  // How the three palette buttons look with the division's colour kinds.
  std::array<PanelLook, 3> RefreshColorPanels() const;

  // ---- state for the menus ----
  // The display name of the field under the mouse when the popup opened.
  void SetFieldUnderMouse(const std::string& name) { fieldUnderMouse_ = name; }
  const std::string& FieldUnderMouse() const { return fieldUnderMouse_; }
  bool CanMoveUp() const;    // "行を上に移動"
  bool CanMoveDown() const;  // "行を下に移動"
  bool PageSheet() const;    // a notebook in sheet mode: the page and line items
  // The index of a display name's field in the table; -1 when none.
  int FieldIndexOfName(const std::string& displayName) const;
  UndoLog& Undo();

  // ---- for the command-line tool and tests ----
  // Shows the month or page of `key` and puts the cursor on the row of the
  // record with `serial` (empty: the key's first row). False when no row is.
  bool SelectRow(const std::string& key, const std::string& serial);
  // What the last command changed, one line per record: "+ key serial"
  // (added), "- key serial" (deleted), "~ key serial -> key serial" (moved).
  const std::vector<std::string>& Changes() const { return changes_; }
  void ClearChanges() { changes_.clear(); }
  // Key and line serial of the record NewRecordAt started.
  const std::string& NewKey() const { return newKey_; }
  const std::string& NewSerial() const { return newSerial_; }
  // Reads the division's files again into the table and rebuilds the rows.
  void ReloadData();
  MainContext& Context() const { return ctx_; }

 private:
  class Step;  // one undoable command: all of it, or none of it
  MainObjects& o() { return ctx_.objects; }
  const MainObjects& o() const { return ctx_.objects; }
  bool ValidCursor() const;
  int RowRecord(int row) const;  // the table's record of a row, -1 none
  std::string Value(int record, int field) const;
  // Re-filter, rebuild the rows, repaint; the cursor on the record of key
  // and serial when one is given and shown.
  void Refresh(const std::string& key = {}, const std::string& serial = {});
  // The window's labels, menus and repaint; inside a step, once the step
  // has ended (the menus ask the undo log what there is to undo).
  void ViewChanged();
  int FindRow(const std::string& key, const std::string& serial) const;  // -1 none
  bool Save(const std::string& period);
  int ShiftPagesImpl(int page, int delta);
  int ShiftLinesImpl(int row, int delta);
  bool SelectPage(const std::string& filter, const char* failure);
  // The thumbnails of the open book.
  PhotoState& Photos();
  bool HasPhotoField() const;
  void Beep();

  MainContext& ctx_;
  EditWindow& w_;
  CMyRec work_;  // the second record set: what a page, line or paste touches
  std::string fieldUnderMouse_;
  std::string newKey_, newSerial_;
  std::vector<std::string> changes_;
  bool viewChangedLater_ = false;  // a step is open and changed the view
};
