// Export and import of a ten-year diary (11,000 records, three screen
// fields and a memo of up to 400 bytes each) through the dialogs' models:
// every column of every record to CSV, and that file back with 全データ入替
// (the checking pass, the writing pass with its serials, every month file
// and the period list written). The day's safety copy exists already, as
// for every import of a day but the first.
//
// Backup and restore of a user with three books of about 10 MB each, each beside `tar` on
// the same folder in the same run: the backup dialog's Ok (contents, the
// archive through a temporary, the read-back, the rename, the settings)
// against `tar cf`, and a restore under a new name (staging, one sync, the
// move into place) against `tar xf` into an empty folder. Wall time, since
// tar runs as a child process.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "MemoBook.h"
#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "exchange/CMyBackup.h"
#include "exchange/CMyExport.h"
#include "exchange/CMyImport.h"
#include "exchange/CMyRestore.h"
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
// A well-used book of ten years for the backup: about ten megabytes.
constexpr int kBookRecords = 26000;

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
    bench::Require(fileops::MakeDirs(global.DivisionPath("")), "MakeDirs");
    bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
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
void Fill(Division& d, int records = kRecords) {
  bench::Book b = bench::Generate(d.db, records);
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
  (void)fileops::RemoveTree(root);
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
  (void)fileops::RemoveTree(root);
}
BENCHMARK(BM_ImportTenYears)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

// The user "u" with three ten-year books and its backup folder, made once
// for all the backup benchmarks.
struct ThreeBooks {
  std::string root;  // data root, with "/"
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 3, 14}};
  std::unique_ptr<CMyGlobal> global;
  int64_t bytes = 0;  // of the user folder's files
  ThreeBooks() : root(TempRoot()) {
    if (root.empty()) return;
    // a portable data root: nothing goes near the real home
    (void)fileops::WriteAtomic(root + "jotbox.ini", "");
    CMyMaster users("USER");
    for (const char* name : {"diary", "work", "house"}) {
      Division d(root, name);
      Fill(d, kBookRecords);
      std::string rec = CMyMaster::Blank();
      CMyMaster::SetName(rec, name);
      (void)users.Append(rec);
    }
    global = std::make_unique<CMyGlobal>(prompter, clock, root, "/dev/null");
    global->UseDataRoot(root);
    global->SetUserName("u");
    (void)users.Write(global->UserPath("jbxuser.jpr"));
    (void)fileops::WriteAtomic(global->UserPath("jbxuser.ini"), "[BACK]\r\nKIND=7\r\n");
    (void)fileops::WriteAtomic(global->UserPath("alarm.dat"), std::string(196 * 40, 'a'));
    global->ReadSettings(false);
    bench::Require(fileops::MakeDirs(root + "back"), "MakeDirs");
    global->backPath = root + "back";
    for (const std::string& f :
         {std::string("jbxuser.jpr"), std::string("jbxuser.ini"), std::string("alarm.dat")})
      bytes += fileops::Size(global->UserPath(f));
    for (const char* name : {"diary", "work", "house"})
      for (const std::string& f : fileops::List(global->UserPath(name), "*"))
        bytes += fileops::Size(global->UserPath(name) + "/" + f);
  }
  ~ThreeBooks() {
    if (!root.empty()) (void)fileops::RemoveTree(root);
  }
  std::string Archive() const { return root + "back/u_1.mbk"; }
  std::string Tar() const { return root + "back/u.tar"; }
};

ThreeBooks& Books() {
  static ThreeBooks books;
  return books;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

static void BM_BackupThreeBooks(benchmark::State& state) {
  ThreeBooks& b = Books();
  if (!b.global) return state.SkipWithError("no temporary folder");
  CMyBackup backup(*b.global, b.clock);
  BackupResult r;
  for (auto _ : state) {
    b.global->backCu = 0;  // always the same generation, replaced each time
    if (backup.Run(&r) != CMyBackup::kOk) state.SkipWithError("backup failed");
  }
  state.counters["MB"] = static_cast<double>(r.bytes) / 1e6;
  state.counters["entries"] = r.entries;
}
BENCHMARK(BM_BackupThreeBooks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

static void BM_TarCreateThreeBooks(benchmark::State& state) {
  ThreeBooks& b = Books();
  if (!b.global) return state.SkipWithError("no temporary folder");
  const std::string cmd = "tar cf '" + b.Tar() + "' -C '" + b.root + "' u";
  for (auto _ : state) {
    if (!Shell(cmd)) state.SkipWithError("tar cf failed");
  }
  state.counters["MB"] = static_cast<double>(b.bytes) / 1e6;
}
BENCHMARK(BM_TarCreateThreeBooks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

static void BM_RestoreThreeBooks(benchmark::State& state) {
  ThreeBooks& b = Books();
  if (!b.global) return state.SkipWithError("no temporary folder");
  b.global->backCu = 0;
  if (CMyBackup(*b.global, b.clock).Run() != CMyBackup::kOk) return state.SkipWithError("backup failed");
  CMyRestore restore(*b.global, b.clock);
  int n = 0;
  for (auto _ : state) {
    const std::string user = "r" + std::to_string(++n);
    if (restore.Run(user, b.Archive(), false) != CMyRestore::kOk) state.SkipWithError("restore failed");
    state.PauseTiming();
    (void)fileops::RemoveTree(b.root + user);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RestoreThreeBooks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

static void BM_TarExtractThreeBooks(benchmark::State& state) {
  ThreeBooks& b = Books();
  if (!b.global) return state.SkipWithError("no temporary folder");
  if (!Shell("tar cf '" + b.Tar() + "' -C '" + b.root + "' u")) return state.SkipWithError("tar cf failed");
  const std::string into = b.root + "untar";
  for (auto _ : state) {
    state.PauseTiming();
    (void)fileops::RemoveTree(into);
    bench::Require(fileops::MakeDirs(into), "MakeDirs");
    state.ResumeTiming();
    if (!Shell("tar xf '" + b.Tar() + "' -C '" + into + "'")) state.SkipWithError("tar xf failed");
  }
  (void)fileops::RemoveTree(into);
}
BENCHMARK(BM_TarExtractThreeBooks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
