// Painting the sheet and starting the window on a book of ten years of daily
// entries: a full month of 31 days, 3 entries a day, on the shipped diary
// screen (header, four columns); start-up to the first painted sheet.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DiaryRoot.h"
#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

std::string MakeBook() {
  char tmpl[] = "/tmp/jbxbench.XXXXXX";
  std::string root = mkdtemp(tmpl);
  ScriptedPrompter prompter;
  bench::MakeDiaryRoot(root, prompter);
  FixedClock clock({2024, 12, 15});
  CMyGlobal g(prompter, clock, root);
  g.SetUserName("u");
  g.SetDivisionFolder("diary");
  CMyDB db;
  bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  CMyRec work(&db);
  CMyMaster divout("DIVOUT");
  CMyPeriods periods(g, db, work, divout, prompter);
  const std::string memo = cp932::FromUtf8("今日は天気が良いので散歩した。夕食は寿司。");
  const std::string weather = cp932::FromUtf8("晴れ");
  std::string lastPeriod;
  for (CivilDate d{2015, 1, 1}; d.Ymd() <= 20241231; d = civil::AddDays(d, 1)) {
    std::string key = civil::Ymd(d), period = CMyPeriods::PeriodOf(key);
    if (!lastPeriod.empty() && period != lastPeriod)
      bench::Require(periods.SavePeriod(lastPeriod) == 0, "SavePeriod");
    lastPeriod = period;
    for (int k = 0; k < 3; ++k) {
      char serial[8];
      std::snprintf(serial, sizeof serial, "%05d", periods.RegisterKey(period, key, false));
      db.New();
      bench::Require(db.SetValue(memo::kKey, key) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kLineSerial, serial) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kMem001, memo) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kTimeF, "09:00") == 0, "SetValue");
      bench::Require(db.SetValue(memo::Dat(1), weather) == 0, "SetValue");
      bench::Require(db.Store() == 0, "Store");
    }
  }
  bench::Require(periods.SavePeriod(lastPeriod) == 0, "SavePeriod");
  return root;
}

struct Env {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 12, 15}};
  MainEnvironment Make(const std::string& root) {
    MainEnvironment e;
    e.prompter = &prompter;
    e.beeper = &beeper;
    e.clock = &clock;
    e.programFolder = syspaths::ProgramFolder();
    e.dataRoot = root;
    e.dataHome = root + "/home";
    e.user = "u";
    e.sheetHeight = 1100;
    return e;
  }
};

const std::string& Book() {
  static const std::string root = MakeBook();
  return root;
}

void BM_PaintMonth(benchmark::State& state) {
  Env env;
  TfrmMain win(env.Make(Book()));
  win.FormCreate();
  win.View()->ShowMonth(2024, 7);
  for (auto _ : state) {
    QImage img = win.RenderSheetImage(440, 1100);
    benchmark::DoNotOptimize(img.bits());
  }
  state.SetLabel(std::to_string(win.View()->RowCount()) + " rows");
}
BENCHMARK(BM_PaintMonth)->Unit(benchmark::kMillisecond);

void BM_MonthForwardAndBack(benchmark::State& state) {
  Env env;
  TfrmMain win(env.Make(Book()));
  win.FormCreate();
  // the tool buttons, as the user moves
  auto* right = win.findChild<QToolButton*>("tbt_Right");
  auto* left = win.findChild<QToolButton*>("tbt_Left");
  if (!right || !left) {
    state.SkipWithError("no month buttons");
    return;
  }
  for (auto _ : state) {
    right->click();
    left->click();
  }
  state.SetLabel("two moves per iteration");
}
BENCHMARK(BM_MonthForwardAndBack)->Unit(benchmark::kMillisecond);

void BM_StartupToFirstPaint(benchmark::State& state) {
  Book();
  for (auto _ : state) {
    Env env;
    TfrmMain win(env.Make(Book()));
    win.FormCreate();
    QImage img = win.RenderSheetImage(440, 600);
    benchmark::DoNotOptimize(img.bits());
  }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  (void)fileops::RemoveTree(Book());
  return 0;
}
