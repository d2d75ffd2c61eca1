// Runs the same selection and ordering on the same generated book in the
// record store and in an in-memory SQLite database, and prints both times
// and their ratio. Also prints the table's memory against its record bytes.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "MemoBook.h"
#include "Require.h"
#include "store/CMyRec.h"

namespace {

double BestMs(int runs, const std::function<void()>& setup, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    setup();
    auto t0 = std::chrono::steady_clock::now();
    work();
    auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

bool Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", err ? err : "?");
    sqlite3_free(err);
    return false;
  }
  return true;
}

// Row ids of a query, as the record store's selection holds record numbers.
int Collect(sqlite3* db, const char* sql, std::vector<int64_t>& ids) {
  ids.clear();
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return -1;
  while (sqlite3_step(st) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(st, 0));
  sqlite3_finalize(st);
  return static_cast<int>(ids.size());
}

}  // namespace

int main(int argc, char** argv) {
  int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
  size_t before = bench::ResidentBytes();
  auto table = std::make_unique<CMyDB>();
  bench::Book book = bench::Generate(*table, records);
  size_t heapTable = bench::ResidentBytes() - before;
  std::printf("records %d, record bytes %lld, memory for the table %zu (%.2fx)\n", table->RecordCount(),
              static_cast<long long>(book.recordBytes), heapTable,
              static_cast<double>(heapTable) / static_cast<double>(book.recordBytes));

  // The same data in SQLite: one TEXT column per memo field, UTF-8.
  sqlite3* sq = nullptr;
  sqlite3_open(":memory:", &sq);
  std::string create = "CREATE TABLE memo(";
  std::string insert = "INSERT INTO memo VALUES(";
  for (int f = 0; f < memo::kFieldCount; ++f) {
    create += (f ? ",c" : "c") + std::to_string(f) + " TEXT";
    insert += f ? ",?" : "?";
  }
  create += ")";
  insert += ")";
  Exec(sq, create.c_str());
  Exec(sq, "BEGIN");
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(sq, insert.c_str(), -1, &ins, nullptr);
  std::string utf8;
  for (int r = 0; r < table->RecordCount(); ++r) {
    for (int f = 0; f < memo::kFieldCount; ++f) {
      cp932::ToUtf8(table->Value(f, r), utf8);
      sqlite3_bind_text(ins, f + 1, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  Exec(sq, "COMMIT");

  // c1 = キー項目, c4 = 行連番, c5 = MARK, c9 = NODATA, c12 = MEM001. LIKE folds
  // ASCII case as "=" with wildcards does; GLOB is case-sensitive as "==".
  const char* where =
      "SELECT rowid FROM memo WHERE c1 >= '2020/01/01' AND (c12 LIKE '%会議%' OR c5 GLOB 'A*') OR c9 <> ''";
  const char* order = "SELECT rowid FROM memo ORDER BY c1 DESC, c4";

  CMyRec rs(table.get());
  bench::Require(rs.MakeSql(cp932::FromUtf8(bench::kWorkedExample), CMyRec::kListFilter) == 0, "MakeSql");
  std::vector<int64_t> ids;
  double ourFilter = BestMs(
      5, [] {}, [&] { bench::Require(rs.Requery() >= 0, "Requery"); });
  double sqlFilter = BestMs(
      5, [] {}, [&] { Collect(sq, where, ids); });
  if (static_cast<size_t>(rs.Count()) != ids.size())
    std::printf("warning: selections differ (%d vs %zu)\n", rs.Count(), ids.size());
  std::printf("filter  jbx %8.1f ms  sqlite %8.1f ms  ratio %.2f  (%d records selected)\n", ourFilter,
              sqlFilter, ourFilter / sqlFilter, rs.Count());

  bench::Require(rs.MakeSql("", CMyRec::kListFilter) == 0, "MakeSql");
  const std::string spec = cp932::FromUtf8(bench::kSortSpec);
  double ourSort = BestMs(
      3,
      [&] {
        bench::Require(rs.SetSort("", false) == 0, "SetSort");
        bench::Require(rs.Requery() >= 0, "Requery");
        bench::Require(rs.SetSort(spec, false) == 0, "SetSort");
      },
      [&] { rs.Sort(); });
  double ourSelectSort = BestMs(
      3, [&] { bench::Require(rs.SetSort(spec, false) == 0, "SetSort"); },
      [&] { bench::Require(rs.Requery() >= 0, "Requery"); });
  double sqlSort = BestMs(
      3, [] {}, [&] { Collect(sq, order, ids); });
  bool same = ids.size() == static_cast<size_t>(rs.Count());
  for (size_t i = 0; same && i < ids.size(); ++i) same = ids[i] == rs.Items()[i] + 1;
  std::printf("sort    jbx %8.1f ms  sqlite %8.1f ms  ratio %.2f  (select+sort %.1f ms, ratio %.2f)%s\n",
              ourSort, sqlSort, ourSort / sqlSort, ourSelectSort, ourSelectSort / sqlSort,
              same ? "" : "  order differs");
  sqlite3_close(sq);
  return 0;
}
