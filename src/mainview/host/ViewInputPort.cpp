#include "mainview/host/ViewInputPort.h"

#include "platform/Cp932.h"
#include "store/MemoSchema.h"

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
  // a save or a delete changed the month shown: a reference window showing
  // the same month holds rows of before
  if (o_.closeReferenceIfSameMonth)
    o_.closeReferenceIfSameMonth(CMyView::AddMonths(v.CurrentDate(), 0, "yyyymm"));
  if (changed_) changed_();
}

int ViewInputPort::FindRecord(const std::string& key, const std::string& serial) {
  // Walked here rather than with the record set's Find, which would put this
  // condition in place of the user's search and end F3 after every save.
  CMyRec& rec = *o_.rec;
  const CMyDB& db = *o_.db;
  for (int i = 0; i < rec.Count(); ++i) {
    const int r = rec.Items()[static_cast<size_t>(i)];
    if (db.IsDeleted(r)) continue;
    const char* k = db.Value(memo::kKey, r);
    const char* s = db.Value(memo::kLineSerial, r);
    if (k && s && key == k && serial == s) return rec.GoTo(i);
  }
  (void)rec.GoTo(-1);
  return -1;
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
