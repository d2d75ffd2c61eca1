// The holiday calendar as the sheet's view model walks it: the calendar
// knows nothing of the sheet, the sheet nothing of the calendar's files.
#pragma once
#include "calendar/HolidayCalendar.h"
#include "mainview/sheet/ViewPorts.h"

class CalendarPort : public ViewCalendar {
 public:
  explicit CalendarPort(HolidayCalendar& calendar) : calendar_(calendar) {}
  void LoadYear(int year) override { calendar_.LoadYear(year); }
  void ResetCursors() override { calendar_.ResetCursors(); }
  void Find(CivilDate d, const HolidayEntry*& holiday, const HolidayEntry*& anniversary) override {
    calendar_.Find(d, holiday, anniversary);
  }

 private:
  HolidayCalendar& calendar_;
};
