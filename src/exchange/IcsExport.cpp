#include "exchange/IcsExport.h"

#include <libical/ical.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>

#include "calendar/HolidayCalendar.h"
#include "exchange/IcsCalendar.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

struct CalendarFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Calendar = std::unique_ptr<icalcomponent, CalendarFree>;

// CP932 with CR LF line ends to the UTF-8 with LF ends iCalendar text holds.
std::string Out(std::string_view sj) {
  std::string u = cp932::ToUtf8(sj), out;
  out.reserve(u.size());
  for (size_t i = 0; i < u.size(); ++i) {
    if (u[i] == '\r') {
      out += '\n';
      if (i + 1 < u.size() && u[i + 1] == '\n') ++i;
    } else {
      out += u[i];
    }
  }
  return out;
}

icaltimetype DateOf(CivilDate d) {
  icaltimetype t = icaltime_null_date();
  t.year = d.year;
  t.month = d.month;
  t.day = d.day;
  return t;
}

icaltimetype TimeOf(CivilDate d, int minutes, const icaltimezone* zone) {
  icaltimetype t = icaltime_null_time();
  t.year = d.year;
  t.month = d.month;
  t.day = d.day;
  t.hour = minutes / 60;
  t.minute = minutes % 60;
  t.zone = zone;
  return t;
}

// DTSTART or DTEND as a wall-clock time of the zone, by its plain name:
// libical would name its built-in zones "/<vendor>/Asia/Tokyo", which other
// calendars do not recognise as the zone they know
icalproperty* ZonedTime(icalproperty* (*make)(icaltimetype), CivilDate d, int minutes,
                        const std::string& zone) {
  icalproperty* p = make(TimeOf(d, minutes, nullptr));
  icalproperty_add_parameter(p, icalparameter_new_tzid(zone.c_str()));
  return p;
}

Calendar NewCalendar(const char* name) {
  Calendar cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
  icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
  icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//JotBox//ひとこと帳//JA"));
  icalcomponent_add_property(cal.get(), icalproperty_new_calscale("GREGORIAN"));
  icalproperty* n = icalproperty_new_x(name);
  icalproperty_set_x_name(n, "X-WR-CALNAME");
  icalcomponent_add_property(cal.get(), n);
  return cal;
}

std::string TextOf(icalcomponent* cal) {
  char* text = icalcomponent_as_ical_string_r(cal);
  std::string out = text ? text : "";
  icalmemory_free_buffer(text);
  return out;
}

}  // namespace

IcsExport::IcsExport(const ExchangeBook& book, Prompter& prompter, const Clock& clock)
    : book_(book), prompter_(prompter), clock_(clock) {}

std::string IcsExport::ResolvePath(const std::string& typed) const {
  std::string path = typed;
  if (path.find('/') == std::string::npos) path = book_.global.UserPath("") + "/" + path;
  if (fileops::BaseName(path).find('.') == std::string::npos) path += ".ics";
  return path;
}

std::string IcsExport::Text(const IcsExportOptions& o, IcsExportResult* out) const {
  IcsExportResult local;
  IcsExportResult& r = out ? *out : local;
  if (book_.byPage) return r.code = kByPage, std::string();
  const std::string zoneName = o.zone.empty() ? ics::SystemZone() : o.zone;
  if (!ics::KnownZone(zoneName)) return r.code = kUnknownZone, std::string();
  icaltimezone* zone = icaltimezone_get_builtin_timezone(zoneName.c_str());

  const CMyDB& db = book_.db;
  std::vector<int> rows;
  if (o.allRecords) {
    CMyRec all(&book_.db);
    if (all.SetSort("キー項目,行連番"_sj, false) == 0 && all.Select(nullptr) >= 0)
      rows.assign(all.Items(), all.Items() + all.Count());
  } else {
    rows = o.rows;
  }
  const std::vector<ScreenField>& fields = book_.fields;
  std::vector<int> columns;  // table field of each screen field, -1 none
  for (const ScreenField& f : fields) columns.push_back(db.FindField(f.field));
  const ics::TimeFields times = ics::TimeFieldsOf(fields);
  const int main = ics::MainField(fields);
  auto value = [&](int screenField, int row) -> std::string_view {
    if (screenField < 0 || columns[static_cast<size_t>(screenField)] < 0) return {};
    const char* v = db.Value(columns[static_cast<size_t>(screenField)], row);
    return v ? v : "";
  };

  // the book's alarms by date and line serial
  std::map<std::pair<std::string, std::string>, std::vector<const AlarmEntry*>> alarms;
  for (const AlarmEntry& a : o.alarms)
    if (a.division == book_.global.DivisionFolder()) alarms[{a.date, a.serial}].push_back(&a);
  // the CR001/CR002 values each kind gives a record
  std::vector<std::pair<std::string, std::string>> kindColours;
  for (const ColorKind& k : o.kinds) {
    std::string cr1, cr2;
    CMyColorKinds::Apply(k, cr1, cr2);
    kindColours.emplace_back(cr1, cr2);
  }

  const CivilDate today = clock_.Today();
  const TimeOfDay now = clock_.Now();
  // the clock tells the machine's own local time, whatever zone the book's
  // times are written in
  std::tm wall{};
  wall.tm_year = today.year - 1900;
  wall.tm_mon = today.month - 1;
  wall.tm_mday = today.day;
  wall.tm_hour = now.hour;
  wall.tm_min = now.minute;
  wall.tm_sec = now.second;
  wall.tm_isdst = -1;
  const icaltimetype stamp =
      icaltime_from_timet_with_zone(std::mktime(&wall), 0, icaltimezone_get_utc_timezone());

  Calendar cal = NewCalendar(Out(book_.global.DivisionFolder()).c_str());
  // the zone's rules from the first entry on: the history before it only
  // makes the file longer, and some readers stumble over old rules
  std::string first = "9999/12/31";
  for (const int row : rows)
    if (row >= 0 && row < db.RecordCount() && !db.IsDeleted(row))
      first = std::min(first, std::string(db.Value(memo::kKey, row)));
  // from the new year of the first entry's year (1970 at the latest)
  CivilDate since{1970, 1, 1};
  if (CivilDate d; civil::ParseYmd(first, d) && d.year < 1970) since = {d.year, 1, 1};
  icalcomponent* vtz = icalcomponent_new_clone(icaltimezone_get_component(zone));
  icaltimetype cut = DateOf(since);
  cut.is_date = 0;
  cut.zone = icaltimezone_get_utc_timezone();
  icaltimezone_truncate_vtimezone(vtz, cut, icaltime_null_time(), 1);
  icalproperty_set_tzid(icalcomponent_get_first_property(vtz, ICAL_TZID_PROPERTY), zoneName.c_str());
  icalcomponent_add_component(cal.get(), vtz);
  for (const int row : rows) {
    if (row < 0 || row >= db.RecordCount() || db.IsDeleted(row)) continue;
    const std::string key = db.Value(memo::kKey, row);
    const std::string serial = db.Value(memo::kLineSerial, row);
    CivilDate date;
    if (!civil::ParseYmd(key, date)) continue;  // not an entry of a date
    icalcomponent* ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_set_uid(ev, ics::Uid(book_.global.DivisionFolder(), key, serial).c_str());
    icalcomponent_set_dtstamp(ev, stamp);
    // a time that is no time of day ("25:30") leaves an all-day event; the
    // text still goes out among the fields
    const int start = ics::Minutes(std::string(value(times.start, row)));
    const int end = ics::Minutes(std::string(value(times.end, row)));
    int startMinute = 0;
    if (start < 0) {
      icalcomponent_set_dtstart(ev, DateOf(date));
      icalcomponent_set_dtend(ev, DateOf(civil::AddDays(date, 1)));
    } else {
      startMinute = start;
      icalcomponent_add_property(ev, ZonedTime(icalproperty_new_dtstart, date, start, zoneName));
      // an end before the start is on the next day (a night shift)
      if (end >= 0)
        icalcomponent_add_property(
            ev,
            ZonedTime(icalproperty_new_dtend, end < start ? civil::AddDays(date, 1) : date, end, zoneName));
    }
    std::string summary, description;
    const std::string mainText = Out(value(main, row));
    const size_t br = mainText.find('\n');
    summary = mainText.substr(0, br);
    if (br != std::string::npos) description = mainText.substr(br + 1);
    for (size_t f = 0; f < fields.size(); ++f) {
      const int at = static_cast<int>(f);
      // a time that went into DTSTART/DTEND is not repeated; one that could not stays as text
      if (at == main || (at == times.start && start >= 0) || (at == times.end && start >= 0 && end >= 0))
        continue;
      const std::string_view v = value(at, row);
      if (v.empty()) continue;
      if (!description.empty() && description.back() != '\n') description += '\n';
      description += Out(fields[f].caption) + ": " + Out(v);
    }
    if (summary.empty()) summary = description.substr(0, description.find('\n'));
    icalcomponent_set_summary(ev, summary.c_str());
    if (!description.empty()) icalcomponent_set_description(ev, description.c_str());
    const char* cr1 = db.Value(memo::kCr001, row);
    const char* cr2 = db.Value(memo::kCr002, row);
    for (size_t k = 0; k < kindColours.size(); ++k) {
      if ((cr1 ? cr1 : "") != kindColours[k].first || (cr2 ? cr2 : "") != kindColours[k].second) continue;
      icalcomponent_add_property(ev, icalproperty_new_categories(Out(o.kinds[k].name).c_str()));
      break;
    }
    if (auto it = alarms.find({key, serial}); it != alarms.end()) {
      for (const AlarmEntry* a : it->second) {
        const int at = ics::Minutes(a->time);
        if (at < 0) continue;
        icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icalcomponent_add_property(alarm, icalproperty_new_description(Out(a->message).c_str()));
        // relative to the start, so a calendar that moves the event moves its alarm
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int((at - startMinute) * 60);
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_component(ev, alarm);
        ++r.alarms;
      }
    }
    icalcomponent_add_component(cal.get(), ev);
    ++r.events;
  }
  r.code = kOk;
  return TextOf(cal.get());
}

std::string IcsExport::DaysText(const IcsExportOptions& o) const {
  Calendar cal = NewCalendar("祝日・記念日");
  for (const IcsDay& d : o.days) {
    icalcomponent* ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    char uid[64];
    std::snprintf(uid, sizeof uid, "%s-%04d%02d%02d@jotbox", d.anniversary ? "kinen" : "holiday", d.date.year,
                  d.date.month, d.date.day);
    icalcomponent_set_uid(ev, uid);
    icalcomponent_set_dtstart(ev, DateOf(d.date));
    icalcomponent_set_dtend(ev, DateOf(civil::AddDays(d.date, 1)));
    icalcomponent_set_summary(ev, Out(d.name).c_str());
    icalcomponent_add_property(ev, icalproperty_new_categories(d.anniversary ? "記念日" : "祝日"));
    icalcomponent_add_property(ev, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    icalcomponent_add_component(cal.get(), ev);
  }
  return TextOf(cal.get());
}

int IcsExport::Run(const IcsExportOptions& o, IcsExportResult* out) {
  IcsExportResult local;
  IcsExportResult& r = out ? *out : local;
  r = IcsExportResult{};
  if (o.path.empty()) {
    prompter_.Warn("ファイル名を入力してください。"_sj);
    return r.code = kNoPath;
  }
  r.path = ResolvePath(o.path);
  if (o.allRecords && !book_.byPage) {
    // every month, not the ones the view happened to load; a month that did
    // not read whole would be missing from the calendar without a word
    if (book_.periods.AdoptUnlisted() < 0) return r.code = kWriteFailed;
    book_.periods.LoadAll();
    if (!book_.periods.AllReadWhole("書き出し"_sj)) return r.code = kWriteFailed;
    if (book_.host) book_.host->ReloadView();
  }
  const std::string text = Text(o, &r);
  if (r.code == kByPage) {
    prompter_.Warn("ページと行で書く分類には日付がないため、カレンダーに書き出せません。"_sj);
    return r.code;
  }
  if (r.code == kUnknownZone) {
    prompter_.Warn("タイムゾーンが分かりません: "_sj + cp932::FromUtf8(o.zone));
    return r.code;
  }
  if (!fileops::WriteAtomic(r.path, text)) {
    prompter_.Warn("ファイルを書き込めませんでした。"_sj + "\n" + cp932::FromUtf8(r.path));
    return r.code = kWriteFailed;
  }
  if (!o.daysPath.empty()) {
    r.daysPath = ResolvePath(o.daysPath);
    if (!fileops::WriteAtomic(r.daysPath, DaysText(o))) {
      prompter_.Warn("ファイルを書き込めませんでした。"_sj + "\n" + cp932::FromUtf8(r.daysPath));
      return r.code = kWriteFailed;
    }
    r.days = static_cast<int>(o.days.size());
  }
  if (o.interactive)
    prompter_.Show("カレンダーに "_sj + std::to_string(r.events) + "件を書き出しました。"_sj, "ひとこと帳"_sj,
                   PromptIcon::Information, PromptButtons::Ok);
  return r.code = kOk;
}

std::vector<IcsDay> IcsExport::DaysOf(HolidayCalendar& calendar, CivilDate from, CivilDate to) {
  std::vector<IcsDay> out;
  for (long d = civil::DaysFrom(from); d <= civil::DaysFrom(to); ++d) {
    const CivilDate date = civil::FromDays(d);
    const HolidayEntry* holiday = nullptr;
    const HolidayEntry* anniversary = nullptr;
    calendar.Lookup(date, holiday, anniversary);
    if (holiday) out.push_back({date, holiday->name, false});
    if (anniversary) out.push_back({date, anniversary->name, true});
  }
  return out;
}
