// Where each value of the input definition's 164-byte header item lives, and
// the one reader of that header: the main window takes the data kind from
// it, the package code the package identity, the new-division dialog both.
#pragma once
#include <string>

#include "screens/InputDef.h"

namespace jsc {

// Byte offsets in the header item (32-bit little-endian integers).

// Reads the header item of the input definition at `path` (a "scrin.jsc").
// 0 read; 1 no readable file (missing, damaged, or no items); -1 its first
// item is not 164 bytes long.
int ReadHeader(const std::string& path, Header& out);

}  // namespace jsc
