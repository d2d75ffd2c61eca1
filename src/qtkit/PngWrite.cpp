#include "qtkit/PngWrite.h"

#include <png.h>

#include <csetjmp>

namespace png {
namespace {

void Append(png_structp p, png_bytep data, png_size_t n) {
  static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), n);
}
void NoFlush(png_structp) {}

}  // namespace

bool Encode(const QImage& image, std::string& out) {
  if (image.isNull()) return false;
  const bool alpha = image.hasAlphaChannel();
  // 0xAARRGGBB words: B, G, R, A in memory on this little-endian machine
  const QImage rows = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!p) return false;
  png_infop info = png_create_info_struct(p);
  if (!info) {
    png_destroy_write_struct(&p, nullptr);
    return false;
  }
  std::string bytes;
  // libpng reports errors by longjmp; nothing with a destructor lives
  // between here and the writes below
  if (setjmp(png_jmpbuf(p))) {
    png_destroy_write_struct(&p, &info);
    return false;
  }
  png_set_write_fn(p, &bytes, Append, NoFlush);
  png_set_IHDR(p, info, static_cast<png_uint_32>(rows.width()), static_cast<png_uint_32>(rows.height()), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(p, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(p, 1);
  png_write_info(p, info);
  png_set_bgr(p);
  if (!alpha) png_set_filler(p, 0, PNG_FILLER_AFTER);  // drops the unused fourth byte
  for (int y = 0; y < rows.height(); ++y) png_write_row(p, rows.constScanLine(y));
  png_write_end(p, info);
  png_destroy_write_struct(&p, &info);
  out.swap(bytes);
  return true;
}

}  // namespace png
