// Checking and creating users. A user is only a name: the name of the
// user folder under the data root.
#pragma once
#include <string>
#include <vector>

class CMyGlobal;

namespace username {

enum : int {
  kOk = 0,
  kEmpty = 1,         // "ユーザー名を入力して下さい。"
  kBadCharacter = 2,  // a character a folder name cannot hold
  kBadEdge = 3,       // blanks or quotes at either end
  kTooLong = 4,       // over CMyGlobal::kMaxUserName bytes
  kReserved = 5,      // the data root's own work folder ("tmp", any case)
};

// Checks a CP932 name: one folder name (foldername::IsOneFolder). Blanks or quotes at either end
// are refused because "jotbox.ini" would give the name back without them,
// and the next start would open another, empty user.
[[nodiscard]] int Check(const std::string& name);
// The message for a result of Check (CP932), empty for kOk.
std::string Message(int code);

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
