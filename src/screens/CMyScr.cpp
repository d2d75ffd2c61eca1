#include "screens/CMyScr.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/Collate.h"
#include "platform/FileOps.h"
#include "screens/JpegToBitmap.h"
#include "screens/PhotoKey.h"

namespace {
// Screens are small; a file beyond this is not a screen.
constexpr int64_t kMaxScreenFile = 32 * 1024 * 1024;
}  // namespace

CMyScr::CMyScr(double hscale, double vscale) : hscale_(hscale), vscale_(vscale), texts_(2048) {
  for (auto& it : items_) it = std::make_unique<Item>(Item{{}, CMyObjFont(hscale, vscale)});
  ResetLayout();
}

CMyScr::~CMyScr() = default;

void CMyScr::ResetPens() {
  layout_.pens = jos::ScreenLayout::DefaultPens();
  layout_.fills = jos::ScreenLayout::DefaultFills();
}

void CMyScr::ResetLayout() {
  layout_ = jos::ScreenLayout();
  ResetPens();
  texts_.Clear();
  for (int i = 0; i < 3; ++i) texts_.Set(i, "");
}

int CMyScr::LoadScreen(const std::string& path) {
  ResetLayout();
  count_ = 0;
  if (!fileops::IsFile(path)) return -1;
  const int64_t size = fileops::Size(path);
  std::string bytes;
  if (size > kMaxScreenFile) {
    // Read just enough to report a bad version or magic before refusing.
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) return -1;
    bytes.resize(16);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), fp));
    std::fclose(fp);
    int rc = LoadScreenBytes(bytes);
    return rc == -2 || rc == -3 || rc == -4 ? rc : -5;
  }
  if (!fileops::ReadAll(path, bytes)) return -1;
  return LoadScreenBytes(bytes);
}

int CMyScr::LoadScreenBytes(const std::string& bytes) {
  unstretched_.clear();  // the items are read anew
  stretch_ = 0;
  ResetLayout();
  count_ = 0;
  ByteCursor in(bytes);
  int32_t version;
  if (!in.I32(version)) return -5;
  if (version < jos::kMinVersion) return -2;
  if (version / 100 > 2) return -3;
  const uint8_t* magic = in.Take(2);
  if (!magic || !in.I32(layout_.word6)) return -5;
  if (magic[0] != 'M' || magic[1] != 'S') return -4;
  layout_.version = version;
  if (!jos::ParseLayoutBody(in, layout_)) return -5;
  int32_t m;
  if (!in.I32(m)) return -5;
  if (m < 0 || m > jos::kMaxItems) return -5;
  for (int i = 0; i < m; ++i) {
    Item& it = *items_[static_cast<size_t>(i)];
    it.head = jos::ItemHeader();
    if (!jos::ParseItemHeader(in, it.head)) return -5;
    if (it.font.ReadFontBlock(in) != 0) return -5;
    // The stored scales belong to whatever device wrote the file.
    it.font.SetScale(hscale_, vscale_);
    count_ = i + 1;
  }
  for (int i = 0; i < 3; ++i) {
    int32_t len;
    if (!in.I32(len) || len == 0) break;
    if (len < 0 || len > jos::kMaxTextLength + 1) return -5;
    const uint8_t* p = in.Take(static_cast<size_t>(len));
    if (!p) break;
    std::string t(reinterpret_cast<const char*>(p), static_cast<size_t>(len));
    t.resize(std::strlen(t.c_str()));
    texts_.Set(i, t);
  }
  ring_ = 0;
  for (auto& n : names_) n.clear();
  return 0;
}

void CMyScr::CreatePens(int printMode) {
  DeletePens();
  printing_ = printMode == 1;
  for (int i = 0; i < 8; ++i) {
    const jos::PenEntry& e = layout_.pens[static_cast<size_t>(i)];
    int width = 1;
    if (e.style == 0 && e.width != 1) {
      if (!printing_ || e.width >= 36) width = ToDevice(1, e.width);
    }
    pens_[static_cast<size_t>(i)] = {e.style, width, printing_ ? 0u : static_cast<uint32_t>(e.colour)};
    brushes_[static_cast<size_t>(i)] = static_cast<uint32_t>(layout_.fills[static_cast<size_t>(i)].colour);
  }
  pensMade_ = true;
}

void CMyScr::DeletePens() {
  pens_ = {};
  brushes_ = {};
  pensMade_ = false;
}

int CMyScr::ToDevice(int vertical, double logical) const {
  const CMyObjFont& f = items_[0]->font;
  return TruncToInt(logical * (vertical ? f.VScale() : f.HScale()));
}

int CMyScr::ToLogical(int vertical, double device) const {
  const CMyObjFont& f = items_[0]->font;
  const double s = vertical ? f.VScale() : f.HScale();
  return s == 0 ? 0 : TruncToInt(device / s);
}

int CMyScr::FooterHeight() const {
  if (layout_.ruledPage == 0) return 0;
  const int64_t h =
      int64_t{layout_.pageHeight} - layout_.headerHeight - int64_t{layout_.rowHeight} * layout_.rowsPerPage;
  if (h < 0) return 0;
  return h > INT_MAX ? INT_MAX : static_cast<int>(h);
}

void CMyScr::SetScale(double h, double v) {
  hscale_ = h;
  vscale_ = v;
  // Item 0 carries the scale of ToDevice even on a screen without items.
  for (int i = 0; i < std::max(count_, 1); ++i) items_[static_cast<size_t>(i)]->font.SetScale(h, v);
}

bool CMyScr::ItemInBand(int index, int bandBit) const {
  if (index < 0 || index >= 100) return false;
  return (items_[static_cast<size_t>(index)]->head.BandBits() & bandBit) != 0;
}

int CMyScr::ItemFrame(int index, int state) const {
  if (index < 0 || index > 99) return 0;
  const jos::ItemHeader& h = items_[static_cast<size_t>(index)]->head;
  const uint32_t rows = static_cast<uint32_t>(h.RowFrames());
  switch (state) {
    case 1:
      return static_cast<int>(rows & 0xFFFF);
    case 2:
      return static_cast<int>(((rows >> 16) & 0xFFF0) + (rows & 0xF));
    default:
      return static_cast<int>(static_cast<uint32_t>(h.FrameFill()) & 0xFFFF);
  }
}

std::pair<bool, int> CMyScr::ItemFill(int index) const {
  if (index < 0 || index >= 100) return {false, 0};
  const uint32_t w = static_cast<uint32_t>(items_[static_cast<size_t>(index)]->head.FrameFill());
  if (!(w & 0x10000)) return {false, 0};
  return {true, static_cast<int>((w >> 20) & 7)};
}

int CMyScr::WidestTextColumn() const {
  int widest = -1;
  for (int i = 0; i < count_; ++i) {
    const Item& it = *items_[static_cast<size_t>(i)];
    if (it.head.visible != 1 || !InBand(it, 1) || it.head.kind == 1 || it.head.kind == 201) continue;
    if (it.head.field.empty() || it.font.Record().vertical == 1 || it.font.W() <= 0) continue;
    if (widest < 0 || it.font.W() > GetItem(widest).font.W()) widest = i;
  }
  return widest;
}

void CMyScr::StretchColumns(int extra) {
  for (const Geometry& g : unstretched_) {
    CMyObjFont& f = items_[static_cast<size_t>(g.item)]->font;
    f.SetPosition(g.x, f.Y());
    f.SetWidth(g.width);
  }
  unstretched_.clear();
  stretch_ = 0;
  const int column = WidestTextColumn();
  if (extra <= 0 || column < 0) return;
  const int left = GetItem(column).font.X(), right = left + GetItem(column).font.W();
  // screens draw neighbours a little over each other's frames
  const int slack = (right - left) / 4;
  for (int i = 0; i < count_; ++i) {
    CMyObjFont& f = items_[static_cast<size_t>(i)]->font;
    const bool vertical = f.Record().vertical == 1;  // x is its right edge
    const int l = vertical ? f.X() - f.W() : f.X(), r = vertical ? f.X() : f.X() + f.W();
    int moveBy = 0, widenBy = 0;
    if (l >= right - slack) {
      moveBy = extra;
    } else if (l <= left + slack && r >= right - slack) {
      widenBy = extra;
      if (vertical) moveBy = extra;
    }
    if (moveBy == 0 && widenBy == 0) continue;
    unstretched_.push_back({i, f.X(), f.W()});
    f.SetPosition(f.X() + moveBy, f.Y());
    f.SetWidth(f.W() + widenBy);
  }
  stretch_ = extra;
}

bool CMyScr::InBand(const Item& it, int s) const {
  const int bits = it.head.BandBits();
  switch (s) {
    case 1:
      return (bits & 6) == 0;
    case 2:
      return (bits & 2) != 0;
    case 3:
      return (bits & 4) != 0;
    default:
      return true;
  }
}

void CMyScr::DrawFrame(Canvas& c, int index, const CanvasRect& box, int state, bool withFill) {
  if (!pensMade_) return;
  if (withFill) {
    auto [on, fill] = ItemFill(index);
    if (on && fill != 0) c.FillRect(box, brushes_[static_cast<size_t>(fill)]);
  }
  const int frame = ItemFrame(index, state);
  if (frame == 0) return;
  const int pts[5][2] = {{box.left, box.top},
                         {box.right, box.top},
                         {box.right, box.bottom},
                         {box.left, box.bottom},
                         {box.left, box.top}};
  // Edges in drawing order: top, right, bottom, left; nibbles 0, 1, 2, 3.
  for (int e = 0; e < 4; ++e) {
    const int pen = (frame >> (4 * e)) & 7;
    if (pen == 0) continue;
    c.SetPen(pens_[static_cast<size_t>(pen)]);
    c.Line(pts[e][0], pts[e][1], pts[e + 1][0], pts[e + 1][1]);
  }
}

void CMyScr::DrawItems(Canvas& c, int x0, int y0, int s, bool blank) {
  if (!rows_) return;
  const int dx = ToDevice(0, x0), dy = ToDevice(1, y0);
  for (int i = count_ - 1; i >= 0; --i) {
    Item& it = *items_[static_cast<size_t>(i)];
    if (it.head.visible != 1 || !InBand(it, s)) continue;
    CanvasRect box = it.font.DeviceBox();
    box.left += dx, box.right += dx, box.top += dy, box.bottom += dy + 1;
    int state = 0;
    if (s == 1 && layout_.ruledPage == 1) state = (!rows_->HasNext() || layout_.rowsPerPage <= 1) ? 2 : 1;
    DrawFrame(c, i, box, state, true);
    if (it.head.kind == 1) {
      it.font.DrawText(c, x0, y0, printing_);
    } else if (it.head.kind == 201) {
      if (it.head.field.empty() || blank) continue;
      const std::string path = rows_->Value(it.head.field);
      if (path.empty()) continue;
      const int slot =
          CacheImage(path, rows_->Value("IMS001"), ToDevice(0, it.font.W()), ToDevice(1, it.font.H()));
      if (slot >= 0) {
        DrawImage(c, slot, i, x0, y0);
        DrawFrame(c, i, box, state, false);
      }
    } else {
      if (!it.head.field.empty()) it.font.SetText(blank ? std::string() : rows_->Value(it.head.field));
      if (!it.font.HasOwnColour()) c.SetTextColour(textColour_);
      it.font.DrawText(c, x0, y0, printing_);
    }
  }
}

int CMyScr::ItemAt(int x, int y, int s) const {
  for (int i = count_ - 1; i >= 0; --i) {
    const Item& it = *items_[static_cast<size_t>(i)];
    if (it.head.visible != 1 || !InBand(it, s)) continue;
    const CanvasRect b = it.font.DeviceBox();
    if (x >= b.left && x <= b.right && y >= b.top && y <= b.bottom) return i;
  }
  return -1;
}

const std::string& CMyScr::CachedName(int slot) const {
  static const std::string kNone;
  return slot >= 0 && slot < kCacheSlots ? names_[static_cast<size_t>(slot)] : kNone;
}

namespace {

std::string Extension(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot + 1);
}

}  // namespace

int CMyScr::CacheImage(const std::string& path, const std::string& key, int w, int h) {
  if (path.empty()) return -1;
  const char mode = key.size() == photo::kKeyLength ? 'S' : 'F';
  for (int k = 0; k < kCacheSlots; ++k) {
    const std::string& n = names_[static_cast<size_t>(k)];
    if (n.empty() || n[0] != mode) continue;
    if (n.compare(1, std::string::npos, mode == 'S' ? key : path) == 0) return k;
  }
  const int slot = ring_;
  auto& bmp = cache_[static_cast<size_t>(slot)];
  if (!bmp) bmp = std::make_unique<CMyBitmap>();
  // The slot's old picture is about to be replaced; its name must not outlive it.
  names_[static_cast<size_t>(slot)].clear();
  std::string name;
  if (mode == 'S') {
    // a missing or outdated thumbnail is made again first, when someone can
    std::string use = key;
    if (refresh_) {
      const std::string fresh = refresh_(path, key);
      if (!fresh.empty()) use = fresh;
    }
    const std::string thumb = photo::ThumbnailPath(divisionFolder_, use);
    if (!thumb.empty() && bmp->LoadBmp(thumb) == 1) {
      bmp->FitToBox(w, h, true, false);
      name = "S" + key;
    }
  }
  if (name.empty()) {
    // the record holds CP932; the file system names it in UTF-8
    const std::string disk = photo::DiskPath(path);
    if (disk.empty()) return -1;
    if (!collate::EqualNoCase(Extension(path), "jpg")) {
      if (bmp->LoadBmp(disk) != 1) return -1;
      bmp->FitToBox(w, h, true, false);
    } else if (DecodeJpeg(disk, std::min(w, h), *bmp) != 0) {
      // decoded in memory: a shared scratch file could be overwritten by the
      // input form's picture between the write and the read
      bmp->Clear();
      return -1;
    }
    name = "F" + path;
  }
  names_[static_cast<size_t>(slot)] = name;
  ring_ = (ring_ + 1) % kCacheSlots;
  return slot;
}

void CMyScr::DrawImage(Canvas& c, int slot, int item, int x0, int y0) {
  // The cache has 50 slots: 0 to 49.
  if (slot < 0 || slot >= kCacheSlots || item < 0 || item >= count_) return;
  const CMyBitmap* bmp = cache_[static_cast<size_t>(slot)].get();
  if (!bmp || bmp->Width() == 0 || bmp->Height() == 0) return;
  CMyObjFont& f = items_[static_cast<size_t>(item)]->font;
  const int w = ToDevice(0, f.W()), h = ToDevice(1, f.H());
  const double factor =
      std::min(static_cast<double>(w) / bmp->Width(), static_cast<double>(h) / bmp->Height());
  const int dw = TruncToInt(bmp->Width() * factor), dh = TruncToInt(bmp->Height() * factor);
  const int sx = f.X(), sy = f.Y(), sw = f.W(), sh = f.H();
  f.SetPosition(TruncToInt(static_cast<double>(sx) + ToLogical(0, (w - dw) / 2)),
                TruncToInt(static_cast<double>(sy) + ToLogical(1, (h - dh) / 2)));
  f.SetWidth(std::max(10, ToLogical(0, dw)));
  f.SetHeight(std::max(10, ToLogical(1, dh)));
  f.DrawBitmap(c, *bmp, x0, y0, printing_);
  f.SetPosition(sx, sy);
  f.SetWidth(sw);
  f.SetHeight(sh);
}
