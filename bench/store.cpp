// Record store benchmarks on a generated book of a million memo records:
// selection with a typical filter, sorting, and loading / writing the month
// files. Memory of the table (resident bytes) is reported as counters of
// BM_LoadMonths.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "MemoBook.h"
#include "Require.h"
#include "platform/FileOps.h"
#include "store/CMyRec.h"

namespace {

// the store takes a list of record numbers, never a null one, also for an
// empty month
const int kNoRecords = 0;

constexpr int kRecords = 1000000;

struct Fixture {
  CMyDB db;
  bench::Book book;
  std::string folder;
  Fixture() {
    book = bench::Generate(db, kRecords);
    folder =
        (std::filesystem::temp_directory_path() / ("jbx-bench-store-" + std::to_string(::getpid()))).string();
    bench::Require(fileops::MakeDirs(folder), "MakeDirs");
  }
  ~Fixture() { (void)fileops::RemoveTree(folder); }
  std::string MonthPath(size_t i) const { return folder + "/dt" + book.monthNames[i] + ".jdt"; }
  void WriteMonths() const {
    for (size_t i = 0; i < book.months.size(); ++i)
      bench::Require(
          db.WriteSubset(MonthPath(i), book.months[i].empty() ? &kNoRecords : book.months[i].data(),
                         static_cast<int>(book.months[i].size())) == 0,
          "WriteSubset");
  }
};

Fixture& Shared() {
  static Fixture f;  // built once: generating a million records takes seconds
  return f;
}

void BM_RequeryWorkedExample(benchmark::State& state) {
  Fixture& f = Shared();
  CMyRec rs(&f.db);
  bench::Require(rs.MakeSql(cp932::FromUtf8(bench::kWorkedExample), CMyRec::kListFilter) == 0, "MakeSql");
  for (auto _ : state) {
    bench::Require(rs.Requery() >= 0, "Requery");
    benchmark::DoNotOptimize(rs.Count());
  }
  state.counters["selected"] = rs.Count();
  state.SetItemsProcessed(state.iterations() * f.db.RecordCount());
}
BENCHMARK(BM_RequeryWorkedExample)->Unit(benchmark::kMillisecond);

void BM_SortKeyDescSerial(benchmark::State& state) {
  Fixture& f = Shared();
  CMyRec rs(&f.db);
  bench::Require(rs.MakeSql("", CMyRec::kListFilter) == 0, "MakeSql");
  for (auto _ : state) {
    state.PauseTiming();
    bench::Require(rs.SetSort("", false) == 0, "SetSort");
    bench::Require(rs.Requery() >= 0, "Requery");  // record order, unsorted
    bench::Require(rs.SetSort(cp932::FromUtf8(bench::kSortSpec), false) == 0, "SetSort");
    state.ResumeTiming();
    rs.Sort();
  }
  state.SetItemsProcessed(state.iterations() * rs.Count());
}
BENCHMARK(BM_SortKeyDescSerial)->Unit(benchmark::kMillisecond);

void BM_WriteMonths(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) f.WriteMonths();
  state.counters["files"] = static_cast<double>(f.book.months.size());
  state.SetBytesProcessed(state.iterations() * f.book.recordBytes);
}
BENCHMARK(BM_WriteMonths)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadMonths(benchmark::State& state) {
  Fixture& f = Shared();
  f.WriteMonths();
  double heap = 0;
  int loaded = 0;
  for (auto _ : state) {
    size_t before = bench::ResidentBytes();
    auto db = std::make_unique<CMyDB>();
    bench::Require(DefineMemoSchema(*db) == 0, "DefineMemoSchema");
    for (size_t i = 0; i < f.book.months.size(); ++i)
      bench::Require(db->ReadFile(f.MonthPath(i), false) == 0, "ReadFile");
    state.PauseTiming();
    heap = static_cast<double>(bench::ResidentBytes() - before);
    loaded = db->RecordCount();
    db.reset();
    state.ResumeTiming();
  }
  state.counters["records"] = loaded;
  state.counters["record_bytes"] = static_cast<double>(f.book.recordBytes);
  state.counters["memory_bytes"] = heap;
  state.counters["memory_per_record_byte"] = heap / static_cast<double>(f.book.recordBytes);
  state.SetBytesProcessed(state.iterations() * f.book.recordBytes);
}
BENCHMARK(BM_LoadMonths)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
