// The calendar export and import: what another calendar sees of a book
// (read back by libical and by a second, independent reader), what comes
// back into a book, recurrences over a period, updates by UID, refusals
// that change nothing, and a crash in the middle.
#include <gtest/gtest.h>
#include <libical/ical.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "exchange/BookFixture.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "shell/CivilDays.h"

using bookfix::Book;

namespace {

// A schedule book: start and end time, place, the plan.
void MakeSchedule(Book& b) {
  using bookfix::Ctl;
  b.controls = {Ctl(jsc::kText, 0, "TIME_F", "開始", jsc::kTime),
                Ctl(jsc::kText, 1, "TIME_T", "終了", jsc::kTime), Ctl(jsc::kCombo, 2, "DAT001", "場所"),
                Ctl(jsc::kMemo, 0, "MEM001", "予定")};
  jsc::InputDef def;
  def.header.formWidth = 400;
  def.header.inputHeight = 600;
  def.header.controlCount = static_cast<int>(b.controls.size());
  def.controls = b.controls;
  ASSERT_TRUE(b.form.BuildForm(def));
}

ColorKind Red() {
  ColorKind red;
  red.name = "赤"_sj;
  red.useText = true;
  red.textColor = 0x0000FF;
  return red;
}

std::string Run(const std::string& command) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return "<popen failed>";
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  return ::pclose(p) == 0 ? out : "<failed> " + out;
}

std::string Python(const std::string& args) {
  return Run("/usr/bin/python3 " JBX_SOURCE_DIR "/tests/exchange/ics_read.py " + args + " 2>&1");
}

// The same lines the second reader prints, read with libical.
std::string When(icaltimetype t) {
  if (icaltime_is_null_time(t)) return "";
  char buf[64];
  if (t.is_date) {
    std::snprintf(buf, sizeof buf, "D%04d%02d%02d", t.year, t.month, t.day);
  } else {
    std::snprintf(buf, sizeof buf, "T%lld@%s", static_cast<long long>(icaltime_as_timet_with_zone(t, t.zone)),
                  t.zone ? icaltimezone_get_tzid(const_cast<icaltimezone*>(t.zone)) : "UTC");
  }
  return buf;
}

std::string Libical(const std::string& text) {
  icalcomponent* cal = icalparser_parse_string(text.c_str());
  if (!cal) return "<unreadable>";
  std::string zones;
  for (icalcomponent* z = icalcomponent_get_first_component(cal, ICAL_VTIMEZONE_COMPONENT); z;
       z = icalcomponent_get_next_component(cal, ICAL_VTIMEZONE_COMPONENT))
    zones += (zones.empty() ? "" : ",") +
             std::string(icalproperty_get_tzid(icalcomponent_get_first_property(z, ICAL_TZID_PROPERTY)));
  std::vector<std::string> rows;
  for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
       e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    std::string description = text(icalcomponent_get_description(e)), d;
    for (char c : description) d += c == '\n' ? std::string("\\n") : std::string(1, c);
    icalproperty* cat = icalcomponent_get_first_property(e, ICAL_CATEGORIES_PROPERTY);
    std::string triggers;
    for (icalcomponent* a = icalcomponent_get_first_component(e, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(e, ICAL_VALARM_COMPONENT))
      triggers +=
          (triggers.empty() ? "" : ",") +
          std::to_string(icaldurationtype_as_int(
              icalproperty_get_trigger(icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY)).duration));
    rows.push_back(
        text(icalcomponent_get_uid(e)) + "|" + When(icalcomponent_get_dtstart(e)) + "|" +
        (icalcomponent_get_first_property(e, ICAL_DTEND_PROPERTY) ? When(icalcomponent_get_dtend(e)) : "") +
        "|" + text(icalcomponent_get_summary(e)) + "|" + d + "|" +
        (cat ? text(icalproperty_get_categories(cat)) : "") + "|" + triggers);
  }
  icalcomponent_free(cal);
  std::sort(rows.begin(), rows.end());
  std::string out = "ZONES " + zones + "\n";
  for (size_t i = 0; i < rows.size(); ++i) out += rows[i] + (i + 1 < rows.size() ? "\n" : "");
  return out + "\n";
}

// Seconds since 1970 of a Tokyo wall-clock time (no daylight saving since 1951).
std::string Tokyo(CivilDate d, int h, int m) {
  return "T" + std::to_string(civil::DaysFrom(d) * 86400L + h * 3600 + m * 60 - 9 * 3600) + "@Asia/Tokyo";
}

// A book with the kinds of entry a schedule holds; the alarm goes to the one at 14:00.
void FillSchedule(Book& b, IcsExportOptions& o) {
  MakeSchedule(b);
  ASSERT_TRUE(b.Add("2026/03/02",
                    {{"開始", "09:30"},
                     {"終了", "10:00"},
                     {"場所", "会議室"},
                     {"予定", "定例会議\r\n議題: 予算\r\n資料持参"}},
                    true));
  ASSERT_TRUE(b.Add("2026/03/03", {{"予定", "誕生日"}}));
  ASSERT_TRUE(b.Add("2026/03/04", {{"開始", "23:00"}, {"終了", "01:00"}, {"予定", "夜勤"}}));
  ASSERT_TRUE(b.Add("2026/03/05", {{"開始", "14:00"}, {"予定", "歯医者"}}));
  o.zone = "Asia/Tokyo";
  o.kinds = {Red()};
  o.interactive = false;
  // serials count within a month
  o.alarms = {{1, "d", "2026/03/05", "00004", "13:45", "歯医者の15分前"_sj, 0},
              {1, "other", "2026/03/05", "00004", "13:00", "別の分類"_sj, 0}};
}

std::string Sj(const char* utf8) { return cp932::FromUtf8(utf8); }

}  // namespace

TEST(IcsExport, TwoReadersSeeTheSameEventsFieldsAndAlarms) {
  Book b;
  IcsExportOptions o;
  FillSchedule(b, o);
  ExchangeBook eb = b.Exchange();
  IcsExport ex(eb, b.prompter, b.clock);
  o.path = b.dir / "out.ics";
  IcsExportResult r;
  ASSERT_EQ(IcsExport::kOk, ex.Run(o, &r));
  EXPECT_EQ(4, r.events);
  EXPECT_EQ(1, r.alarms);
  const std::string expected =
      "ZONES Asia/Tokyo\n"
      "d-20260302-00001@jotbox|" +
      Tokyo({2026, 3, 2}, 9, 30) + "|" + Tokyo({2026, 3, 2}, 10, 0) +
      "|定例会議|議題: 予算\\n資料持参\\n場所: 会議室|赤|\n"
      "d-20260303-00002@jotbox|D20260303|D20260304|誕生日|||\n"
      "d-20260304-00003@jotbox|" +
      Tokyo({2026, 3, 4}, 23, 0) + "|" + Tokyo({2026, 3, 5}, 1, 0) +
      "|夜勤|||\n"
      "d-20260305-00004@jotbox|" +
      Tokyo({2026, 3, 5}, 14, 0) + "||歯医者|||-900\n";
  std::string text;
  ASSERT_TRUE(fileops::ReadAll(r.path, text));
  EXPECT_EQ(expected, Libical(text));
  EXPECT_EQ(expected, Python("read " + r.path));
  // the same entries keep their UIDs in a later export
  ASSERT_TRUE(b.Add("2026/03/02", {{"予定", "追加"}}));
  EXPECT_NE(std::string::npos, ex.Text(o).find("UID:d-20260302-00001@jotbox"));
  EXPECT_NE(std::string::npos, ex.Text(o).find("UID:d-20260302-00005@jotbox"));
}

TEST(IcsImport, WhatGoesOutComesBackThroughEitherWriter) {
  Book a;
  IcsExportOptions o;
  FillSchedule(a, o);
  ExchangeBook ea = a.Exchange();
  o.path = a.dir / "out.ics";
  ASSERT_EQ(IcsExport::kOk, IcsExport(ea, a.prompter, a.clock).Run(o));
  ASSERT_EQ("", Python("rewrite " + o.path + " " + (a.dir / "python.ics")));
  for (const std::string& file : {o.path, a.dir / "python.ics"}) {
    SCOPED_TRACE(file);
    Book b(false, "e");
    MakeSchedule(b);
    ExchangeBook eb = b.Exchange();
    IcsImport im(eb, b.prompter, b.clock);
    IcsImportOptions io{file, {2026, 1, 1}, {2026, 12, 31}, "Asia/Tokyo", im.DefaultMapping(), false};
    IcsImportResult r;
    ASSERT_EQ(IcsImport::kOk, im.Run(io, &r))
        << bookfix::Utf8(b.prompter.Shown().empty() ? "" : b.prompter.Shown().back().text);
    EXPECT_EQ(4, r.added);
    // every field as it was; the colour, like the alarm, stays with the book
    auto fields = [](Book& x) {
      std::vector<std::vector<std::string>> out;
      for (const auto& rec : x.OnDisk())
        out.push_back({rec[memo::kKey], rec[memo::kTimeF], rec[memo::kTimeT], rec[memo::kDat001],
                       rec[memo::kMem001], rec[memo::kMem001L]});
      return out;
    };
    EXPECT_EQ(fields(a), fields(b));
  }
}

TEST(IcsImport, RecurrencesUpdatesAndRefusals) {
  auto cal = [](const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + events + "END:VCALENDAR\r\n";
  };
  const std::string weekly =
      cal("BEGIN:VEVENT\r\nUID:w1\r\nDTSTART;TZID=Asia/Tokyo:20270104T100000\r\nDTEND;TZID=Asia/"
          "Tokyo:20270104T110000\r\n"
          "RRULE:FREQ=WEEKLY;UNTIL=20271231T235959Z\r\nEXDATE;TZID=Asia/Tokyo:20270111T100000\r\n"
          "SUMMARY:週例\r\nEND:VEVENT\r\n"
          "BEGIN:VEVENT\r\nUID:w1\r\nRECURRENCE-ID;TZID=Asia/Tokyo:20270118T100000\r\n"
          "DTSTART;TZID=Asia/Tokyo:20270118T130000\r\nSUMMARY:週例(午後)\r\nEND:VEVENT\r\n"
          "BEGIN:VEVENT\r\nUID:u1\r\nDTSTART:20270301T010000Z\r\nSUMMARY:UTCの予定\r\nLOCATION:本社\r\nEND:"
          "VEVENT\r\n"
          "BEGIN:VEVENT\r\nUID:old\r\nDTSTART;VALUE=DATE:20250101\r\nSUMMARY:期間外\r\nEND:VEVENT\r\n");
  const std::string twice =
      cal("BEGIN:VEVENT\r\nUID:t1\r\nSEQUENCE:1\r\nDTSTART;VALUE=DATE:20270505\r\nSUMMARY:新しい版\r\nEND:"
          "VEVENT\r\n"
          "BEGIN:VEVENT\r\nUID:t1\r\nSEQUENCE:0\r\nDTSTART;VALUE=DATE:20270505\r\nSUMMARY:古い版\r\nEND:"
          "VEVENT\r\n");
  const std::string sushi =
      cal("BEGIN:VEVENT\r\nUID:s1\r\nDTSTART;VALUE=DATE:20270601\r\nSUMMARY:ok\r\nEND:VEVENT\r\n"
          "BEGIN:VEVENT\r\nUID:s2\r\nDTSTART;VALUE=DATE:20270602\r\nSUMMARY:寿司\xF0\x9F\x8D\xA3\r\nEND:"
          "VEVENT\r\n");
  struct Case {
    const char* name;
    std::string text;
    int code;
    int added, updated, outside;
    const char* message;  // part of the last message, "" none
  } cases[] = {
      {"weekly with EXDATE and a moved one", weekly, IcsImport::kOk, 51 + 1, 0, 1, ""},
      {"one event twice in a file", twice, IcsImport::kOk, 1, 0, 0, ""},
      {"a character CP932 lacks", sushi, IcsImport::kCheckFailed, 1, 0, 0,
       "寿司[U+1F363]」 2027/06/02: 文字 U+1F363 は保存できません（予定）"},
      {"cut short", weekly.substr(0, weekly.size() / 2), IcsImport::kDamaged, 0, 0, 0,
       "END:VCALENDAR で終わって"},
      {"not a calendar", "hello\r\n", IcsImport::kDamaged, 0, 0, 0, "iCalendar のファイルとして読めません"},
      {"a line that is no property",
       cal("BEGIN:VEVENT\r\nUID:x\r\nDTSTART;VALUE=DATE:20270101\r\n"
           "this line is broken\r\nEND:VEVENT\r\n"),
       IcsImport::kDamaged, 0, 0, 0, "iCalendar のファイルとして読めません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Book b;
    MakeSchedule(b);
    ASSERT_TRUE(b.Add("2027/01/04", {{"予定", "元からの記事"}}));
    WriteBytes(b.dir / "in.ics", c.text);
    const auto files = b.Files();
    ExchangeBook eb = b.Exchange();
    IcsImport im(eb, b.prompter, b.clock);
    IcsImportOptions io{b.dir / "in.ics", {2027, 1, 1},        {2027, 12, 31},
                        "Asia/Tokyo",     im.DefaultMapping(), false};
    IcsImportResult r;
    ASSERT_EQ(c.code, im.Run(io, &r));
    if (*c.message) {
      EXPECT_NE(std::string::npos, b.prompter.ShownUtf8().back().find(c.message))
          << b.prompter.ShownUtf8().back();
    }
    if (c.code != IcsImport::kOk) {
      EXPECT_EQ(files, b.Files()) << "nothing written";
      continue;
    }
    EXPECT_EQ(c.added, r.added);
    EXPECT_EQ(c.updated, r.updated);
    EXPECT_EQ(c.outside, r.outside);
    const auto once = b.OnDisk();
    EXPECT_EQ(static_cast<size_t>(c.added) + 1, once.size());
    // the same file again updates every event and adds none
    ASSERT_EQ(IcsImport::kOk, im.Run(io, &r));
    EXPECT_EQ(0, r.added);
    EXPECT_EQ(c.added, r.updated);
    EXPECT_EQ(once.size(), b.OnDisk().size());
  }
}

TEST(IcsImport, TheExpandedWeekAndTheTextLandWhereTheyShould) {
  Book b;
  MakeSchedule(b);
  WriteBytes(b.dir / "in.ics",
             "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:w\r\nDTSTART:20270104T010000Z\r\n"
             "DURATION:PT90M\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\nEXDATE:20270111T010000Z\r\nSUMMARY:朝会\r\n"
             "DESCRIPTION:一行目\\n二行目\r\nLOCATION:本社\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  ExchangeBook eb = b.Exchange();
  IcsImport im(eb, b.prompter, b.clock);
  IcsImportOptions io{b.dir / "in.ics", {2027, 1, 1},        {2027, 12, 31},
                      "Asia/Tokyo",     im.DefaultMapping(), false};
  ASSERT_EQ(IcsImport::kOk, im.Run(io));
  std::vector<std::vector<std::string>> got;
  for (const auto& rec : b.OnDisk())
    got.push_back(
        {rec[memo::kKey], rec[memo::kTimeF], rec[memo::kTimeT], rec[memo::kMem001], rec[memo::kMem001L]});
  const std::vector<std::string> mon4 = {"2027/01/04", "10:00", "11:30", Sj("朝会\r\n一行目\r\n二行目"), "3"};
  std::vector<std::string> mon18 = mon4;
  mon18[0] = "2027/01/18";
  EXPECT_EQ((std::vector<std::vector<std::string>>{mon4, mon18}), got);
  EXPECT_EQ(Sj("本社"), b.OnDisk()[0][memo::kDat001]);
  // a table of UIDs cut short is not taken as empty: nothing is imported twice
  const std::string uids = b.Path(IcsImport::kUidFile);
  std::string table;
  ASSERT_TRUE(fileops::ReadAll(uids, table));
  WriteBytes(uids, table.substr(0, table.size() - 3));
  const auto files = b.Files();
  EXPECT_EQ(IcsImport::kDamaged, im.Run(io));
  EXPECT_EQ(files, b.Files());
}

TEST(IcsImport, ACrashAtAnyRenameLeavesTheBookAsItWasOrAsImported) {
  std::set<std::string> seen;
  for (int nth = 1; nth <= 8; ++nth) {
    SCOPED_TRACE(nth);
    Book b;
    MakeSchedule(b);
    ASSERT_TRUE(b.Add("2027/01/10", {{"予定", "a"}}));
    ASSERT_TRUE(b.Add("2027/02/10", {{"予定", "b"}}));
    WriteBytes(
        b.dir / "in.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:x\r\nDTSTART;VALUE=DATE:20270111\r\n"
        "SUMMARY:x\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:y\r\nDTSTART;VALUE=DATE:20270501\r\nSUMMARY:y\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n");
    WriteBytes(b.Path("BK20260314.csv"), "made earlier");
    const auto before = b.OnDisk();
    const pid_t pid = ::fork();
    if (pid == 0) {
      fileops::InjectCrash(fileops::Fault::kRename, nth);
      ExchangeBook eb = b.Exchange();
      IcsImport im(eb, b.prompter, b.clock);
      IcsImportOptions io{b.dir / "in.ics", {2027, 1, 1},        {2027, 12, 31},
                          "Asia/Tokyo",     im.DefaultMapping(), false};
      ::_exit(im.Run(io) == IcsImport::kOk ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 70 || WEXITSTATUS(status) == 0));
    std::vector<std::string> done;
    ASSERT_TRUE(fileops::RecoverFolder(b.Div(), done));
    const auto after = b.OnDisk();
    if (after == before) {
      seen.insert("old");
    } else {
      seen.insert("new");
      EXPECT_EQ(4u, after.size());
    }
    // whatever the crash left, importing again leaves each event once
    b.db.ClearRecords();
    ASSERT_GE(b.periods.LoadTable(), 0);
    b.periods.LoadAll();
    ExchangeBook eb = b.Exchange();
    IcsImport im(eb, b.prompter, b.clock);
    IcsImportOptions io{b.dir / "in.ics", {2027, 1, 1},        {2027, 12, 31},
                        "Asia/Tokyo",     im.DefaultMapping(), false};
    ASSERT_EQ(IcsImport::kOk, im.Run(io));
    EXPECT_EQ(4u, b.OnDisk().size());
  }
  EXPECT_EQ((std::set<std::string>{"new", "old"}), seen);
}
