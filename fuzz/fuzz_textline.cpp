// CR LF text-line files from arbitrary bytes: every line read is
// NUL-terminated and holds no line end, and what is written back reads back
// as the same lines.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzFile.h"
#include "store/CMyLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile file(data, size);
  if (!file.ok()) return 0;
  CMyLine lines(2048);
  const int n = lines.ReadText(file.path());
  if (n < 0) return 0;
  for (int i = 0; i < n; ++i) {
    const char* t = lines.Text(i);
    const int len = lines.Length(i);
    if (t[len] != '\0' || len > lines.MaxLength()) std::abort();
    if (std::memchr(t, '\r', static_cast<size_t>(len)) || std::memchr(t, '\n', static_cast<size_t>(len)))
      std::abort();
  }
  FuzzDir dir;
  if (!dir.ok() || lines.WriteText(dir / "out.txt") != n) return 0;
  CMyLine back(2048);
  if (back.ReadText(dir / "out.txt") != n) std::abort();
  for (int i = 0; i < n; ++i)
    if (back.View(i) != lines.View(i)) std::abort();
  return 0;
}
