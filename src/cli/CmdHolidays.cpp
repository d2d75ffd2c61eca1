// jbx holidays: every holiday, substitute holiday and anniversary of whole
// years, through the same calendar walk the month sheet uses.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "calendar/HolidayCalendar.h"
#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/SystemPaths.h"
#include "shell/CivilDays.h"

int CmdHolidays(int argc, char** argv) {
  std::string root;
  std::vector<int> years;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--root") && i + 1 < argc) {
      root = argv[++i];
    } else {
      char* end = nullptr;
      long y = std::strtol(argv[i], &end, 10);
      if (!end || *end || y < 1 || y > 9999) {
        std::fprintf(stderr, "usage: jbx holidays YEAR... [--root DIR]\n");
        return 2;
      }
      years.push_back(static_cast<int>(y));
    }
  }
  if (years.empty()) {
    std::fprintf(stderr, "usage: jbx holidays YEAR... [--root DIR]\n");
    return 2;
  }
  const std::string program = syspaths::ProgramFolder() + "/";
  const std::string base = root.empty() ? program : (root.back() == '/' ? root : root + "/");
  HolidayCalendar calendar(base + "holiday.dat", base + "kinen.dat", program);
  for (int y : years) {
    calendar.LoadYear(y);
    calendar.ResetCursors();
    for (CivilDate d{y, 1, 1}; d.year == y; d = civil::AddDays(d, 1)) {
      const HolidayEntry* h = nullptr;
      const HolidayEntry* a = nullptr;
      calendar.Find(d, h, a);
      if (!h && !a) continue;
      std::printf("%s\t%s\t%s\n", civil::Ymd(d).c_str(), h ? cp932::ToUtf8(h->name).c_str() : "",
                  a ? cp932::ToUtf8(a->name).c_str() : "");
    }
  }
  return 0;
}
