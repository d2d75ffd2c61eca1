// The calendar import: the VEVENTs of an iCalendar file into the open book
// by date, with the CSV import's rules. The day's safety copy comes first;
// the whole file is read and every event checked before anything changes
// (a damaged file, or any event refused, and nothing is written: each
// refused event is named with its reason, a character CP932 cannot hold
// with the character); the counts are shown before writing; then every
// month the import touches is written, or none. Recurring events (RRULE,
// EXDATE, RECURRENCE-ID) are expanded over a chosen period; only events of
// that period come in.
//
// An event already imported (the same UID, or a recurrence of it on the same
// day) updates its entry instead of adding one. Which entry an UID went to
// is kept beside the book's months in "icsuid.txt" (kUidFile): the entry
// files keep their layout, so older copies of the program and backups read
// them as before. A line names the entry by key, line serial and creation
// date; when that entry is gone or is another one, the event is added anew,
// so a stale line never overwrites an entry it does not belong to. The file
// is written before the months (inside the same all-or-nothing): a crash
// between them leaves lines that name nothing, which the next import skips.
// Entries this program exported (their UID names this book's folder, key
// and serial) are found without the file.
#pragma once
#include <string>
#include <vector>

#include "exchange/ExchangeColumns.h"
#include "platform/Clock.h"

class FileTransaction;
class Prompter;

// Which field of the book (an index into ExchangeBook::fields, -1 none)
// receives what of an event. Texts mapped to one field are joined by line
// breaks; DESCRIPTION lines "項目名: 値" naming a field that no other part
// of the event fills go to that field (what the export writes comes back
// where it was).
struct IcsMapping {
  int summary = -1;
  int description = -1;
  int location = -1;
  int start = -1;  // the start time "hh:mm"; all-day events leave it empty
  int end = -1;
};

struct IcsImportOptions {
  std::string path;    // UTF-8, resolved like the export's
  CivilDate from, to;  // the period taken (recurrences expanded over it)
  std::string zone;    // the book's zone; empty: ics::SystemZone()
  IcsMapping map;
  // true (the dialog): the question first, the counts with OK and cancel,
  // and a box at the end; false (jbx): refusals and failures only.
  bool interactive = true;
};

struct IcsImportResult {
  int code = 0;
  std::string path;
  std::string safetyCopy;
  bool safetyCopyWritten = false;
  int events = 0;                    // VEVENTs in the file
  int outside = 0;                   // events left out: outside the period, or cancelled
  int added = 0;                     // entries added (or that would have been)
  int updated = 0;                   // entries updated
  std::vector<std::string> refused;  // one line per refused event (CP932)
};

class IcsImport {
 public:
  enum Code : int {
    kOk = 0,
    kCancelled = 1,
    kNoPath = 2,
    kNotFound = 3,
    kDamaged = 4,       // not an iCalendar file, or one that does not read whole
    kCheckFailed = 5,   // events refused: nothing changed
    kNoSafetyCopy = 6,  // the book did not read whole, no safety copy possible
    kBadOptions = 7,    // no period, an unknown zone, no field for the text
    kByPage = 8,        // a book by page and line has no dates
    kSaveFailed = -1,   // a file could not be written: everything taken back
    kNotRestored = -2,  // taking back failed too; the message names the files
  };
  static constexpr const char* kUidFile = "icsuid.txt";

  IcsImport(ExchangeBook& book, Prompter& prompter, const Clock& clock);
  const ExchangeBook& Book() const { return book_; }

  // The fields the import fills when nobody chooses: the summary and
  // description to the main text, LOCATION to a field named 「場所」, the
  // times to the start and end time boxes.
  [[nodiscard]] IcsMapping DefaultMapping() const;
  // This year and the next.
  static void DefaultPeriod(CivilDate today, CivilDate& from, CivilDate& to);
  [[nodiscard]] std::string ResolvePath(const std::string& typed) const;

  // Reads and checks the file without changing anything: the counts and
  // refusals in `r`; a Code (messages only for a file that cannot be read).
  [[nodiscard]] int Check(const IcsImportOptions& o, IcsImportResult& r);
  // The import; a Code. Every message goes through the prompter.
  [[nodiscard]] int Run(const IcsImportOptions& o, IcsImportResult* r = nullptr);

 private:
  struct Pending;
  struct UidLine;
  [[nodiscard]] int Read(const IcsImportOptions& o, IcsImportResult& r, std::vector<Pending>& out);
  [[nodiscard]] bool ReadUids(std::vector<UidLine>& lines, std::string& why) const;
  int TakeBack(FileTransaction& tx, int code, IcsImportResult& r);

  ExchangeBook& book_;
  Prompter& prompter_;
  const Clock& clock_;
};
