// Checking and creating users. A user is only a name: the name of the
// user folder under the data root.
#pragma once
#include <string>

class CMyGlobal;

namespace username {

enum : int {
  kOk = 0,
  kEmpty = 1,        // "ユーザー名を入力して下さい。"
  kBadCharacter = 2  // a character a folder name cannot hold
};

// Checks a CP932 name. A folder name on this platform cannot hold "/" or
// NUL and must not be "." or ".."; "\" is refused as well because backup
// archives store it as a folder separator.
int Check(const std::string& name);
// The message for a result of Check (CP932), empty for kOk.
std::string Message(int code);

// Makes `name` the current user, creates its folder (an existing one is
// fine) and remembers it in "jotbox.ini" at once. 0, or -1 when the folder
// could not be created.
int Create(CMyGlobal& global, const std::string& name);

}  // namespace username
