#include "platform/Clock.h"

#include <ctime>

namespace {
std::tm LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}
}  // namespace

CivilDate SystemClock::Today() const {
  std::tm tm = LocalNow();
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

TimeOfDay SystemClock::Now() const {
  std::tm tm = LocalNow();
  return {tm.tm_hour, tm.tm_min, tm.tm_sec};
}
