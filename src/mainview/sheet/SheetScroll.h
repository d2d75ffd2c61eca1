// How a sheet's cursor and visible window move over its rows: laying the
// rows out from a top row, the scroll range's end, placing the cursor so
// that it is seen, and paging. The main view and the reference window keep
// their own rows and positions and move them by these same rules.
#pragma once
#include <vector>

struct SheetRow;

class SheetScroll {
 public:
  // The rows and the room they are shown in (logical units): the header's
  // height and the paint box's height less the footer.
  struct Frame {
    const std::vector<SheetRow>& rows;
    int header;
    int available;
  };

  // Works on the caller's own cursor, top row and last visible row.
  SheetScroll(Frame frame, int& cursor, int& top, int& lastVisible)
      : f_(frame), cursor_(cursor), top_(top), last_(lastVisible) {}

  // Rows from `t` until the room is filled; returns the last visible row.
  int LayoutFromTop(int t);
  // The highest top row from which the rows below it still fill the room.
  static int MaxTopRow(const Frame& frame);
  // The top row within the rows, then laid out.
  void SetTop(int top);
  // One row down (delta > 0) or up, within the scroll bar's range: never
  // past the place that shows the last row at the bottom.
  void Wheel(int delta);
  // The cursor to row `r` (kept within the rows), scrolling as little as
  // shows it. True when the visible window moved.
  bool PlaceCursor(int r);
  void PageDown();
  void PageUp();

 private:
  // Out of line: the row type is only declared here.
  int Count() const;
  int Height(int r) const;

  Frame f_;
  int& cursor_;
  int& top_;
  int& last_;
};
