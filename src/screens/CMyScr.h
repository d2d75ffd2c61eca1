// CMyScr: the current display screen: layout, pens and fills, view block,
// items with their fonts, the three texts, and a small cache of the
// pictures shown in image items. The sheet, printing and the reference
// window draw through it.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Canvas.h"
#include "screens/CMyBitmap.h"
#include "screens/CMyObjFont.h"
#include "screens/ScreenFormat.h"
#include "store/CMyLine.h"

// The current row of the record set the items draw, seen through the two
// questions drawing asks of it.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // The current record's value of a field (CP932); "" for an unknown field.
  virtual std::string Value(const std::string& field) const = 0;
  // True when a record follows the current one.
  virtual bool HasNext() const = 0;
};

class CMyScr {
 public:
  static constexpr int kCacheSlots = 50;

  struct Item {
    jos::ItemHeader head;
    CMyObjFont font;
  };

  // Scales are pixels per logical unit of the screen (see SetScale).
  explicit CMyScr(double hscale = kDefaultScale, double vscale = kDefaultScale);
  ~CMyScr();
  CMyScr(const CMyScr&) = delete;
  CMyScr& operator=(const CMyScr&) = delete;

  // 96 pixels per inch.
  static constexpr double kDefaultScale = 96.0 / 2540.0;

  // 0; -1 cannot open; -2 version below 200; -3 version 300 or more;
  // -4 magic not "MS"; -5 damaged (ends inside the layout or item list, more
  // than 102 items, a bad font block, a text the model cannot hold).
  int LoadScreen(const std::string& path);
  int LoadScreenBytes(const std::string& bytes);
  void ResetLayout();
  void ResetPens();
  // Makes the 8 pens and 8 brushes; print mode 0 screen, 1 printer.
  void CreatePens(int printMode);
  void DeletePens();
  bool HasPens() const { return pensMade_; }
  const CanvasPen& Pen(int i) const { return pens_[static_cast<size_t>(i & 7)]; }
  uint32_t Brush(int i) const { return brushes_[static_cast<size_t>(i & 7)]; }

  int ToDevice(int vertical, double logical) const;
  int ToLogical(int vertical, double device) const;
  int FooterHeight() const;
  int FooterHeightPx() const { return ToDevice(1, FooterHeight()); }
  void SetScale(double h, double v);
  bool HasOption(int bit) const { return bit >= 0 && bit < 32 && ((layout_.options >> bit) & 1) != 0; }
  // bandBit: 2 header band, 4 footer band.
  bool ItemInBand(int index, int bandBit) const;
  // state 0 normal, 1 first row, 2 last row (its top edge from the first-row set).
  int ItemFrame(int index, int state) const;
  // {fill on, fill index}
  std::pair<bool, int> ItemFill(int index) const;

  // Draws the items of band s (1 rows, 2 header, 3 footer, else all) at the
  // origin (logical units). Nothing without a row source.
  void DrawItems(Canvas& c, int x0, int y0, int s, bool blank);
  // The last-drawn-first visible item of band s whose device box holds the point; -1 none.
  int ItemAt(int x, int y, int s) const;
  // The widest text of the row band (a field drawn as text, not a picture
  // or a caption), -1 none: the column that takes a wide window's room.
  int WidestTextColumn() const;
  // Widens that column by `extra` logical units in memory only, the items to
  // its right moved along and the ones across it (its caption, a frame)
  // widened; 0 or less puts the screen's own geometry back. A screen loaded
  // anew starts unstretched.
  void StretchColumns(int extra);
  int Stretch() const { return stretch_; }

  // Slot of the picture, loaded and fitted to w x h pixels; -1 when it cannot be had.
  int CacheImage(const std::string& path, const std::string& key, int w, int h);
  void DrawImage(Canvas& c, int slot, int item, int x0, int y0);
  const std::string& CachedName(int slot) const;

  const Item& GetItem(int i) const { return *items_[static_cast<size_t>(i)]; }
  Item& GetItem(int i) { return *items_[static_cast<size_t>(i)]; }
  int ItemCount() const { return count_; }
  std::string Text(int i) const { return texts_.Str(i); }

  const jos::ScreenLayout& Layout() const { return layout_; }
  const jos::ViewBlock& View() const { return layout_.view; }
  int SheetWidth() const { return layout_.sheetWidth; }
  int RowHeight() const { return layout_.rowHeight; }
  int HeaderHeight() const { return layout_.headerHeight; }
  void SetTextColour(uint32_t c) { textColour_ = c; }
  uint32_t TextColour() const { return textColour_; }
  void SetRows(const RowSource* rows) { rows_ = rows; }
  // The division folder holding "PhotSm" (a "/" is added when it has none).
  void SetDivisionFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    divisionFolder_ = std::move(folder);
  }
  const std::string& DivisionFolder() const { return divisionFolder_; }
  int RingPosition() const { return ring_; }
  // Makes a record's missing or outdated thumbnail (path, key -> the key to
  // use, "" when none could be made); unset, thumbnails are only read.
  void SetThumbnailRefresher(std::function<std::string(const std::string&, const std::string&)> f) {
    refresh_ = std::move(f);
  }

 private:
  bool InBand(const Item& it, int s) const;
  void DrawFrame(Canvas& c, int index, const CanvasRect& box, int state, bool withFill);
  void Reload(int slot);

  struct Geometry {
    int item, x, width;
  };
  std::vector<Geometry> unstretched_;  // what StretchColumns changed
  int stretch_ = 0;
  double hscale_, vscale_;
  jos::ScreenLayout layout_;
  std::array<std::unique_ptr<Item>, jos::kMaxItems> items_;
  int count_ = 0;
  CMyLine texts_;
  std::array<CanvasPen, 8> pens_{};
  std::array<uint32_t, 8> brushes_{};
  bool pensMade_ = false;
  bool printing_ = false;
  std::array<std::unique_ptr<CMyBitmap>, kCacheSlots> cache_;
  std::array<std::string, kCacheSlots> names_;
  int ring_ = 0;
  uint32_t textColour_ = 0;
  const RowSource* rows_ = nullptr;
  std::string divisionFolder_;
  std::function<std::string(const std::string&, const std::string&)> refresh_;
};
