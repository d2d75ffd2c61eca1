// The calendar export and import through their models: a schedule book of
// 36,500 entries (a hundred years' worth of ten a day would be silly; the
// generated book spreads them over thirty years, a few a day) written as
// one iCalendar file, and 5,000 timed events read into an empty book (the
// check, the serials, every month and the UID table written). The day's
// safety copy exists already, as for every import of a day but the first.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <memory>
#include <string>

#include "MemoBook.h"
#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "exchange/CMyImport.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

namespace {

constexpr int kEntries = 36500;
constexpr int kEvents = 5000;

std::vector<jsc::Control> ScheduleControls() {
  std::vector<jsc::Control> out;
  auto add = [&](int kind, int slot, const char* field, const char* alias, int type) {
    jsc::Control c;
    c.kind = kind;
    c.slot = slot;
    c.field = field;
    c.alias = cp932::FromUtf8(alias);
    c.dataType = type;
    out.push_back(c);
  };
  add(jsc::kText, 0, "TIME_F", "開始", jsc::kTime);
  add(jsc::kText, 1, "TIME_T", "終了", jsc::kTime);
  add(jsc::kText, 2, "MARK", "印", 0);
  add(jsc::kMemo, 0, "MEM001", "予定", 0);
  return out;
}

struct Division {
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 3, 14}};
  CMyGlobal global;
  CMyDB db{&prompter};
  CMyRec work{&db};
  CMyMaster divout{"DIVOUT", &prompter};
  CMyPeriods periods{global, db, work, divout, prompter};
  ExchangeBook book{global, db, periods, divout, ScreenFieldsOf(ScheduleControls())};
  Division(const std::string& root, const std::string& name) : global(prompter, clock, root) {
    global.UseDataRoot(root);
    global.SetUserName("u");
    global.SetDivisionFolder(name);
    bench::Require(fileops::MakeDirs(global.DivisionPath("")), "MakeDirs");
    bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  }
};

std::string TempRoot() {
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = (t && *t == '/' ? std::string(t) : std::string("/tmp")) + "/jbx-bench-ics-XXXXXX";
  return mkdtemp(tmpl.data()) ? tmpl + "/" : std::string();
}

std::string Events() {
  std::string s = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
  char buf[512];
  for (int i = 0; i < kEvents; ++i) {
    const CivilDate d = civil::AddDays({2027, 1, 1}, i % 365);
    std::snprintf(
        buf, sizeof buf,
        "BEGIN:VEVENT\r\nUID:event-%d@bench\r\nDTSTAMP:20260101T000000Z\r\n"
        "DTSTART;TZID=Asia/Tokyo:%04d%02d%02dT%02d0000\r\nDTEND;TZID=Asia/Tokyo:%04d%02d%02dT%02d3000\r\n"
        "SUMMARY:打ち合わせ %d\r\nDESCRIPTION:会議室で\\n資料を持って行く\r\nLOCATION:本社\r\nEND:VEVENT\r\n",
        i, d.year, d.month, d.day, 8 + i % 10, d.year, d.month, d.day, 8 + i % 10, i);
    s += buf;
  }
  return s + "END:VCALENDAR\r\n";
}

}  // namespace

static void BM_IcsExport36500(benchmark::State& state) {
  const std::string root = TempRoot();
  Division d(root, "from");
  (void)bench::Generate(d.db, kEntries);
  IcsExport ex(d.book, d.prompter, d.clock);
  IcsExportOptions o;
  o.path = root + "out.ics";
  o.zone = "Asia/Tokyo";
  o.interactive = false;
  IcsExportResult r;
  for (auto _ : state) {
    if (ex.Run(o, &r) != IcsExport::kOk || r.events != kEntries) state.SkipWithError("export failed");
  }
  state.counters["events"] = r.events;
  state.counters["bytes"] = static_cast<double>(fileops::Size(o.path));
  (void)fileops::RemoveTree(root);
}
BENCHMARK(BM_IcsExport36500)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

static void BM_IcsImport5000(benchmark::State& state) {
  const std::string root = TempRoot();
  bench::Require(fileops::WriteAtomic(root + "in.ics", Events()), "events");
  int n = 0;
  IcsImportResult r;
  for (auto _ : state) {
    state.PauseTiming();
    auto d = std::make_unique<Division>(root, "to" + std::to_string(n++));
    IcsImport im(d->book, d->prompter, d->clock);
    (void)fileops::WriteAtomic(CMyImport(d->book, d->prompter, d->clock).SafetyCopyPath(),
                               "made earlier\r\n");
    IcsImportOptions o{root + "in.ics", {2027, 1, 1},        {2027, 12, 31},
                       "Asia/Tokyo",    im.DefaultMapping(), false};
    state.ResumeTiming();
    if (im.Run(o, &r) != IcsImport::kOk || r.added != kEvents) state.SkipWithError("import failed");
  }
  state.counters["events"] = r.added;
  (void)fileops::RemoveTree(root);
}
BENCHMARK(BM_IcsImport5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
