// The record remembered by copy and cut for the next paste: the main
// window's own, not the system clipboard.
#pragma once
#include <string>

struct CopySource {
  int mode = 0;        // 0 copy, 1 cut
  std::string key;     // empty: nothing copied
  std::string serial;  // line serial ("行連番")
};
