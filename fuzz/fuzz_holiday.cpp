// Feeds arbitrary bytes to the holiday-file reader and walks a year with it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "calendar/CMyHoliday.h"
#include "platform/FileOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char path[] = "/tmp/fuzz_holiday.XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return 0;
  close(fd);
  fileops::WriteAtomic(path, std::string(reinterpret_cast<const char*>(data), size));
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
  fileops::Remove(path);
  return 0;
}
