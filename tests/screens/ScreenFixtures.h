// Small builders of screen documents and pictures shared by the screen tests.
#pragma once
#include <map>
#include <string>

#include "catalogue/ScreenWriter.h"
#include "screens/CMyBitmap.h"
#include "screens/CMyScr.h"

// An item with its box; kind 1 caption, 201 image, else data.
inline ScreenItemDoc MakeItem(int kind, const std::string& field, int x, int y, int w, int h,
                              const std::string& text = "") {
  ScreenItemDoc it;
  it.head.kind = kind;
  it.head.field = field;
  it.font.x = x, it.font.y = y, it.font.width = w, it.font.height = h;
  it.font.font.faceName = "x";
  it.text = text;
  return it;
}

// Row values from a map; HasNext as set.
class MapRows : public RowSource {
 public:
  std::map<std::string, std::string> values;
  bool next = true;
  std::string Value(const std::string& f) const override {
    auto it = values.find(f);
    return it == values.end() ? std::string() : it->second;
  }
  bool HasNext() const override { return next; }
};

// A 24-bit picture whose pixel (x, y from the top) is {b, g, r} = fn(x, y).
template <typename Fn>
CMyBitmap MakePicture(int w, int h, Fn fn) {
  const int64_t row = CMyBitmap::RowBytes(w, 24);
  std::vector<uint8_t> rows(static_cast<size_t>(row * h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t c = fn(x, y);
      uint8_t* p = &rows[static_cast<size_t>((h - 1 - y) * row + x * 3)];
      p[0] = c & 0xFF, p[1] = (c >> 8) & 0xFF, p[2] = (c >> 16) & 0xFF;
    }
  CMyBitmap b;
  b.Create24(w, h, std::move(rows));
  return b;
}

// Pixel (x, y from the top) of a 24-bit picture as 0xRRGGBB, or of an 8-bit one as its index.
inline uint32_t PixelAt(const CMyBitmap& b, int x, int y) {
  const DibView v = b.View();
  const int64_t row = CMyBitmap::RowBytes(v.width, v.bitCount);
  const uint8_t* p = v.bits + (v.height - 1 - y) * row + x * (v.bitCount / 8);
  if (v.bitCount == 8) return p[0];
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}
