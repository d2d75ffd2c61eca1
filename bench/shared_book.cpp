// What the window does when another program wrote the book it shows: a
// 30-year book of ten entries a day (about 110,000 records) is open with
// every record remembered as read; jbx adds an entry to one month; the
// window takes that month in (its identity checked, the file read again and
// merged by key and serial) and rebuilds its view.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "platform/Clock.h"
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

// One program's objects over the book under `root`.
struct Program {
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 10}};
  CMyGlobal global;
  CMyDB db{&prompter};
  CMyRec records{&db}, work{&db};
  CMyMaster divout{"DIVOUT", &prompter};
  CMyPeriods periods{global, db, work, divout, prompter};
  explicit Program(const std::string& root) : global(prompter, clock, root) {
    global.UseDataRoot(root);
    global.SetUserName("u");
    global.SetDivisionFolder("d");
    bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  }
  void Add(const std::string& key, const std::string& memo, bool save) {
    const std::string period = CMyPeriods::PeriodOf(key);
    char serial[16];
    std::snprintf(serial, sizeof serial, "%05d", periods.RegisterKey(period, key, false));
    db.New();
    bench::Require(db.SetValue(memo::kKey, key) == 0 && db.SetValue(memo::kLineSerial, serial) == 0 &&
                       db.SetValue(memo::kMem001, memo) == 0 && db.Store() == 0,
                   "Store");
    if (save) bench::Require(periods.SavePeriod(period) == 0, "SavePeriod");
  }
};

void BM_TakeInAnotherProgramsEntry(benchmark::State& state) {
  char tmpl[] = "/tmp/jbx-bench-shared-XXXXXX";
  bench::Require(mkdtemp(tmpl) != nullptr, "mkdtemp");
  const std::string root = std::string(tmpl) + "/";
  bench::Require(fileops::MakeDirs(root + "u/d"), "MakeDirs");
  const std::string memo = cp932::FromUtf8("今日は天気が良いので散歩した。夕食は寿司。");
  {
    Program maker(root);
    maker.divout.Init("DIVOUT");
    for (CivilDate d{1996, 12, 1}; d.year < 2027;) {
      const std::string key = civil::Ymd(d);
      for (int k = 0; k < 10; ++k) maker.Add(key, memo, false);
      d = civil::AddDays(d, 1);
      if (civil::Ymd(d).substr(0, 7) != key.substr(0, 7))
        bench::Require(maker.periods.SavePeriod(CMyPeriods::PeriodOf(key)) == 0, "SavePeriod");
    }
  }
  Program window(root);
  window.periods.TrackChanges(true);
  bench::Require(window.periods.LoadTable() == 0, "LoadTable");
  window.periods.LoadAll();
  bench::Require(
      window.records.SetSort("キー項目,行連番"_sj, false) == 0 && window.records.Select(nullptr) >= 0,
      "Requery");
  Program jbx(root);
  bench::Require(jbx.periods.LoadTable() == 0, "LoadTable");
  jbx.periods.LoadAll();
  int day = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const CivilDate at = civil::AddDays({2026, 11, 1}, day++ % 30);
    jbx.Add(civil::Ymd(at), memo, true);
    state.ResumeTiming();
    bench::Require(window.periods.RefreshFromDisk() == 1, "RefreshFromDisk");
    bench::Require(window.records.Requery() == 0, "Requery");
  }
  state.counters["records"] = window.db.LiveCount();
  (void)fileops::RemoveTree(tmpl);
}
BENCHMARK(BM_TakeInAnotherProgramsEntry)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
