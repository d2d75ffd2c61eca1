// JPEG pictures from arbitrary bytes: decoding at the default and a small
// size, conversion to a BMP file read back, and the screen model's picture
// cache, whose scratch "tmp.bmp" goes into a throw-away division folder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "platform/Canvas.h"
#include "platform/FileOps.h"
#include "screens/CMyBitmap.h"
#include "screens/CMyScr.h"
#include "screens/JpegToBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir dir;
  if (!dir.ok()) return 0;
  const std::string jpg = dir / "p.jpg";
  if (!fileops::WriteAtomic(jpg, std::string(reinterpret_cast<const char*>(data), size))) return 0;

  CMyBitmap full;
  if (DecodeJpeg(jpg, 0, full) == 0) {
    // The result never exceeds the limit and is never empty.
    if (full.Width() < 1 || full.Height() < 1 || full.Width() > 2000 || full.Height() > 2000) std::abort();
    RecordingCanvas canvas;
    full.Draw(canvas, 0, 0, 8, 8);
  }
  if (JpegToBitmap(jpg, dir / "p.bmp", 24) == 0) {
    CMyBitmap back;
    if (back.LoadBmp(dir / "p.bmp") != 1 || back.Width() > 24 || back.Height() > 24) std::abort();
  }

  CMyScr scr;
  scr.SetDivisionFolder(dir.path() + "/");
  const int slot = scr.CacheImage(jpg, "", 30, 20);
  if (slot >= 0 && scr.CacheImage(jpg, "", 30, 20) != slot) std::abort();  // served from the cache
  return 0;
}
