// A month move as the user makes it, on a household book of 30 years with
// 10 entries a day: the main window moves one month forward and paints the
// sheet, and every move reaches a month not loaded yet, so its data file is
// read and its records join the selection. Prints the median, the 90th
// percentile and the worst of the moves, and start-up to the first painted
// sheet of that book.
//
//   bench_ui_month_move [ROUNDS] [MOVES] [KEEP_FOLDER]
// (default 6 rounds of 40 moves). With KEEP_FOLDER the book is made there and
// kept, for timing `jbx render --root KEEP_FOLDER --user u --month 2024/12`.
// Each round opens the window anew and shows every month of the 30 years
// (1995-2024, 109,575 records) before its moves into 2025 and later.
#include <time.h>

#include <QApplication>
#include <QImage>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
#include "store/MemoSchema.h"

namespace {

constexpr int kFirstYear = 1995;
constexpr int kLoadedYears = 30;
constexpr int kYearsOnDisk = 36;  // room for the moves after the loaded years
constexpr int kPerDay = 10;

// The month files and their period list, written directly (registering a
// key per record would scan the book 400,000 times).
std::string MakeBook(std::string root) {
  if (root.empty()) {
    char tmpl[] = "/tmp/jbxbench.XXXXXX";
    root = mkdtemp(tmpl);
  }
  ScriptedPrompter prompter;
  bench::MakeDiaryRoot(root, prompter);
  FixedClock clock({2024, 12, 15});
  CMyGlobal g(prompter, clock, root);
  g.SetUserName("u");
  g.SetDivisionFolder("diary");

  const std::string memos[] = {cp932::FromUtf8("今日は天気が良いので散歩した。夕食は寿司。"),
                               cp932::FromUtf8("打ち合わせ。資料を作成、明日の予定を確認する。"),
                               cp932::FromUtf8("買い物に行った")};
  const std::string weather = cp932::FromUtf8("晴れ");
  CMyMaster divout("DIVOUT");
  std::string latest;
  for (int y = kFirstYear; y < kFirstYear + kYearsOnDisk; ++y) {
    for (int m = 1; m <= 12; ++m) {
      CMyDB month;
      bench::Require(DefineMemoSchema(month) == 0, "DefineMemoSchema");
      char buf[16];
      for (CivilDate d{y, m, 1}; d.month == m && d.year == y; d = civil::AddDays(d, 1)) {
        latest = civil::Ymd(d);
        for (int k = 1; k <= kPerDay; ++k) {
          month.New();
          bench::Require(month.SetValue(memo::kKey, latest) == 0, "SetValue");
          std::snprintf(buf, sizeof buf, "%d", civil::Weekday(d));
          bench::Require(month.SetValue(memo::kWeekday, buf) == 0, "SetValue");
          std::snprintf(buf, sizeof buf, "%05d", (d.day - 1) * kPerDay + k);
          bench::Require(month.SetValue(memo::kLineSerial, buf) == 0, "SetValue");
          bench::Require(month.SetValue(memo::kNoData, "0") == 0, "SetValue");
          bench::Require(month.SetValue(memo::kMem001, memos[(d.day + k) % 3]) == 0, "SetValue");
          bench::Require(month.SetValue(memo::kTimeF, k == 1 ? "09:00" : "") == 0, "SetValue");
          bench::Require(month.SetValue(memo::Dat(1), weather) == 0, "SetValue");
          bench::Require(month.SetValue(memo::kUpdated, latest) == 0, "SetValue");
          bench::Require(month.SetValue(memo::kCreated, latest) == 0, "SetValue");
          bench::Require(month.Store() == 0, "Store");
        }
      }
      std::vector<int> all(static_cast<size_t>(month.RecordCount()));
      for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
      std::snprintf(buf, sizeof buf, "%04d%02d", y, m);
      bench::Require(month.WriteSubset(g.DivisionPath(CMyPeriods::FileName(buf)), all.data(),
                                       static_cast<int>(all.size())) == 0,
                     "WriteSubset");
      std::string p = CMyMaster::Blank();
      CMyMaster::SetName(p, buf);
      bench::Require(divout.Append(p) == 0, "Append");
      (void)divout.SetInt(divout.RecordCount() - 1, CMyMaster::kRKey11, month.RecordCount());
    }
  }
  divout.SetHeaderText(latest);
  (void)divout.Write(g.DivisionPath("divout.jpr"));
  return root;
}

MainEnvironment Env(const std::string& root, ScriptedPrompter& prompter, CountingBeeper& beeper,
                    FixedClock& clock) {
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

// This thread's processor time: on a shared machine a move's wall time also
// holds the time other processes had the processor.
double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 6;
  const int moves = argc > 2 ? std::atoi(argv[2]) : 40;
  const std::string keep = argc > 3 ? argv[3] : "";
  const std::string root = MakeBook(keep);
  std::vector<double> moveMs, modelMs, cpuMs, startMs;
  int loaded = 0;
  for (int r = 0; r < rounds; ++r) {
    ScriptedPrompter prompter;
    CountingBeeper beeper;
    FixedClock clock({2024, 12, 15});
    auto t0 = std::chrono::steady_clock::now();
    TfrmMain win(Env(root, prompter, beeper, clock));
    win.FormCreate();
    QImage first = win.RenderSheetImage(440, 1100);
    startMs.push_back(Ms(t0, std::chrono::steady_clock::now()));
    // every month of the 30 years shown once: the whole book in memory
    for (int y = kFirstYear; y < kFirstYear + kLoadedYears; ++y)
      for (int m = 1; m <= 12; ++m) win.View()->ShowMonth(y, m);
    win.View()->ShowMonth(kFirstYear + kLoadedYears - 1, 12);
    (void)win.RenderSheetImage(440, 1100);
    auto* right = win.findChild<QToolButton*>("tbt_Right");
    if (!right) return 1;
    for (int k = 0; k < moves; ++k) {
      const double cpu = CpuMs();
      auto a = std::chrono::steady_clock::now();
      right->click();  // the tool button, as the user moves
      auto b = std::chrono::steady_clock::now();
      QImage img = win.RenderSheetImage(440, 1100);
      auto c = std::chrono::steady_clock::now();
      cpuMs.push_back(CpuMs() - cpu);
      moveMs.push_back(Ms(a, c));
      modelMs.push_back(Ms(a, b));
      if (img.isNull()) return 1;
    }
    loaded = win.View()->RowCount();
  }
  std::printf(
      "month move with repaint, a new month loaded each move (%zu moves, 109,575+ records loaded, "
      "last sheet %d rows):\n  median %.2f ms  p90 %.2f ms  worst %.2f ms\n",
      moveMs.size(), loaded, Percentile(moveMs, 0.5), Percentile(moveMs, 0.9),
      *std::max_element(moveMs.begin(), moveMs.end()));
  std::printf("  of which the move without the paint: median %.2f ms  p90 %.2f ms\n",
              Percentile(modelMs, 0.5), Percentile(modelMs, 0.9));
  std::printf("  processor time of a move with repaint: median %.2f ms  p90 %.2f ms  worst %.2f ms\n",
              Percentile(cpuMs, 0.5), Percentile(cpuMs, 0.9), *std::max_element(cpuMs.begin(), cpuMs.end()));
  const size_t worst = static_cast<size_t>(std::max_element(moveMs.begin(), moveMs.end()) - moveMs.begin());
  std::printf("  the worst was move %zu of round %zu (model %.2f ms)\n",
              worst % static_cast<size_t>(moves) + 1, worst / static_cast<size_t>(moves) + 1, modelMs[worst]);
  std::printf("start-up to the first painted sheet (in process, %zu windows): median %.1f ms\n",
              startMs.size(), Percentile(startMs, 0.5));
  if (keep.empty()) (void)fileops::RemoveTree(root);
  return 0;
}
