// The search dialog's "（全て）" contains-search ("一致する文字がある") over
// the diary's fields of a million loaded records, from the first record of
// the sheet's order to a hit near its end, against SQLite's LIKE '%...%'
// OR-ed over the same fields of the same rows in an in-memory database in
// the same order (LIMIT 1: it too stops at the first hit). A word and a
// single kanji, and the search with width folding on against the same
// SQLite figure; a half-width search for a full-width word, which folds
// every value it reads. This is the match loop only, over a book already
// loaded and sorted: the whole command (start, loading, sorting, printing)
// is timed by find_vs_sqlite.sh. Report the medians:
//   bench_sqlite_search --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "MemoBook.h"
#include "Require.h"
#include "mainview/search/SearchCommands.h"
#include "store/CMyRec.h"

namespace {

constexpr int kRecords = 1000000;
const char* kWord = "歯医者";  // one record, 1000 records before the end
const char* kKanji = "鰻";     // one record, 2000 records before the end
// one record, 3000 records before the end, written in full width and looked
// for in half width: every value is folded on the way
const char* kKana = "カレー";
const char* kHalfKana = "ｶﾚｰ";

struct Fixture {
  std::unique_ptr<CMyDB> db = std::make_unique<CMyDB>();
  std::unique_ptr<CMyRec> rec;
  std::vector<SearchField> fields;
  sqlite3* sq = nullptr;
  sqlite3_stmt* like = nullptr;

  Fixture() {
    bench::Generate(*db, kRecords);
    // the diary's form: 気分, 天気, 時刻, 日記, 写真; the weather filled in too
    fields = {{"MARK", ""}, {"DAT001", ""}, {"TIME_F", ""}, {"MEM001", ""}, {"IMG001", ""}};
    const std::string weather[] = {cp932::FromUtf8("晴れ"), cp932::FromUtf8("曇り"), cp932::FromUtf8("雨"),
                                   cp932::FromUtf8("晴れのち曇り")};
    const int dat001 = db->FindField("DAT001");
    for (int r = 0; r < db->RecordCount(); ++r) {
      bench::Require(db->Load(r) == 0, "Load");
      bench::Require(db->SetValue(dat001, weather[r % 4]) == 0, "SetValue");
      bench::Require(db->Store() == 0, "Store");
    }
    rec = std::make_unique<CMyRec>(db.get());
    bench::Require(rec->SetSort(cp932::FromUtf8("キー項目,行連番"), false) == 0, "SetSort");
    bench::Require(rec->Select("") >= 0, "Select");
    Plant(rec->Count() - 1000, kWord);
    Plant(rec->Count() - 2000, kKanji);
    Plant(rec->Count() - 3000, kKana);

    // SQLite: one TEXT column per memo field, rows in the sheet's order
    sqlite3_open(":memory:", &sq);
    std::string create = "CREATE TABLE memo(", insert = "INSERT INTO memo VALUES(";
    for (int f = 0; f < memo::kFieldCount; ++f) {
      create += (f ? ",c" : "c") + std::to_string(f) + " TEXT";
      insert += f ? ",?" : "?";
    }
    sqlite3_exec(sq, (create + ")").c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(sq, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(sq, (insert + ")").c_str(), -1, &ins, nullptr);
    std::string utf8;
    for (int i = 0; i < rec->Count(); ++i) {
      const int r = rec->Items()[i];
      for (int f = 0; f < memo::kFieldCount; ++f) {
        cp932::ToUtf8(db->Value(f, r), utf8);
        sqlite3_bind_text(ins, f + 1, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
      }
      sqlite3_step(ins);
      sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    sqlite3_exec(sq, "COMMIT", nullptr, nullptr, nullptr);
    std::string where;
    for (const SearchField& f : fields) {
      if (!where.empty()) where += " OR ";
      where += "c" + std::to_string(db->FindField(f.field)) + " LIKE ?1";
    }
    sqlite3_prepare_v2(sq, ("SELECT rowid FROM memo WHERE " + where + " LIMIT 1").c_str(), -1, &like,
                       nullptr);
  }
  ~Fixture() {
    sqlite3_finalize(like);
    sqlite3_close(sq);
  }
  void Plant(int position, const char* word) {
    const int r = rec->Items()[position];
    bench::Require(db->Load(r) == 0, "Load");
    bench::Require(
        db->SetValue(memo::kMem001, cp932::FromUtf8(std::string("今日は") + word + "に行った。")) == 0,
        "SetValue");
    bench::Require(db->Store() == 0, "Store");
  }
  // The position of the hit of a fresh search (the dialog's first press).
  int Search(const char* word, bool fold) {
    SearchQuery q;
    q.name = SearchCommands::AllFields();
    q.text = cp932::FromUtf8(word);
    std::string condition;
    SearchCommands::BuildCondition(q, fields, *db, condition);
    return SearchCommands::Start(*rec, condition, fold, 1);
  }
  int64_t Like(const char* word) {
    const std::string pattern = std::string("%") + word + "%";
    sqlite3_bind_text(like, 1, pattern.c_str(), -1, SQLITE_TRANSIENT);
    int64_t id = -1;
    if (sqlite3_step(like) == SQLITE_ROW) id = sqlite3_column_int64(like, 0);
    sqlite3_reset(like);
    return id;
  }
};

Fixture& Shared() {
  static Fixture f;  // a million records and their SQLite copy: made once
  return f;
}

void BM_FindAll(benchmark::State& state, const char* word, bool fold) {
  Fixture& f = Shared();
  int pos = -1;
  for (auto _ : state) benchmark::DoNotOptimize(pos = f.Search(word, fold));
  state.counters["position"] = pos;
  if (pos < 0) state.SkipWithError("no hit");
}

void BM_SqliteLike(benchmark::State& state, const char* word) {
  Fixture& f = Shared();
  int64_t id = -1;
  for (auto _ : state) benchmark::DoNotOptimize(id = f.Like(word));
  state.counters["position"] = static_cast<double>(id - 1);
  if (id < 0) state.SkipWithError("no hit");
}

BENCHMARK_CAPTURE(BM_FindAll, word, kWord, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAll, word_folded, kWord, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SqliteLike, word, kWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAll, kanji, kKanji, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAll, kanji_folded, kKanji, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SqliteLike, kanji, kKanji)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAll, kana_folded, kHalfKana, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SqliteLike, kana, kKana)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
