// JPEG pictures from arbitrary bytes: decoding at the default and a small
// size, conversion to a BMP file read back, and the screen model's picture
// cache, and the input form's photo state, whose "tmp.bmp" and thumbnails go
// into a throw-away division folder.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "input/PhotoState.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
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

  // The form's photo box on the same bytes, with a key taken from them: it
  // shows, turns and saves, or stays empty, and writes only into PhotSm and
  // "tmp.bmp" of its division folder.
  const std::string book = dir / "book";
  if (!fileops::MakeDir(book)) return 0;
  FixedClock clock;
  PhotoCounter counter;
  PhotoState photo(clock, counter);
  photo.SetDivisionFolder(book);
  photo.SetBox(true, 40, 30);
  const std::string key(reinterpret_cast<const char*>(data), std::min<size_t>(size, 37));
  photo.ShowPhoto(jpg, key);
  if (photo.Bitmap().Width() > 40 || photo.Bitmap().Height() > 30) std::abort();
  photo.Turn(1);
  photo.SaveThumbnail();
  (void)photo.RefreshThumbnail(jpg, key);
  photo.DeleteThumbnail(key);
  for (const auto& name : fileops::List(book, "*", true))
    if (name != "PhotSm") std::abort();
  for (const auto& name : fileops::List(book, "*"))
    if (name != "tmp.bmp") std::abort();
  return 0;
}
