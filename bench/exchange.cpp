// Export and import of a ten-year diary (11,000 records, three screen
// fields and a memo of up to 400 bytes each) through the dialogs' models:
// every column of every record to CSV, and that file back with 全データ入替
// (the checking pass, the writing pass with its serials, every month file
// and the period list written). The day's safety copy exists already, as
// for every import of a day but the first.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "MemoBook.h"
#include "catalogue/CMyMaster.h"
#include "exchange/CMyExport.h"
#include "exchange/CMyImport.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

namespace {

constexpr int kRecords = 11000;

std::vector<jsc::Control> DiaryControls() {
  std::vector<jsc::Control> out;
  auto add = [&](int kind, int slot, const char* field, const char* alias, int type) {
    jsc::Control c;
    c.kind = kind;
    c.slot = slot;
    c.field = field;
    c.alias = cp932::FromUtf8(alias);
    c.dataType = type;
    c.maxLength = kind == jsc::kMemo ? 5000 : 250;
    out.push_back(c);
  };
  add(jsc::kText, 0, "MARK", "気分", 0);
  add(jsc::kText, 1, "TIME_F", "開始", jsc::kTime2);
  add(jsc::kText, 2, "TIME_T", "終了", jsc::kTime2);
  add(jsc::kMemo, 0, "MEM001", "日記", 0);
  return out;
}

// One division of the ten years on disk, and the objects over it.
struct Division {
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 3, 14}};
  std::string root;
  CMyGlobal global;
  CMyDB db{&prompter};
  CMyRec work{&db};
  CMyMaster divout{"DIVOUT", &prompter};
  CMyPeriods periods{global, db, work, divout, prompter};
  ExchangeBook book{global, db, periods, divout, ScreenFieldsOf(DiaryControls())};
  Division(const std::string& r, const char* name) : root(r), global(prompter, clock, r) {
    global.UseDataRoot(root);
    global.SetUserName("u");
    global.SetDivisionFolder(name);
    fileops::MakeDirs(global.DivisionPath(""));
    DefineMemoSchema(db);
  }
};

// $TMPDIR (else /tmp): the disk the files go to decides much of the time,
// since every file written is synced.
std::string TempRoot() {
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = (t && *t == '/' ? std::string(t) : std::string("/tmp")) + "/jbx-bench-exchange-XXXXXX";
  return mkdtemp(tmpl.data()) ? tmpl + "/" : std::string();
}

// Ten years of entries, saved month by month with their period list.
void Fill(Division& d) {
  bench::Book b = bench::Generate(d.db, kRecords);
  for (size_t m = 0; m < b.monthNames.size(); ++m) {
    if (b.months[m].empty()) continue;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, b.monthNames[m]);
    (void)d.divout.Append(rec);
    (void)d.divout.SetInt(d.divout.RecordCount() - 1, CMyMaster::kRFlag, 1);
    (void)d.divout.SetInt(d.divout.RecordCount() - 1, CMyMaster::kRKey11, 5 * 31);
  }
  for (size_t m = 0; m < b.monthNames.size(); ++m)
    if (!b.months[m].empty()) (void)d.periods.SavePeriod(b.monthNames[m]);
}

ExportOptions AllColumns(CMyExport& ex, const std::string& path) {
  ExportOptions o;
  o.path = path;
  o.columns = ex.StandardColumns();
  o.interactive = false;
  o.remember = false;
  return o;
}

}  // namespace

static void BM_ExportTenYears(benchmark::State& state) {
  const std::string root = TempRoot();
  Division d(root, "from");
  Fill(d);
  CMyExport ex(d.book, d.prompter);
  const ExportOptions o = AllColumns(ex, root + "diary.csv");
  for (auto _ : state) {
    if (ex.Run(o) != CMyExport::kOk) state.SkipWithError("export failed");
  }
  state.counters["records"] = kRecords;
  state.counters["bytes"] = static_cast<double>(fileops::Size(root + "diary.csv"));
  fileops::RemoveTree(root);
}
BENCHMARK(BM_ExportTenYears)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

static void BM_ImportTenYears(benchmark::State& state) {
  const std::string root = TempRoot();
  {
    Division from(root, "from");
    Fill(from);
    CMyExport ex(from.book, from.prompter);
    if (ex.Run(AllColumns(ex, root + "diary.csv")) != CMyExport::kOk) state.SkipWithError("export failed");
  }
  Division to(root, "to");
  CMyImport im(to.book, to.prompter, to.clock);
  (void)fileops::WriteAtomic(im.SafetyCopyPath(), "made earlier today\r\n");
  ImportOptions o;
  o.path = root + "diary.csv";
  o.replaceAll = true;
  o.interactive = false;
  o.remember = false;
  ImportResult r;
  for (auto _ : state) {
    if (im.Run(o, &r) != CMyImport::kOk || r.added != kRecords) state.SkipWithError("import failed");
  }
  state.counters["records"] = r.added;
  fileops::RemoveTree(root);
}
BENCHMARK(BM_ImportTenYears)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
