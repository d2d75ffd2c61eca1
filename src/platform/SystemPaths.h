// Where the platform keeps things: the folder of the running executable and
// the per-user application-data folder. Paths end without "/".
#pragma once
#include <string>

namespace syspaths {

// Folder of the running executable ("" when it cannot be found).
std::string ProgramFolder();
// $XDG_DATA_HOME, else $HOME/.local/share ("" when neither is known).
std::string UserDataHome();

}  // namespace syspaths
