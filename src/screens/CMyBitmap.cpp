#include "screens/CMyBitmap.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"

namespace {

struct DibInfo {
  int width = 0, height = 0, bits = 0, planes = 0, colours = 0;
  size_t infoBytes = 0, pixelBytes = 0;
};

int ColoursOf(int bits, uint32_t used) {
  if (used) return static_cast<int>(used);
  if (bits == 1) return 2;
  if (bits == 4) return 16;
  if (bits == 8) return 256;
  return 0;
}

DibInfo InfoOf(const std::vector<uint8_t>& dib) {
  DibInfo d;
  if (dib.size() < CMyBitmap::kInfoSize) return d;
  d.width = le::GetI32(&dib[4]);
  d.height = le::GetI32(&dib[8]);
  d.planes = le::GetU16(&dib[12]);
  d.bits = le::GetU16(&dib[14]);
  d.colours = ColoursOf(d.bits, le::GetU32(&dib[32]));
  d.infoBytes = CMyBitmap::kInfoSize + static_cast<size_t>(d.colours) * 4;
  d.pixelBytes = static_cast<size_t>(CMyBitmap::RowBytes(d.width, d.bits, d.planes)) * d.height;
  return d;
}

void PutInfo24(uint8_t* p, int w, int h, uint32_t imageSize) {
  std::memset(p, 0, CMyBitmap::kInfoSize);
  le::PutI32(p, CMyBitmap::kInfoSize);
  le::PutI32(p + 4, w);
  le::PutI32(p + 8, h);
  le::PutU16(p + 12, 1);
  le::PutU16(p + 14, 24);
  le::PutU32(p + 20, imageSize);
}

}  // namespace

void CMyBitmap::Fail(const std::string& text) const {
  if (prompter_) prompter_->Error(text);
}

int CMyBitmap::BitCount() const { return dib_.empty() ? 0 : le::GetU16(&dib_[14]); }

int CMyBitmap::Colours() const {
  if (dib_.empty()) return 0;
  return ColoursOf(le::GetU16(&dib_[14]), le::GetU32(&dib_[32]));
}

void CMyBitmap::Clear() {
  dib_.clear();
  dib_.shrink_to_fit();
  source_.clear();
  source_.shrink_to_fit();
  width_ = height_ = 0;
}

int CMyBitmap::LoadBmp(const std::string& path) {
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (!fp) return 0;
  std::unique_ptr<FILE, int (*)(FILE*)> closer(fp, std::fclose);
  const std::string kOtherFormat = "異なる形式のファイルオープンしました。"_sj;
  uint8_t fh[kFileHeaderSize];
  if (std::fread(fh, 1, sizeof fh, fp) != sizeof fh) {
    Fail(kOtherFormat);
    return 0;
  }
  if (fh[0] != 'B' || fh[1] != 'M') {
    Fail("ビットマップ形式のファイルではありません。"_sj);
    return 0;
  }
  uint8_t info[kInfoSize];
  if (std::fread(info, 1, sizeof info, fp) != sizeof info) {
    Fail(kOtherFormat);
    return 0;
  }
  source_.clear();
  dib_.clear();
  width_ = height_ = 0;
  // Every size comes from the file, so it is checked against what the file
  // holds before anything is reserved: a damaged header never forces a
  // large allocation or a read past the buffer.
  const uint32_t infoSize = le::GetU32(info);
  const int32_t w = le::GetI32(info + 4), storedH = le::GetI32(info + 8);
  const int planes = le::GetU16(info + 12), bits = le::GetU16(info + 14);
  const uint32_t compression = le::GetU32(info + 16), used = le::GetU32(info + 32);
  const bool depthOk = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  // Bit-field masks of 16- and 32-bit pictures are taken as the usual ones.
  const bool masks = compression == 3 && (bits == 16 || bits == 32);
  if (infoSize < kInfoSize || infoSize > 1024 || w <= 0 || storedH == 0 || w > kMaxSide ||
      storedH > kMaxSide || storedH < -kMaxSide || planes != 1 || !depthOk || (compression != 0 && !masks) ||
      used > 65536) {
    Fail(kOtherFormat);
    return 0;
  }
  const int h = storedH < 0 ? -storedH : storedH;
  const int colours = ColoursOf(bits, used);
  const int64_t tableBytes = int64_t{colours} * 4, pixelBytes = RowBytes(w, bits) * h;
  // Newer, longer headers (and a 40-byte header's masks) are stepped over;
  // the rows start at the file's pixel offset when that lies further on.
  int64_t tableAt = kFileHeaderSize + int64_t{infoSize} + (masks && infoSize == kInfoSize ? 12 : 0);
  int64_t pixelsAt = tableAt + tableBytes;
  const int64_t offBits = le::GetU32(fh + 10);
  const int64_t fileSize = fileops::Size(path);
  if (offBits > pixelsAt && offBits + pixelBytes <= fileSize) pixelsAt = offBits;
  if (fileSize < pixelsAt + pixelBytes) {
    Fail(kOtherFormat);
    return 0;
  }
  std::vector<uint8_t> dib;
  try {
    dib.resize(static_cast<size_t>(kInfoSize + tableBytes + pixelBytes));
  } catch (const std::bad_alloc&) {
    Fail("メモリ不足です。領域の確保に失敗しました。"_sj);
    return 0;
  }
  // Kept in memory as a plain bottom-up picture with a 40-byte header.
  std::memcpy(dib.data(), info, kInfoSize);
  le::PutU32(&dib[0], kInfoSize);
  le::PutI32(&dib[8], h);
  le::PutU32(&dib[16], 0);
  uint8_t* table = dib.data() + kInfoSize;
  uint8_t* pixels = table + tableBytes;
  if (std::fseek(fp, static_cast<long>(tableAt), SEEK_SET) != 0 ||
      std::fread(table, 1, static_cast<size_t>(tableBytes), fp) != static_cast<size_t>(tableBytes) ||
      std::fseek(fp, static_cast<long>(pixelsAt), SEEK_SET) != 0 ||
      std::fread(pixels, 1, static_cast<size_t>(pixelBytes), fp) != static_cast<size_t>(pixelBytes)) {
    Fail(kOtherFormat);
    return 0;
  }
  if (storedH < 0) {
    const size_t row = static_cast<size_t>(RowBytes(w, bits));
    std::vector<uint8_t> tmp(row);
    for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
      std::memcpy(tmp.data(), pixels + top * row, row);
      std::memcpy(pixels + top * row, pixels + bottom * row, row);
      std::memcpy(pixels + bottom * row, tmp.data(), row);
    }
  }
  dib_ = std::move(dib);
  width_ = w;
  height_ = h;
  return 1;
}

std::string CMyBitmap::FileBytes() const {
  if (dib_.empty()) return {};
  std::string out;
  out.reserve(kFileHeaderSize + dib_.size());
  out += "BM";
  le::AppendI32(out, static_cast<int32_t>(kFileHeaderSize + dib_.size()));
  le::AppendU16(out, 0);
  le::AppendU16(out, 0);
  le::AppendI32(out, static_cast<int32_t>(kFileHeaderSize + InfoBytes()));
  out.append(reinterpret_cast<const char*>(dib_.data()), dib_.size());
  return out;
}

int CMyBitmap::SaveBmp(const std::string& path) const {
  if (dib_.empty()) return 0;
  if (!fileops::WriteAtomic(path, FileBytes())) {
    if (prompter_) prompter_->Warn("ファイルの書き込みに失敗しました。"_sj);
    return 0;
  }
  return 1;
}

bool CMyBitmap::Create24(int w, int h, std::vector<uint8_t> rows) {
  if (w <= 0 || h <= 0 || static_cast<int64_t>(rows.size()) != RowBytes(w, 24) * h) return false;
  std::vector<uint8_t> dib(kInfoSize + rows.size());
  PutInfo24(dib.data(), w, h, static_cast<uint32_t>(rows.size()));
  std::memcpy(dib.data() + kInfoSize, rows.data(), rows.size());
  dib_ = std::move(dib);
  source_.clear();
  width_ = w;
  height_ = h;
  return true;
}

int CMyBitmap::Resample(int w, int h) {
  if (dib_.empty()) return -1;
  if (BitCount() != 24 || w <= 0 || h <= 0 || int64_t{w} * h > kMaxPixels) return -2;
  if (source_.empty()) source_ = dib_;
  const DibInfo s = InfoOf(source_);
  const uint8_t* src = source_.data() + s.infoBytes;
  const int64_t srcRow = RowBytes(s.width, 24), dstRow = RowBytes(w, 24);
  std::vector<uint8_t> dib;
  try {
    dib.assign(kInfoSize + static_cast<size_t>(dstRow * h), 0);
  } catch (const std::bad_alloc&) {
    return -2;
  }
  PutInfo24(dib.data(), w, h, static_cast<uint32_t>(dstRow * h));
  uint8_t* dst = dib.data() + kInfoSize;
  const double sx = static_cast<double>(s.width) / w, sy = static_cast<double>(s.height) / h;
  const double area = sx * sy;
  for (int i = 0; i < h; ++i) {
    const double y0 = i * sy, y1 = (i + 1) * sy - 0.000001;
    const int r0 = static_cast<int>(y0), r1 = std::min(static_cast<int>(y1), s.height - 1);
    for (int j = 0; j < w; ++j) {
      const double x0 = j * sx, x1 = (j + 1) * sx - 0.000001;
      const int c0 = static_cast<int>(x0), c1 = std::min(static_cast<int>(x1), s.width - 1);
      double sum[3] = {0, 0, 0};
      for (int r = r0; r <= r1; ++r) {
        const double fy = std::min(y1, r + 1.0) - std::max(y0, static_cast<double>(r));
        const uint8_t* row = src + r * srcRow;
        for (int c = c0; c <= c1; ++c) {
          const double f = fy * (std::min(x1, c + 1.0) - std::max(x0, static_cast<double>(c)));
          const uint8_t* px = row + 3 * c;
          sum[0] += px[0] * f;
          sum[1] += px[1] * f;
          sum[2] += px[2] * f;
        }
      }
      uint8_t* out = dst + i * dstRow + 3 * j;
      for (int k = 0; k < 3; ++k) {
        const double v = sum[k] / area + 0.5;
        out[k] = static_cast<uint8_t>(v >= 255.0 ? 255 : (v <= 0 ? 0 : static_cast<int>(v)));
      }
    }
  }
  dib_ = std::move(dib);
  width_ = w;
  height_ = h;
  return 0;
}

int CMyBitmap::FitToBox(int w, int h, bool keepProportions, bool dropSource) {
  if (keepProportions && width_ > 0 && height_ > 0) {
    double f = 1.0;
    if (w != 0 && h != 0) f = std::min(static_cast<double>(w) / width_, static_cast<double>(h) / height_);
    if (f > 1.0) f = 1.0;
    // A very flat picture must not shrink to nothing.
    w = std::max(1, static_cast<int>(width_ * f));
    h = std::max(1, static_cast<int>(height_ * f));
  }
  int rc = Resample(w, h);
  if (dropSource) DropSource();
  return rc;
}

namespace {

// Turns one packed DIB; returns the new DIB (same header and colour table).
std::vector<uint8_t> Turned(const std::vector<uint8_t>& dib, int deg) {
  const DibInfo d = InfoOf(dib);
  const int bpp = d.bits / 8;
  const int nw = deg == 180 ? d.width : d.height, nh = deg == 180 ? d.height : d.width;
  const int64_t srcRow = CMyBitmap::RowBytes(d.width, d.bits), dstRow = CMyBitmap::RowBytes(nw, d.bits);
  std::vector<uint8_t> out(d.infoBytes + static_cast<size_t>(dstRow * nh), 0);
  std::memcpy(out.data(), dib.data(), d.infoBytes);
  le::PutI32(&out[4], nw);
  le::PutI32(&out[8], nh);
  le::PutU32(&out[20], static_cast<uint32_t>(dstRow * nh));
  const uint8_t* src = dib.data() + d.infoBytes;
  uint8_t* dst = out.data() + d.infoBytes;
  // Work in top-down picture coordinates; row y of the picture is stored row
  // (height - 1 - y).
  for (int y = 0; y < nh; ++y) {
    uint8_t* drow = dst + (nh - 1 - y) * dstRow;
    for (int x = 0; x < nw; ++x) {
      int sx, sy;
      if (deg == 90) {
        sx = y, sy = d.height - 1 - x;
      } else if (deg == 180) {
        sx = d.width - 1 - x, sy = d.height - 1 - y;
      } else {
        sx = d.width - 1 - y, sy = x;
      }
      std::memcpy(drow + x * bpp, src + (d.height - 1 - sy) * srcRow + sx * bpp, bpp);
    }
  }
  return out;
}

}  // namespace

int CMyBitmap::Rotate(int degrees) {
  int deg = degrees % 360;
  if (deg < 0) deg += 360;
  if (deg == 0) return 1;
  if (dib_.empty()) return -1;
  const int bits = BitCount();
  if (bits != 8 && bits != 24 && bits != 32) return -3;
  // Only quarter turns exist; any other angle is taken as the next lower one.
  deg = deg / 90 * 90;
  if (deg == 0) return 1;
  dib_ = Turned(dib_, deg);
  if (!source_.empty()) source_ = Turned(source_, deg);
  const DibInfo d = InfoOf(dib_);
  width_ = d.width;
  height_ = d.height;
  return 0;
}

DibView CMyBitmap::View() const {
  DibView v;
  if (dib_.empty()) return v;
  v.info = dib_.data();
  v.infoSize = InfoBytes();
  v.bits = dib_.data() + v.infoSize;
  v.bitsSize = dib_.size() - v.infoSize;
  v.width = width_;
  v.height = height_;
  v.bitCount = BitCount();
  v.colours = Colours();
  return v;
}

void CMyBitmap::Draw(Canvas& c, int x, int y, int w, int h) const {
  if (dib_.empty()) return;
  c.StretchDib({x, y, x + w, y + h}, View());
}

void CMyBitmap::DrawScaled(Canvas& c, int x, int y, double factor) const {
  Draw(c, x, y, static_cast<int>(width_ * factor), static_cast<int>(height_ * factor));
}
