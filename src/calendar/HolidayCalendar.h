// Holidays, substitute holidays and anniversaries date by date, as the sheet
// shows them: the rules of "holiday.dat" and "kinen.dat" resolved per year,
// and the substitute-holiday walk with the law of each period.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "calendar/CMyHoliday.h"
#include "platform/Clock.h"

class HolidayCalendar {
 public:
  // holidayPath / anniversaryPath: the files of the data root; the program
  // folder holds the defaults they fall back to.
  HolidayCalendar(std::string holidayPath, std::string anniversaryPath, std::string programFolder);

  // Rules given as the bytes of the two files instead of the files: the
  // editor's preview of rules not yet saved.
  static std::unique_ptr<HolidayCalendar> FromTexts(std::string holidays, std::string anniversaries);

  // Loads (again) both lists for a year; the sheet calls it when the shown
  // year changes.
  void LoadYear(int year);
  // Forgets every year read so far, after the files were edited. Entries
  // handed out before are invalid afterwards.
  void Reload();
  // Starts a walk over ascending dates.
  void ResetCursors();
  // Holiday (or substitute holiday) and anniversary of a date of the walk.
  // Entries stay valid until the year they belong to is loaded again.
  void Find(CivilDate d, const HolidayEntry*& holiday, const HolidayEntry*& anniversary);

  // The same for a single date, outside any walk.
  void Lookup(CivilDate d, const HolidayEntry*& holiday, const HolidayEntry*& anniversary);
  bool IsSubstitute(const HolidayEntry* e) const { return e && e == &substituteOwner_.SubstituteEntry(); }

  // Substitute holidays exist from 1973-04-12; until 2006 only on the Monday
  // after a Sunday holiday, from 2007 on the next day that is neither a
  // Sunday nor a holiday.
  static bool SubstituteLawInForce(CivilDate d);

 private:
  CMyHoliday& Year(int year);
  // The national holiday rule of a date without touching any walk.
  const HolidayEntry* HolidayRule(CivilDate d);
  // Whether a substitute is owed on entering date d (replays the days before).
  bool PendingBefore(CivilDate d);

  std::string holidayPath_, anniversaryPath_, programFolder_;
  bool fromTexts_ = false;
  std::string texts_[2];
  std::map<int, std::unique_ptr<CMyHoliday>> years_;
  CMyHoliday substituteOwner_;
  bool pending_ = false;
  bool walking_ = false;
  long lastDay_ = 0;
  int walkYear_ = 0;
};
