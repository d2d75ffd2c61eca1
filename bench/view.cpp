// The sheet's view model on a book of ten years of daily entries: moving a
// month forward and back (the rows of both months rebuilt each time).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "Require.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/RecordSetPort.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

class NoCalendar : public ViewCalendar {
 public:
  void LoadYear(int) override {}
  void ResetCursors() override {}
  void Find(CivilDate, const HolidayEntry*& h, const HolidayEntry*& a) override { h = a = nullptr; }
};
class LoadedPeriods : public ViewPeriods {
 public:
  int LoadPeriods(const std::string&, const std::string&) override { return 0; }
  void SavePeriod(const std::string&) override {}
};

void BM_MonthForwardAndBack(benchmark::State& state) {
  CMyDB db;
  bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  const std::string memo = cp932::FromUtf8("今日は天気が良いので散歩した。夕食は寿司。");
  CivilDate d{2015, 1, 1};
  char serial[8];
  for (int i = 0; i < 3653; ++i, d = civil::AddDays(d, 1)) {
    for (int k = 1; k <= 3; ++k) {
      db.New();
      bench::Require(db.SetValue(memo::kKey, civil::Ymd(d)) == 0, "SetValue");
      std::snprintf(serial, sizeof serial, "%05d", k);
      bench::Require(db.SetValue(memo::kLineSerial, serial) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kMem001, memo) == 0, "SetValue");
      bench::Require(db.Store() == 0, "Store");
    }
  }
  CMyRec rec(&db);
  RecordSetPort port(db, rec);
  NoCalendar calendar;
  LoadedPeriods periods;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock({2020, 6, 15});
  CMyView view(port, calendar, periods, prompter, beeper, clock);
  view.SetScreen(ViewScreen{});
  view.ReloadView();
  view.GoToday();
  for (auto _ : state) {
    view.StepPeriod(1);
    view.StepPeriod(-1);
    benchmark::DoNotOptimize(view.RowCount());
  }
  state.SetLabel("two month moves per iteration, 10 958 records loaded");
}
BENCHMARK(BM_MonthForwardAndBack)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
