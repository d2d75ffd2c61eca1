#include "platform/IniFile.h"

#include <cstdlib>

#include "platform/Collate.h"
#include "platform/FileOps.h"
#include "platform/SharedFile.h"

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// "[name]" -> name; false for any other line.
bool SectionName(const std::string& line, std::string& name) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

}  // namespace

bool IniFile::Load(const std::string& path) {
  lines_.clear();
  std::string bytes;
  if (!fileops::ReadAll(path, bytes)) return false;
  std::string cur;
  for (char c : bytes) {
    if (c == '\n') {
      if (!cur.empty() && cur.back() == '\r') cur.pop_back();
      lines_.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) {
    if (cur.back() == '\r') cur.pop_back();
    lines_.push_back(cur);
  }
  return true;
}

bool IniFile::Save(const std::string& path) const {
  std::string out;
  for (const auto& l : lines_) {
    out += l;
    out += "\r\n";
  }
  return fileops::WriteAtomic(path, out);
}

int IniFile::FindSection(const std::string& section) const {
  std::string name;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (SectionName(lines_[i], name) && collate::EqualNoCase(name, section)) return static_cast<int>(i);
  }
  return -1;
}

int IniFile::FindKey(int sec, const std::string& key, std::string* value) const {
  std::string name;
  for (size_t i = sec + 1; i < lines_.size(); ++i) {
    if (SectionName(lines_[i], name)) break;
    const std::string& l = lines_[i];
    size_t eq = l.find('=');
    if (eq == std::string::npos) continue;
    if (!l.empty() && l[0] == ';') continue;
    if (collate::EqualNoCase(Trim(l.substr(0, eq)), key)) {
      if (value) *value = Trim(l.substr(eq + 1));
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string IniFile::GetString(const std::string& section, const std::string& key,
                               const std::string& def) const {
  int sec = FindSection(section);
  if (sec < 0) return def;
  std::string v;
  if (FindKey(sec, key, &v) < 0) return def;
  // the platform's reader strips one pair of enclosing quotes
  if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
    v = v.substr(1, v.size() - 2);
  return v;
}

int IniFile::GetInt(const std::string& section, const std::string& key, int def) const {
  std::string v = GetString(section, key, "");
  size_t i = 0;
  bool neg = false;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) neg = v[i++] == '-';
  if (i >= v.size() || v[i] < '0' || v[i] > '9') return def;
  long long n = 0;
  while (i < v.size() && v[i] >= '0' && v[i] <= '9') {
    n = n * 10 + (v[i++] - '0');
    if (n > 0x7fffffffLL) n = 0x7fffffffLL + 1;  // saturate; cast below wraps no further
  }
  if (neg) n = -n;
  if (n > 0x7fffffffLL) n = 0x7fffffffLL;
  if (n < -0x80000000LL) n = -0x80000000LL;
  return static_cast<int>(n);
}

bool IniFile::GetBool(const std::string& section, const std::string& key, bool def) const {
  return GetInt(section, key, def ? 1 : 0) != 0;
}

void IniFile::SetString(const std::string& section, const std::string& key, const std::string& value) {
  int sec = FindSection(section);
  if (sec < 0) {
    lines_.push_back("[" + section + "]");
    lines_.push_back(key + "=" + value);
    return;
  }
  int k = FindKey(sec, key, nullptr);
  if (k >= 0) {
    lines_[k] = key + "=" + value;
    return;
  }
  // after the last non-empty line of the section
  size_t pos = sec + 1;
  std::string name;
  size_t lastContent = sec;
  while (pos < lines_.size() && !SectionName(lines_[pos], name)) {
    if (!Trim(lines_[pos]).empty()) lastContent = pos;
    ++pos;
  }
  lines_.insert(lines_.begin() + static_cast<long>(lastContent + 1), key + "=" + value);
}

void IniFile::SetInt(const std::string& section, const std::string& key, int value) {
  SetString(section, key, std::to_string(value));
}

void IniFile::SetBool(const std::string& section, const std::string& key, bool value) {
  SetString(section, key, value ? "1" : "0");
}

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& def) {
  IniFile ini;
  (void)ini.Load(path);  // a missing file reads as the default
  return ini.GetString(section, key, def);
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockBeside(path), nullptr)) return false;
  IniFile ini;
  // a file that is there but cannot be read is never replaced by one key
  if (!ini.Load(path) && fileops::Exists(path)) return false;
  ini.SetString(section, key, value);
  return ini.Save(path);
}
