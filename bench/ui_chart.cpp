// The chart window over a busy household book: 200,000 entries in one year
// (about 550 a day, eleven categories, amounts of 1-9,999 yen, a few
// refunds). Each run opens グラフ表示 as the menu does, builds the chart from
// the group rows and lays the window out and paints it once (into an
// image): a year's bars by month, and a month's pie by category.
//
// The runs after the first reuse the months the first one read; the last
// benchmark times first openings.
//
// JBX_CHART_RECORDS=N makes a book of N entries instead; JBX_CHART_KEEP=1
// leaves the data folder in place (its path is printed) to look at.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "extract/TfrmChart.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"
#include "qtkit/DialogRunner.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

int Records() {
  const char* n = std::getenv("JBX_CHART_RECORDS");
  return n && std::atoi(n) > 0 ? std::atoi(n) : 200000;
}

std::string MakeBook() {
  char tmpl[] = "/tmp/jbxchart.XXXXXX";
  std::string root = mkdtemp(tmpl);
  (void)fileops::WriteAtomic(root + "/jotbox.ini", "[APL]\r\nNAME=u\r\n");
  ScriptedPrompter prompter;
  FixedClock clock({2024, 3, 15});
  CMyGlobal g(prompter, clock, root);
  g.SetUserName("u");
  const std::string folder = cp932::FromUtf8("家計簿");
  g.SetDivisionFolder(folder);
  bench::Require(fileops::MakeDirs(g.DivisionPath("")), "MakeDirs");
  CMyMaster users("USER");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, folder);
  (void)users.Append(rec);
  (void)users.Write(g.UserPath("jbxuser.jpr"));
  const std::string program = syspaths::ProgramFolder();
  std::string household;
  for (const std::string& p : packagelist::Names(program))
    if (p.find(cp932::FromUtf8("家計簿")) != std::string::npos) household = p;
  bench::Require(!household.empty(), "the program folder holds no household package");
  CMyPackage pkg(prompter);
  (void)pkg.UnpackTo(packagelist::PathOf(program, household), g.DivisionPath(""), nullptr, false);

  CMyDB db;
  bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  CMyRec work(&db);
  CMyMaster divout("DIVOUT");
  CMyPeriods periods(g, db, work, divout, prompter);
  std::vector<std::string> kinds;
  for (const char* k :
       {"食費", "日用品", "住居", "水道光熱", "通信", "交通", "医療", "教育", "娯楽", "交際", "その他"})
    kinds.push_back(cp932::FromUtf8(k));
  const std::string item = cp932::FromUtf8("買い物");
  std::mt19937 rng(40);
  const int total = Records();
  int made = 0;
  for (int month = 1; month <= 12; ++month) {
    char period[8];
    std::snprintf(period, sizeof period, "2024%02d", month);
    const int days = civil::DaysInMonth(2024, month);
    const int share = total / 12 + (month <= total % 12 ? 1 : 0);
    for (int i = 0; i < share; ++i, ++made) {
      const std::string key = civil::Ymd({2024, month, 1 + i * days / share});
      char serial[8];
      std::snprintf(serial, sizeof serial, "%05d", periods.RegisterKey(period, key, false));
      // categories by a skewed draw, so the pie has large and small slices
      const size_t kind =
          std::min<size_t>(kinds.size() - 1, static_cast<size_t>(rng() % 100) * rng() % 100 / 90);
      const int amount = static_cast<int>(rng() % 9999) + 1;
      db.New();
      bench::Require(db.SetValue(memo::kKey, key) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kLineSerial, serial) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kNoData, "1") == 0, "SetValue");  // an entry, not a colour mark
      bench::Require(db.SetValue(memo::Dat(1), item) == 0, "SetValue");
      bench::Require(db.SetValue(memo::Dat(2), kinds[kind]) == 0, "SetValue");
      bench::Require(db.SetValue(memo::Dat(4), std::to_string(rng() % 50 == 0 ? -amount : amount)) == 0,
                     "SetValue");
      (void)db.Store();
    }
    bench::Require(periods.SavePeriod(period) == 0, "SavePeriod");
    db.ClearRecords();
  }
  return root;
}

const std::string& Book() {
  static const std::string root = MakeBook();
  return root;
}

// Shows the dialog as it would be shown (laid out at its size, painted
// once), then closes it. The first time it also sets the controls to the
// chart measured, which the window keeps for its next opening.
class PaintOnce : public DialogRunner {
 public:
  int Run(QDialog& dialog) override {
    if (setUp) {
      setUp(dialog);
      setUp = nullptr;
    }
    dialog.resize(900, 620);
    const QImage image = dialog.grab().toImage();
    painted = !image.isNull();
    shown = static_cast<TfrmChart&>(dialog).HasChart();
    return QDialog::Rejected;
  }
  std::function<void(QDialog&)> setUp;
  bool painted = false, shown = false;
};

struct Window {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 3, 15}};
  PaintOnce runner;
  std::unique_ptr<TfrmMain> win;
  Window() {
    MainEnvironment e;
    e.prompter = &prompter;
    e.beeper = &beeper;
    e.clock = &clock;
    e.dialogs = &runner;
    e.programFolder = syspaths::ProgramFolder();
    e.dataRoot = Book();
    e.dataHome = Book() + "/home";
    e.user = "u";
    win = std::make_unique<TfrmMain>(e);
    win->FormCreate();
    win->View()->ShowMonth(2024, 3);
  }
};

// `kind` and `by` are the indexes of the window's kind and period boxes.
void Run(benchmark::State& state, int kind, int by, int range) {
  Window w;
  QAction* item = w.win->findChild<QAction*>(QStringLiteral("mnuSelChart"));
  bench::Require(item != nullptr, "the menu has no chart item");
  w.runner.setUp = [=](QDialog& d) {
    d.findChild<QComboBox*>(QStringLiteral("cbo_Kind"))->setCurrentIndex(kind);
    d.findChild<QComboBox*>(QStringLiteral("cbo_By"))->setCurrentIndex(by);
    d.findChild<QComboBox*>(QStringLiteral("cbo_Period"))->setCurrentIndex(range);
  };
  item->trigger();  // the window's choice is set once, before the runs
  for (auto _ : state) item->trigger();
  if (!w.runner.painted || !w.runner.shown) state.SkipWithError("no chart was shown");
  state.SetLabel(std::to_string(Records()) + " entries in the book");
}

void BM_YearBarsByMonthFromTheMenu(benchmark::State& state) {
  Run(state, 0, 1, 1);  // bars, by month, the shown year
}
BENCHMARK(BM_YearBarsByMonthFromTheMenu)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_MonthPieByCategoryFromTheMenu(benchmark::State& state) {
  Run(state, 1, 0, 0);  // a pie, no time axis, the shown month
}
BENCHMARK(BM_MonthPieByCategoryFromTheMenu)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The first opening in a window: the book's other months are read then (as
// the first extraction reads them), the shown month's bars by category.
void BM_FirstOpeningReadsTheWholeBook(benchmark::State& state) {
  bool shown = false;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<Window>();
    QAction* item = w->win->findChild<QAction*>(QStringLiteral("mnuSelChart"));
    state.ResumeTiming();
    item->trigger();
    state.PauseTiming();
    shown = w->runner.painted && w->runner.shown;
    w.reset();
    state.ResumeTiming();
  }
  if (!shown) state.SkipWithError("no chart was shown");
  state.SetLabel(std::to_string(Records()) + " entries in the book");
}
BENCHMARK(BM_FirstOpeningReadsTheWholeBook)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  if (std::getenv("JBX_CHART_KEEP"))
    std::printf("data folder kept: %s\n", Book().c_str());
  else
    (void)fileops::RemoveTree(Book());
  return 0;
}
