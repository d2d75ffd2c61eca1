// A generated memo book for the store benchmarks: dates over 30 years
// (cycled until the wanted number of records), 1-5 records a day per pass,
// Japanese memo texts of 20-400 bytes, marks and times. Deterministic.
#pragma once
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Require.h"
#include "platform/Cp932.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"

namespace bench {

// Resident bytes of the process: large pools are mapped, not taken from the
// heap, so the heap's own count would miss them.
inline size_t ResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word)
    if (word == "VmRSS:") {
      size_t kb = 0;
      status >> kb;
      return kb * 1024;
    }
  return 0;
}

constexpr const char* kWorkedExample =
    "キー項目>='2020/01/01' and (MEM001='*会議*' or MARK=='A*') or NODATA<>''";
constexpr const char* kSortSpec = "キー項目 D,行連番";
constexpr int kFirstYear = 1995;
constexpr int kYears = 30;

// The diary phrases the generated memos are made of (CP932).
inline std::vector<std::string> Phrases() {
  const char* phrasesUtf8[] = {"今日は",
                               "打ち合わせ",
                               "買い物に行った。",
                               "天気が良い。",
                               "明日の予定を確認する。",
                               "電話をかける",
                               "資料を作成",
                               "病院",
                               "散歩した",
                               "読書",
                               "夕食は寿司",
                               "プロジェクト",
                               "締め切り",
                               "友人と",
                               "映画を観た",
                               "report ",
                               "Memo "};
  std::vector<std::string> phrases;
  for (const char* p : phrasesUtf8) phrases.push_back(cp932::FromUtf8(p));
  return phrases;
}

struct Book {
  std::vector<std::string> monthNames;   // "yyyymm", one per month of the 30 years
  std::vector<std::vector<int>> months;  // record numbers per month
  int64_t recordBytes = 0;               // sum of the records' lengths
};

// Fills `db` (defined with the memo schema here) with `records` records.
inline Book Generate(CMyDB& db, int records, uint32_t seed = 12345) {
  bench::Require(DefineMemoSchema(db) == 0, "DefineMemoSchema");
  Book book;
  std::mt19937 rng(seed);
  const std::vector<std::string> phrases = Phrases();
  const std::string meeting = cp932::FromUtf8("会議");
  const std::string star = cp932::FromUtf8("★");
  const int64_t first = civil::DaysFrom({kFirstYear, 1, 1});
  const int64_t days = civil::DaysFrom({kFirstYear + kYears, 1, 1}) - first;
  for (int y = 0; y < kYears; ++y)
    for (int m = 1; m <= 12; ++m) {
      char name[8];
      std::snprintf(name, sizeof name, "%04d%02d", kFirstYear + y, m);
      book.monthNames.push_back(name);
    }
  book.months.resize(book.monthNames.size());
  std::vector<int> serial(static_cast<size_t>(days), 0);
  std::string memoText;
  char key[32], buf[32];
  int made = 0;
  while (made < records) {
    for (int64_t day = 0; day < days && made < records; ++day) {
      int y, m, d;
      const CivilDate cd = civil::FromDays(static_cast<long>(first + day));
      y = cd.year, m = cd.month, d = cd.day;
      std::snprintf(key, sizeof key, "%04d/%02d/%02d", y, m, d);
      const int weekday = static_cast<int>(((first + day) % 7 + 11) % 7);  // 0 = Sunday
      const int perDay = 1 + static_cast<int>(rng() % 5);
      for (int k = 0; k < perDay && made < records; ++k) {
        db.New();
        bench::Require(db.SetValue(memo::kKey, key) == 0, "SetValue");
        std::snprintf(buf, sizeof buf, "%d", weekday + 1);
        bench::Require(db.SetValue(memo::kWeekday, buf) == 0, "SetValue");
        std::snprintf(buf, sizeof buf, "%05d", ++serial[static_cast<size_t>(day)] % 100000);
        bench::Require(db.SetValue(memo::kLineSerial, buf) == 0, "SetValue");
        unsigned r = rng() % 100;
        bench::Require(db.SetValue(memo::kMark, r < 70   ? ""
                                                : r < 80 ? "A"
                                                : r < 85 ? "Apple"
                                                : r < 90 ? "a"
                                                         : star) == 0,
                       "SetValue");
        if (rng() % 10 < 3) {
          std::snprintf(buf, sizeof buf, "%02d:%02d", static_cast<int>(rng() % 24),
                        static_cast<int>(rng() % 60));
          bench::Require(db.SetValue(memo::kTimeF, buf) == 0, "SetValue");
          std::snprintf(buf, sizeof buf, "%02d:%02d", static_cast<int>(rng() % 24),
                        static_cast<int>(rng() % 60));
          bench::Require(db.SetValue(memo::kTimeT, buf) == 0, "SetValue");
        }
        bench::Require(db.SetValue(memo::kNoData, rng() % 50 == 0 ? "1" : "") == 0, "SetValue");
        const size_t target = 20 + rng() % 381;
        memoText.clear();
        while (memoText.size() < target)
          memoText += (rng() % 200 == 0) ? meeting : phrases[rng() % phrases.size()];
        memoText.resize(cp932::CharStart(memoText, target));
        bench::Require(db.SetValue(memo::kMem001, memoText) == 0, "SetValue");
        bench::Require(db.SetValue(memo::kUpdated, key) == 0, "SetValue");
        bench::Require(db.SetValue(memo::kCreated, key) == 0, "SetValue");
        bench::Require(db.Store() == 0, "Store");
        const int month = (y - kFirstYear) * 12 + (m - 1);
        book.months[static_cast<size_t>(month)].push_back(made);
        book.recordBytes += static_cast<int64_t>(db.RecordBytes(made).size());
        ++made;
      }
    }
  }
  return book;
}

}  // namespace bench
