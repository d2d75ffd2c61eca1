#include "mainview/sheet/SheetScroll.h"

#include <algorithm>

#include "mainview/sheet/SheetRow.h"

int SheetScroll::Count() const { return static_cast<int>(f_.rows.size()); }

int SheetScroll::Height(int r) const { return f_.rows[static_cast<size_t>(r)].height; }

int SheetScroll::LayoutFromTop(int t) {
  long sum = f_.header;
  int last = t;
  for (int r = t; r < Count(); ++r) {
    sum += Height(r);
    last = r;
    if (sum >= f_.available) break;
  }
  top_ = t;
  last_ = last;
  return last;
}

int SheetScroll::MaxTopRow(const Frame& f) {
  const long available = static_cast<long>(f.available) - f.header;
  const int count = static_cast<int>(f.rows.size());
  long sum = 0;
  int r = count - 1;
  for (; r >= 0; --r) {
    sum += f.rows[static_cast<size_t>(r)].height;
    if (sum > available) break;
  }
  return std::clamp(r + 1, 0, std::max(count - 1, 0));
}

void SheetScroll::SetTop(int top) {
  top_ = std::clamp(top, 0, std::max(Count() - 1, 0));
  LayoutFromTop(top_);
}

void SheetScroll::Wheel(int delta) {
  SetTop(std::clamp(top_ + (delta > 0 ? 1 : -1), 0, std::max(MaxTopRow(f_), 0)));
}

bool SheetScroll::PlaceCursor(int r) {
  const int count = Count();
  if (count == 0) return false;
  if (r + 1 >= count) r = count - 1;
  if (r < 0) r = 0;
  if (r >= top_ && r < last_) {
    cursor_ = r;
    return false;
  }
  if (r < top_) {
    // the lowest top that still fills the room, and no lower than r
    cursor_ = r;
    long sum = f_.header;
    int i = count - 1;
    for (; i >= 0; --i) {
      sum += Height(i);
      if (sum > f_.available) break;
    }
    SetTop(std::min(r, i + 1));
    return true;
  }
  // r at or below the last visible row: the smallest top from which r fits
  long sum = f_.header;
  int i = r;
  for (; i >= 0; --i) {
    sum += Height(i);
    if (sum > f_.available) break;
  }
  LayoutFromTop(std::min(i + 1, r));
  cursor_ = r;
  return true;
}

void SheetScroll::PageDown() {
  if (Count() == 0) return;
  if (last_ < Count() - 1) {
    const int newLast = LayoutFromTop(last_);
    if (newLast == Count() - 1)
      PlaceCursor(newLast);
    else
      cursor_ = newLast;
  } else {
    cursor_ = last_;
  }
}

void SheetScroll::PageUp() {
  if (Count() == 0) return;
  if (top_ == 0) {
    cursor_ = 0;
    return;
  }
  const int oldTop = top_;
  long sum = static_cast<long>(f_.header) + Height(oldTop);
  int t = oldTop;
  while (t > 0 && sum + Height(t - 1) <= f_.available) {
    sum += Height(t - 1);
    --t;
  }
  if (t == oldTop) {
    // not even the row above fits with the old top: one row up
    LayoutFromTop(oldTop - 1);
    cursor_ = oldTop;
  } else {
    LayoutFromTop(t);
    cursor_ = t;
  }
}
