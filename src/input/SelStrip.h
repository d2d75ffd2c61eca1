// The picture strip beside the input form's editors (pai_Sel): it shows the
// selection list of the focused text editor a page at a time, highlights the
// row under the mouse and hands a double-clicked row's text to the editor.
// It draws through Canvas, so the form only forwards events.
#pragma once
#include <string>
#include <vector>

#include "platform/Canvas.h"

class CMyHyo;

class SelStrip {
 public:
  static constexpr int kRowHeight = 12;
  static constexpr uint32_t kListBack = 0xB4CDFF;
  static constexpr uint32_t kEmptyBack = 0xAAAAAA;

  // The strip's size in pixels decides how many rows a page shows.
  void SetSize(int width, int height);
  // Entering an editor: its list (null: none) from the first row; with
  // `parent` not empty, a two-level list shows only that parent's rows.
  void Show(const CMyHyo* list, int slot, int linkedSlot, const std::string& parent);
  void Forget() { Show(nullptr, -1, -1, {}); }

  const CMyHyo* List() const { return list_; }
  int Slot() const { return slot_; }
  int LinkedSlot() const { return linked_; }
  int FirstRow() const { return first_; }
  int PageRows() const { return pageRows_; }
  int Highlighted() const { return highlight_; }  // index among the shown rows, -1 none
  // Rows of the list that pass (table rows, in order).
  const std::vector<int>& Rows() const { return rows_; }

  bool CanPageDown() const { return first_ + pageRows_ < static_cast<int>(rows_.size()); }
  bool CanPageUp() const { return first_ > 0; }
  void PageDown();
  void PageUp();

  // The strip row under a y position, or -1. Hovering highlights it; true
  // when the highlight changed (repaint).
  int RowAt(int y) const;
  bool HoverAt(int y);
  // The text a double click at y hands to the editor; false when no row.
  bool TextAt(int y, std::string& text) const;

  void Paint(Canvas& canvas) const;

 private:
  const CMyHyo* list_ = nullptr;
  int slot_ = -1, linked_ = -1;
  int width_ = 0, height_ = 0, pageRows_ = 0;
  int first_ = 0, highlight_ = -1;
  std::vector<int> rows_;
};
