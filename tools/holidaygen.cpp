// Builds the shipped "holiday.dat" from the readable table data/holidays.tsv:
// converts it to CP932, replaces the computed equinox by the official day in
// the years where the two differ, and adds every 国民の休日 (a weekday
// between two national holidays, from 1985-12-27) up to the last year given.
//
//   holidaygen SOURCE.tsv OUT.dat [LAST_YEAR]
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "calendar/CMyHoliday.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "shell/CivilDays.h"

namespace {

struct Rule {
  int month, day;
  std::string name;  // CP932
  int start, end, term, week;
};

// The equinox days as the official almanac gives them (1900-2099).
int OfficialEquinox(int year, int term) {
  const double base = term == 1 ? (year <= 1979 ? 20.8357 : 20.8431) : (year <= 1979 ? 23.2588 : 23.2488);
  const int shift = year <= 1979 ? (year - 1983) / 4 : (year - 1980) / 4;  // truncating, as the almanac does
  return static_cast<int>(base + 0.242194 * (year - 1980) - shift);
}

std::string Line(const Rule& r) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%d\t%d\t%s\t%d\t%d\t%d\t%d\r\n", r.month, r.day, r.name.c_str(), r.start,
                r.end, r.term, r.week);
  return buf;
}

std::string FileText(const std::vector<Rule>& rules) {
  std::string out = "CL01\r\n";
  for (const Rule& r : rules) out += Line(r);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: holidaygen SOURCE.tsv OUT.dat [LAST_YEAR]\n");
    return 2;
  }
  const int lastYear = argc > 3 ? std::atoi(argv[3]) : 2050;
  std::string src;
  if (!fileops::ReadAll(argv[1], src)) {
    std::fprintf(stderr, "holidaygen: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<Rule> rules;
  size_t pos = 0;
  int lineNo = 0;
  while (pos < src.size()) {
    size_t end = src.find('\n', pos);
    if (end == std::string::npos) end = src.size();
    std::string line = src.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (line.empty() || line[0] == '#') continue;
    char name[256];
    Rule r{};
    if (std::sscanf(line.c_str(), "%d %d %255s %d %d %d %d", &r.month, &r.day, name, &r.start, &r.end,
                    &r.term, &r.week) != 7 ||
        cp932::FromUtf8(name, r.name) != 0) {
      std::fprintf(stderr, "holidaygen: %s:%d: not a rule\n", argv[1], lineNo);
      return 1;
    }
    rules.push_back(r);
  }

  // Equinoxes: keep the computed rule where it gives the official day and
  // pin the day in the years where it does not.
  std::vector<Rule> fixed;
  for (const Rule& r : rules) {
    if (r.term != 1 && r.term != 3) {
      fixed.push_back(r);
      continue;
    }
    int runStart = r.start;
    const int until = r.end < lastYear ? r.end : lastYear;
    for (int y = r.start; y <= until; ++y) {
      int official = OfficialEquinox(y, r.term);
      if (CMyHoliday::SolarTermDay(y, r.term) == official) continue;
      if (runStart < y) fixed.push_back({r.month, 0, r.name, runStart, y - 1, r.term, -1});
      fixed.push_back({r.month, official, r.name, y, y, 0, -1});
      runStart = y + 1;
    }
    if (runStart <= r.end) fixed.push_back({r.month, 0, r.name, runStart, r.end, r.term, -1});
  }

  // 国民の休日: find them with the rules so far, year by year.
  const std::string tmp = std::string(argv[2]) + ".base";
  if (!fileops::WriteAtomic(tmp, FileText(fixed))) return 1;
  const std::string kokumin = cp932::FromUtf8("国民の休日");
  std::map<std::pair<int, int>, std::vector<int>> days;  // (month, day) -> years
  for (int y = 1985; y <= lastYear; ++y) {
    CMyHoliday cal;
    cal.Load(CMyHoliday::kHolidays, y, tmp);
    auto isHoliday = [&](CivilDate d) {
      if (d.year != y) {
        CMyHoliday other;
        other.Load(CMyHoliday::kHolidays, d.year, tmp);
        return other.Find(d.year, d.month, d.day, 0, 0) >= 0;
      }
      return cal.Find(d.year, d.month, d.day, 0, 0) >= 0;
    };
    for (CivilDate d{y, 1, 1}; d.year == y; d = civil::AddDays(d, 1)) {
      if (d.Ymd() < 19851227 || civil::Weekday(d) == 1 || isHoliday(d)) continue;
      CivilDate before = civil::AddDays(d, -1), after = civil::AddDays(d, 1);
      if (!isHoliday(before) || !isHoliday(after)) continue;
      // until 2006 a substitute holiday was not also a 国民の休日
      if (y <= 2006 && civil::Weekday(d) == 2 && civil::Weekday(before) == 1) continue;
      days[{d.month, d.day}].push_back(y);
    }
  }
  (void)fileops::Remove(tmp);  // a scratch file: one left behind is harmless
  for (const auto& [md, years] : days) {
    size_t i = 0;
    while (i < years.size()) {
      size_t j = i;
      while (j + 1 < years.size() && years[j + 1] == years[j] + 1) ++j;
      fixed.push_back({md.first, md.second, kokumin, years[i], years[j], 0, -1});
      i = j + 1;
    }
  }
  if (!fileops::WriteAtomic(argv[2], FileText(fixed))) {
    std::fprintf(stderr, "holidaygen: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
