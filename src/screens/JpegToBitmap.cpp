#include "screens/JpegToBitmap.h"

#include <jerror.h>
#include <jpeglib.h>
#include <libexif/exif-data.h>
#include <sys/stat.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include "screens/CMyBitmap.h"

namespace {

// The largest picture made from a JPEG (pixels of the result).
constexpr int64_t kMaxTargetPixels = 40'000'000;
// The largest picture read at all (pixels of the source): beyond this a
// "photo" is a decompression bomb, not something to thumbnail.
constexpr int64_t kMaxSourcePixels = 268'435'456;  // 16384 x 16384
// Pixels a byte of JPEG data can stand for at most. A real picture, even
// one plain colour, needs far more bytes than this; a file that claims a
// huge size on a few bytes would only decode to grey, slowly.
constexpr int64_t kMaxPixelsPerByte = 4096;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

// The library's default error exit ends the process; a damaged photo must
// only fail its own conversion.
void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}
void SilentMessage(j_common_ptr) {}
// Data that ends early is padded by the decoder with grey and only warned
// about; such a picture is refused rather than shown half grey.
void WarnOrFail(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  const int code = cinfo->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) ErrorExit(cinfo);
}

// Everything the decoder touches lives here, outside the frame that calls
// setjmp, so nothing is left indeterminate after a longjmp.
struct DecodeState {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  FILE* fp = nullptr;
  int64_t fileBytes = 0;
  int limit = 0;
  int targetW = 0, targetH = 0;
  // A mirrored EXIF orientation, undone as the rows are laid out: 2 and 4
  // left to right, 5 and 7 top to bottom. What is left is a quarter turn,
  // the one photo::ExifTurn gives, so a record's turn code means the same
  // for every picture.
  bool mirrorX = false, mirrorY = false;
  std::vector<float> acc;         // target rows, 3 floats a pixel
  std::vector<int> colStart;      // per target column: first source column
  std::vector<float> colWeights;  // per target column: weights of up to maxSpan columns
  int maxSpan = 0;
  std::vector<JSAMPLE> line;
  std::vector<float> hrow;  // one source row shrunk horizontally
};

// Horizontal weights of the area-averaging shrink from sw to tw columns.
void BuildColumns(DecodeState& s, int sw, int tw) {
  const double sx = static_cast<double>(sw) / tw;
  s.maxSpan = static_cast<int>(sx) + 2;
  s.colStart.assign(static_cast<size_t>(tw), 0);
  s.colWeights.assign(static_cast<size_t>(tw) * s.maxSpan, 0.0f);
  for (int j = 0; j < tw; ++j) {
    const double x0 = j * sx, x1 = (j + 1) * sx - 0.000001;
    const int c0 = static_cast<int>(x0), c1 = std::min(static_cast<int>(x1), sw - 1);
    s.colStart[static_cast<size_t>(j)] = c0;
    for (int c = c0; c <= c1 && c - c0 < s.maxSpan; ++c)
      s.colWeights[static_cast<size_t>(j) * s.maxSpan + (c - c0)] =
          static_cast<float>(std::min(x1, c + 1.0) - std::max(x0, static_cast<double>(c)));
  }
}

int Decode(DecodeState& s, CMyBitmap& out) {
  jpeg_decompress_struct& ci = s.cinfo;
  ci.err = jpeg_std_error(&s.err.pub);
  s.err.pub.error_exit = ErrorExit;
  s.err.pub.output_message = SilentMessage;
  s.err.pub.emit_message = WarnOrFail;
  if (setjmp(s.err.jump)) {
    jpeg_destroy_decompress(&ci);
    return -1;
  }
  jpeg_create_decompress(&ci);
  jpeg_stdio_src(&ci, s.fp);
  jpeg_read_header(&ci, TRUE);
  const int w = static_cast<int>(ci.image_width), h = static_cast<int>(ci.image_height);
  const int64_t pixels = int64_t{w} * h;
  if (w <= 0 || h <= 0 || pixels > kMaxSourcePixels || pixels > s.fileBytes * kMaxPixelsPerByte) {
    jpeg_destroy_decompress(&ci);
    return -1;
  }
  JpegTargetSize(w, h, s.limit, s.targetW, s.targetH);
  if (int64_t{s.targetW} * s.targetH > kMaxTargetPixels) {
    jpeg_destroy_decompress(&ci);
    return -1;
  }
  // The smallest of the decoder's n/8 scales that still covers the target.
  ci.out_color_space = JCS_RGB;
  ci.scale_denom = 8;
  for (unsigned n = 1; n <= 8; ++n) {
    ci.scale_num = n;
    jpeg_calc_output_dimensions(&ci);
    if (static_cast<int>(ci.output_width) >= s.targetW && static_cast<int>(ci.output_height) >= s.targetH)
      break;
  }
  jpeg_start_decompress(&ci);
  const int sw = static_cast<int>(ci.output_width), sh = static_cast<int>(ci.output_height);
  const int tw = s.targetW, th = s.targetH;
  BuildColumns(s, sw, tw);
  s.acc.assign(static_cast<size_t>(tw) * th * 3, 0.0f);
  s.line.assign(static_cast<size_t>(sw) * 3, 0);
  s.hrow.assign(static_cast<size_t>(tw) * 3, 0.0f);
  float* hrow = s.hrow.data();
  const double sy = static_cast<double>(sh) / th;
  while (ci.output_scanline < ci.output_height) {
    const int r = static_cast<int>(ci.output_scanline);
    JSAMPROW rowp = s.line.data();
    jpeg_read_scanlines(&ci, &rowp, 1);
    for (int j = 0; j < tw; ++j) {
      float sum[3] = {0, 0, 0};
      const int c0 = s.colStart[static_cast<size_t>(j)];
      const float* wts = &s.colWeights[static_cast<size_t>(j) * s.maxSpan];
      for (int k = 0; k < s.maxSpan && c0 + k < sw; ++k) {
        const JSAMPLE* px = &s.line[static_cast<size_t>(c0 + k) * 3];
        sum[0] += px[0] * wts[k];
        sum[1] += px[1] * wts[k];
        sum[2] += px[2] * wts[k];
      }
      hrow[static_cast<size_t>(j) * 3] = sum[0];
      hrow[static_cast<size_t>(j) * 3 + 1] = sum[1];
      hrow[static_cast<size_t>(j) * 3 + 2] = sum[2];
    }
    // Target rows whose vertical span touches source row r.
    int i0 = static_cast<int>(r / sy);
    for (int i = std::max(0, i0 - 1); i < th; ++i) {
      const double y0 = i * sy, y1 = (i + 1) * sy - 0.000001;
      if (y0 >= r + 1.0) break;
      const double fy = std::min(y1, r + 1.0) - std::max(y0, static_cast<double>(r));
      if (fy <= 0) continue;
      float* a = &s.acc[static_cast<size_t>(i) * tw * 3];
      const float f = static_cast<float>(fy);
      for (int k = 0; k < tw * 3; ++k) a[k] += hrow[static_cast<size_t>(k)] * f;
    }
  }
  jpeg_finish_decompress(&ci);
  jpeg_destroy_decompress(&ci);

  const double area = static_cast<double>(sw) / tw * sy;
  const int64_t rowBytes = CMyBitmap::RowBytes(tw, 24);
  std::vector<uint8_t> rows(static_cast<size_t>(rowBytes * th), 0);
  for (int i = 0; i < th; ++i) {
    const float* a = &s.acc[static_cast<size_t>(i) * tw * 3];
    const int row = s.mirrorY ? i : th - 1 - i;  // bottom row first
    uint8_t* dst = &rows[static_cast<size_t>(row * rowBytes)];
    for (int j = 0; j < tw; ++j) {
      const int col = s.mirrorX ? tw - 1 - j : j;
      for (int k = 0; k < 3; ++k) {
        const double v = a[j * 3 + k] / area + 0.5;
        // RGB from the decoder, BGR in the bitmap.
        dst[col * 3 + (2 - k)] = static_cast<uint8_t>(v >= 255.0 ? 255 : (v <= 0 ? 0 : static_cast<int>(v)));
      }
    }
  }
  return out.Create24(tw, th, std::move(rows)) ? 0 : -1;
}

}  // namespace

void JpegTargetSize(int w, int h, int limit, int& outW, int& outH) {
  if (limit <= 0) limit = 2000;
  const int longer = w > h ? w : h;
  double f = longer == 0 ? 0.1 : static_cast<double>(limit) / longer;
  if (f > 1.0) f = 1.0;
  outW = std::max(1, static_cast<int>(w * f));
  outH = std::max(1, static_cast<int>(h * f));
}

int DecodeJpeg(const std::string& source, int limit, CMyBitmap& out) {
  FILE* fp = std::fopen(source.c_str(), "rb");
  if (!fp) return -1;
  struct stat st {};
  if (::fstat(fileno(fp), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(fp);
    return -1;
  }
  auto s = std::make_unique<DecodeState>();
  s->fp = fp;
  s->fileBytes = st.st_size;
  s->limit = limit;
  const int orientation = JpegOrientation(source);
  s->mirrorX = orientation == 2 || orientation == 4;
  s->mirrorY = orientation == 5 || orientation == 7;
  const int rc = Decode(*s, out);
  std::fclose(fp);
  return rc;
}

int JpegToBitmap(const std::string& source, const std::string& target, int limit) {
  CMyBitmap bmp;
  if (DecodeJpeg(source, limit, bmp) != 0) return -1;
  return bmp.SaveBmp(target) == 1 ? 0 : -1;
}

int JpegOrientation(const std::string& source) {
  ExifData* ed = exif_data_new_from_file(source.c_str());
  if (!ed) return 0;
  int value = 0;
  if (ExifEntry* e = exif_data_get_entry(ed, EXIF_TAG_ORIENTATION)) {
    if (e->format == EXIF_FORMAT_SHORT && e->components == 1 && e->data)
      value = exif_get_short(e->data, exif_data_get_byte_order(ed));
  }
  exif_data_unref(ed);
  return value >= 1 && value <= 8 ? value : 0;
}
