// The commands that rename, reorder and delete divisions (the USER table and
// their folders) and display screens (the DIVIN table and their ".jos"
// files). Each checks, asks, acts and saves; a failure leaves the tables and
// the files as they were.
#pragma once
#include <string>

class CMyGlobal;
class CMyMaster;
class Prompter;
class Beeper;

// What the alarm list must learn when divisions go or change their name.
class DivisionAlarms {
 public:
  virtual ~DivisionAlarms() = default;
  virtual void RemoveDivision(const std::string& division) = 0;
  virtual void RenameDivision(const std::string& from, const std::string& to) = 0;
};

namespace divisioncommands {

// 0 done; 1 refused, cancelled or failed (after its message or beep).
// Deleting keeps the folder and its files on disk; the caller then opens the
// first division. Renaming makes the new name the current division folder.
[[nodiscard]] int DeleteDivision(CMyGlobal& g, CMyMaster& users, Prompter& p, int index,
                                 DivisionAlarms* alarms);
[[nodiscard]] int RenameDivision(CMyGlobal& g, CMyMaster& users, Prompter& p, int index,
                                 const std::string& name, DivisionAlarms* alarms);
// direction -1 up, +1 down; the moved division is at index + direction.
[[nodiscard]] int MoveDivision(CMyGlobal& g, CMyMaster& users, Prompter& p, Beeper& b, int index,
                               int direction);

// The same for the display screens of the current division.
[[nodiscard]] int DeleteScreen(CMyGlobal& g, CMyMaster& screens, Prompter& p, int index);
[[nodiscard]] int RenameScreen(CMyGlobal& g, CMyMaster& screens, Prompter& p, int index,
                               const std::string& name);
[[nodiscard]] int MoveScreen(CMyGlobal& g, CMyMaster& screens, Prompter& p, Beeper& b, int index,
                             int direction);

}  // namespace divisioncommands
