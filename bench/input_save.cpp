// Saving one entry through the input form's model into a book of ten years
// of daily entries: the values checked and stored, the month file and the
// period list written, the record set reselected and sorted.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "input/CMyInput.h"
#include "input/StoreInputPorts.h"
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

jsc::InputDef DiaryForm() {
  jsc::InputDef def;
  def.header.formWidth = 400;
  def.header.inputHeight = 400;
  auto add = [&](int kind, int slot, const char* field, int type) {
    jsc::Control c;
    c.kind = kind;
    c.slot = slot;
    c.field = c.alias = field;
    c.dataType = type;
    c.width = 100;
    c.height = 20;
    c.top = 25 * slot;
    def.controls.push_back(c);
  };
  add(jsc::kText, 0, "DAT001", jsc::kTime2);
  add(jsc::kText, 1, "DAT002", 0);
  add(jsc::kMemo, 0, "MEM001", 0);
  def.header.controlCount = static_cast<int>(def.controls.size());
  return def;
}

void BM_SaveOneEntry(benchmark::State& state) {
  char tmpl[] = "/tmp/jbx-bench-input-XXXXXX";
  if (!mkdtemp(tmpl)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string root = std::string(tmpl) + "/";
  ScriptedPrompter prompter;
  FixedClock clock({2026, 3, 14});
  CMyGlobal global(prompter, clock, root);
  global.UseDataRoot(root);
  global.SetUserName("u");
  global.SetDivisionFolder("d");
  bench::Require(fileops::MakeDirs(root + "u/d"), "MakeDirs");
  CMyDB db(&prompter);
  bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  CMyRec records(&db), work(&db);
  CMyMaster divout("DIVOUT", &prompter);
  divout.Init("DIVOUT");
  CMyPeriods periods(global, db, work, divout, prompter);
  // 1: as the window keeps a book, remembering each record as read
  periods.TrackChanges(state.range(0) != 0);
  StoreInputView view(db, records, periods);

  // ten years, three entries a day, every month written once
  const std::string memo = cp932::FromUtf8("今日は天気が良いので散歩した。夕食は寿司。");
  CivilDate d{2016, 1, 1};
  std::string lastPeriod;
  while (d.year < 2026) {
    std::string key = civil::Ymd(d);
    std::string period = CMyPeriods::PeriodOf(key);
    for (int k = 0; k < 3; ++k) {
      char serial[8];
      std::snprintf(serial, sizeof serial, "%05d", periods.RegisterKey(period, key, false));
      db.New();
      bench::Require(db.SetValue(memo::kKey, key) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kLineSerial, serial) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kMem001, memo) == 0, "SetValue");
      bench::Require(db.Store() == 0, "Store");
    }
    d = civil::AddDays(d, 1);
    if (civil::Ymd(d).substr(0, 7) != key.substr(0, 7))
      bench::Require(periods.SavePeriod(period) == 0, "SavePeriod");
  }
  view.ReloadView();

  CMyInput form(db, prompter, clock, view);
  if (!form.BuildForm(DiaryForm())) {
    state.SkipWithError("form not built");
    return;
  }
  int day = 0;
  for (auto _ : state) {
    CivilDate at = civil::AddDays({2016, 1, 1}, (day++ * 37) % 3650);
    form.ShowRecord(civil::Ymd(at), -1);
    form.SetValue(0, "10:30");
    form.SetValue(1, "x");
    form.SetValue(2, memo);
    if (!form.SaveRecord()) state.SkipWithError("save failed");
  }
  state.counters["records"] = db.LiveCount();
  (void)fileops::RemoveTree(tmpl);
}
BENCHMARK(BM_SaveOneEntry)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
