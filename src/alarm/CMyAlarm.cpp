#include "alarm/CMyAlarm.h"

#include <algorithm>
#include <cstdio>

#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "platform/SharedFile.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyLine.h"

namespace {
// field offsets and widths of an entry
constexpr int kState = 0, kDivision = 4, kDate = 36, kSerial = 48, kTime = 58, kMessage = 64, kOrigin = 192;
constexpr int kDivisionSize = 32, kDateSize = 12, kSerialSize = 10, kTimeSize = 6, kMessageSize = 128;

bool Matches(const std::string& value, const std::string& want) { return want.empty() || value == want; }

// The first line of a text, cut to `max` bytes on a character boundary.
std::string FirstLine(const std::string& text, size_t max) {
  size_t end = text.find_first_of("\r\n");
  std::string line = text.substr(0, end);
  if (line.size() > max) line.resize(cp932::CharStart(line, max));
  return line;
}
}  // namespace

std::string CMyAlarm::EntryBytes(const AlarmEntry& e) {
  std::string b(kEntrySize, '\0');
  le::PutI32(&b[kState], e.state);
  le::PutFixedText(&b[kDivision], kDivisionSize, e.division);
  le::PutFixedText(&b[kDate], kDateSize, e.date);
  le::PutFixedText(&b[kSerial], kSerialSize, e.serial);
  le::PutFixedText(&b[kTime], kTimeSize, e.time);
  le::PutFixedText(&b[kMessage], kMessageSize, e.message);
  le::PutI32(&b[kOrigin], e.origin);
  return b;
}

bool CMyAlarm::ParseEntry(const char* p, size_t n, AlarmEntry& e) {
  if (n < static_cast<size_t>(kEntrySize)) return false;
  e.state = le::GetI32(p + kState) == 0 ? 0 : 1;
  e.division = le::GetFixedText(p + kDivision, kDivisionSize);
  e.date = le::GetFixedText(p + kDate, kDateSize);
  e.serial = le::GetFixedText(p + kSerial, kSerialSize);
  e.time = le::GetFixedText(p + kTime, kTimeSize);
  e.message = FirstLine(le::GetFixedText(p + kMessage, kMessageSize), kMaxMessage);
  e.origin = le::GetI32(p + kOrigin);
  return true;
}

void CMyAlarm::Load(const std::string& path) {
  entries_.clear();
  damaged_.clear();
  // taken before the read: a write that lands during it shows at the save
  (void)fileops::Identify(path, readId_);
  readPath_ = path;
  CMyLine list(2048);
  int n = list.ReadList(path);
  bool whole = (n >= 0 && list.ReadWhole()) || !fileops::Exists(path);
  for (int i = 0; i < n; ++i) {
    AlarmEntry e;
    if (ParseEntry(list.Item(i), static_cast<size_t>(list.Length(i)), e))
      entries_.push_back(e);
    else
      whole = false;
  }
  // what could not be read must not be written over: the file is kept
  // beside before the list is saved again
  if (!whole) {
    damaged_ = path;
    if (prompter_)
      prompter_->Warn(
          "アラームのファイル（alarm.dat）を最後まで読み込めませんでした。"_sj
          "読めなかったファイルは次の保存の前に「alarm.dat.damaged-日付」として残します。"_sj);
  }
  Sort();
  base_.clear();
  for (const auto& e : entries_) base_.push_back(EntryBytes(e));
  ++loads_;
  savedRevision_ = ++revision_;
  RefreshToday();
}

void CMyAlarm::Sort() {
  // the due check walks the list in its order (newest first, as Add keeps
  // it): a file written in another order would fire another day's alarm
  std::stable_sort(entries_.begin(), entries_.end(), [](const AlarmEntry& a, const AlarmEntry& b) {
    return a.date != b.date ? a.date > b.date : a.time > b.time;
  });
  cursor_ = 0;
}

void CMyAlarm::Remember(const std::string& path) {
  (void)fileops::Identify(path, readId_);
  readPath_ = path;
  base_.clear();
  for (const auto& e : entries_) base_.push_back(EntryBytes(e));
}

int CMyAlarm::Refresh(const std::string& path) {
  if (path != readPath_ || !damaged_.empty()) return 0;
  fileops::WriteLock lock;
  // a watcher's call never waits long: the next change tries again
  if (!lock.Acquire(sharedfile::LockBeside(path), 200)) return 0;
  fileops::FileId now;
  const int changed = sharedfile::Compare(path, readId_, now);
  if (changed == 0) return 0;
  const bool unsaved = Unsaved();
  std::vector<std::string> disk;
  if (changed < 0 || !TakeOutside(path, &disk)) {
    lock.Release();  // never held while a message is up
    if (prompter_) prompter_->Warn(sharedfile::UnreadableText(path));
    return -1;
  }
  // what is on disk is the list as read now; this list's own changes stay unsaved
  base_ = std::move(disk);
  readId_ = now;
  if (!unsaved) savedRevision_ = revision_;
  return 1;
}

bool CMyAlarm::TakeOutside(const std::string& path, std::vector<std::string>* read) {
  CMyLine list(2048);
  const int n = list.ReadList(path);
  std::vector<std::string> disk;
  if (n < 0 ? fileops::Exists(path) : !list.ReadWhole()) return false;
  for (int i = 0; i < n; ++i) {
    AlarmEntry e;
    if (!ParseEntry(list.Item(i), static_cast<size_t>(list.Length(i)), e)) return false;
    disk.push_back(EntryBytes(e));
  }
  std::vector<std::string> mine;
  for (const auto& e : entries_) mine.push_back(EntryBytes(e));
  entries_.clear();
  for (const std::string& bytes : sharedfile::MergeRecords(base_, mine, disk)) {
    AlarmEntry e;
    if (ParseEntry(bytes.data(), bytes.size(), e)) entries_.push_back(e);
  }
  if (read) *read = std::move(disk);
  Sort();
  Changed();
  RefreshToday();
  return true;
}

bool CMyAlarm::Save(const std::string& path) {
  // read, check and write as one step: no other program writes meanwhile
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockBeside(path), prompter_)) return false;
  if (path == readPath_ && damaged_.empty()) {
    fileops::FileId now;
    const int changed = sharedfile::Compare(path, readId_, now);
    if (changed < 0 || (changed > 0 && !TakeOutside(path))) {
      lock.Release();  // never held while a message is up
      if (prompter_) prompter_->Warn(sharedfile::UnreadableText(path));
      return false;
    }
  }
  if (!damaged_.empty() && path == damaged_ && fileops::Exists(path)) {
    char stamp[16];
    const CivilDate d = clock_.Today();
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d", d.year % 10000, d.month % 100, d.day % 100);
    std::string keep = path + ".damaged-" + stamp;
    for (int k = 2; fileops::Exists(keep); ++k) keep = path + ".damaged-" + stamp + "-" + std::to_string(k);
    if (!fileops::Move(path, keep)) return false;
  }
  damaged_.clear();
  CMyLine list(2048);
  for (const auto& e : entries_) list.Append(EntryBytes(e));
  if (list.WriteList(path) < 0) return false;
  savedRevision_ = revision_;
  Remember(path);
  return true;
}

std::string CMyAlarm::Now() const {
  TimeOfDay t = clock_.Now();
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour % 100, t.minute % 100);
  return buf;
}

void CMyAlarm::Window() {
  first_ = last_ = -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].date != today_) continue;
    if (first_ < 0) first_ = static_cast<int>(i);
    last_ = static_cast<int>(i);
  }
}

void CMyAlarm::RefreshToday() {
  today_ = civil::Ymd(clock_.Today());
  Window();
}

void CMyAlarm::Add(const std::string& date, const std::string& serial, const std::string& time,
                   const std::string& message, int origin, int state) {
  if (time.size() != 5 || message.size() > static_cast<size_t>(kMaxMessageIn)) return;
  today_ = civil::Ymd(clock_.Today());
  AlarmEntry e;
  e.date = date;
  e.serial = serial;
  e.time = time;
  e.message = FirstLine(message, kMaxMessage);
  e.origin = origin;
  e.division = global_.DivisionFolder();
  if (state == -1) {
    e.state = (date > today_ || (date == today_ && time >= Now())) ? 1 : 0;
  } else {
    e.state = state == 0 ? 0 : 1;
  }
  size_t at = 0;
  while (at < entries_.size()) {
    const AlarmEntry& o = entries_[at];
    if (o.date < date || (o.date == date && o.time <= time)) break;
    ++at;
  }
  entries_.insert(entries_.begin() + static_cast<long>(at), e);
  Changed();
  Window();
}

void CMyAlarm::Insert(const AlarmEntry& e) {
  size_t at = 0;
  while (at < entries_.size()) {
    const AlarmEntry& o = entries_[at];
    if (o.date < e.date || (o.date == e.date && o.time <= e.time)) break;
    ++at;
  }
  entries_.insert(entries_.begin() + static_cast<long>(at), e);
  Changed();
  Window();
}

bool CMyAlarm::Erase(const AlarmEntry& e) {
  for (size_t i = 0; i < entries_.size(); ++i) {
    const AlarmEntry& o = entries_[i];
    if (o.division == e.division && o.date == e.date && o.serial == e.serial && o.time == e.time &&
        o.message == e.message && o.origin == e.origin) {
      entries_.erase(entries_.begin() + static_cast<long>(i));
      Changed();
      Window();
      return true;
    }
  }
  return false;
}

int CMyAlarm::Find(const std::string& date, const std::string& serial, const std::string& time,
                   const std::string& division, int resume) {
  size_t i = resume == 1 ? cursor_ : 0;
  for (; i < entries_.size() && entries_[i].date >= date; ++i) {
    const AlarmEntry& e = entries_[i];
    if (e.date == date && Matches(e.serial, serial) && Matches(e.time, time) &&
        Matches(e.division, division)) {
      cursor_ = i + 1;
      return static_cast<int>(i);
    }
  }
  return -1;
}

void CMyAlarm::RemoveForRecord(const std::string& date, const std::string& serial, const std::string& time) {
  for (int i; (i = Find(date, serial, time, global_.DivisionFolder(), 0)) >= 0;) RemoveAt(i);
}

void CMyAlarm::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  entries_.erase(entries_.begin() + index);
  Changed();
  Window();
}

void CMyAlarm::RemoveDivision(const std::string& division) {
  if (std::erase_if(entries_, [&](const AlarmEntry& e) { return e.division == division; }) > 0) Changed();
  Window();
}

void CMyAlarm::RemoveOff() {
  if (std::erase_if(entries_, [](const AlarmEntry& e) { return e.state == 0; }) > 0) Changed();
  Window();
}

void CMyAlarm::Replace(int index, const std::string& date, const std::string& serial, const std::string& time,
                       const std::string& message, int origin, int state) {
  RemoveAt(index);
  Add(date, serial, time, message, origin, state);
}

void CMyAlarm::RenameDivision(const std::string& from, const std::string& to) {
  for (auto& e : entries_) {
    if (e.division != from) continue;
    e.division = to;
    Changed();
  }
}

void CMyAlarm::SwapSerials(const std::string& date, const std::string& a, const std::string& b) {
  const std::string div = global_.DivisionFolder();
  for (auto& e : entries_) {
    if (e.date != date || e.division != div) continue;
    if (e.serial == a) {
      e.serial = b;
      Changed();
    } else if (e.serial == b) {
      e.serial = a;
      Changed();
    }
  }
}

void CMyAlarm::ScanMemo(const std::string& date, const std::string& serial, const std::string& memo) {
  RemoveForRecord(date, serial, "");
  const std::string& open = global_.timeF;
  const std::string& close = global_.timeT;
  size_t lineStart = 0;
  while (lineStart <= memo.size()) {
    size_t lineEnd = memo.find_first_of("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = memo.size();
    std::string time;
    for (size_t i = lineStart; i < lineEnd && time.empty();) {
      const size_t w = (cp932::IsLead(memo[i]) && i + 1 < lineEnd) ? 2 : 1;
      if (memo.compare(i, open.size(), open) == 0 && i + open.size() + 5 + close.size() <= lineEnd) {
        const size_t t = i + open.size();
        auto digit = [&](size_t k) { return memo[k] >= '0' && memo[k] <= '9'; };
        if (digit(t) && digit(t + 1) && memo[t + 2] == ':' && digit(t + 3) && digit(t + 4) &&
            memo.compare(t + 5, close.size(), close) == 0)
          time = memo.substr(t, 5);
      }
      i += w;
    }
    // the text handed on runs from the start of the line to the end of the
    // memo: a long remainder makes no alarm, as Add refuses it
    if (!time.empty()) Add(date, serial, time, memo.substr(lineStart), 1, -1);
    if (lineEnd >= memo.size()) break;
    lineStart =
        lineEnd + ((memo[lineEnd] == '\r' && lineEnd + 1 < memo.size() && memo[lineEnd + 1] == '\n') ? 2 : 1);
  }
}

int CMyAlarm::CheckDue(bool show) {
  if (first_ < 0) return -1;
  const std::string now = Now();
  for (int i = first_; i <= last_ && i < Count(); ++i) {
    AlarmEntry& e = entries_[static_cast<size_t>(i)];
    // the window spans today's entries only while the list is in order: an
    // entry of another day inside it (a list put together out of order)
    // must not fire today
    if (e.state != 1 || e.time != now || e.date != today_) continue;
    e.state = 0;
    Changed();
    if (show && prompter_)
      prompter_->Show(e.message, cp932::FromUtf8("お知らせ(") + now + ")", PromptIcon::Information,
                      PromptButtons::Ok);
    return i;
  }
  return -1;
}

namespace {
// "hh:mm" with the hour at most 23; false for anything else.
bool ParseTime(const std::string& t, TimeOfDay& out) {
  if (t.size() != 5 || t[2] != ':') return false;
  for (size_t k : {0u, 1u, 3u, 4u})
    if (t[k] < '0' || t[k] > '9') return false;
  out.hour = (t[0] - '0') * 10 + (t[1] - '0');
  out.minute = (t[3] - '0') * 10 + (t[4] - '0');
  return out.hour <= 23 && out.minute <= 59;
}
}  // namespace

long long CMyAlarm::MinuteOf(CivilDate d, TimeOfDay t) {
  return static_cast<long long>(civil::DaysFrom(d)) * 1440 + t.hour * 60 + t.minute;
}

long long CMyAlarm::MinuteOf(const AlarmEntry& e) {
  CivilDate d;
  TimeOfDay t;
  if (!civil::ParseYmd(e.date, d) || !ParseTime(e.time, t)) return -1;
  return MinuteOf(d, t);
}

std::vector<AlarmEntry> CMyAlarm::Missed(long long from, long long to) const {
  std::vector<AlarmEntry> out;
  // the list runs newest first: walking it backwards gives the oldest first
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->state != 1) continue;
    const long long m = MinuteOf(*it);
    if (m >= 0 && m >= from && m < to) out.push_back(*it);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const AlarmEntry& a, const AlarmEntry& b) { return MinuteOf(a) < MinuteOf(b); });
  return out;
}

std::vector<AlarmEntry> CMyAlarm::TakeMissed(long long from, long long to) {
  std::vector<AlarmEntry> out = Missed(from, to);
  if (out.empty()) return out;
  for (auto& e : entries_) {
    if (e.state != 1) continue;
    const long long m = MinuteOf(e);
    if (m >= 0 && m >= from && m < to) e.state = 0;
  }
  for (auto& e : out) e.state = 0;
  Changed();
  return out;
}

std::string CMyAlarm::ListLine(const AlarmEntry& e) {
  return std::string(e.state == 0 ? "-" : " ") + e.date + " " + e.time + "  " + e.message;
}
