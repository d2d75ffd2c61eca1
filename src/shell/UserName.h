// Creating users. A user is only a name: the name of the user folder under
// the data root (its rules: shell/UserNameRules.h).
#pragma once
#include <string>
#include <vector>

#include "shell/UserNameRules.h"

class CMyGlobal;

namespace username {

// Makes `name` the current user once its folder exists (an existing one is
// fine) and remembers it in "jotbox.ini" at once. 0, or -1 when the folder
// could not be created: the previous user is then still current and
// "jotbox.ini" is untouched. `made` (when given) tells whether the folder
// was created here.
[[nodiscard]] int Create(CMyGlobal& global, const std::string& name, bool* made = nullptr);

// Undoes a change of user that went no further than Create: call it after
// the previous user has been made current again. Removes the abandoned
// user's folder when it is empty and writes the current name back into
// "jotbox.ini". False when "jotbox.ini" could not be written.
[[nodiscard]] bool Abandon(CMyGlobal& global, const std::string& abandoned);

// The users of the data root (CP932 names, sorted): folders that hold a
// book list. The data root's own work folder is never one.
std::vector<std::string> Existing(const CMyGlobal& global);

}  // namespace username
