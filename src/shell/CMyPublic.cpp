#include "shell/CMyPublic.h"

#include <cstdio>
#include <vector>

#include "platform/Cp932.h"
#include "platform/FileOps.h"

const CMyPublic::Era CMyPublic::kEras[5] = {
    {'M', "明治", 1868, 1912, 1, 1}, {'T', "大正", 1912, 1926, 7, 30}, {'S', "昭和", 1926, 1989, 12, 25},
    {'H', "平成", 1989, 2019, 1, 8}, {'R', "令和", 2019, 9999, 5, 1},
};

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool HasDoubleByte(std::string_view s) {
  for (char c : s)
    if (cp932::IsLead(c)) return true;
  return false;
}

// Digits only, at most 9 of them; false otherwise. An empty text reads as 0,
// as the platform's integer reader gives.
bool ReadDigits(std::string_view s, int& out) {
  if (s.size() > 9) return false;
  int v = 0;
  for (char c : s) {
    if (!IsDigit(c)) return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

}  // namespace

int CMyPublic::DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return (m == 2 && IsLeapYear(y)) ? 29 : kDays[m - 1];
}

std::string CMyPublic::EraToYear(std::string_view text) const {
  std::string s(text);
  if (s.empty() || IsDigit(s[0]) || s.size() > 10) return s;
  char letter = s[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
  for (const Era& e : kEras) {
    if (e.letter != letter) continue;
    size_t i = 1;
    int n = 0;
    while (i < s.size() && IsDigit(s[i])) n = n * 10 + (s[i++] - '0');
    int year = e.firstYear + n - 1;
    if (year > 9999) return s;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", year < 0 ? 0 : year);
    return buf + s.substr(i);
  }
  return s;
}

std::string CMyPublic::NormalizeDate(std::string_view text) const {
  std::string s(text);
  if (s.size() > 10 || HasDoubleByte(s)) return s;
  bool digitsOnly = true, digitsAndSlash = true;
  for (char c : s) {
    if (!IsDigit(c)) {
      digitsOnly = false;
      if (c != '/') digitsAndSlash = false;
    }
  }
  if (!digitsOnly) {
    if (digitsAndSlash) return s;
    for (char& c : s)
      if (!IsDigit(c)) c = '/';
    return s;
  }
  switch (s.size()) {
    case 4:
      return s.substr(0, 2) + "/" + s.substr(2, 2);
    case 6:
      return s.substr(0, 2) + "/" + s.substr(2, 2) + "/" + s.substr(4, 2);
    case 8:
      return s.substr(0, 4) + "/" + s.substr(4, 2) + "/" + s.substr(6, 2);
    default:
      return s;
  }
}

int CMyPublic::ExpandTwoDigitYear(int yy) const {
  int now = clock_.Today().year;
  int year = now - now % 100 + yy;
  if (year > now + 20) year -= 100;
  if (year <= now - 80) year += 100;
  return year;
}

bool CMyPublic::ParseDate(std::string_view text, CivilDate& out) const {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '/') {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (parts.size() != 2 && parts.size() != 3) return false;
  for (auto p : parts)
    if (p.empty() || p.size() > 4) return false;
  int y = clock_.Today().year, m = 0, d = 0;
  size_t k = 0;
  if (parts.size() == 3) {
    if (!ReadDigits(parts[0], y)) return false;
    if (parts[0].size() <= 2) y = ExpandTwoDigitYear(y);
    k = 1;
  }
  if (!ReadDigits(parts[k], m) || !ReadDigits(parts[k + 1], d)) return false;
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  out = {y, m, d};
  return true;
}

bool CMyPublic::IsDate(std::string_view text) const {
  CivilDate d;
  return ParseDate(NormalizeDate(EraToYear(text)), d);
}

std::string CMyPublic::FormatDate(std::string_view text, bool withEra) const {
  if (text.empty()) return {};
  CivilDate d;
  if (!ParseDate(NormalizeDate(EraToYear(text)), d)) return {};
  char buf[32];
  if (withEra) {
    const Era* era = nullptr;
    for (const Era& e : kEras) {
      const CivilDate start{e.firstYear, e.startMonth, e.startDay};
      if (start.Ymd() <= d.Ymd()) era = &e;
    }
    if (era) {
      std::snprintf(buf, sizeof buf, "%c%02d/%02d/%02d", era->letter, d.year - era->firstYear + 1, d.month,
                    d.day);
      return buf;
    }
  }
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year, d.month, d.day);
  return buf;
}

bool CMyPublic::IsNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  int dots = 0;
  for (; i < text.size(); ++i) {
    if (text[i] == '.') {
      if (++dots > 1) return false;
    } else if (!IsDigit(text[i])) {
      return false;
    }
  }
  return true;
}

std::string CMyPublic::FixDecimals(std::string_view text, int n) {
  if (text.empty() || text.size() >= 14) return {};
  std::string s(text);
  if (n < 0) return s;
  size_t dot = s.find('.');
  if (n == 0) return dot == std::string::npos ? s : s.substr(0, dot);
  if (dot == std::string::npos) {
    dot = s.size();
    s += '.';
  }
  std::string frac = s.substr(dot + 1, static_cast<size_t>(n));
  frac.append(static_cast<size_t>(n) - frac.size(), '0');
  return s.substr(0, dot + 1) + frac;
}

std::string CMyPublic::FormatFixed(double value, int n) {
  if (n < 0) n = 0;
  if (n > 59) return {};
  char buf[128];
  int len = std::snprintf(buf, sizeof buf, "%.*f", n, value);
  if (len < 0 || len > 59) return {};
  return buf;
}

std::string CMyPublic::NormalizeTime(std::string_view text) {
  if (text.empty() || text.size() > 5) return {};
  int h = 0, m = 0;
  size_t colon = text.find(':');
  char buf[16];
  if (colon != std::string_view::npos) {
    if (!ReadDigits(text.substr(0, colon), h) || !ReadDigits(text.substr(colon + 1), m)) return {};
    if (h < 0 || h >= 100 || m < 0 || m >= 60) return {};
  } else {
    if (text.size() != 4) return {};
    if (!ReadDigits(text.substr(0, 2), h) || !ReadDigits(text.substr(2, 2), m)) return {};
    if (m >= 60) return {};
  }
  std::snprintf(buf, sizeof buf, "%02d:%02d", h, m);
  return buf;
}

bool CMyPublic::IsTime(std::string_view text, bool max23) {
  if (text.empty()) return true;
  std::string t = NormalizeTime(text);
  if (t.empty()) return false;
  if (max23 && (t[0] - '0') * 10 + (t[1] - '0') > 23) return false;
  return true;
}

std::string CMyPublic::NthField(std::string_view text, int index, char separator) {
  if (index < 0) return {};
  size_t start = 0;
  for (int k = 0; k < index; ++k) {
    size_t p = text.find(separator, start);
    if (p == std::string_view::npos) return {};
    start = p + 1;
  }
  size_t end = text.find(separator, start);
  std::string_view f =
      text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  if (f.size() > 100) f = f.substr(0, cp932::CharStart(f, 100));
  return std::string(f);
}

std::string CMyPublic::MidBytes(std::string_view text, int start, int max) {
  if (start < 0 || static_cast<size_t>(start) >= text.size() || max <= 0) return {};
  if (max > 100) max = 100;
  std::string out;
  size_t i = static_cast<size_t>(start);
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 32) break;
    size_t w = cp932::IsLead(c) ? 2 : 1;
    if (i + w > text.size() || out.size() + w > static_cast<size_t>(max)) break;
    out.append(text.substr(i, w));
    i += w;
  }
  return out;
}

bool CMyPublic::IsNameChar(unsigned char c) {
  if (c >= ' ' && c <= '/') return false;
  if (c >= ':' && c <= '?') return false;
  if (c >= '[' && c <= '^') return false;
  if (c >= '{' && c <= '~') return false;
  return true;
}

bool CMyPublic::FileExists(const std::string& path) { return fileops::IsFile(path); }

int CMyPublic::LastSeparator(std::string_view path) {
  int last = -1;
  for (size_t i = 0; i < path.size(); ++i) {
    if (cp932::IsLead(path[i]) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '/' || path[i] == '\\') last = static_cast<int>(i);
  }
  return last;
}

std::string CMyPublic::Extension(std::string_view path) {
  size_t dot = std::string_view::npos;
  for (size_t i = static_cast<size_t>(LastSeparator(path) + 1); i < path.size(); ++i) {
    if (cp932::IsLead(path[i]) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '.') dot = i;
  }
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string CMyPublic::ReplaceExtension(std::string_view path, std::string_view ext, bool replace) {
  std::string e = Extension(path);
  if (e.empty()) return std::string(path) + std::string(ext);
  if (!replace) return std::string(path);
  return std::string(path.substr(0, path.size() - e.size())) + std::string(ext);
}
