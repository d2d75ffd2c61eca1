// A division's records live in one data file per month ("dt202003.jdt") or
// page ("dt00012.jdt"); the DIVOUT name table lists those periods with a
// line-serial counter each. This class loads periods into the shared table,
// saves one period, and hands out line serials.
#pragma once
#include <string>
#include <string_view>

class CMyGlobal;
class CMyDB;
class CMyRec;
class CMyMaster;
class Prompter;

// What the periods need from the main window.
class PeriodHost {
 public:
  virtual ~PeriodHost() = default;
  // True while a group aggregation is shown (nothing may be saved then).
  virtual bool GroupViewShown() const { return false; }
  // Moves the view to a key, which loads its period. False when the key
  // cannot be shown.
  virtual bool MoveViewToKey(const std::string& key) = 0;
  // Renumbers the lines that follow a newly added line of `key`; returns the
  // serial for the new record, or 0 to keep the one given.
  virtual int RenumberAfter(const std::string& key, int serial) {
    (void)key;
    (void)serial;
    return 0;
  }
};

class CMyPeriods {
 public:
  CMyPeriods(const CMyGlobal& global, CMyDB& db, CMyRec& work, CMyMaster& divout, Prompter& prompter,
             PeriodHost* host = nullptr)
      : global_(global), db_(db), work_(work), divout_(divout), prompter_(prompter), host_(host) {}
  void SetHost(PeriodHost* host) { host_ = host; }

  // "yyyymm" of a 10-character date key, the 5-digit page of an
  // 11-character page key; other keys unchanged.
  static std::string PeriodOf(std::string_view key);
  // "dt" + period + ".jdt"
  static std::string FileName(const std::string& period);

  // Reads every period not yet loaded whose name lies in [from, to] (text
  // order); null bounds mean no limit. 1 when a period was read, else 0.
  int LoadPeriods(const std::string* from, const std::string* to);
  int LoadPeriods(const std::string& from, const std::string& to) { return LoadPeriods(&from, &to); }
  int LoadAll() { return LoadPeriods(nullptr, nullptr); }
  // Writes the live records of a period to its file, then "divout.jpr".
  // 0, or -1 after its message.
  int SavePeriod(const std::string& period);
  // Records that a record with `key` is being added; the line serial for it.
  int RegisterKey(const std::string& period, const std::string& key, bool renumber);

 private:
  int SaveDivout();
  const CMyGlobal& global_;
  CMyDB& db_;
  CMyRec& work_;
  CMyMaster& divout_;
  Prompter& prompter_;
  PeriodHost* host_;
};
