// How many lines a CP932 text holds, as the input form counts them for a
// memo's line count: a final line break starts no other line, so a memo
// reads back with the count it was saved with, whichever way it came in.
#pragma once
#include <string_view>

namespace textlines {

// "\r\n", "\r" and "\n" each end a line; a trail byte is never taken for one.
int Count(std::string_view sj);

}  // namespace textlines
