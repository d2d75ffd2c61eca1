// The record the sheet's copy or cut command remembered, for the next paste.
// It is the program's own, not the system clipboard, and lives until it is
// replaced. The main sheet's commands and the reference window's copy fill it.
#pragma once
#include <string>

struct CopySource {
  int mode = 0;        // 0 copy, 1 cut
  std::string key;     // the record's "キー項目"; empty = nothing remembered
  std::string serial;  // its "行連番"
};
