#include "mainview/EntryCommands.h"

#include "platform/Prompter.h"
#include "shell/CivilDays.h"

// The group rows of an extraction are no entries: nothing opens from them.
bool EntryCommands::GroupShown() {
  if (!ctx_.objects.groupShown) return false;
  ctx_.beeper.Beep();
  return true;
}

void EntryCommands::EditCursorRow() {
  if (GroupShown()) return;
  CMyView& view = *ctx_.objects.view;
  if (view.RowCount() == 0) return;
  const int r = view.CursorRow();
  if (r < 0 || r >= view.RowCount()) return;
  const SheetRow& row = view.Rows()[static_cast<size_t>(r)];
  // an empty row (record -1) is a new record at its key
  (void)w_.ShowEntry(row.key, row.record);
}

void EntryCommands::NewAtCursor() {
  if (GroupShown()) return;
  const std::string key = ctx_.objects.view->NewRecordKey(false);
  (void)w_.ShowEntry(key, -1);
}

void EntryCommands::NewForToday() {
  if (GroupShown()) return;
  CMyView& view = *ctx_.objects.view;
  if (view.DataKind() == CMyView::kDateKind && view.DisplayMode() == CMyView::kSheetMode) {
    view.GoToday();
    // the cursor goes to the last row of today
    const std::string today = civil::Ymd(ctx_.clock.Today());
    int last = -1;
    for (int r = 0; r < view.RowCount(); ++r)
      if (today == view.Rows()[static_cast<size_t>(r)].key) last = r;
    if (last >= 0) view.MoveCursorTo(last);
    w_.ViewChanged();
  }
  const std::string key = view.NewRecordKey(view.DataKind() == CMyView::kPageKind);
  (void)w_.ShowEntry(key, -1);
}
