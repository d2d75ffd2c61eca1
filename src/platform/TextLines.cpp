#include "platform/TextLines.h"

#include "platform/Cp932.h"

namespace textlines {

int Count(std::string_view sj) {
  int lines = 0;
  bool open = false;
  for (size_t i = 0; i < sj.size();) {
    const char c = sj[i];
    if (c == '\r' || c == '\n') {
      ++lines;
      open = false;
      i += (c == '\r' && i + 1 < sj.size() && sj[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    open = true;
    i += cp932::IsLead(c) ? 2 : 1;
  }
  return lines + (open ? 1 : 0);
}

}  // namespace textlines
