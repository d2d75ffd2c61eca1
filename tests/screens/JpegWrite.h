// Writes a test JPEG of w x h (a smooth gradient) with libjpeg.
#pragma once
#include <jpeglib.h>

#include <cstdio>
#include <string>
#include <vector>

inline bool WriteTestJpeg(const std::string& path, int w, int h, int quality = 85, bool gray = false) {
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return false;
  jpeg_compress_struct ci;
  jpeg_error_mgr err;
  ci.err = jpeg_std_error(&err);
  jpeg_create_compress(&ci);
  jpeg_stdio_dest(&ci, fp);
  ci.image_width = static_cast<JDIMENSION>(w);
  ci.image_height = static_cast<JDIMENSION>(h);
  ci.input_components = gray ? 1 : 3;
  ci.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&ci);
  jpeg_set_quality(&ci, quality, TRUE);
  jpeg_start_compress(&ci, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(w) * 3);
  while (ci.next_scanline < ci.image_height) {
    const int y = static_cast<int>(ci.next_scanline);
    for (int x = 0; x < w && gray; ++x) row[x] = static_cast<JSAMPLE>(x * 255 / (w > 1 ? w - 1 : 1));
    for (int x = 0; x < w && !gray; ++x) {
      row[x * 3] = static_cast<JSAMPLE>(x * 255 / (w > 1 ? w - 1 : 1));
      row[x * 3 + 1] = static_cast<JSAMPLE>(y * 255 / (h > 1 ? h - 1 : 1));
      row[x * 3 + 2] = 128;
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&ci, &p, 1);
  }
  jpeg_finish_compress(&ci);
  jpeg_destroy_compress(&ci);
  return std::fclose(fp) == 0;
}
