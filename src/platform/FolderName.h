// Whether a name typed for a user or a division can be one folder below the
// data root: it becomes a path component, so a name that is empty, "." or
// "..", or holds a separator or a control character would place the folder
// elsewhere or nowhere.
#pragma once
#include <string>

namespace foldername {

// `name` in CP932 (a trail byte 0x5C is part of a character, not a
// backslash). "\" is refused as well as "/" because backup archives store
// it as a folder separator.
[[nodiscard]] bool IsOneFolder(const std::string& name);

}  // namespace foldername
