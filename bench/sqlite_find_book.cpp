// Writes the book that find_vs_sqlite.sh times `jbx find` on, and the same
// rows for the sqlite3 tool: a data folder with user "u" and the first
// shipped package as its division, RECORDS entries over MONTHS month files
// (from 2015/01, in key order as a book typed day by day keeps them), memo
// texts of 20-400 bytes with "xyzzy" in every 997th (in changing case), and
// two SQLite database files of the rows in the same order: memo43.sqlite with
// one TEXT column per memo field (c0 .. c42) and memo3.sqlite with the key,
// the line serial and the memo text only (k, s, m).
//
//   bench_sqlite_find_book ROOT [RECORDS] [MONTHS]   (default 300,000 over 120)
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "DiaryRoot.h"
#include "MemoBook.h"
#include "Require.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/CMyPackage.h"
#include "catalogue/PackageList.h"
#include "platform/Clock.h"
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

// the store takes a list of record numbers, never a null one, also for an
// empty month
const int kNoRecords = 0;

struct Sql {
  sqlite3* db = nullptr;
  sqlite3_stmt* ins = nullptr;
  Sql(const std::string& path, const std::string& create, const std::string& insert) {
    (void)fileops::Remove(path);  // an earlier run's, if there is one
    bench::Require(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "sqlite3_open");
    Exec("PRAGMA journal_mode=OFF");
    Exec(create.c_str());
    Exec("BEGIN");
    bench::Require(sqlite3_prepare_v2(db, insert.c_str(), -1, &ins, nullptr) == SQLITE_OK, "prepare");
  }
  ~Sql() {
    sqlite3_finalize(ins);
    Exec("COMMIT");
    sqlite3_close(db);
  }
  void Exec(const char* sql) {
    bench::Require(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql);
  }
  void Bind(int column, const std::string& utf8) {
    sqlite3_bind_text(ins, column, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
  }
  void Row() {
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s ROOT [RECORDS] [MONTHS]\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  const int records = argc > 2 ? std::atoi(argv[2]) : 300000;
  const int months = argc > 3 ? std::atoi(argv[3]) : 120;
  bench::Require(records > 0 && months > 0, "RECORDS and MONTHS are positive");
  ScriptedPrompter prompter;
  bench::MakeDiaryRoot(root, prompter);
  FixedClock clock({2026, 1, 1});
  CMyGlobal g(prompter, clock, root);
  g.SetUserName("u");
  g.SetDivisionFolder("diary");

  std::string create43 = "CREATE TABLE memo(", insert43 = "INSERT INTO memo VALUES(";
  for (int f = 0; f < memo::kFieldCount; ++f) {
    create43 += (f ? ",c" : "c") + std::to_string(f) + " TEXT";
    insert43 += f ? ",?" : "?";
  }
  Sql wide(root + "/memo43.sqlite", create43 + ")", insert43 + ")");
  Sql narrow(root + "/memo3.sqlite", "CREATE TABLE memo(k TEXT, s TEXT, m TEXT)",
             "INSERT INTO memo VALUES(?,?,?)");

  const std::vector<std::string> phrases = bench::Phrases();
  const char* plants[] = {"xyzzy", "XYZZY", "Xyzzy"};
  const std::string weather = cp932::FromUtf8("晴れ");
  std::mt19937 rng(4242);
  CMyMaster divout("DIVOUT");
  std::string latest, text, utf8;
  char buf[16];
  int made = 0, planted = 0;
  for (int i = 0; i < months; ++i) {
    const int y = 2015 + i / 12, m = 1 + i % 12;
    const int want = records / months + (i < records % months ? 1 : 0);
    const int days = civil::DaysInMonth(y, m);
    CMyDB month;
    bench::Require(DefineMemoSchema(month) == 0, "DefineMemoSchema");
    for (int k = 0; k < want; ++k) {
      const CivilDate d{y, m, 1 + k * days / want};
      latest = civil::Ymd(d);
      month.New();
      bench::Require(month.SetValue(memo::kKey, latest) == 0, "SetValue");
      std::snprintf(buf, sizeof buf, "%d", civil::Weekday(d));
      bench::Require(month.SetValue(memo::kWeekday, buf) == 0, "SetValue");
      std::snprintf(buf, sizeof buf, "%05d", k + 1);
      bench::Require(month.SetValue(memo::kLineSerial, buf) == 0, "SetValue");
      bench::Require(month.SetValue(memo::kNoData, "0") == 0, "SetValue");
      const size_t target = 20 + rng() % 381;
      text.clear();
      if (++made % 997 == 0) text = plants[planted++ % 3];
      while (text.size() < target) text += phrases[rng() % phrases.size()];
      text.resize(cp932::CharStart(text, target));
      bench::Require(month.SetValue(memo::kMem001, text) == 0, "SetValue");
      bench::Require(month.SetValue(memo::kTimeF, k % 7 == 0 ? "09:00" : "") == 0, "SetValue");
      bench::Require(month.SetValue(memo::Dat(1), weather) == 0, "SetValue");
      bench::Require(month.SetValue(memo::kUpdated, latest) == 0, "SetValue");
      bench::Require(month.SetValue(memo::kCreated, latest) == 0, "SetValue");
      bench::Require(month.Store() == 0, "Store");
      for (int f = 0; f < memo::kFieldCount; ++f) {
        cp932::ToUtf8(month.Value(f, k), utf8);
        wide.Bind(f + 1, utf8);
        if (f == memo::kKey) narrow.Bind(1, utf8);
        if (f == memo::kLineSerial) narrow.Bind(2, utf8);
        if (f == memo::kMem001) narrow.Bind(3, utf8);
      }
      wide.Row();
      narrow.Row();
    }
    std::vector<int> all(static_cast<size_t>(month.RecordCount()));
    for (size_t r = 0; r < all.size(); ++r) all[r] = static_cast<int>(r);
    std::snprintf(buf, sizeof buf, "%04d%02d", y, m);
    bench::Require(
        month.WriteSubset(g.DivisionPath(CMyPeriods::FileName(buf)), all.empty() ? &kNoRecords : all.data(),
                          static_cast<int>(all.size())) == 0,
        "WriteSubset");
    std::string p = CMyMaster::Blank();
    CMyMaster::SetName(p, buf);
    bench::Require(divout.Append(p) == 0, "Append");
    (void)divout.SetInt(divout.RecordCount() - 1, CMyMaster::kRKey11, month.RecordCount());
  }
  divout.SetHeaderText(latest);
  bench::Require(divout.Write(g.DivisionPath("divout.jpr")) >= 0, "Write");
  std::printf("%d records in %d month files under %s, %d with xyzzy\n", made, months, root.c_str(), planted);
  return 0;
}
