// A benchmark timed over a set-up that failed measures nothing worth
// having: the set-up steps whose results matter stop the run, saying where.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <source_location>

namespace bench {

inline void Require(bool ok, const char* what, std::source_location at = std::source_location::current()) {
  if (ok) return;
  std::fprintf(stderr, "%s:%u: set-up step failed: %s\n", at.file_name(), static_cast<unsigned>(at.line()),
               what);
  std::abort();
}

}  // namespace bench
