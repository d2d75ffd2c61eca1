// Loading the division list ("jbxuser.jpr") and a division's screen list
// ("divin.jpr") so that a damaged file never silently becomes an empty list
// (the next save would then write only the new entry and every book would
// vanish). A damaged file is kept beside as "<name>.damaged-yyyymmdd", the
// user is told, and the list is rebuilt from what is on disk.
#pragma once

class CMyGlobal;
class CMyMaster;
class Prompter;
class Clock;

namespace listrecovery {

enum : int {
  kRead = 0,      // the file was read whole
  kMissing = 1,   // no file: an empty table (the caller offers to create one)
  kRebuilt = 2,   // damaged: kept aside, rebuilt from disk and saved
  kNotKept = -1,  // damaged and could not be set aside: rebuilt in memory only
};

// The USER table of the current user: its divisions are the sub-folders of
// the user folder that hold a "scrin.jsc" (in name order; the tab order the
// damaged file had is lost).
[[nodiscard]] int LoadDivisionList(const CMyGlobal& global, CMyMaster& table, Prompter& prompter,
                                   const Clock& clock);
// The DIVIN table of the current division: one screen per ".jos" file of the
// division folder (in name order).
[[nodiscard]] int LoadScreenList(const CMyGlobal& global, CMyMaster& table, Prompter& prompter,
                                 const Clock& clock);

}  // namespace listrecovery
