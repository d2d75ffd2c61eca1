// Making a division from a package: the checks and steps behind the
// new-division dialog, without the dialog.
#pragma once
#include <string>

class CMyGlobal;
class CMyMaster;
class Prompter;

namespace divisionmaker {

// What is wrong with a division name (CP932) on its own, as the message the
// name dialog shows; empty when nothing. It must be one folder name
// (foldername::IsOneFolder), not a folder the program keeps for itself, at
// most CMyGlobal::kMaxDivision bytes.
[[nodiscard]] std::string NameProblem(const std::string& name);
// NameProblem said: 0, or 1 after its message.
[[nodiscard]] int CheckName(const std::string& name, Prompter& prompter);

// The whole check a new name (self -1) or a new name for division `self`
// must pass before anything is changed: CheckName, then no other division
// whose folder is the same (ASCII case ignored, as the table compares), and
// no folder of that name on disk that is not the division's own. 0, or 1
// after its message. The name and rename dialogs call this on OK.
[[nodiscard]] int CheckNewName(const CMyGlobal& global, const CMyMaster& users, const std::string& name,
                               int self, Prompter& prompter);

// Mode 0: appends a USER record `name`, makes it the current division,
// creates its folder and unpacks `package` into it. Mode 1: unpacks into the
// current division again. 0; 1 refused or failed (the message has been shown;
// a record appended here is taken back, a folder made here is removed and
// the previous division is current again).
[[nodiscard]] int MakeDivision(CMyGlobal& global, CMyMaster& users, Prompter& prompter, int mode,
                               const std::string& name, const std::string& package);

}  // namespace divisionmaker
