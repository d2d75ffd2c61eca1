#include "extract/menu/ExtractCommands.h"

#include "extract/CMyPickup.h"
#include "options/CMyColorKinds.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "screens/InputDef.h"

std::string ExtractCommands::MenuCaption() const { return shown_ ? "抽出解除"_sj : "抽出実行..."_sj; }

bool ExtractCommands::SetupModel(CMyPickup& model) const {
  MainObjects& o = ctx_.objects;
  const CMyView& view = *o.view;
  jsc::InputDef def;
  if (jsc::LoadInputDef(o.global->DivisionPath("scrin.jsc"), def, &ctx_.prompter) != 0) return false;
  PickupSetup s;
  s.dataKind = view.DataKind();
  s.fields = FieldsFromInputDef(def);
  // the colour table was read when the book opened and follows every edit
  CMyColorKinds kinds(o.Table(kColorTable), ctx_.prompter, ctx_.beeper);
  for (int i = 0; i < kinds.Count(); ++i) s.colors.push_back(kinds.Get(i));
  s.divisionDir = o.global->DivisionPath("");
  s.defaultLines = view.Screen().rowsPerListPage;
  s.shownDate = view.CurrentDate();
  s.shownPage = view.CurrentPage();
  model.Setup(s);
  return true;
}

void ExtractCommands::Toggle() {
  if (shown_) {
    End();
    return;
  }
  Ask(true);
}

void ExtractCommands::Settings() { Ask(false); }

void ExtractCommands::Ask(bool toggle) {
  CMyPickup model(*ctx_.objects.db, ctx_.prompter, ctx_.beeper, ctx_.clock);
  if (SetupModel(model) && w_.AskConditions(model) && model.Applied()) {
    (void)Apply(model);
    w_.ViewChanged();
  }
  // a cancelled toggle pops up again; a cancelled setting leaves it alone
  if (toggle || shown_) w_.ShownChanged(shown_);
}

bool ExtractCommands::Apply(const CMyPickup& model) {
  MainObjects& o = ctx_.objects;
  CMyView& view = *o.view;
  if (!shown_) {
    previousMode_ = view.DisplayMode();
    previousCursor_ = view.CursorRow();
  }
  EndGroup();
  conditions_ = model.SaveImage();
  // the conditions reach over the whole book, not only the months or pages
  // the sheet has loaded so far
  (void)o.periods->LoadAll();
  view.SetExtraction(true, model.Filter(), model.ViewSort());
  view.SetRowsPerListPage(model.LinesPerPage());
  shown_ = true;
  if (model.Mode() == CMyPickup::kGroupDisplay && !ShowGroup(model)) {
    End();
    return false;
  }
  if (model.Mode() == CMyPickup::kPageDisplay) {
    // the month or page display with the filter, in the book's own order
    view.SetDisplayMode(CMyView::kSheetMode);
  } else {
    view.SetDisplayMode(CMyView::kListMode);
    view.ShowListPage(0);
    view.LayoutFromTop(0);
    view.MoveCursorTo(0);
  }
  return true;
}

bool ExtractCommands::Show(const CMyPickup& model) {
  const bool ok = Apply(model);
  w_.ViewChanged();
  w_.ShownChanged(shown_);
  return ok;
}

bool ExtractCommands::ShowGroup(const CMyPickup& model) {
  MainObjects& o = ctx_.objects;
  // the extracted records in the extraction's order, then their groups
  if (o.viewRecords->Requery(model.Filter(), model.Sort()) != 0) {
    ctx_.prompter.Warn("抽出に失敗しました。"_sj);
    return false;
  }
  if (o.group->Build(*o.db, o.rec->Items(), o.rec->Count(), model.GroupColumns()) < 0) {
    ctx_.prompter.Warn("抽出に失敗しました。"_sj);
    return false;
  }
  if (o.group->Show(model.Sort()) != 0) return false;  // it has told why
  w_.HideEntry();
  o.sheetRecords->Use(o.groupRecords.get());
  o.sheetScreen->UseGroupRows(o.groupRows.get());
  o.view->SetNoteHeight(o.painter->SetFooterNote(o.group->FooterText()));
  o.groupShown = true;
  return true;
}

void ExtractCommands::EndGroup() {
  MainObjects& o = ctx_.objects;
  o.sheetRecords->Use(nullptr);
  o.sheetScreen->UseGroupRows(nullptr);
  o.view->SetNoteHeight(o.painter->SetFooterNote({}));
  o.group->Clear();
  o.groupShown = false;
}

void ExtractCommands::End() {
  if (!shown_) return;
  MainObjects& o = ctx_.objects;
  CMyView& view = *o.view;
  EndGroup();
  shown_ = false;
  view.SetExtraction(false, {}, {});
  view.SetRowsPerListPage(view.Screen().rowsPerListPage);
  view.SetDisplayMode(previousMode_);
  view.MoveCursorTo(previousCursor_);
  w_.ShownChanged(false);
  w_.ViewChanged();
}

void ExtractCommands::Drop() {
  const bool was = shown_;
  EndGroup();
  shown_ = false;
  ctx_.objects.view->SetExtraction(false, {}, {});
  if (was) w_.ShownChanged(false);
}

int ExtractCommands::RunScreenExtraction() {
  const std::string reference = ctx_.objects.view->Screen().filter;
  if (reference.empty() || reference[0] != '=') return 0;
  Drop();
  CMyPickup model(*ctx_.objects.db, ctx_.prompter, ctx_.beeper, ctx_.clock);
  if (!SetupModel(model)) return -1;
  const int rc = model.RunSavedExtraction(reference);
  if (rc != CMyPickup::kOk) {
    ctx_.prompter.Warn(model.Message());
    return rc;
  }
  if (!model.Applied()) return 0;  // too long to name a method: no extraction
  if (Apply(model)) w_.ShownChanged(true);
  w_.ViewChanged();
  return 0;
}
