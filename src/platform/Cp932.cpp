#include "platform/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace cp932 {
namespace {

// glibc's "CP932" is the Windows table (～ ① ∥ ￢ and "\" as backslash);
// "SHIFT_JIS" is not, so the name is fixed here.
constexpr const char* kCp932 = "CP932";

struct IconvHandle {
  iconv_t cd;
  IconvHandle(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

// Opening a converter costs more than converting a short text, and the
// program converts many short texts; one converter per direction and thread
// is kept for the life of the thread.
IconvHandle& Converter(bool toSj) {
  thread_local IconvHandle to(kCp932, "UTF-8");
  thread_local IconvHandle from("UTF-8", kCp932);
  return toSj ? to : from;
}

// Runs iconv over `in`. On an invalid or unconvertible sequence calls
// onBad(offset) which returns false to stop (error) or true to skip one byte
// after appending its replacement.
template <typename OnBad>
int Run(iconv_t cd, std::string_view in, std::string& out, OnBad onBad) {
  out.clear();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  int rc = 0;
  char buf[1024];
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      rc = -1;
      size_t offset = in.size() - left;
      if (!onBad(offset, out)) return -1;
      // skip the offending byte and resynchronise
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return rc;
}

}  // namespace

int FromUtf8(std::string_view utf8, std::string& out, size_t* bad) {
  IconvHandle& h = Converter(true);
  if (!h.ok()) return -1;
  return Run(h.cd, utf8, out, [&](size_t off, std::string&) {
    if (bad) *bad = off;
    return false;
  });
}

int ToUtf8(std::string_view sj, std::string& out) {
  IconvHandle& h = Converter(false);
  if (!h.ok()) return -1;
  return Run(h.cd, sj, out, [](size_t, std::string& o) {
    o += "\xEF\xBF\xBD";
    return true;
  });
}

std::string FromUtf8(std::string_view utf8) {
  std::string out;
  if (FromUtf8(utf8, out) != 0) {
    // Keep what converted; callers of this form pass known-good text.
    return out;
  }
  return out;
}

std::string ToUtf8(std::string_view sj) {
  std::string out;
  ToUtf8(sj, out);
  return out;
}

bool IsValid(std::string_view sj) {
  std::string out;
  IconvHandle& h = Converter(false);
  if (!h.ok()) return false;
  return Run(h.cd, sj, out, [](size_t, std::string&) { return false; }) == 0;
}

size_t CharStart(std::string_view sj, size_t pos) {
  size_t i = 0;
  while (i < sj.size()) {
    size_t w = (IsLead(sj[i]) && i + 1 < sj.size()) ? 2 : 1;
    if (pos < i + w) return i;
    i += w;
  }
  return sj.size();
}

}  // namespace cp932

std::string operator""_sj(const char* s, size_t n) { return cp932::FromUtf8(std::string_view(s, n)); }
