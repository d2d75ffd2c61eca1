// Today's date and the time of day come from a Clock, so everything that
// stamps or compares dates is testable with a clock set by the test.
#pragma once

struct CivilDate {
  int year = 0, month = 0, day = 0;
  int Ymd() const { return year * 10000 + month * 100 + day; }
  bool operator==(const CivilDate&) const = default;
};

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() const = 0;
  virtual TimeOfDay Now() const = 0;
};

// Local time of the machine.
class SystemClock : public Clock {
 public:
  CivilDate Today() const override;
  TimeOfDay Now() const override;
};

// A clock that stands still until the test moves it.
class FixedClock : public Clock {
 public:
  FixedClock(CivilDate d = {2026, 12, 9}, TimeOfDay t = {9, 0, 0}) : date_(d), time_(t) {}
  CivilDate Today() const override { return date_; }
  TimeOfDay Now() const override { return time_; }
  void Set(CivilDate d) { date_ = d; }
  void Set(TimeOfDay t) { time_ = t; }

 private:
  CivilDate date_;
  TimeOfDay time_;
};
