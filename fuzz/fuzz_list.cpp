// Feeds arbitrary bytes to the "LI" list reader through an in-memory file.
#include <cstdint>
#include <cstdio>

#include "store/CMyLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* fp = fmemopen(const_cast<uint8_t*>(size ? data : reinterpret_cast<const uint8_t*>("")),
                      size ? size : 1, "rb");
  if (!fp) return 0;
  CMyLine lines(512);
  int n = lines.ReadList(fp, static_cast<int64_t>(size));
  for (int i = 0; i < n; ++i) {
    volatile char sink = lines.Text(i)[lines.Length(i)];  // every line is NUL-terminated
    (void)sink;
  }
  std::fclose(fp);
  return 0;
}
