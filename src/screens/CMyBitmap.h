// CMyBitmap: one picture kept as a packed DIB (40-byte information header,
// colour table, pixel rows bottom row first, each padded to 4 bytes), with
// loading and saving of ".bmp" files, area-averaging shrink and quarter turns.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Canvas.h"

class Prompter;

class CMyBitmap {
 public:
  static constexpr int kInfoSize = 40;
  static constexpr int kFileHeaderSize = 14;
  // Largest side the loader accepts; real photos and thumbnails are far below.
  static constexpr int kMaxSide = 30000;
  // Largest picture Resample makes (pixels).
  static constexpr int64_t kMaxPixels = 40'000'000;

  // Messages of LoadBmp / SaveBmp go to `prompter`; null keeps them silent
  // (the image cache of the screen model shows none).
  explicit CMyBitmap(Prompter* prompter = nullptr) : prompter_(prompter) {}

  // 1 loaded, 0 not (unopenable file silently; bad format with a message).
  // Nothing of a failed load is kept.
  int LoadBmp(const std::string& path);
  // 1 saved, 0 nothing to save or the file could not be written.
  int SaveBmp(const std::string& path) const;
  // The ".bmp" file image of the current picture (empty when there is none).
  std::string FileBytes() const;
  void Clear();
  void DropSource() { source_.clear(); }
  bool HasSource() const { return !source_.empty(); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitCount() const;
  // Number of colour-table entries (header's colours-used, else by depth).
  int Colours() const;
  const std::vector<uint8_t>& Dib() const { return dib_; }

  // Makes a 24-bit picture from rows in DIB order (bottom row first, each
  // RowBytes(w, 24) long). Returns false for an empty or mismatched size.
  bool Create24(int w, int h, std::vector<uint8_t> rows);

  // Shrinks (or stretches) a 24-bit picture by area averaging, always from
  // the kept source. 0, -1 no image, -2 not 24 bits / bad size / no memory.
  int Resample(int w, int h);
  // Resample into w x h; with keepProportions the factor is the smaller of
  // w/width and h/height, at most 1 (never enlarged). Returns Resample's code.
  int FitToBox(int w, int h, bool keepProportions, bool dropSource);
  // Quarter turns clockwise: 0, 1 (0 degrees), -1 no image, -3 depth not 8/24/32.
  int Rotate(int degrees);

  void Draw(Canvas& c, int x, int y, int w, int h) const;
  void DrawScaled(Canvas& c, int x, int y, double factor) const;
  DibView View() const;

  static int64_t RowBytes(int64_t width, int bitCount, int planes = 1) {
    return (width * bitCount * planes + 31) / 32 * 4;
  }

 private:
  size_t InfoBytes() const { return kInfoSize + static_cast<size_t>(Colours()) * 4; }
  void Fail(const std::string& text) const;

  Prompter* prompter_;
  std::vector<uint8_t> dib_;     // current image
  std::vector<uint8_t> source_;  // kept source for repeated shrinking
  int width_ = 0, height_ = 0;
};
