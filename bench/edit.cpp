// The sheet's editing commands on large books, through the same objects the
// main window holds: a page inserted at the front of a notebook of 2,000
// pages of 30 lines (every later page renamed and written, the undo step
// kept), and a paste into a diary of ten years.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Require.h"
#include "mainview/editing/EditCommands.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/FileOps.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"

namespace {

struct NoWindow : EditWindow {
  void ViewChanged() override {}
};

// A division in a temporary folder, its records written period by period.
struct Division {
  char tmpl[256] = {};
  std::string root;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 3, 14}};
  ScriptedFileChooser files;
  MemoryClipboard clipboard;
  RecordingOpener opener;
  std::unique_ptr<MainObjects> objects;
  std::unique_ptr<MainContext> ctx;
  NoWindow window;
  std::unique_ptr<EditCommands> edit;

  explicit Division(int kind) {
    // JBX_BENCH_DIR puts the book on another file system (a tmpfs, say)
    const char* base = std::getenv("JBX_BENCH_DIR");
    std::snprintf(tmpl, sizeof tmpl, "%s/jbx-bench-edit-XXXXXX", base && *base ? base : "/tmp");
    if (!mkdtemp(tmpl)) return;
    root = std::string(tmpl) + "/";
    MainSeams seams{&prompter, &beeper, &clock, root, root + "home", root};
    objects = std::make_unique<MainObjects>(seams, nullptr);
    CMyGlobal& g = *objects->global;
    g.SetUserName("u");
    g.SetDivisionFolder("d");
    bench::Require(fileops::MakeDirs(g.DivisionPath("")), "MakeDirs");
    objects->Table(kDivOutTable).Init("DIVOUT");
    ctx = std::make_unique<MainContext>(
        MainContext{*objects, prompter, beeper, clock, files, clipboard, opener});
    edit = std::make_unique<EditCommands>(*ctx, window);
    ViewScreen screen;
    screen.linesPerPage = 30;
    objects->view->SetScreen(screen);
    objects->view->SetDataKind(kind);
    objects->view->SetViewHeight(1 << 28);
  }
  ~Division() {
    if (!root.empty()) (void)fileops::RemoveTree(root);
  }
  void Add(const std::string& period, const std::string& key, const std::string& memo) {
    CMyDB& db = *objects->db;
    char serial[8];
    std::snprintf(serial, sizeof serial, "%05d", objects->periods->RegisterKey(period, key, false));
    db.New();
    bench::Require(db.SetValue(memo::kKey, key) == 0, "SetValue");
    bench::Require(db.SetValue(memo::kLineSerial, serial) == 0, "SetValue");
    bench::Require(db.SetValue(memo::kMem001, memo) == 0, "SetValue");
    bench::Require(db.SetValue(memo::kNoData, "1") == 0, "SetValue");
    bench::Require(db.Store() == 0, "Store");
  }
};

void BM_InsertPageIntoANotebookOf2000Pages(benchmark::State& state) {
  Division d(CMyView::kPageKind);
  if (d.root.empty()) return state.SkipWithError("no temporary folder");
  const std::string memo = cp932::FromUtf8("ノートの一行。会議の記録と次の予定。");
  for (int page = 1; page <= 2000; ++page) {
    char p[8];
    std::snprintf(p, sizeof p, "%05d", page);
    for (int line = 1; line <= 30; ++line) {
      char key[16];
      std::snprintf(key, sizeof key, "%05d/%05d", page, line);
      d.Add(p, key, memo);
    }
    if (d.objects->periods->SavePeriod(p) != 0) return state.SkipWithError("save failed");
  }
  d.objects->view->ReloadView();
  d.objects->view->ShowPage(1);
  int delta = 1;
  for (auto _ : state) {
    // a page in, then out again: the book keeps its size between runs
    if (d.edit->ShiftPages(1, delta, true) != 0) return state.SkipWithError("shift failed");
    delta = -delta;
  }
  state.counters["records"] = d.objects->db->LiveCount();
}
BENCHMARK(BM_InsertPageIntoANotebookOf2000Pages)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(6)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_PasteIntoATenYearDiary(benchmark::State& state) {
  Division d(CMyView::kDateKind);
  if (d.root.empty()) return state.SkipWithError("no temporary folder");
  const std::string memo = cp932::FromUtf8("今日は天気が良いので散歩した。夕食は寿司。");
  CivilDate day{2016, 1, 1};
  while (day.year < 2026) {
    const std::string key = civil::Ymd(day);
    const std::string period = CMyPeriods::PeriodOf(key);
    for (int k = 0; k < 3; ++k) d.Add(period, key, memo);
    day = civil::AddDays(day, 1);
    if (civil::Ymd(day).substr(0, 7) != key.substr(0, 7)) (void)d.objects->periods->SavePeriod(period);
  }
  d.objects->view->ReloadView();
  d.objects->view->ShowMonth(2025, 6);
  if (!d.edit->SelectRow("2025/06/10", {})) return state.SkipWithError("no source row");
  d.edit->mnuEditCopy(0);
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool selected = d.edit->SelectRow(civil::Ymd(civil::AddDays({2025, 6, 1}, i++ % 28)), {});
    state.ResumeTiming();
    if (!selected) return state.SkipWithError("no target row");
    if (!d.edit->PasteRecord(false)) {
      const auto shown = d.prompter.ShownUtf8();
      return state.SkipWithError(
          ("paste failed: " + (shown.empty() ? std::string("beep") : shown.back())).c_str());
    }
  }
  state.counters["records"] = d.objects->db->LiveCount();
}
BENCHMARK(BM_PasteIntoATenYearDiary)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
