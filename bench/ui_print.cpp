// Printing a full diary month to PDF in process: 31 days, 3 entries a day,
// on the shipped diary screen, through the window's own printing code. On
// A3 the month's 93 rows take two pages. The first benchmark writes the
// file (made in memory, then replaced in one step with its sync); the
// second only makes the pages.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "mainview/printing/QtPrint.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/SheetPrinter.h"
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
  (void)fileops::WriteAtomic(root + "/jotbox.ini", "[APL]\r\nNAME=u\r\n");
  ScriptedPrompter prompter;
  FixedClock clock({2024, 7, 15});
  CMyGlobal g(prompter, clock, root);
  g.SetUserName("u");
  g.SetDivisionFolder("diary");
  bench::Require(fileops::MakeDirs(g.DivisionPath("")), "MakeDirs");
  CMyMaster users("USER");
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, "diary");
  (void)users.Append(rec);
  (void)users.Write(g.UserPath("jbxuser.jpr"));
  const std::string program = syspaths::ProgramFolder();
  const std::vector<std::string> packages = packagelist::Names(program);
  bench::Require(!packages.empty(), "the program folder holds no packages");
  CMyPackage pkg(prompter);
  (void)pkg.UnpackTo(packagelist::PathOf(program, packages[0]), g.DivisionPath(""), nullptr, false);
  CMyDB db;
  bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  CMyRec work(&db);
  CMyMaster divout("DIVOUT");
  CMyPeriods periods(g, db, work, divout, prompter);
  const std::string memo = cp932::FromUtf8("今日は天気が良いので散歩した。夕食は寿司。");
  const std::string weather = cp932::FromUtf8("晴れ");
  for (CivilDate d{2024, 7, 1}; d.Ymd() <= 20240731; d = civil::AddDays(d, 1)) {
    const std::string key = civil::Ymd(d);
    for (int k = 0; k < 3; ++k) {
      char serial[8];
      std::snprintf(serial, sizeof serial, "%05d", periods.RegisterKey("202407", key, false));
      db.New();
      bench::Require(db.SetValue(memo::kKey, key) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kLineSerial, serial) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kMem001, memo) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kTimeF, "09:00") == 0, "SetValue");
      bench::Require(db.SetValue(memo::Dat(1), weather) == 0, "SetValue");
      (void)db.Store();
    }
  }
  bench::Require(periods.SavePeriod("202407") == 0, "SavePeriod");
  return root;
}

const std::string& Book() {
  static const std::string root = MakeBook();
  return root;
}

struct Window {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2024, 7, 15}};
  std::unique_ptr<TfrmMain> win;
  Window() {
    MainEnvironment e;
    e.prompter = &prompter;
    e.beeper = &beeper;
    e.clock = &clock;
    e.programFolder = syspaths::ProgramFolder();
    e.dataRoot = Book();
    e.dataHome = Book() + "/home";
    e.user = "u";
    win = std::make_unique<TfrmMain>(e);
    win->FormCreate();
    win->View()->ShowMonth(2024, 7);
  }
};

constexpr PaperSetup kA3{29700, 42000, 1000, 1000, 1000, 1000};

void Run(benchmark::State& state, bool writeFile) {
  Window w;
  SheetPrinter printer = PrinterOf(w.win->Objects(), w.prompter);
  const PrintHead head = PrintHeadOf(w.win->Objects(), 0, w.clock.Today());
  const std::string pdf = Book() + "/month.pdf";
  int pages = 0;
  size_t bytes = 0;
  for (auto _ : state) {
    PdfJob job(pdf, kA3, w.prompter);
    job.SetWriteFile(writeFile);
    pages = printer.PrintSheet(job, head, -1);
    bytes = static_cast<size_t>(job.Bytes().size());
    benchmark::DoNotOptimize(bytes);
  }
  if (pages != 2) state.SkipWithError("the month did not take two pages");
  state.SetLabel(std::to_string(w.win->View()->RowCount()) + " rows, " + std::to_string(pages) + " pages, " +
                 std::to_string(bytes / 1024) + " KiB");
}

void BM_PrintMonthToPdfFile(benchmark::State& state) { Run(state, true); }
BENCHMARK(BM_PrintMonthToPdfFile)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_PrintMonthPagesInMemory(benchmark::State& state) { Run(state, false); }
BENCHMARK(BM_PrintMonthPagesInMemory)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  (void)fileops::RemoveTree(Book());
  return 0;
}
