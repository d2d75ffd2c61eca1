// Display-screen files from arbitrary bytes: loading never reads out of
// bounds, and a loaded screen can be hit-tested and drawn.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Canvas.h"
#include "screens/CMyScr.h"

namespace {
class MissingRows : public RowSource {
 public:
  // A path that never exists: data items draw it, image items fail to load it.
  std::string Value(const std::string&) const override { return "/nonexistent/picture.bmp"; }
  bool HasNext() const override { return false; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMyScr scr;
  if (scr.LoadScreenBytes(std::string(reinterpret_cast<const char*>(data), size)) != 0) return 0;
  MissingRows rows;
  RecordingCanvas canvas;
  scr.SetRows(&rows);
  scr.CreatePens(0);
  for (int s = 0; s < 4; ++s) {
    scr.DrawItems(canvas, 0, 0, s, false);
    scr.ItemAt(10, 10, s);
  }
  scr.FooterHeight();
  for (int i = 0; i < scr.ItemCount(); ++i) {
    scr.ItemFrame(i, 2);
    scr.ItemFill(i);
    scr.GetItem(i).font.MeasureChar(canvas, true);
  }
  return 0;
}
