#include "input/SelStrip.h"

#include <cstdio>
#include <cstdlib>

#include "input/CMyHyo.h"

void SelStrip::SetSize(int width, int height) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
  pageRows_ = height_ / kRowHeight;
}

void SelStrip::Show(const CMyHyo* list, int slot, int linkedSlot, const std::string& parent) {
  list_ = list;
  slot_ = slot;
  linked_ = linkedSlot;
  first_ = 0;
  highlight_ = -1;
  rows_.clear();
  if (!list_) return;
  const bool byParent = list_->Switch(2) && !parent.empty();
  for (int r = 0; r < list_->RowCount(); ++r)
    if (!byParent || list_->Cell(1, r) == parent) rows_.push_back(r);
}

void SelStrip::PageDown() {
  if (!CanPageDown() || pageRows_ <= 0) return;
  first_ += pageRows_;
  highlight_ = -1;
}

void SelStrip::PageUp() {
  if (!CanPageUp() || pageRows_ <= 0) return;
  first_ = pageRows_ * ((first_ - 1) / pageRows_);
  highlight_ = -1;
}

int SelStrip::RowAt(int y) const {
  if (!list_ || y < 0 || y >= pageRows_ * kRowHeight) return -1;
  int i = first_ + y / kRowHeight;
  return i < static_cast<int>(rows_.size()) ? i : -1;
}

bool SelStrip::HoverAt(int y) {
  int i = RowAt(y);
  if (i == highlight_) return false;
  highlight_ = i;
  return true;
}

bool SelStrip::TextAt(int y, std::string& text) const {
  int i = RowAt(y);
  if (i < 0) return false;
  text = list_->Cell(2, rows_[static_cast<size_t>(i)]);
  return true;
}

void SelStrip::Paint(Canvas& canvas) const {
  const uint32_t back = list_ ? kListBack : kEmptyBack;
  canvas.FillRect({0, 0, width_, height_}, back);
  if (!list_) return;
  canvas.SetBackground(false);
  for (int k = 0; k < pageRows_; ++k) {
    int i = first_ + k;
    if (i >= static_cast<int>(rows_.size())) break;
    const int row = rows_[static_cast<size_t>(i)];
    const int top = k * kRowHeight;
    const bool lit = i == highlight_;
    if (lit) canvas.FillRect({0, top, width_, top + kRowHeight}, back ^ 0xFFFFFF);
    canvas.SetTextColour(lit ? 0xFFFFFF : 0x000000);
    std::string code = list_->Cell(0, row);
    char buf[16];
    if (code.size() == 1 || code.size() == 2)
      std::snprintf(buf, sizeof buf, "%2d", std::atoi(code.c_str()));
    else
      std::snprintf(buf, sizeof buf, " -");
    canvas.TextOut(3, top, buf);
    canvas.TextOut(20, top, list_->Cell(2, row));
  }
}
