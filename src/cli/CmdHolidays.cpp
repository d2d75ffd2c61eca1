// jbx holidays: every holiday, substitute holiday and anniversary of whole
// years, through the same calendar walk the month sheet uses.
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "calendar/HolidayCalendar.h"
#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/SystemPaths.h"
#include "shell/CivilDays.h"

namespace {

bool ReadYear(const std::string& text, int& year) {
  char* end = nullptr;
  const long y = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || !end || *end || y < 1 || y > 9999) return false;
  year = static_cast<int>(y);
  return true;
}

// "2026" or "1948..2050"; false for anything else.
bool ReadYears(const std::string& text, std::vector<int>& years) {
  const size_t dots = text.find("..");
  int first = 0, last = 0;
  if (dots == std::string::npos) {
    if (!ReadYear(text, first)) return false;
    last = first;
  } else if (!ReadYear(text.substr(0, dots), first) || !ReadYear(text.substr(dots + 2), last) ||
             last < first) {
    return false;
  }
  for (int y = first; y <= last; ++y) years.push_back(y);
  return true;
}

}  // namespace

int CmdHolidays(int argc, char** argv) {
  cli::Args args(argc, argv);
  std::string root;
  const bool haveRoot = args.Value("--root", root);
  const bool json = args.Flag("--json");
  const std::vector<std::string> rest = args.Rest();
  if (!args.Ok()) return cli::UsageError("holidays", args.Error());
  std::vector<int> years;
  for (const auto& a : rest)
    if (!ReadYears(a, years)) return cli::UsageError("holidays", "年ではありません: " + a);
  if (years.empty()) return cli::UsageError("holidays", "年がありません");
  if (haveRoot && !fileops::IsDir(root)) return cli::Fail("holidays", "フォルダが見つかりません: " + root);
  const std::string program = syspaths::ProgramFolder() + "/";
  const std::string base = !haveRoot ? program : (root.back() == '/' ? root : root + "/");
  HolidayCalendar calendar(base + "holiday.dat", base + "kinen.dat", program);
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (int y : years) {
    calendar.LoadYear(y);
    calendar.ResetCursors();
    for (CivilDate d{y, 1, 1}; d.year == y; d = civil::AddDays(d, 1)) {
      const HolidayEntry* h = nullptr;
      const HolidayEntry* a = nullptr;
      calendar.Find(d, h, a);
      if (!h && !a) continue;
      const std::string holiday = h ? cp932::ToUtf8(h->name) : std::string();
      const std::string anniversary = a ? cp932::ToUtf8(a->name) : std::string();
      if (json)
        records.push_back({{"date", civil::Ymd(d)}, {"holiday", holiday}, {"anniversary", anniversary}});
      else
        std::printf("%s\t%s\t%s\n", civil::Ymd(d).c_str(), holiday.c_str(), anniversary.c_str());
    }
  }
  if (json) std::printf("%s\n", records.dump(2).c_str());
  return cli::kSuccess;
}
