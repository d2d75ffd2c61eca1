// Feeds arbitrary bytes to the holiday-file reader and walks a year with it.
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzFile.h"
#include "calendar/CMyHoliday.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFile file(data, size);
  if (!file.ok()) return 0;
  const std::string& path = file.path();
  CMyHoliday cal;
  cal.Load(0, 2026, path);
  cal.ResetCursors();
  for (int m = 1; m <= 12; ++m)
    for (int d = 1; d <= 31; ++d) cal.Find(2026, m, d, 0, 1);
  for (int i = 0; i < cal.Count(0); ++i) {
    volatile size_t n = CMyHoliday::DisplayLine(cal.Item(i, 0)).size();
    (void)n;
  }
  cal.Save(0, path);
  return 0;
}
