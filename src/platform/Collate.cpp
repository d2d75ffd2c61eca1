#include "platform/Collate.h"

#include "platform/Cp932.h"

namespace collate {
namespace {

template <bool kFold>
int CompareImpl(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t n = a.size() < b.size() ? a.size() : b.size();
  while (i < n) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (cp932::IsLead(ca) || cp932::IsLead(cb)) {
      // Compare the whole double-byte character as a unit; its trail byte
      // must not be case-folded.
      if (ca != cb) return ca < cb ? -1 : 1;
      if (i + 1 >= n) break;
      unsigned char ta = static_cast<unsigned char>(a[i + 1]);
      unsigned char tb = static_cast<unsigned char>(b[i + 1]);
      if (ta != tb) return ta < tb ? -1 : 1;
      i += 2;
      continue;
    }
    if (kFold) {
      ca = static_cast<unsigned char>(FoldLower(static_cast<char>(ca)));
      cb = static_cast<unsigned char>(FoldLower(static_cast<char>(cb)));
    }
    if (ca != cb) return ca < cb ? -1 : 1;
    ++i;
  }
  if (a.size() == b.size()) return 0;
  // Compare the remainder the way NUL-terminated strings would.
  if (i >= a.size()) return i >= b.size() ? 0 : -1;
  if (i >= b.size()) return 1;
  unsigned char ca = static_cast<unsigned char>(a[i]);
  unsigned char cb = static_cast<unsigned char>(b[i]);
  return ca < cb ? -1 : (ca > cb ? 1 : (a.size() < b.size() ? -1 : 1));
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) { return CompareImpl<true>(a, b); }
int Compare(std::string_view a, std::string_view b) { return CompareImpl<false>(a, b); }

}  // namespace collate
