#include "mainview/sheet/ReferenceView.h"

#include <cstdio>

void ReferenceView::Fill(const CMyView& main, const std::function<int(int)>& tableRecordOf) {
  screen_ = main.Screen();
  main_ = &main;
  rows_ = main.Rows();
  records_.clear();
  holidays_.clear();
  auto own = [this](const HolidayEntry* e) -> const HolidayEntry* {
    if (!e) return nullptr;
    holidays_.push_back(*e);
    return &holidays_.back();
  };
  for (SheetRow& r : rows_) {
    if (r.record >= 0) {
      records_.push_back(tableRecordOf(r.record));
      r.record = static_cast<int>(records_.size()) - 1;
    }
    r.holiday = own(r.holiday);
    r.anniversary = own(r.anniversary);
  }
  sums_ = main.Sums();
  label_ = main.Label();
  cursor_ = main.CursorRow();
  top_ = main.TopRow();
  lastVisible_ = main.LastVisibleRow();
  totalHeight_ = main.TotalHeight();
}

bool ReferenceView::LabelMonth(int& year, int& month) const {
  return std::sscanf(label_.c_str(), "%d/%d", &year, &month) == 2;
}

int ReferenceView::CursorRecord() const {
  if (cursor_ < 0 || cursor_ >= RowCount()) return -1;
  const int i = rows_[static_cast<size_t>(cursor_)].record;
  return i >= 0 && static_cast<size_t>(i) < records_.size() ? records_[static_cast<size_t>(i)] : -1;
}

SheetScroll ReferenceView::Scroll() { return SheetScroll(Frame(), cursor_, top_, lastVisible_); }

int ReferenceView::LayoutFromTop(int top) {
  // the screen model is the main window's: a zoom there sizes these rows too
  if (main_) CMyView::CopyPixelSizes(main_->Screen(), screen_);
  return Scroll().LayoutFromTop(top);
}
int ReferenceView::MaxTopRow() const { return SheetScroll::MaxTopRow(Frame()); }
void ReferenceView::SetTop(int top) { Scroll().SetTop(top); }
void ReferenceView::MoveCursorTo(int row) { Scroll().PlaceCursor(row); }

void ReferenceView::ClickRow(int row) {
  if (row >= 0 && row < RowCount()) cursor_ = row;
}

void ReferenceView::KeyUp() {
  if (cursor_ > 0) MoveCursorTo(cursor_ - 1);
}

void ReferenceView::KeyDown() {
  if (cursor_ < RowCount() - 1) MoveCursorTo(cursor_ + 1);
}

void ReferenceView::KeyPageDown() { Scroll().PageDown(); }
void ReferenceView::KeyPageUp() { Scroll().PageUp(); }
void ReferenceView::Wheel(int delta) { Scroll().Wheel(delta); }

std::string ReferenceView::RowStatus(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  const SheetRow& r = rows_[static_cast<size_t>(row)];
  return CMyView::RowStatusOf(r, r.holiday ? r.holiday->Name() : std::string(),
                              r.anniversary ? r.anniversary->Name() : std::string(),
                              r.anniversary ? r.anniversary->startYear : 0);
}
