// BMP files from arbitrary bytes: loading, then shrinking, turning and
// saving whatever was accepted.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzFile.h"
#include "platform/Canvas.h"
#include "screens/CMyBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile file(data, size);
  if (!file.ok()) return 0;
  const std::string& path = file.path();
  CMyBitmap bmp;
  if (bmp.LoadBmp(path) == 1) {
    RecordingCanvas canvas;
    bmp.Draw(canvas, 0, 0, 10, 10);
    bmp.FitToBox(7, 5, true, false);
    bmp.Rotate(90);
    bmp.Resample(3, 4);
    (void)bmp.FileBytes();
  }
  return 0;
}
