#include "calendar/HolidayCalendar.h"

#include <cstdlib>

#include "shell/CivilDays.h"

HolidayCalendar::HolidayCalendar(std::string holidayPath, std::string anniversaryPath,
                                 std::string programFolder)
    : holidayPath_(std::move(holidayPath)),
      anniversaryPath_(std::move(anniversaryPath)),
      programFolder_(std::move(programFolder)),
      substituteOwner_(programFolder_) {}

CMyHoliday& HolidayCalendar::Year(int year) {
  auto it = years_.find(year);
  if (it != years_.end()) return *it->second;
  // A handful of years is all a walk or a sheet needs; drop the farthest.
  if (years_.size() >= 4) {
    auto far = years_.begin();
    for (auto i = years_.begin(); i != years_.end(); ++i)
      if (std::abs(i->first - year) > std::abs(far->first - year)) far = i;
    years_.erase(far);
  }
  auto cal = std::make_unique<CMyHoliday>(programFolder_);
  if (fromTexts_) {
    cal->LoadText(CMyHoliday::kHolidays, year, texts_[0]);
    cal->LoadText(CMyHoliday::kAnniversaries, year, texts_[1]);
  } else {
    cal->Load(CMyHoliday::kHolidays, year, holidayPath_);
    cal->Load(CMyHoliday::kAnniversaries, year, anniversaryPath_);
  }
  CMyHoliday& ref = *cal;
  years_[year] = std::move(cal);
  return ref;
}

std::unique_ptr<HolidayCalendar> HolidayCalendar::FromTexts(std::string holidays, std::string anniversaries) {
  auto cal = std::make_unique<HolidayCalendar>(std::string(), std::string(), std::string());
  cal->fromTexts_ = true;
  cal->texts_[0] = std::move(holidays);
  cal->texts_[1] = std::move(anniversaries);
  return cal;
}

void HolidayCalendar::Reload() {
  years_.clear();
  ResetCursors();
}

void HolidayCalendar::LoadYear(int year) {
  years_.erase(year);
  Year(year);
}

void HolidayCalendar::ResetCursors() {
  for (auto& [y, cal] : years_) cal->ResetCursors();
  pending_ = false;
  walking_ = false;
  walkYear_ = 0;
}

bool HolidayCalendar::SubstituteLawInForce(CivilDate d) { return d.Ymd() >= 19730412; }

const HolidayEntry* HolidayCalendar::HolidayRule(CivilDate d) {
  CMyHoliday& cal = Year(d.year);
  int i = cal.Find(d.year, d.month, d.day, CMyHoliday::kHolidays, 0);
  return i < 0 ? nullptr : &cal.Item(i, CMyHoliday::kHolidays);
}

bool HolidayCalendar::PendingBefore(CivilDate d) {
  // Walk back over the Sundays and holidays just before d; a Sunday holiday
  // among them, not yet given its substitute, leaves one owed.
  bool pending = false;
  long z = civil::DaysFrom(d);
  long from = z;
  for (int k = 1; k <= 14; ++k) {
    CivilDate p = civil::FromDays(z - k);
    if (civil::Weekday(p) != 1 && !HolidayRule(p)) break;
    from = z - k;
  }
  for (long x = from; x < z; ++x) {
    CivilDate p = civil::FromDays(x);
    if (civil::Weekday(p) == 1 && HolidayRule(p)) pending = true;
  }
  return pending;
}

void HolidayCalendar::Find(CivilDate d, const HolidayEntry*& holiday, const HolidayEntry*& anniversary) {
  holiday = anniversary = nullptr;
  const long z = civil::DaysFrom(d);
  const bool fresh = !walking_ || z != lastDay_ + 1;
  // a walk that starts, or skips days: what the days before owe
  if (fresh) pending_ = PendingBefore(d);
  CMyHoliday& cal = Year(d.year);
  if (fresh) {
    cal.ResetCursors();
  } else if (d.year != walkYear_) {
    cal.ResetCursors();  // a new year's lists are walked from their start
  }
  walking_ = true;
  lastDay_ = z;
  walkYear_ = d.year;

  int h = cal.Find(d.year, d.month, d.day, CMyHoliday::kHolidays, 1);
  int a = cal.Find(d.year, d.month, d.day, CMyHoliday::kAnniversaries, 1);
  if (a >= 0) anniversary = &cal.Item(a, CMyHoliday::kAnniversaries);
  if (h >= 0) holiday = &cal.Item(h, CMyHoliday::kHolidays);
  const int weekday = civil::Weekday(d);
  if (!SubstituteLawInForce(d)) {
    pending_ = false;
    return;
  }
  if (weekday == 1) {
    if (h >= 0) pending_ = true;
    return;
  }
  if (d.year <= 2006) {
    // the Monday after a Sunday holiday, when it is not a holiday itself
    if (weekday == 2 && pending_ && h < 0) holiday = &substituteOwner_.SubstituteEntry();
    pending_ = false;
    return;
  }
  if (h < 0 && pending_) {
    holiday = &substituteOwner_.SubstituteEntry();
    pending_ = false;
  }
}

void HolidayCalendar::Lookup(CivilDate d, const HolidayEntry*& holiday, const HolidayEntry*& anniversary) {
  walking_ = false;
  Find(d, holiday, anniversary);
  walking_ = false;
}
