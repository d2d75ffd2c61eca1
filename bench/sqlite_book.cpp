// Writes the generated book as a division would hold it, for the
// whole-process comparison in select_vs_sqlite.sh: one data file per month
// ("dt199501.jdt" ... 360 of them) and a SQLite database file of the same
// rows, one TEXT column per memo field (c0 .. c42), in UTF-8.
//
//   bench_sqlite_book FOLDER [RECORDS]     (default 1,000,000 records)
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "MemoBook.h"
#include "platform/FileOps.h"

namespace {

// the store takes a list of record numbers, never a null one, also for an
// empty month
const int kNoRecords = 0;

bool Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", err ? err : "?");
    sqlite3_free(err);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [RECORDS]\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const int records = argc > 2 ? std::atoi(argv[2]) : 1000000;
  if (!fileops::MakeDirs(folder)) {
    std::fprintf(stderr, "cannot make %s\n", folder.c_str());
    return 1;
  }
  auto table = std::make_unique<CMyDB>();
  bench::Book book = bench::Generate(*table, records);
  int64_t fileBytes = 0;
  for (size_t i = 0; i < book.months.size(); ++i) {
    const std::string path = folder + "/dt" + book.monthNames[i] + ".jdt";
    if (table->WriteSubset(path, book.months[i].empty() ? &kNoRecords : book.months[i].data(),
                           static_cast<int>(book.months[i].size())) != 0) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::string bytes;
    if (fileops::ReadAll(path, bytes)) fileBytes += static_cast<int64_t>(bytes.size());
  }

  const std::string dbPath = folder + "/book.sqlite";
  (void)fileops::Remove(dbPath);  // an earlier run's, if there is one
  sqlite3* sq = nullptr;
  if (sqlite3_open(dbPath.c_str(), &sq) != SQLITE_OK) {
    std::fprintf(stderr, "cannot open %s\n", dbPath.c_str());
    return 1;
  }
  std::string create = "CREATE TABLE memo(";
  std::string insert = "INSERT INTO memo VALUES(";
  for (int f = 0; f < memo::kFieldCount; ++f) {
    create += (f ? ",c" : "c") + std::to_string(f) + " TEXT";
    insert += f ? ",?" : "?";
  }
  create += ")";
  insert += ")";
  if (!Exec(sq, "PRAGMA journal_mode=OFF") || !Exec(sq, create.c_str()) || !Exec(sq, "BEGIN")) return 1;
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(sq, insert.c_str(), -1, &ins, nullptr);
  std::string utf8;
  // month by month, as the files hold them
  for (const auto& month : book.months) {
    for (int r : month) {
      for (int f = 0; f < memo::kFieldCount; ++f) {
        cp932::ToUtf8(table->Value(f, r), utf8);
        sqlite3_bind_text(ins, f + 1, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
      }
      sqlite3_step(ins);
      sqlite3_reset(ins);
    }
  }
  sqlite3_finalize(ins);
  if (!Exec(sq, "COMMIT")) return 1;
  sqlite3_close(sq);
  std::printf("%d records in %zu month files (%lld bytes) and %s\n", table->RecordCount(), book.months.size(),
              static_cast<long long>(fileBytes), dbPath.c_str());
  return 0;
}
