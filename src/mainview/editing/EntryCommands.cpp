#include "mainview/editing/EntryCommands.h"

#include "input/PhotoState.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"

// The group rows of an extraction are no entries: nothing opens from them.
bool EntryCommands::GroupShown() {
  if (!ctx_.objects.groupShown) return false;
  ctx_.beeper.Beep();
  return true;
}

void EntryCommands::EditCursorRow(const std::string& field) {
  CMyView& view = *ctx_.objects.view;
  if (view.RowCount() == 0) return;
  if (field == "IMG001") {
    ShowRowPicture();
    return;
  }
  if (GroupShown()) return;
  const int r = view.CursorRow();
  if (r < 0 || r >= view.RowCount()) return;
  const SheetRow& row = view.Rows()[static_cast<size_t>(r)];
  // an empty row (record -1) is a new record at its key
  (void)w_.ShowEntry(row.key, row.record);
}

void EntryCommands::ShowRowPicture() {
  MainObjects& o = ctx_.objects;
  CMyView& view = *o.view;
  const int r = view.CursorRow();
  std::string path, key;
  if (r >= 0 && r < view.RowCount() && !o.groupShown) {
    const int index = view.Rows()[static_cast<size_t>(r)].record;
    if (index >= 0 && index < o.rec->Count()) {
      const int record = o.rec->Items()[index];
      const char* p = o.db->Value(memo::kImg001, record);
      const char* k = o.db->Value(memo::kIms001, record);
      path = p ? p : "";
      key = k ? k : "";
    }
  }
  PhotoState& photo = *o.sheetPhotos;
  photo.SetDivisionFolder(o.scr->DivisionFolder());
  photo.SetViewer(o.global->ProgramFolder(), ctx_.launcher, &ctx_.prompter, &ctx_.beeper);
  // the picture is read as the form's box would read it, for its turn
  photo.SetBox(true, PhotoState::kViewerProbe, PhotoState::kViewerProbe);
  photo.ShowPhoto(path, key);
  (void)photo.ViewPhoto(true);  // says "画像が存在しません。" on a row without one
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
