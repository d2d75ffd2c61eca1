// The packages offered by the new-division dialog: the ".jpk" files of the
// program folder, shown without their extension.
#pragma once
#include <string>
#include <vector>

namespace packagelist {

// Display names (CP932), in file-name order; folders are skipped.
[[nodiscard]] std::vector<std::string> Names(const std::string& programFolder);
// Index of the entry named "PK%d" of packageId / 1000, ASCII case ignored,
// optionally followed by a title ("PK1_日記帳"); -1 when none.
[[nodiscard]] int Preselect(const std::vector<std::string>& names, int packageId);
// The file behind a display name (a file-system path).
[[nodiscard]] std::string PathOf(const std::string& programFolder, const std::string& name);

}  // namespace packagelist
