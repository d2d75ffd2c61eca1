#include "calendar/CMyHoliday.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "shell/CivilDays.h"

namespace {

uint16_t Clamp16(long v) { return static_cast<uint16_t>(v < 0 ? 0 : (v > 65535 ? 65535 : v)); }

void SetName(HolidayEntry& e, const std::string& name) {
  // a name longer than the field holds is cut at a character boundary
  size_t n = name.size();
  if (n > static_cast<size_t>(CMyHoliday::kMaxName)) n = cp932::CharStart(name, CMyHoliday::kMaxName);
  std::memset(e.name, 0, sizeof e.name);
  std::memcpy(e.name, name.data(), n);
}

int64_t Key(const HolidayEntry& e) {
  return int64_t{e.month} * 1000000 + int64_t{e.day} * 10000 + e.startYear;
}

bool ParseLong(const std::string& token, long& out) {
  if (token.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(token.c_str(), &end, 10);
  if (!end || *end != '\0') return false;
  out = v;
  return true;
}

}  // namespace

CMyHoliday::CMyHoliday(std::string programFolder) : programFolder_(std::move(programFolder)) {
  if (!programFolder_.empty() && programFolder_.back() != '/') programFolder_ += '/';
  substitute_.month = 1;
  substitute_.day = 1;
  SetName(substitute_, "振替休日"_sj);
  substitute_.startYear = 1000;
}

void CMyHoliday::Clear(int list) {
  if (list < 0 || list > 1) return;
  lists_[list].clear();
  lists_[list].shrink_to_fit();
  skipped_[list].clear();
  partial_[list] = 0;
  recognised_[list] = true;
  cursor_[list] = 0;
}

int CMyHoliday::Count(int list) const {
  return (list < 0 || list > 1) ? 0 : static_cast<int>(lists_[list].size());
}

const HolidayEntry& CMyHoliday::Item(int index, int list) const {
  static const HolidayEntry kNone;
  if (list < 0 || list > 1 || index < 0 || index >= Count(list)) return kNone;
  return lists_[list][static_cast<size_t>(index)];
}

void CMyHoliday::ResetCursors() { cursor_[0] = cursor_[1] = 0; }

int CMyHoliday::NthWeekdayDay(int rule, int year, int month) {
  if (rule < 0 || rule > 27) return 0;
  const int n = rule / 7;
  const int weekday = rule % 7 + 1;
  int seen = 0;
  const int days = civil::DaysInMonth(year, month);
  for (int d = 1; d <= days; ++d) {
    if (civil::Weekday({year, month, d}) == weekday && ++seen == n + 1) return d;
  }
  return 0;
}

float CMyHoliday::ModifiedJulianDay(float y, float m, float x) {
  double n = static_cast<double>(static_cast<int64_t>(365.25 * y)) + static_cast<int64_t>(y / 400.0) -
             static_cast<int64_t>(y / 100.0) + static_cast<int64_t>(30.59 * (m - 2.0));
  return static_cast<float>(n + x - 678912.0);
}

int CMyHoliday::SolarTermDay(int year, int term) {
  if (term < 1 || term > 4) return 0;
  const int m = 3 * term;
  const double target = 90.0 * (term - 1);
  const float epoch = ModifiedJulianDay(1899.0f, 13.0f, 1.5f);
  float lambda[10];
  for (int d = 18; d <= 27; ++d) {
    const float mjd =
        ModifiedJulianDay(static_cast<float>(year), static_cast<float>(m), static_cast<float>(d - 0.375));
    const float t = static_cast<float>((static_cast<double>(mjd) - epoch) * (1.0 / 36525.0));
    const double T = t;
    const float L = static_cast<float>(280.6824 + 36000.769325 * T + 0.000722222 * T * T);
    const float P =
        static_cast<float>(281.2206 + 1.717697 * T + 0.000483333 * T * T + 0.00000277777 * T * T * T);
    const float M = static_cast<float>(static_cast<double>(L) - P);
    const float mr = static_cast<float>(M * 3.141592 * (1.0 / 180.0));
    const double s = std::sin(static_cast<double>(mr));
    double lam = L;
    lam += 1.91946 * s;
    lam += 0.0200939 * std::sin(2.0 * mr);
    lam -= 0.00478889 * s * T;
    lam -= 0.0000144444 * s * T * T;
    float l = static_cast<float>(lam);
    const int k = static_cast<int>(l * (1.0 / 360.0));
    l = static_cast<float>(static_cast<double>(l) - 360.0 * k);
    if (m == 3 && l > 330.0f) l = static_cast<float>(l - 360.0);
    lambda[d - 18] = l;
  }
  int result = 0;
  for (int i = 1; i <= 9; ++i) {
    const float p = static_cast<float>((lambda[i - 1] - target) * (lambda[i] - target));
    if (p < 0) {
      result = 17 + i;
      if (term != 1) break;  // the first crossing, but the spring equinox takes the last
    }
  }
  return result;
}

void CMyHoliday::Add(int startYear, int endYear, int month, int day, int solarTerm, int year, int weekRule,
                     const std::string& name, int list, const std::string& raw) {
  if (list < 0 || list > 1) return;
  HolidayEntry e;
  e.startYear = Clamp16(startYear);
  e.endYear = Clamp16(endYear);
  e.month = Clamp16(month);
  e.weekRule = weekRule;
  e.solarTerm = Clamp16(solarTerm);
  int d = day;
  if (weekRule != -1) d = NthWeekdayDay(weekRule, year, month);
  if (solarTerm != 0) d = SolarTermDay(year, solarTerm);
  if (d == 0) d = 1;
  e.day = Clamp16(d);
  SetName(e, name);
  e.raw = raw;
  auto& v = lists_[list];
  if (v.empty()) {
    HolidayEntry sentinel;
    sentinel.startYear = 0;
    sentinel.endYear = 9999;
    v.reserve(10);
    v.push_back(sentinel);
  }
  size_t at = v.size();
  // after the last entry whose key is not greater: equal keys keep their order
  while (at > 1 && Key(v[at - 1]) > Key(e)) --at;
  v.insert(v.begin() + static_cast<long>(at), e);
}

void CMyHoliday::Update(int index, int startYear, int endYear, int month, int day, int solarTerm, int year,
                        int weekRule, const std::string& name, int list) {
  if (list < 0 || list > 1 || index < 1 || index >= Count(list)) return;
  HolidayEntry& e = lists_[list][static_cast<size_t>(index)];
  int d = day;
  if (weekRule != -1) d = NthWeekdayDay(weekRule, year, month);
  e.startYear = Clamp16(startYear);
  e.endYear = Clamp16(endYear);
  e.month = Clamp16(month);
  e.day = Clamp16(d);
  e.weekRule = weekRule;
  e.solarTerm = Clamp16(solarTerm);
  SetName(e, name);
  e.raw.clear();  // changed in the form: written from its fields from now on
}

void CMyHoliday::Remove(int index, int list) {
  if (list < 0 || list > 1 || index < 1 || index >= Count(list)) return;
  lists_[list].erase(lists_[list].begin() + index);
}

int CMyHoliday::Find(int year, int month, int day, int list, int resume) {
  if (list < 0 || list > 1 || lists_[list].empty()) return -1;
  const auto& v = lists_[list];
  size_t i = resume == 1 ? static_cast<size_t>(cursor_[list]) : 0;
  for (; i < v.size(); ++i) {
    const HolidayEntry& e = v[i];
    if (e.month > month) return -1;
    if (i > 0 && e.month == month && e.day == day && e.startYear <= year && year <= e.endYear) {
      cursor_[list] = static_cast<int>(i);
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool CMyHoliday::Parse(int list, int year, const std::string& text) {
  // Line by line: the writer puts one rule on a line, and a damaged line is
  // skipped instead of ending the list.
  size_t pos = 0;
  bool first = true, header = false, content = false;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    std::vector<std::string> tok;
    size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
      size_t s = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
      if (i > s) tok.push_back(line.substr(s, i - s));
    }
    if (tok.empty()) continue;
    content = true;
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (first) {
      first = false;
      header =
          tok[0].size() >= 2 && tok[0][0] == 'C' && tok[0][1] == 'L' && std::atoi(tok[0].c_str() + 2) != 0;
      if (header) continue;
    }
    long month = 0, day = 0, start = 1000, stop = 9999, term = 0, week = -1;
    std::string name;
    long* nums[] = {&month, &day};
    size_t k = 0;
    bool ok = true;
    for (; k < 2 && k < tok.size() && ok; ++k) ok = ParseLong(tok[k], *nums[k]);
    if (!ok || month == 0) {
      skipped_[list].push_back(line);
      continue;
    }
    if (k < tok.size()) name = tok[k++];
    long* rest[] = {&start, &stop, &term, &week};
    bool whole = tok.size() <= 7 && name.size() <= static_cast<size_t>(kMaxName) &&
                 line.find('\0') == std::string::npos;
    for (size_t r = 0; r < 4 && k < tok.size(); ++r, ++k) {
      long v;
      if (!ParseLong(tok[k], v)) {
        whole = false;
        break;
      }
      *rest[r] = v;
    }
    for (long v : {month, day, start, stop, term}) whole = whole && v == Clamp16(v);
    whole = whole && week >= -1 && week <= INT32_MAX;
    if (!whole) ++partial_[list];
    Add(static_cast<int>(start), static_cast<int>(stop), static_cast<int>(month), static_cast<int>(day),
        static_cast<int>(term), year, static_cast<int>(week), name, list, whole ? std::string() : line);
  }
  recognised_[list] = header || Count(list) > 1 || !content;
  return true;
}

bool CMyHoliday::Load(int list, int year, const std::string& path) {
  if (list < 0 || list > 1) return false;
  Clear(list);
  std::string text;
  if (!fileops::ReadAll(path, text) && !fileops::ReadAll(programFolder_ + FileName(list), text)) return false;
  return Parse(list, year, text);
}

bool CMyHoliday::LoadText(int list, int year, const std::string& text) {
  if (list < 0 || list > 1) return false;
  Clear(list);
  return Parse(list, year, text);
}

bool CMyHoliday::Recognised(int list) const { return list < 0 || list > 1 || recognised_[list]; }

int CMyHoliday::UnreadLines(int list) const {
  if (list < 0 || list > 1) return 0;
  return static_cast<int>(skipped_[list].size()) + partial_[list];
}

bool CMyHoliday::Save(int list, const std::string& path) const {
  if (list < 0 || list > 1) return false;
  return fileops::WriteAtomic(path, Text(list));
}

std::string CMyHoliday::Text(int list) const {
  if (list < 0 || list > 1) return {};
  std::string out = "CL01\r\n";
  char buf[160];
  for (size_t i = 1; i < lists_[list].size(); ++i) {
    const HolidayEntry& e = lists_[list][i];
    if (!e.raw.empty()) {
      out += e.raw + "\r\n";
      continue;
    }
    std::snprintf(buf, sizeof buf, "%d\t%d\t%s\t%d\t%d\t%d\t%d\r\n", e.month, e.day, e.name, e.startYear,
                  e.endYear, e.solarTerm, e.weekRule);
    out += buf;
  }
  for (const std::string& line : skipped_[list]) out += line + "\r\n";
  return out;
}

std::string CMyHoliday::DisplayLine(const HolidayEntry& e) {
  const char* mark = e.weekRule != -1 ? "*" : " ";
  char buf[128];
  const std::string md = cp932::FromUtf8("%s%2d月%2d日");
  std::string fmt;
  if (e.startYear == 1000 && e.endYear == 9999) {
    std::snprintf(buf, sizeof buf, (md + "     -     %s").c_str(), mark, e.month, e.day, e.name);
  } else if (e.startYear == 1000) {
    std::snprintf(buf, sizeof buf, (md + "     -%4d %s").c_str(), mark, e.month, e.day, e.endYear, e.name);
  } else if (e.endYear == 9999) {
    std::snprintf(buf, sizeof buf, (md + " %4d-     %s").c_str(), mark, e.month, e.day, e.startYear, e.name);
  } else {
    std::snprintf(buf, sizeof buf, (md + " %4d-%4d %s").c_str(), mark, e.month, e.day, e.startYear, e.endYear,
                  e.name);
  }
  return buf;
}

std::vector<std::string> CMyHoliday::RuleLines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (at > 0 && !line.empty()) out.push_back(line);
    at = end + 1;
  }
  return out;
}
