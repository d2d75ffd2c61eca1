// The alarm list of the current user ("alarm.dat"): a date, a time and a
// one-line message each, from a time in brackets in a memo, the input form's
// time field or the alarm dialog. The timer asks every second whether one is
// due now.
#pragma once
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileOps.h"

class CMyGlobal;
class Prompter;

struct AlarmEntry {
  int state = 1;         // 1 armed, 0 off (fired or switched off)
  std::string division;  // folder name of the division it belongs to (CP932)
  std::string date;      // "yyyy/mm/dd"
  std::string serial;    // line serial of the record, "0" for alarms made by hand
  std::string time;      // "hh:mm"
  std::string message;   // one line, at most 122 bytes
  int origin = 0;        // 0 alarm dialog, 1 memo time bracket, 2 input-form time field
};

class CMyAlarm {
 public:
  static constexpr int kEntrySize = 196;
  static constexpr int kMaxMessageIn = 120;  // longer texts make no alarm
  static constexpr int kMaxMessage = 122;    // bytes kept of the first line

  CMyAlarm(const CMyGlobal& global, const Clock& clock, Prompter* prompter = nullptr)
      : global_(global), clock_(clock), prompter_(prompter) {}

  // A missing or unreadable file gives an empty list; records that are not
  // whole entries are skipped.
  // A file that exists but does not read whole (or holds records that are
  // not entries) is told once and kept: the next Save first moves it aside
  // to "<path>.damaged-yyyymmdd", and fails when it cannot.
  void Load(const std::string& path);
  // Atomic, under the write lock of the user folder. When another program
  // wrote the file since it was read here, what it holds now is read again
  // and this list's changes since then are put on top, alarm by alarm
  // (an alarm another program added or fired stays as it left it). False,
  // with a message naming the file, when it could not be read again.
  bool Save(const std::string& path);
  // Takes in what another program wrote to `path` since this list read or
  // wrote it, keeping this list's own changes since then (the window's
  // alarms then include one `jbx add` made). 1 taken in, 0 nothing new,
  // -1 it could not be read (told; the list stays as it was).
  int Refresh(const std::string& path);
  static std::string EntryBytes(const AlarmEntry& e);
  static bool ParseEntry(const char* bytes, size_t n, AlarmEntry& e);

  void RefreshToday();
  void Add(const std::string& date, const std::string& serial, const std::string& time,
           const std::string& message, int origin, int state);
  // Empty criteria match anything. Index, or -1.
  int Find(const std::string& date, const std::string& serial, const std::string& time,
           const std::string& division, int resume);
  void RemoveForRecord(const std::string& date, const std::string& serial, const std::string& time);
  void RemoveAt(int index);
  void RemoveDivision(const std::string& division);
  void RemoveOff();
  void Replace(int index, const std::string& date, const std::string& serial, const std::string& time,
               const std::string& message, int origin, int state);
  void RenameDivision(const std::string& from, const std::string& to);
  void SwapSerials(const std::string& date, const std::string& a, const std::string& b);
  // Alarms from the bracketed times of a memo (the brackets are the
  // settings' one-character marks).
  void ScanMemo(const std::string& date, const std::string& serial, const std::string& memo);
  // The armed alarm of today due this minute, switched off; -1 when none.
  // With show, its message box comes first.
  int CheckDue(bool show);

  // The whole list, and putting single entries back as they were (undo):
  // Insert keeps every field of `e`, its division too; Erase removes the
  // first entry equal to `e` in everything but its state. False when none is.
  const std::vector<AlarmEntry>& Entries() const { return entries_; }
  void Insert(const AlarmEntry& e);
  bool Erase(const AlarmEntry& e);

  // ---- the schedule beyond one minute ----
  // Minutes since 1970-01-01 00:00 of an entry's date and time; -1 when the
  // date is not a date or the time not a time of day ("25:99").
  static long long MinuteOf(const AlarmEntry& e);
  static long long MinuteOf(CivilDate d, TimeOfDay t);
  // Armed entries due in [from, to) (minutes as MinuteOf), switched off and
  // returned oldest first: alarms whose minute passed while nothing ticked.
  std::vector<AlarmEntry> TakeMissed(long long from, long long to);
  // Armed entries due in [from, to), oldest first, left as they are.
  std::vector<AlarmEntry> Missed(long long from, long long to) const;
  // The alarm dialog's line: "%s%s %s  %s" (mark, date, time, message).
  static std::string ListLine(const AlarmEntry& e);

  // Changes since the list was last loaded or saved (every change counts,
  // an alarm that fired too); Loads() counts the lists read, so a watcher
  // sees that another user's list replaced this one.
  bool Unsaved() const { return revision_ != savedRevision_; }
  int Loads() const { return loads_; }

  int Count() const { return static_cast<int>(entries_.size()); }
  const AlarmEntry& Item(int i) const { return entries_[static_cast<size_t>(i)]; }
  int TodayFirst() const { return first_; }
  int TodayLast() const { return last_; }

 private:
  std::string Now() const;
  void Window();
  void Changed() { ++revision_; }
  void Sort();
  // Puts this list's changes since it was read on top of the file as
  // another program left it; false when that could not be read.
  bool TakeOutside(const std::string& path, std::vector<std::string>* disk = nullptr);
  void Remember(const std::string& path);

  const CMyGlobal& global_;
  const Clock& clock_;
  Prompter* prompter_;
  std::vector<AlarmEntry> entries_;
  mutable std::string
      damaged_;  // the file Load could not read whole  // date descending, then time descending
  std::string today_;
  int first_ = -1, last_ = -1;
  size_t cursor_ = 0;
  unsigned long long revision_ = 0;
  mutable unsigned long long savedRevision_ = 0;
  int loads_ = 0;
  // the file as read or last written here, and its entries then
  std::string readPath_;
  fileops::FileId readId_;
  std::vector<std::string> base_;
};
