// Day arithmetic on the proleptic Gregorian calendar, for the views and the
// calendar: serial day numbers, weekdays and "yyyy/mm/dd" texts.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace civil {

// Days since 1970-01-01 (negative before).
inline long DaysFrom(CivilDate d) {
  int y = d.year - (d.month <= 2 ? 1 : 0);
  long era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned mp = static_cast<unsigned>(d.month + (d.month > 2 ? -3 : 9));
  unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(d.day) - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

inline CivilDate FromDays(long z) {
  z += 719468;
  long era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long y = static_cast<long>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  unsigned d = doy - (153 * mp + 2) / 5 + 1;
  unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

inline CivilDate AddDays(CivilDate d, long n) { return FromDays(DaysFrom(d) + n); }

// 1 = Sunday ... 7 = Saturday.
inline int Weekday(CivilDate d) {
  long z = DaysFrom(d);  // 1970-01-01 was a Thursday
  long w = (z + 4) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

inline bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
inline int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return (m == 2 && IsLeap(y)) ? 29 : kDays[m - 1];
}
inline bool IsValid(CivilDate d) {
  return d.year >= 1 && d.year <= 9999 && d.day >= 1 && d.day <= DaysInMonth(d.year, d.month);
}

inline std::string Ymd(CivilDate d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year % 10000, d.month % 100, d.day % 100);
  return buf;
}

// Reads "yyyy/mm/dd" exactly; false for anything else.
inline bool ParseYmd(std::string_view s, CivilDate& out) {
  if (s.size() != 10 || s[4] != '/' || s[7] != '/') return false;
  int v[3] = {0, 0, 0};
  const int pos[3][2] = {{0, 4}, {5, 2}, {8, 2}};
  for (int k = 0; k < 3; ++k) {
    for (int i = 0; i < pos[k][1]; ++i) {
      char c = s[static_cast<size_t>(pos[k][0] + i)];
      if (c < '0' || c > '9') return false;
      v[k] = v[k] * 10 + (c - '0');
    }
  }
  CivilDate d{v[0], v[1], v[2]};
  if (!IsValid(d)) return false;
  out = d;
  return true;
}

}  // namespace civil
