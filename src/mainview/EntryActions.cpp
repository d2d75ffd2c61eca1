#include "mainview/EntryActions.h"

#include "mainview/EntryCommands.h"
#include "mainview/MainActions.h"

void RegisterEntryActions(MainActions& a, EntryCommands& c) {
  const char* popup = "#pmenu_MainPopup";
  a.Add({"pmenu_New", popup, "新規レコードの作成(&N)...", {}, when::RecordsShown, [&c] { c.NewAtCursor(); }});
  a.Add({"pmenu_Edit", popup, "レコードの編集(&E)...", {}, when::RecordsShown, [&c] { c.EditCursorRow(); }});
  a.Add({"tbt_New", "", "カーソル行に新規追加", {}, when::RecordsShown, [&c] { c.NewAtCursor(); }});
  a.Add({"tbt_NowNew", "", "現在日に新規追加", {}, when::RecordsShown, [&c] { c.NewForToday(); }});
  a.Add({"tbt_Edit", "", "カーソル行の内容を編集", {}, when::RecordsShown, [&c] { c.EditCursorRow(); }});
}
