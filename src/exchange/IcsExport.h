// The calendar export: a book's entries as an iCalendar file that every
// other calendar reads. One VEVENT per entry: its date with the start and
// end time of the form (an all-day event without a start time), SUMMARY the
// first line of the main text, DESCRIPTION the rest of it and the other
// fields as 「項目名: 値」 lines, CATEGORIES the name of its colour kind, a
// VALARM per alarm of the entry, and a UID that stays the same for the same
// entry. Times are wall-clock times of one zone, written with its VTIMEZONE.
// Holidays and anniversaries can go to a calendar file of their own.
//
// The dialog (TfrmIcsExport) and `jbx ics export` fill IcsExportOptions and
// call Run; Text gives the calendar without writing it.
#pragma once
#include <string>
#include <vector>

#include "alarm/CMyAlarm.h"
#include "exchange/ExchangeColumns.h"
#include "options/CMyColorKinds.h"
#include "platform/Clock.h"

class HolidayCalendar;
class Prompter;

// A holiday or anniversary for the calendar of days.
struct IcsDay {
  CivilDate date;
  std::string name;  // CP932
  bool anniversary = false;
};

struct IcsExportOptions {
  std::string path;  // UTF-8; resolved like the CSV export's, ".ics" added when there is no extension
  std::string zone;  // empty: ics::SystemZone()
  // Table rows to write (an extraction, say); with allRecords every live
  // record of the book.
  bool allRecords = true;
  std::vector<int> rows;
  std::vector<ColorKind> kinds;    // the book's colour kinds (CATEGORIES)
  std::vector<AlarmEntry> alarms;  // the user's alarm list; the book's own are taken
  // A second file for holidays and anniversaries; empty: none.
  std::string daysPath;
  std::vector<IcsDay> days;
  // true (the dialog): a box when it is done; false (jbx): none.
  bool interactive = true;
};

struct IcsExportResult {
  int code = 0;
  std::string path;      // the file written (resolved)
  std::string daysPath;  // the file of days written, empty none
  int events = 0;
  int alarms = 0;
  int days = 0;
};

class IcsExport {
 public:
  enum Code : int {
    kOk = 0,
    kNoPath = 2,        // "ファイル名を入力してください。"
    kByPage = 3,        // a book kept by page and line has no dates
    kUnknownZone = 4,   // the zone is none the calendar library knows
    kWriteFailed = -1,  // the file could not be written (the old one is left)
  };

  IcsExport(const ExchangeBook& book, Prompter& prompter, const Clock& clock);

  const ExchangeBook& Book() const { return book_; }
  [[nodiscard]] std::string ResolvePath(const std::string& typed) const;
  // The calendar (UTF-8 text) of the entries the options choose; counts go
  // to `r` when given. Empty with the code in `r` when it cannot be made.
  [[nodiscard]] std::string Text(const IcsExportOptions& o, IcsExportResult* r = nullptr) const;
  // The calendar of holidays and anniversaries.
  [[nodiscard]] std::string DaysText(const IcsExportOptions& o) const;
  // Writes the file (and the file of days), with allRecords after loading
  // every month of the book; a Code. Every message goes
  // through the prompter.
  [[nodiscard]] int Run(const IcsExportOptions& o, IcsExportResult* r = nullptr);

  // Every holiday (substitutes included) and anniversary from `from` to `to`.
  [[nodiscard]] static std::vector<IcsDay> DaysOf(HolidayCalendar& calendar, CivilDate from, CivilDate to);

 private:
  const ExchangeBook& book_;
  Prompter& prompter_;
  const Clock& clock_;
};
