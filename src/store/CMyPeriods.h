// A division's records live in one data file per month ("dt202003.jdt") or
// page ("dt00012.jdt"); the DIVOUT name table lists those periods with a
// line-serial counter each. This class loads periods into the shared table,
// saves one period, and hands out line serials.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileOps.h"

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
  // Called with the full path before any file of the division is written,
  // renamed or removed here, so a caller can keep what the file held (undo).
  // When it returns false the file is left alone and the save fails.
  using WriteWatch = std::function<bool(const std::string& path)>;
  void SetWriteWatch(WriteWatch watch) { watch_ = std::move(watch); }
  // Called after records another program wrote were taken into the table
  // (at a save, or by RefreshFromDisk): the view must be rebuilt.
  void SetOnOutsideChange(std::function<void()> f) { outside_ = std::move(f); }
  // Remembers what each loaded record was, so that a save that meets a file
  // another program changed knows which side changed a record. Costs a
  // hash a record; a program that holds the book's lock from its reading to
  // its last write needs none.
  void TrackChanges(bool on) { tracking_ = on; }

  // "yyyymm" of a 10-character date key, the 5-digit page of an
  // 11-character page key; other keys unchanged.
  static std::string PeriodOf(std::string_view key);
  // "dt" + period + ".jdt"
  static std::string FileName(const std::string& period);
  // The period of a data file's name ("dt202612.jdt", "dt00012.jdt"), or
  // empty for any other name (a sync tool's conflict copy among them).
  static std::string PeriodOfFile(const std::string& name);

  // Reads "divout.jpr" into the period table. When it is missing or
  // damaged while data files lie in the folder, the table is rebuilt from
  // those files (the damaged list kept beside as ".damaged-yyyymmdd") and the
  // user is told once: an empty table would let the next save write a month
  // over a file nobody read. A list that is there but cannot be read, or a
  // folder that cannot be listed, is refused. What a crash left half done
  // is finished first. 0 read or nothing to read; 1 rebuilt; -1 failed.
  // mayWrite false (a command that only reads): rebuilt in memory only.
  [[nodiscard]] int LoadTable(bool mayWrite = true);
  // True when the period's file exists but did not read whole; such a period
  // is saved only after the user agreed and the file was kept aside.
  bool IsDamaged(const std::string& period) const { return damaged_.count(period) > 0; }
  // False, after naming the files, when some period did not read whole: an
  // operation that deletes, moves or copies every period must not run then.
  // `what` (CP932) names the operation in the message.
  [[nodiscard]] bool AllReadWhole(const std::string& what) const;
  // Lists every data file of the folder the period list does not name (one
  // another program began, or a list written by an older copy), to be read
  // when reached. The number listed, or -1 after its message when the
  // folder could not be read.
  [[nodiscard]] int AdoptUnlisted();
  // Copies of data files a sync tool left beside them when two machines
  // changed one month ("dt202612.sync-conflict-….jdt", "dt202612 (… conflicted
  // copy ….jdt"): their names, found in the division folder.
  [[nodiscard]] std::vector<std::string> ConflictCopies() const;
  // Merges each such copy into its period by key and line serial (a record
  // both hold once; a record that differs kept as a new line of its day),
  // writes the period and keeps the copy aside as "<copy>.merged-yyyymmdd".
  // `report` gets a line (CP932) per copy. The number merged, or -1 after
  // its message.
  [[nodiscard]] int MergeConflictCopies(std::vector<std::string>& report);
  // Takes in what another program wrote since the periods and the period
  // list were read (every loaded period whose file is no longer the one
  // read). The number of files taken in, or -1 after its message.
  int RefreshFromDisk();
  // Holds the user folder's lock for a read-check-write (waiting up to 10 s);
  // false after its message when another program holds it.
  [[nodiscard]] bool Lock(fileops::WriteLock& lock) const;

  // Reads every period not yet loaded whose name lies in [from, to] (text
  // order); null bounds mean no limit. 1 when a period was read, else 0.
  int LoadPeriods(const std::string* from, const std::string* to);
  int LoadPeriods(const std::string& from, const std::string& to) { return LoadPeriods(&from, &to); }
  int LoadAll() { return LoadPeriods(nullptr, nullptr); }
  // Writes the live records of a period to its file, then "divout.jpr".
  // 0, or -1 after its message. A period that did not read whole is written
  // only when the user agrees, after its file was renamed to
  // "<file>.damaged-yyyymmdd".
  [[nodiscard]] int SavePeriod(const std::string& period);
  // The same for several periods at once (one pass over the table, the
  // period list written once at the end). 0, or -1 after its message; the
  // periods written before a failure stay written (callers that need all or
  // none watch the writes).
  [[nodiscard]] int SavePeriods(const std::vector<std::string>& periods);
  // The same, and the files of `removed` (periods no longer listed) deleted
  // together with them: all of it, or after a crash all of it on the next
  // opening (the batch's journal).
  [[nodiscard]] int SavePeriods(const std::vector<std::string>& periods,
                                const std::vector<std::string>& removed);
  // Records that a record with `key` is being added; the line serial for it.
  [[nodiscard]] int RegisterKey(const std::string& period, const std::string& key, bool renumber);

 private:
  [[nodiscard]] int SaveDivout();
  [[nodiscard]] int ReadTable(bool mayWrite);
  // False (after its message) when a period that did not read whole may not
  // be written; when the user agrees its file is kept aside first.
  [[nodiscard]] bool MaySave(const std::string& period);
  // Moves a file that did not read whole out of the way; false when it could
  // not be kept.
  [[nodiscard]] bool KeepDamaged(const std::string& path);
  // The serial for a new line of `period` after `counter`: the next one,
  // unless that is out of "%05d" or already used (a damaged or rebuilt
  // counter), then one no record of the period has.
  [[nodiscard]] int FreeSerial(const std::string& period, int counter) const;
  bool Watch(const std::string& path) const { return !watch_ || watch_(path); }
  // The user folder's lock file.
  std::string LockPath() const;
  // Finishes what a crash left half done in the division folder.
  [[nodiscard]] bool Recover();
  // Takes in another program's changes to the period list and to `periods`
  // before they are written. 0 (nothing changed), 1 (taken in), -1 refused.
  [[nodiscard]] int MergeOutside(const std::vector<std::string>& periods);
  // Merges the records of `disk` (the period's file as it is now) into the
  // table by key and line serial; false when a record could not be stored.
  // `copy`: `disk` is a conflict copy, not the file now: records that
  // differ are both kept (the copy's as a new line) and nothing is deleted.
  [[nodiscard]] bool MergePeriod(const std::string& period, const CMyDB& disk, bool copy = false);
  void MergeDivout(const CMyMaster& disk);
  // Remembers the records of `period` (its file's records, as just written).
  void Snapshot(const std::string& period, const int* numbers, int count);
  // Snapshots every period of the records from index `first` on.
  void SnapshotFrom(int first);
  void Remember(const std::string& period);  // the file's identity now
  void RememberDivout();
  WriteWatch watch_;
  std::function<void()> outside_;
  bool tracking_ = false;
  // the last LoadTable refused the list: nothing may be written over it
  bool unread_ = false;
  std::set<std::string> damaged_;  // periods whose file did not read whole
  // identity of each period file and of the list as last read or written
  std::map<std::string, fileops::FileId> ids_;
  fileops::FileId divoutId_;
  // per period: record identity (key and serial) -> hash of its bytes
  std::map<std::string, std::map<uint64_t, uint64_t>> snaps_;
  const CMyGlobal& global_;
  CMyDB& db_;
  CMyRec& work_;
  CMyMaster& divout_;
  Prompter& prompter_;
  PeriodHost* host_;
};
