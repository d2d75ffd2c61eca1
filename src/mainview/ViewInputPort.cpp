#include "mainview/ViewInputPort.h"

#include "platform/Cp932.h"

int ViewInputPort::NextSerial(const std::string& period, const std::string& key) {
  return o_.periods->RegisterKey(period, key, false);
}

int ViewInputPort::SavePeriod(const std::string& period) {
  // a save or delete from the form is one step of undo, closed when the
  // form asks for the sheet again (after the alarms learnt from it)
  o_.undo->SetScope(o_.global->DivisionPath(""));
  o_.undo->BeginImplicit(cp932::FromUtf8("入力"), o_.alarm->Entries());
  return o_.periods->SavePeriod(period);
}

void ViewInputPort::ReloadView() {
  o_.undo->EndImplicit(o_.alarm->Entries());
  CMyView& v = *o_.view;
  const int top = v.TopRow();
  v.ReloadView();
  v.RebuildRows();
  v.LayoutFromTop(std::min(top, std::max(v.RowCount() - 1, 0)));
  if (changed_) changed_();
}

int ViewInputPort::FindRecord(const std::string& key, const std::string& serial) {
  // keys and serials are digits and "/", never a quote
  std::string expr = "キー項目='"_sj + key + "' and 行連番='"_sj + serial + "'";
  return o_.rec->Find(expr.c_str(), 0, true);
}

int ViewInputPort::RecordRow(int index) {
  if (index < 0 || index >= o_.rec->Count()) return -1;
  return o_.rec->Items()[static_cast<size_t>(index)];
}

int ViewInputPort::RowOfRecord(int index) const {
  const auto& rows = o_.view->Rows();
  for (size_t r = 0; r < rows.size(); ++r)
    if (rows[r].record == index) return static_cast<int>(r);
  return -1;
}

void ViewInputPort::MoveCursorTo(int index) {
  const int row = RowOfRecord(index);
  if (row < 0) return;
  o_.view->MoveCursorTo(row);
  if (changed_) changed_();
}

int ViewInputPort::StepRecord(int index, int direction) {
  const int next = index + (direction < 0 ? -1 : 1);
  if (next < 0 || next >= o_.rec->Count()) return -1;
  MoveCursorTo(next);
  return next;
}
