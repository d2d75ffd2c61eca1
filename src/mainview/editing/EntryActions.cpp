#include "mainview/editing/EntryActions.h"

#include "mainview/editing/EntryCommands.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/sheet/FieldUnderMouse.h"

void RegisterEntryActions(MainActions& a, EntryCommands& c) {
  const char* popup = "#pmenu_MainPopup";
  a.Add({"pmenu_New",
         popup,
         "新規レコードの作成(&N)...",
         {},
         when::RecordsShown,
         [&c] { c.NewAtCursor(); },
         "entry"});
  a.Add({"pmenu_Edit",
         popup,
         "レコードの編集(&E)...",
         {},
         when::RecordsShown,
         [&c] { c.EditCursorRow(); },
         "entry"});
  a.Add({"tbt_New", "", "カーソル行に新規追加", {}, when::RecordsShown, [&c] { c.NewAtCursor(); }});
  a.Add({"tbt_NowNew", "", "現在日に新規追加", {}, when::RecordsShown, [&c] { c.NewForToday(); }});
  a.Add({"tbt_Edit", "", "カーソル行の内容を編集", {}, when::RecordsShown, [&c] { c.EditCursorRow(); }});
}

EntryFeature::EntryFeature(FeatureHost& host) : commands_(host.Context(), host.EntryPort()) {
  RegisterEntryActions(host.Actions(), commands_);
}

bool EntryFeature::SheetKey(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      commands_.EditCursorRow();
      return true;
    case Qt::Key_Insert:
      commands_.NewAtCursor();
      return true;
    default:
      return false;
  }
}
