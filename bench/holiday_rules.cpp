// The holiday dialog's work on a file of a thousand rules: reading it for a
// year, the list lines for the year and for all years, and the preview of a
// year (resolving every rule again and walking the year's dates). Each is
// done on every edit, so together they should stay well under the time a
// click takes (a few milliseconds).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "calendar/CMyHolidayEditor.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"

namespace {

struct RuleFile {
  std::string dir;
  RuleFile() {
    char tmpl[] = "/tmp/jbx-bench-XXXXXX";
    dir = mkdtemp(tmpl);
    std::string text = "CL01\r\n";
    char line[96];
    for (int i = 0; i < 1000; ++i) {
      std::snprintf(line, sizeof line, "%d\t%d\tR%d\t%d\t9999\t%d\t%d\r\n", i % 12 + 1, i % 28 + 1, i,
                    1900 + i % 200, i % 97 == 0 ? 1 : 0, i % 3 == 0 ? i % 28 : -1);
      text += line;
    }
    (void)fileops::WriteAtomic(dir + "/holiday.dat", text);
  }
  ~RuleFile() { (void)fileops::RemoveTree(dir); }
};

void BM_OpenAThousandRules(benchmark::State& state) {
  RuleFile f;
  ScriptedPrompter prompter;
  for (auto _ : state) {
    CMyHolidayEditor e(f.dir + "/holiday.dat", f.dir + "/kinen.dat", f.dir, 2026, prompter);
    e.Open();
    benchmark::DoNotOptimize(e.Rules().Count(0));
  }
}
BENCHMARK(BM_OpenAThousandRules)->Unit(benchmark::kMillisecond);

void BM_ListLines(benchmark::State& state) {
  RuleFile f;
  ScriptedPrompter prompter;
  CMyHolidayEditor e(f.dir + "/holiday.dat", f.dir + "/kinen.dat", f.dir, 2026, prompter);
  e.Open();
  const bool all = state.range(0) != 0;
  for (auto _ : state) benchmark::DoNotOptimize(e.Rows(0, all));
}
BENCHMARK(BM_ListLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PreviewOfAYear(benchmark::State& state) {
  RuleFile f;
  ScriptedPrompter prompter;
  CMyHolidayEditor e(f.dir + "/holiday.dat", f.dir + "/kinen.dat", f.dir, 2026, prompter);
  e.Open();
  for (auto _ : state) benchmark::DoNotOptimize(e.Preview(2026));
}
BENCHMARK(BM_PreviewOfAYear)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
