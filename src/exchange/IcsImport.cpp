#include "exchange/IcsImport.h"

#include <libical/ical.h>

#include <cerrno>
#include <map>
#include <memory>
#include <set>

#include "exchange/CMyImport.h"
#include "exchange/FileTransaction.h"
#include "exchange/IcsCalendar.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/MemoSchema.h"

namespace {

struct CalendarFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Calendar = std::unique_ptr<icalcomponent, CalendarFree>;

// A recurrence that never ends stops at the period's end; one that would
// take more steps than this to get there (every minute for years) is
// refused rather than cut short without a word.
constexpr int kMaxSteps = 200000;

std::string Num(int n) { return std::to_string(n); }

std::string Serial5(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%05d", n);
  return buf;
}

// One event on one day, as the calendar gave it (texts UTF-8).
struct Occurrence {
  std::string uid;  // the event's UID; a recurrence adds "/yyyymmdd"
  int sequence = 0;
  CivilDate date;
  int start = -1, end = -1;  // minutes of the day, -1 none
  std::string summary, description, location;
};

CivilDate DateOfTime(const icaltimetype& t) { return {t.year, t.month, t.day}; }

// LF (or CR LF) line ends to the CR LF the book keeps.
std::string CrLf(const std::string& s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') continue;
    if (s[i] == '\n') out += '\r';
    out += s[i];
  }
  return out;
}

std::string Text(const char* s) { return s ? s : ""; }

std::string Hm(int minutes) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d", minutes / 60 % 100, minutes % 60);
  return buf;
}

// Lines of a memo as the input form counts them (see CMyImport).
int LineCount(const std::string& text) {
  int lines = 0;
  bool open = false;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      ++lines;
      open = false;
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    open = true;
    i += cp932::IsLead(c) ? 2 : 1;
  }
  return lines + (open ? 1 : 0);
}

std::string Clean(std::string uid) {
  for (char& c : uid)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return uid;
}

}  // namespace

struct IcsImport::Pending {
  std::string uid;   // occurrence UID (UTF-8)
  std::string name;  // for messages (CP932)
  std::string key;
  int weekday = 0;
  std::vector<std::pair<int, std::string>> values;  // table field, CP932
  bool data = false;                                // a field of the form holds something
  int row = -1;                                     // the entry it updates, -1 a new one
};

struct IcsImport::UidLine {
  std::string uid, key, serial, created;
};

IcsImport::IcsImport(ExchangeBook& book, Prompter& prompter, const Clock& clock)
    : book_(book), prompter_(prompter), clock_(clock) {}

IcsMapping IcsImport::DefaultMapping() const {
  IcsMapping m;
  m.summary = m.description = ics::MainField(book_.fields);
  const ics::TimeFields t = ics::TimeFieldsOf(book_.fields);
  m.start = t.start;
  m.end = t.end;
  for (size_t i = 0; i < book_.fields.size(); ++i)
    if (book_.fields[i].caption == "場所"_sj) m.location = static_cast<int>(i);
  return m;
}

void IcsImport::DefaultPeriod(CivilDate today, CivilDate& from, CivilDate& to) {
  from = {today.year, 1, 1};
  to = {today.year + 1, 12, 31};
}

std::string IcsImport::ResolvePath(const std::string& typed) const {
  std::string path = typed;
  if (path.find('/') == std::string::npos) path = book_.global.UserPath("") + "/" + path;
  if (fileops::BaseName(path).find('.') == std::string::npos) path += ".ics";
  return path;
}

bool IcsImport::ReadUids(std::vector<UidLine>& lines, std::string& why) const {
  const std::string path = book_.global.DivisionPath(kUidFile);
  std::string bytes;
  if (!fileops::ReadAll(path, bytes)) {
    if (errno == ENOENT) return true;
    why = "読み込めませんでした";
    return false;
  }
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) {
      why = "最後の行が途中で切れています";  // a file cut short is not trusted
      return false;
    }
    const std::string line = bytes.substr(at, end - at);
    at = end + 1;
    if (line.empty() || line[0] == '#') continue;
    UidLine u;
    size_t p = 0;
    std::string* parts[] = {&u.uid, &u.key, &u.serial, &u.created};
    for (int i = 0; i < 4; ++i) {
      const size_t tab = i < 3 ? line.find('\t', p) : std::string::npos;
      if (i < 3 && tab == std::string::npos) {
        why = "行の形が違います";
        return false;
      }
      *parts[i] = line.substr(p, tab == std::string::npos ? std::string::npos : tab - p);
      p = tab + 1;
    }
    lines.push_back(std::move(u));
  }
  return true;
}

int IcsImport::Read(const IcsImportOptions& o, IcsImportResult& r, std::vector<Pending>& out) {
  auto fail = [&](int code, const std::string& text) {
    prompter_.Warn(text);
    return r.code = code;
  };
  if (book_.byPage) return fail(kByPage, "ページと行で書く分類には、カレンダーを取り込めません。"_sj);
  const IcsMapping& m = o.map;
  const int count = static_cast<int>(book_.fields.size());
  for (int f : {m.summary, m.description, m.location, m.start, m.end})
    if (f >= count) return fail(kBadOptions, "取り込み先の項目がありません。"_sj);
  if (m.summary < 0 && m.description < 0)
    return fail(kBadOptions, "予定の題名(SUMMARY)か説明(DESCRIPTION)の取り込み先を選んでください。"_sj);
  if (!civil::IsValid(o.from) || !civil::IsValid(o.to) || o.to.Ymd() < o.from.Ymd())
    return fail(kBadOptions, "取り込む期間が正しくありません。"_sj);
  const std::string zoneName = o.zone.empty() ? ics::SystemZone() : o.zone;
  if (!ics::KnownZone(zoneName))
    return fail(kBadOptions, "タイムゾーンが分かりません: "_sj + cp932::FromUtf8(zoneName));
  icaltimezone* zone = icaltimezone_get_builtin_timezone(zoneName.c_str());

  std::string bytes;
  if (!fileops::ReadAll(r.path, bytes)) {
    if (errno == ENOENT) return fail(kNotFound, "ファイルが見つかりません。"_sj);
    return fail(kDamaged, "ファイルを読み込めませんでした。"_sj + "\n" + cp932::FromUtf8(r.path));
  }
  const std::string damaged = "iCalendar のファイルとして読めません。何も取り込みませんでした。"_sj + "\n" +
                              cp932::FromUtf8(r.path) + "\n";
  // a file cut short parses as far as it goes: its end must be there
  size_t last = bytes.find_last_not_of(" \t\r\n");
  if (bytes.compare(0, 15, "BEGIN:VCALENDAR") != 0 || last == std::string::npos || last < 12 ||
      bytes.compare(last - 12, 13, "END:VCALENDAR") != 0)
    return fail(kDamaged, damaged + "BEGIN:VCALENDAR で始まり END:VCALENDAR で終わっていません。"_sj);
  Calendar root(icalparser_parse_string(bytes.c_str()));
  icalerror_clear_errno();
  if (!root || (icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT &&
                icalcomponent_isa(root.get()) != ICAL_XROOT_COMPONENT))
    return fail(kDamaged, damaged + "カレンダーがありません。"_sj);
  if (icalcomponent_count_errors(root.get()) > 0) {
    // the first error libical found, for the person who will look at the file
    std::string first;
    std::vector<icalcomponent*> stack{root.get()};
    while (!stack.empty() && first.empty()) {
      icalcomponent* c = stack.back();
      stack.pop_back();
      for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p && first.empty();
           p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY))
        first = Text(icalproperty_get_xlicerror(p));
      for (icalcomponent* k = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); k;
           k = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        stack.push_back(k);
    }
    std::string sj;
    if (cp932::FromUtf8(first, sj) != 0) sj.clear();
    return fail(kDamaged, damaged + sj);
  }

  std::vector<icalcomponent*> events;
  auto collect = [&](icalcomponent* cal) {
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT))
      events.push_back(e);
  };
  if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
    collect(root.get());
  } else {
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
      collect(c);
  }
  r.events = static_cast<int>(events.size());

  const long fromDay = civil::DaysFrom(o.from), toDay = civil::DaysFrom(o.to);
  auto local = [&](icaltimetype t) {
    // a floating time is already the book's wall-clock time
    if (t.is_date || (!t.zone && !icaltime_is_utc(t))) return t;
    return icaltime_convert_to_zone(t, zone);
  };
  std::vector<Occurrence> occurrences;
  std::vector<std::string> refusedRaw;  // UTF-8 before the names are known
  auto nameOf = [](icalcomponent* e, const icaltimetype& start) {
    std::string n = "「" + Text(icalcomponent_get_summary(e)) + "」";
    if (!icaltime_is_null_time(start)) {
      char d[16];
      std::snprintf(d, sizeof d, "%04d/%02d/%02d", start.year, start.month, start.day);
      n += " " + std::string(d);
    }
    return n;
  };
  // a recurrence that RECURRENCE-ID moves: "uid/yyyymmdd" of its original day
  std::set<std::string> overridden;
  auto occurrenceUid = [](const std::string& uid, CivilDate d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "/%04d%02d%02d", d.year, d.month, d.day);
    return uid + buf;
  };
  for (icalcomponent* e : events) {
    const icaltimetype rid = icalcomponent_get_recurrenceid(e);
    if (!icaltime_is_null_time(rid))
      overridden.insert(occurrenceUid(Clean(Text(icalcomponent_get_uid(e))), DateOfTime(local(rid))));
  }
  for (icalcomponent* e : events) {
    const icaltimetype dtstart = icalcomponent_get_dtstart(e);
    if (icaltime_is_null_time(dtstart) || !icaltime_is_valid_time(dtstart)) {
      refusedRaw.push_back(nameOf(e, dtstart) + ": 開始日(DTSTART)がありません");
      continue;
    }
    if (icalcomponent_get_status(e) == ICAL_STATUS_CANCELLED) {
      ++r.outside;
      continue;
    }
    std::string uid = Clean(Text(icalcomponent_get_uid(e)));
    if (uid.empty()) {
      // without a UID an event cannot be recognised again: its start and summary stand in
      uid = "nouid-" + Text(icaltime_as_ical_string(dtstart)) + "-" + Text(icalcomponent_get_summary(e));
      uid = Clean(uid);
    }
    const icaltimetype dtend = icalcomponent_get_dtend(e);
    const int length = icaltime_is_null_time(dtend)
                           ? 0
                           : static_cast<int>(icaltime_as_timet(dtend) - icaltime_as_timet(dtstart));
    Occurrence base;
    base.uid = uid;
    base.sequence = icalcomponent_get_sequence(e);
    base.summary = Text(icalcomponent_get_summary(e));
    base.description = Text(icalcomponent_get_description(e));
    base.location = Text(icalcomponent_get_location(e));
    auto add = [&](icaltimetype start, const std::string& occUid) {
      const icaltimetype s = local(start);
      const long day = civil::DaysFrom(DateOfTime(s));
      if (day < fromDay || day > toDay) {
        ++r.outside;
        return;
      }
      Occurrence oc = base;
      oc.uid = occUid;
      oc.date = DateOfTime(s);
      if (!s.is_date) {
        oc.start = s.hour * 60 + s.minute;
        if (length > 0 && length < 24 * 3600) {
          const icaltimetype end = local(icaltime_add(start, icaldurationtype_from_int(length)));
          oc.end = end.hour * 60 + end.minute;
        }
      }
      occurrences.push_back(std::move(oc));
    };
    const icaltimetype recurrenceOf = icalcomponent_get_recurrenceid(e);
    icalproperty* rrule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY);
    if (!icaltime_is_null_time(recurrenceOf)) {
      add(dtstart, occurrenceUid(uid, DateOfTime(local(recurrenceOf))));
      continue;
    }
    if (!rrule) {
      add(dtstart, uid);
      continue;
    }
    std::vector<icaltimetype> exdates;
    for (icalproperty* p = icalcomponent_get_first_property(e, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(e, ICAL_EXDATE_PROPERTY)) {
      icaltimetype x = icalproperty_get_exdate(p);
      // an EXDATE with TZID names its zone as a parameter
      if (icalparameter* tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER); tz && !x.is_date)
        if (icaltimezone* z =
                icalcomponent_get_timezone(icalcomponent_get_parent(e), icalparameter_get_tzid(tz)))
          x = icaltime_set_timezone(&x, z);
      if (icalparameter* tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
          tz && !x.zone && !x.is_date)
        if (icaltimezone* z = icaltimezone_get_builtin_timezone(icalparameter_get_tzid(tz)))
          x = icaltime_set_timezone(&x, z);
      exdates.push_back(local(x));
    }
    icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), dtstart);
    if (!it) {
      icalerror_clear_errno();
      refusedRaw.push_back(nameOf(e, dtstart) + ": 繰り返し(RRULE)が読めません");
      continue;
    }
    int steps = 0;
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t) && steps < kMaxSteps;
         t = icalrecur_iterator_next(it), ++steps) {
      const icaltimetype s = local(t);
      const CivilDate d = DateOfTime(s);
      if (civil::DaysFrom(d) > toDay) break;
      bool excluded = false;
      for (const icaltimetype& x : exdates)
        excluded = excluded || (x.is_date ? DateOfTime(x) == d : icaltime_compare(x, s) == 0);
      if (excluded) continue;
      const std::string occUid = occurrenceUid(uid, d);
      if (overridden.count(occUid)) continue;
      add(t, occUid);
    }
    icalrecur_iterator_free(it);
    if (steps >= kMaxSteps)
      refusedRaw.push_back(nameOf(e, dtstart) + ": 繰り返しが多すぎます（期間を短くしてください）");
  }
  // an event the file holds twice comes in once: the later version (higher SEQUENCE)
  std::map<std::string, size_t> byUid;
  std::vector<Occurrence> unique;
  for (Occurrence& oc : occurrences) {
    auto [at, fresh] = byUid.emplace(oc.uid, unique.size());
    if (fresh) {
      unique.push_back(std::move(oc));
    } else if (oc.sequence >= unique[at->second].sequence) {
      unique[at->second] = std::move(oc);
    }
  }

  // the entries UIDs went to before
  std::vector<UidLine> uidLines;
  std::string why;
  if (!ReadUids(uidLines, why))
    return fail(kDamaged, cp932::FromUtf8(book_.global.DivisionPath(kUidFile)) + "\n" + cp932::FromUtf8(why) +
                              "。取り込んだ予定を見分けられないため、取り込みません。"_sj);
  std::map<std::string, const UidLine*> known;
  for (const UidLine& u : uidLines) known[u.uid] = &u;
  CMyDB& db = book_.db;
  std::map<std::pair<std::string, std::string>, int> rowOf;  // live entries by key and serial
  for (int row = 0; row < db.RecordCount(); ++row)
    if (!db.IsDeleted(row)) rowOf[{db.Value(memo::kKey, row), db.Value(memo::kLineSerial, row)}] = row;
  const std::string ownPrefix = cp932::ToUtf8(book_.global.DivisionFolder()) + "-";
  auto existing = [&](const std::string& uid) {
    if (auto k = known.find(uid); k != known.end()) {
      auto found = rowOf.find({k->second->key, k->second->serial});
      if (found != rowOf.end() && k->second->created == db.Value(memo::kCreated, found->second))
        return found->second;
    }
    // an entry this book exported: "<folder>-yyyymmdd-sssss@jotbox"
    if (uid.size() == ownPrefix.size() + 21 && uid.compare(0, ownPrefix.size(), ownPrefix) == 0 &&
        uid.compare(uid.size() - 7, 7, "@jotbox") == 0) {
      const std::string d = uid.substr(ownPrefix.size(), 8);
      const std::string key = d.substr(0, 4) + "/" + d.substr(4, 2) + "/" + d.substr(6, 2);
      if (auto found = rowOf.find({key, uid.substr(ownPrefix.size() + 9, 5)}); found != rowOf.end())
        return found->second;
    }
    return -1;
  };

  // every field a part of the event goes to, and the captions DESCRIPTION lines may name
  std::vector<int> columns;
  for (const ScreenField& f : book_.fields) columns.push_back(db.FindField(f.field));
  std::set<int> targets;
  for (int f : {m.summary, m.description, m.location, m.start, m.end})
    if (f >= 0) targets.insert(f);
  // a field a part of the event fills keeps that part's value; one the event
  // leaves empty (no LOCATION, say) may be named by a DESCRIPTION line
  std::map<std::string, int> byCaption;  // UTF-8 caption -> screen field
  for (int f = 0; f < count; ++f)
    if (f != m.summary && f != m.description && columns[static_cast<size_t>(f)] >= 0)
      byCaption.emplace(cp932::ToUtf8(book_.fields[static_cast<size_t>(f)].caption), f);

  for (const Occurrence& oc : unique) {
    char d[16];
    std::snprintf(d, sizeof d, "%04d/%02d/%02d", oc.date.year, oc.date.month, oc.date.day);
    const std::string name = "「" + oc.summary + "」 " + d;
    std::map<int, std::string> text;  // screen field -> UTF-8 value
    auto put = [&](int f, const std::string& v) {
      if (f < 0 || v.empty()) return;
      std::string& t = text[f];
      t += t.empty() ? v : "\n" + v;
    };
    // an entry without main text went out with its first 「項目名: 値」 line
    // as the summary: that line comes back in its field, not twice
    const size_t colon = oc.summary.find(": ");
    const bool derived =
        colon != std::string::npos && byCaption.count(oc.summary.substr(0, colon)) &&
        oc.description.compare(0, oc.summary.size(), oc.summary) == 0 &&
        (oc.description.size() == oc.summary.size() || oc.description[oc.summary.size()] == '\n');
    if (!derived) put(m.summary, oc.summary);
    put(m.location, oc.location);
    if (oc.start >= 0) put(m.start, Hm(oc.start));
    if (oc.end >= 0) put(m.end, Hm(oc.end));
    // DESCRIPTION lines "項目名: 値" naming another field go to it; the lines
    // before the first of them are the description proper
    std::string rest;
    bool restStarted = false;
    int into = -1;
    for (size_t at = 0; at <= oc.description.size() && !oc.description.empty();) {
      size_t end = oc.description.find('\n', at);
      if (end == std::string::npos) end = oc.description.size();
      const std::string line = oc.description.substr(at, end - at);
      at = end + 1;
      const size_t colon = line.find(": ");
      auto named = colon == std::string::npos ? byCaption.end() : byCaption.find(line.substr(0, colon));
      if (named != byCaption.end() && !text.count(named->second)) {
        into = named->second;
        text[into] = line.substr(colon + 2);
      } else if (into >= 0) {
        text[into] += "\n" + line;
      } else {
        rest += restStarted ? "\n" + line : line;
        restStarted = true;
      }
    }
    put(m.description, rest);

    Pending p;
    p.uid = oc.uid;
    p.key = d;
    p.weekday = civil::Weekday(oc.date);
    p.row = existing(oc.uid);
    std::string reason;
    for (int f : targets) text.emplace(f, std::string());  // a part the event lacks empties its field
    for (const auto& [f, utf8] : text) {
      const ScreenField& sf = book_.fields[static_cast<size_t>(f)];
      const int column = columns[static_cast<size_t>(f)];
      if (column < 0) continue;
      std::string sj;
      size_t bad = 0;
      const std::string value = sf.kind == jsc::kMemo ? CrLf(utf8) : utf8;
      if (cp932::FromUtf8(value, sj, &bad) != 0) {
        reason = "文字 " + ics::NameOfCharAt(value, bad) + " は保存できません（" + cp932::ToUtf8(sf.caption) +
                 "）";
        break;
      }
      // a line break has no place in a one-line box: the lines are joined
      if (sf.kind != jsc::kMemo)
        for (char& c : sj)
          if (c == '\n' || c == '\r') c = ' ';
      int limit = db.Fields()[column].maxLength;
      if (sf.maxLength > 0 && (limit <= 0 || sf.maxLength < limit)) limit = sf.maxLength;
      if (limit > 0 && static_cast<int>(sj.size()) > limit) {
        reason = "「" + cp932::ToUtf8(sf.caption) + "」に入りきりません（" +
                 Num(static_cast<int>(sj.size())) + "バイト、" + Num(limit) + "バイトまで）";
        break;
      }
      if (!sj.empty()) p.data = true;
      p.values.emplace_back(column, sj);
      if (sf.kind == jsc::kMemo) {
        const int lines = db.FindField(sf.field + "L");
        if (lines >= 0) p.values.emplace_back(lines, Num(LineCount(sj)));
      }
    }
    if (!reason.empty()) {
      refusedRaw.push_back(name + ": " + reason);
      continue;
    }
    std::string sjName;
    p.name = cp932::FromUtf8(name, sjName) == 0 ? sjName : std::string(d);
    (p.row >= 0 ? r.updated : r.added)++;
    out.push_back(std::move(p));
  }
  for (const std::string& line : refusedRaw) {
    std::string sj;
    size_t bad = 0;
    // the name itself may hold what CP932 cannot: those characters are named by code
    std::string rest = line;
    while (cp932::FromUtf8(rest, sj, &bad) != 0) {
      size_t len = 1;
      while (bad + len < rest.size() && (static_cast<unsigned char>(rest[bad + len]) & 0xC0) == 0x80) ++len;
      rest = rest.substr(0, bad) + "[" + ics::NameOfCharAt(rest, bad) + "]" + rest.substr(bad + len);
    }
    r.refused.push_back(sj);
  }
  return r.code = r.refused.empty() ? kOk : kCheckFailed;
}

int IcsImport::Check(const IcsImportOptions& o, IcsImportResult& r) {
  r = IcsImportResult{};
  if (o.path.empty()) return r.code = kNoPath;
  r.path = ResolvePath(o.path);
  // an update is told from an addition over the whole book
  book_.periods.LoadAll();
  if (book_.host) book_.host->ReloadView();
  std::vector<Pending> pending;
  return Read(o, r, pending);
}

int IcsImport::TakeBack(FileTransaction& tx, int code, IcsImportResult& r) {
  const bool restored = tx.Rollback();
  book_.db.ClearRecords();
  (void)book_.periods.LoadTable();
  book_.periods.LoadAll();
  if (book_.host) book_.host->ReloadView();
  if (!restored) {
    std::string files;
    for (const std::string& f : tx.Unrestored()) files += "\n" + cp932::FromUtf8(f);
    prompter_.Error("取り込む前の状態に戻せなかったファイルがあります。"_sj + files + "\n" +
                    "取り込む前のデータ: "_sj + cp932::FromUtf8(r.safetyCopy));
    return r.code = kNotRestored;
  }
  if (code == kSaveFailed) prompter_.Warn("取り込みを取り止めました。データは取り込む前のままです。"_sj);
  return r.code = code;
}

int IcsImport::Run(const IcsImportOptions& o, IcsImportResult* out) {
  IcsImportResult local;
  IcsImportResult& r = out ? *out : local;
  r = IcsImportResult{};
  auto fail = [&](int code, const std::string& text) {
    prompter_.Warn(text);
    return r.code = code;
  };
  if (o.path.empty()) return fail(kNoPath, "ファイル名を入力してください。"_sj);
  r.path = ResolvePath(o.path);
  if (!fileops::IsFile(r.path)) return fail(kNotFound, "ファイルが見つかりません。"_sj);
  if (o.interactive && !prompter_.Confirm("データを取り込みます。よろしいですか？"_sj))
    return r.code = kCancelled;

  // the whole book first, for the safety copy and for finding earlier imports
  if (book_.periods.AdoptUnlisted() < 0) return r.code = kNoSafetyCopy;
  book_.periods.LoadAll();
  if (!book_.periods.AllReadWhole("取り込み"_sj)) return r.code = kNoSafetyCopy;
  CMyImport csv(book_, prompter_, clock_);
  r.safetyCopy = csv.SafetyCopyPath();
  if (!fileops::Exists(r.safetyCopy)) {
    if (csv.WriteSafetyCopy(r.safetyCopy) == 0)
      r.safetyCopyWritten = true;
    else
      prompter_.Warn("バックアップ出来ませんでした。"_sj);
  }

  std::vector<Pending> pending;
  int rc = Read(o, r, pending);
  if (rc == kCheckFailed) {
    std::string list;
    const size_t shown = std::min<size_t>(r.refused.size(), 20);
    for (size_t i = 0; i < shown; ++i) list += "\n" + r.refused[i];
    if (shown < r.refused.size())
      list += "\n"_sj + "ほか "_sj + Num(static_cast<int>(r.refused.size() - shown)) + "件"_sj;
    return fail(kCheckFailed, "取り込めない予定があります。何も取り込みませんでした。"_sj + list);
  }
  if (rc != kOk) return rc;
  if (o.interactive) {
    const std::string plan = "予定(VEVENT): "_sj + Num(r.events) + "件\n"_sj + "追加: "_sj + Num(r.added) +
                             "件 / 更新: "_sj + Num(r.updated) + "件 / 期間外・取消のため読み飛ばし: "_sj +
                             Num(r.outside) + "件\n"_sj + "期間: "_sj + civil::Ymd(o.from) + " ～ "_sj +
                             civil::Ymd(o.to) + "\nこの内容で取り込みますか？"_sj;
    if (prompter_.Show(plan, "確認"_sj, PromptIcon::Question, PromptButtons::OkCancel) != kAnswerOk)
      return r.code = kCancelled;
  }

  FileTransaction tx;
  const std::string divoutPath = book_.global.DivisionPath("divout.jpr");
  const std::string uidPath = book_.global.DivisionPath(kUidFile);
  for (const std::string& path : {divoutPath, uidPath})
    if (!tx.Protect(path)) {
      prompter_.Warn("取り込みの準備に失敗しました。"_sj + "\n" + cp932::FromUtf8(path));
      return TakeBack(tx, kSaveFailed, r);
    }
  std::vector<UidLine> uidLines;
  std::string why;
  if (!ReadUids(uidLines, why)) return TakeBack(tx, kSaveFailed, r);
  std::map<std::string, size_t> uidAt;
  for (size_t i = 0; i < uidLines.size(); ++i) uidAt[uidLines[i].uid] = i;

  CMyDB& db = book_.db;
  const std::string today = civil::Ymd(clock_.Today());
  std::set<std::string> touched;
  std::set<std::pair<std::string, int>> given;
  auto stop = [&](const Pending& p, const std::string& text) {
    prompter_.Warn(p.name + ": "_sj + text);
    return TakeBack(tx, kSaveFailed, r);
  };
  for (const Pending& p : pending) {
    const std::string period = CMyPeriods::PeriodOf(p.key);
    std::string serial;
    if (p.row >= 0) {
      const std::string oldKey = db.Value(memo::kKey, p.row);
      touched.insert(CMyPeriods::PeriodOf(oldKey));
      serial = db.Value(memo::kLineSerial, p.row);
      if (db.Load(p.row) != 0) return stop(p, "更新する記事が見つかりません。"_sj);
      if (oldKey != p.key) serial.clear();  // it moves to another day: a serial of that day
    } else {
      db.New();
      if (db.SetValue(memo::kKubun, "0") != 0 || db.SetValue(memo::kCreated, today) != 0)
        return stop(p, "不正な値が入力されました。"_sj);
    }
    if (serial.empty()) {
      const int s = book_.periods.RegisterKey(period, p.key, false);
      if (s < 1 || s > 99999 || !given.insert({period, s}).second)
        return stop(p, "不正な行連番が入力されました。"_sj);
      serial = Serial5(s);
    }
    if (db.SetValue(memo::kKey, p.key) != 0 || db.SetValue(memo::kWeekday, Num(p.weekday)) != 0 ||
        db.SetValue(memo::kLineSerial, serial) != 0 || db.SetValue(memo::kUpdated, today) != 0)
      return stop(p, "不正な年月日が入力されました。"_sj);
    for (const auto& [field, value] : p.values)
      if (db.SetValue(field, value) != 0) return stop(p, "不正な値が入力されました。"_sj);
    if (db.SetValue(memo::kNoData, p.data ? "1" : "0") != 0) return stop(p, "不正な「データ有無」です。"_sj);
    const std::string created = db.EditValue(memo::kCreated);
    if (db.Store() != 0) return stop(p, "不正な値が入力されました。"_sj);
    touched.insert(period);
    UidLine line{p.uid, p.key, serial, created};
    if (auto it = uidAt.find(p.uid); it != uidAt.end()) {
      uidLines[it->second] = line;
    } else {
      uidAt[p.uid] = uidLines.size();
      uidLines.push_back(line);
    }
  }
  for (const std::string& period : touched) {
    const std::string path = book_.global.DivisionPath(CMyPeriods::FileName(period));
    if (!tx.Protect(path)) {
      prompter_.Warn("取り込みの準備に失敗しました。"_sj + "\n" + cp932::FromUtf8(path));
      return TakeBack(tx, kSaveFailed, r);
    }
  }
  // the UIDs first: after a crash before the months they name entries that
  // are not there, which the next import passes over
  std::string table = "# UID\tkey\tserial\tcreated\n";
  for (const UidLine& u : uidLines) table += u.uid + "\t" + u.key + "\t" + u.serial + "\t" + u.created + "\n";
  if (!fileops::WriteAtomic(uidPath, table)) {
    prompter_.Warn("保存に失敗しました。"_sj + "\n" + cp932::FromUtf8(uidPath));
    return TakeBack(tx, kSaveFailed, r);
  }
  if (book_.periods.SavePeriods(std::vector<std::string>(touched.begin(), touched.end()), {}) != 0)
    return TakeBack(tx, kSaveFailed, r);
  tx.Commit();
  if (book_.host) book_.host->ReloadView();
  if (o.interactive)
    prompter_.Show("正常にインポートしました。"_sj + "\n"_sj + "追加: "_sj + Num(r.added) + "件 / 更新: "_sj +
                       Num(r.updated) + "件"_sj,
                   "ひとこと帳"_sj, PromptIcon::Information, PromptButtons::Ok);
  return r.code = kOk;
}
