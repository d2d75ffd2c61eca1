// What a user's name may be: one folder name under the data root, short
// enough for the new-user dialog, never the data root's own work folder.
#pragma once
#include <string>

namespace username {

// bytes, as the new-user dialog allows
inline constexpr int kMaxBytes = 14;

enum : int {
  kOk = 0,
  kEmpty = 1,         // "ユーザー名を入力して下さい。"
  kBadCharacter = 2,  // a character a folder name cannot hold
  kBadEdge = 3,       // blanks or quotes at either end
  kTooLong = 4,       // over kMaxBytes
  kReserved = 5,      // the data root's own work folder ("tmp", any case)
};

// Checks a CP932 name: one folder name (foldername::IsOneFolder). Blanks or quotes at either end
// are refused because "jotbox.ini" would give the name back without them,
// and the next start would open another, empty user.
[[nodiscard]] int Check(const std::string& name);
// The message for a result of Check (CP932), empty for kOk.
std::string Message(int code);

}  // namespace username
