// Copies a sync tool left beside the files of a user and of the data root
// other than the book's month files (the alarm list, the name tables, the
// holiday files, the settings) when two machines changed one of them
// before they met. Records of a copy are added to the file where records
// have an identity; settings copies are only listed, for a person to look
// at. A merged copy is kept aside as "<copy>.merged-yyyymmdd".
#pragma once
#include <string>
#include <vector>

class CMyGlobal;
class Prompter;

namespace sharedconflicts {

struct Copy {
  std::string file;  // the file it is a copy of (file system spelling)
  std::string copy;  // the copy beside it
  bool mergeable;    // false: only listed
};

// The copies beside the current user's files, its division's name tables
// and the data root's files.
[[nodiscard]] std::vector<Copy> Find(const CMyGlobal& global);

// Merges every mergeable copy; `report` gets one line (CP932) per copy,
// merged or left. The number merged, or -1 after a message when a file or
// copy could not be read whole or written (what was merged before stays).
[[nodiscard]] int Merge(const CMyGlobal& global, Prompter& prompter, std::vector<std::string>& report);

}  // namespace sharedconflicts
