#include "exchange/IcsCalendar.h"

#include <libical/ical.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Cp932.h"
#include "screens/InputDef.h"

namespace ics {

namespace {
// a malformed file must come back as errors, never stop the program
bool PlainNames() {
  static const bool done = (icalerror_set_errors_are_fatal(0), true);
  return done;
}
}  // namespace

bool KnownZone(const std::string& name) {
  (void)PlainNames();
  return !name.empty() && icaltimezone_get_builtin_timezone(name.c_str()) != nullptr;
}

std::string SystemZone() {
  if (const char* tz = std::getenv("TZ"); tz && *tz) {
    std::string name = tz[0] == ':' ? tz + 1 : tz;
    const size_t at = name.find("zoneinfo/");
    if (at != std::string::npos) name = name.substr(at + 9);
    if (KnownZone(name)) return name;
  }
  char target[512];
  const ssize_t n = ::readlink("/etc/localtime", target, sizeof target - 1);
  if (n > 0) {
    const std::string link(target, static_cast<size_t>(n));
    const size_t at = link.find("zoneinfo/");
    if (at != std::string::npos && KnownZone(link.substr(at + 9))) return link.substr(at + 9);
  }
  return kDefaultZone;
}

std::string Uid(const std::string& folder, const std::string& key, const std::string& serial) {
  std::string digits;
  for (char c : key)
    if (c >= '0' && c <= '9') digits += c;
  return cp932::ToUtf8(folder) + "-" + digits + "-" + serial + "@jotbox";
}

TimeFields TimeFieldsOf(const std::vector<ScreenField>& fields) {
  TimeFields t;
  std::vector<int> boxes;
  for (size_t i = 0; i < fields.size(); ++i) {
    const int at = static_cast<int>(i);
    if (fields[i].field == "TIME_F") t.start = at;
    if (fields[i].field == "TIME_T") t.end = at;
    if (fields[i].dataType == jsc::kTime && fields[i].kind == jsc::kText) boxes.push_back(at);
  }
  for (int b : boxes) {
    if (t.start < 0 && b != t.end)
      t.start = b;
    else if (t.end < 0 && b != t.start)
      t.end = b;
  }
  return t;
}

int MainField(const std::vector<ScreenField>& fields) {
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].kind == jsc::kMemo) return static_cast<int>(i);
  for (size_t i = 0; i < fields.size(); ++i)
    if ((fields[i].kind == jsc::kText || fields[i].kind == jsc::kCombo) && fields[i].dataType != jsc::kTime &&
        fields[i].dataType != jsc::kTime2)
      return static_cast<int>(i);
  return -1;
}

int Minutes(const std::string& text) {
  int h = 0, m = 0;
  char tail = 0;
  if (text.size() < 4 || text.size() > 5 || std::sscanf(text.c_str(), "%d:%d%c", &h, &m, &tail) != 2)
    return -1;
  if (h < 0 || h > 23 || m < 0 || m > 59 || text[text.size() - 3] != ':') return -1;
  return h * 60 + m;
}

std::string NameOfCharAt(const std::string& utf8, size_t at) {
  if (at >= utf8.size()) return "?";
  unsigned cp = static_cast<unsigned char>(utf8[at]);
  const int more = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
  if (more) cp &= 0x3Fu >> more;
  for (int k = 1; k <= more && at + k < utf8.size(); ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3Fu);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", cp);
  return code;
}

}  // namespace ics
