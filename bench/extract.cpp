// Extraction on a household book of ten years, 200,000 entries: this year's
// entries whose category holds 食費, grouped by category with the sum of the
// amount, from the dialog's state to the group rows; and opening the dialog
// (its rows, the list of saved methods and the last conditions).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>

#include "Require.h"
#include "extract/CMyGroup.h"
#include "extract/CMyPickup.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

namespace {

struct Household {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 6, 15}};
  CMyDB db{&prompter};
  PickupSetup setup;
  std::string dir;

  Household() {
    bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
    const char* fields[][2] = {{"DAT001", "品目"},     {"DAT002", "分類"}, {"DAT003", "内訳"},
                               {"DAT004", "金額"},     {"DAT005", "税率"}, {"DAT006", "税込"},
                               {"DAT007", "支払方法"}, {"MEM001", "メモ"}};
    for (auto& f : fields) {
      PickupField p;
      p.name = f[0];
      p.caption = cp932::FromUtf8(f[1]);
      p.numeric = p.name == "DAT004" || p.name == "DAT005" || p.name == "DAT006";
      (void)db.SetAlias(p.name, p.caption);
      setup.fields.push_back(p);
    }
    std::vector<std::string> kinds;
    for (const char* k : {"食費", "外食費", "日用品", "交通費", "光熱費", "医療費", "娯楽", "衣服"})
      kinds.push_back(cp932::FromUtf8(k));
    const std::string item = cp932::FromUtf8("買い物");
    std::mt19937 rng(7);
    const long first = civil::DaysFrom({2017, 1, 1});
    const long days = civil::DaysFrom({2027, 1, 1}) - first;
    char serial[8], amount[16];
    for (int i = 0; i < 200000; ++i) {
      db.New();
      bench::Require(db.SetValue(memo::kKey, civil::Ymd(civil::FromDays(first + static_cast<long>(i) * days /
                                                                                    200000))) == 0,
                     "SetValue");
      std::snprintf(serial, sizeof serial, "%05d", i % 50 + 1);
      bench::Require(db.SetValue(memo::kLineSerial, serial) == 0, "SetValue");
      bench::Require(db.SetValue(memo::kNoData, "1") == 0, "SetValue");
      bench::Require(db.SetValue(memo::Dat(1), item) == 0, "SetValue");
      bench::Require(db.SetValue(memo::Dat(2), kinds[rng() % kinds.size()]) == 0, "SetValue");
      std::snprintf(amount, sizeof amount, "%u", static_cast<unsigned>(100 + rng() % 5000));
      bench::Require(db.SetValue(memo::Dat(4), amount) == 0, "SetValue");
      bench::Require(db.Store() == 0, "Store");
    }
    char tmpl[] = "/tmp/jbxbench.XXXXXX";
    dir = mkdtemp(tmpl) ? tmpl : "/tmp";
    setup.divisionDir = dir;
    setup.shownDate = {2026, 6, 15};
  }
  ~Household() { (void)fileops::RemoveTree(dir); }
};

Household& Book() {
  static Household h;
  return h;
}

void BM_ThisYearsFoodGroupedWithSums(benchmark::State& state) {
  Household& h = Book();
  CMyPickup m(h.db, h.prompter, h.beeper, h.clock);
  m.Setup(h.setup);
  m.SetMode(CMyPickup::kGroupDisplay);  // sums the numeric fields
  m.SetPeriod(CMyPickup::kYear);
  const int kind = m.RowOfCaption(cp932::FromUtf8("分類"));
  m.SetCellText(kind, m.ValueColumn(), cp932::FromUtf8("*食費*"));
  m.TypeKey(kind, m.ColumnOf(CMyPickup::kSortNo), '1');
  CMyRec rec(&h.db);
  CMyGroup group(h.prompter);
  for (auto _ : state) {
    if (m.BuildExtraction() != 0) state.SkipWithError("refused");
    bench::Require(rec.SetSort(m.Sort(), false) == 0, "SetSort");
    bench::Require(rec.Select(m.Filter()) >= 0, "Select");
    if (group.Build(h.db, rec.Items(), rec.Count(), m.GroupColumns()) != 2) state.SkipWithError("groups");
    if (group.Show(m.Sort()) != 0) state.SkipWithError("show");
    benchmark::DoNotOptimize(group.RowCount());
  }
  state.counters["records"] = rec.Count();
}
BENCHMARK(BM_ThisYearsFoodGroupedWithSums)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OpenTheDialog(benchmark::State& state) {
  Household& h = Book();
  std::string list = cp932::FromUtf8("（前の内容）\r\n");
  for (int i = 0; i < 30; ++i) list += "method" + std::to_string(i) + "\r\n";
  (void)fileops::WriteAtomic(h.dir + "/pickout.lst", list);
  {
    CMyPickup m(h.db, h.prompter, h.beeper, h.clock);
    m.Setup(h.setup);
    m.SetDetailPage(true);
    (void)m.Apply();  // a "pickout.pit" to load
  }
  for (auto _ : state) {
    CMyPickup m(h.db, h.prompter, h.beeper, h.clock);
    m.Setup(h.setup);
    m.OpenDialog();
    benchmark::DoNotOptimize(m.MethodItems().size());
  }
}
BENCHMARK(BM_OpenTheDialog)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
