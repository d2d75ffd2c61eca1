// Making a division from a package: the checks and steps behind the
// new-division dialog, without the dialog.
#pragma once
#include <string>

class CMyGlobal;
class CMyMaster;
class Prompter;

namespace divisionmaker {

// Checks a division name (CP932). 0, or 1 after its message.
int CheckName(const std::string& name, Prompter& prompter);

// Mode 0: appends a USER record `name`, makes it the current division,
// creates its folder and unpacks `package` into it. Mode 1: unpacks into the
// current division again. 0; 1 refused or failed (the message has been shown;
// a record appended here is taken back and the previous division is current
// again).
int MakeDivision(CMyGlobal& global, CMyMaster& users, Prompter& prompter, int mode, const std::string& name,
                 const std::string& package);

}  // namespace divisionmaker
