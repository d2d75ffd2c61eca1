// What the calendar export and import share: the time zone the book's
// dates and times are read in, the identity an entry keeps in other
// calendars, and the fields of the input form that hold its times.
#pragma once
#include <string>
#include <vector>

#include "exchange/ExchangeColumns.h"

namespace ics {

// A book's times are wall-clock times of the place its owner lives; most
// owners live in Japan, so that is the zone unless the system names another.
inline constexpr const char* kDefaultZone = "Asia/Tokyo";

// The zone the system names: TZ ("Asia/Tokyo", ":Asia/Tokyo"), else the
// target of /etc/localtime below a "zoneinfo/" folder; kDefaultZone when
// neither names a zone the calendar library knows.
[[nodiscard]] std::string SystemZone();
// True when the calendar library can give the zone's rules (a VTIMEZONE).
[[nodiscard]] bool KnownZone(const std::string& name);

// The UID of an entry (UTF-8): stable for as long as the entry keeps its
// division folder (CP932), key and line serial, so a calendar that reads a
// later export updates the event instead of adding it again.
[[nodiscard]] std::string Uid(const std::string& folder, const std::string& key, const std::string& serial);

// The screen fields (indexes into ExchangeBook::fields) that hold an entry's
// start and end time: TIME_F and TIME_T when the form has them, else the
// first two time boxes; -1 when none.
struct TimeFields {
  int start = -1;
  int end = -1;
};
[[nodiscard]] TimeFields TimeFieldsOf(const std::vector<ScreenField>& fields);
// The field whose first line is an event's summary: the first memo, else
// the first text box or combo that is not a time; -1 when none.
[[nodiscard]] int MainField(const std::vector<ScreenField>& fields);

// "hh:mm" (or "h:mm") as minutes of the day; -1 when it is no time of day.
[[nodiscard]] int Minutes(const std::string& text);

// The code point at byte `at` of `utf8` as "U+XXXX": how a message (in
// CP932) names a character CP932 cannot hold.
[[nodiscard]] std::string NameOfCharAt(const std::string& utf8, size_t at);

}  // namespace ics
