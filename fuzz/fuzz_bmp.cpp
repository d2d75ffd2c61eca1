// BMP files from arbitrary bytes: loading, then shrinking, turning and
// saving whatever was accepted.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Canvas.h"
#include "screens/CMyBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char path[] = "/tmp/fuzz_bmp_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return 0;
  FILE* fp = fdopen(fd, "wb");
  if (!fp) {
    close(fd);
    unlink(path);
    return 0;
  }
  std::fwrite(data, 1, size, fp);
  std::fclose(fp);
  CMyBitmap bmp;
  if (bmp.LoadBmp(path) == 1) {
    RecordingCanvas canvas;
    bmp.Draw(canvas, 0, 0, 10, 10);
    bmp.FitToBox(7, 5, true, false);
    bmp.Rotate(90);
    bmp.Resample(3, 4);
    (void)bmp.FileBytes();
  }
  unlink(path);
  return 0;
}
