// The main record set as the sheet uses it: a month move that loads a
// period merges it into the selection, and the sheet finds the first record
// of its period by halving the sorted selection. Both must leave the sheet
// exactly as a full requery and a walk from the first record would.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>

#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/RecordSetPort.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

namespace {

// The port as it was: every reload a full requery, every period found by
// walking from the first record.
class FullPort : public RecordSetPort {
 public:
  using RecordSetPort::RecordSetPort;
  int RequeryAppended(const std::string& filter, const std::string& sort) override {
    return Requery(filter, sort);
  }
  int SkipKeysBelow(std::string_view key) const override { return ViewRecords::SkipKeysBelow(key); }
};

class NoCalendar : public ViewCalendar {
 public:
  void LoadYear(int) override {}
  void ResetCursors() override {}
  void Find(CivilDate, const HolidayEntry*& h, const HolidayEntry*& a) override { h = a = nullptr; }
};

// Month files in a folder, loaded into one table as the view reaches them.
class FolderPeriods : public ViewPeriods {
 public:
  FolderPeriods(CMyDB& db, const std::string& folder) : db_(db), folder_(folder) {}
  int LoadPeriods(const std::string& from, const std::string& to) override {
    int loaded = 0;
    for (int y = 2019; y <= 2022; ++y)
      for (int m = 1; m <= 12; ++m) {
        char name[16];
        std::snprintf(name, sizeof name, "%04d%02d", y, m);
        if (name < from || name > to || !loaded_.insert(name).second) continue;
        const int rc = db_.ReadFile(folder_ + "/dt" + name + ".jdt", false);
        EXPECT_TRUE(rc == 0 || rc == CMyDB::kCannotOpen) << name << " " << rc;
        ++loaded;
      }
    return loaded;
  }
  void SavePeriod(const std::string&) override {}

 private:
  CMyDB& db_;
  std::string folder_;
  std::set<std::string> loaded_;
};

struct Sheet {
  Sheet(const std::string& folder, bool full) : periods(db, folder) {
    EXPECT_EQ(0, DefineMemoSchema(db));
    port = full ? std::make_unique<FullPort>(db, rec) : std::make_unique<RecordSetPort>(db, rec);
    view = std::make_unique<CMyView>(*port, calendar, periods, prompter, beeper, clock);
    ViewScreen screen;
    screen.filter = filter;
    view->SetScreen(screen);
  }
  std::string filter;
  CMyDB db;
  CMyRec rec{&db};
  std::unique_ptr<RecordSetPort> port;
  NoCalendar calendar;
  FolderPeriods periods;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2020, 6, 15}};
  std::unique_ptr<CMyView> view;
};

// Key, serial and place of every row.
std::vector<std::string> RowsOf(Sheet& s) {
  std::vector<std::string> out;
  for (const SheetRow& r : s.view->Rows()) {
    std::string serial(s.port->Value(r.record, memo::kLineSerial));
    out.push_back(std::string(r.key) + "#" + serial + " " + std::to_string(r.record) + " " +
                  std::to_string(r.lineNo) + "/" + std::to_string(r.linesOfKey) + " h" +
                  std::to_string(r.height));
  }
  return out;
}

void WriteBook(const std::string& folder, uint32_t seed) {
  std::mt19937 rng(seed);
  CMyDB month;
  ASSERT_EQ(0, DefineMemoSchema(month));
  for (int y = 2019; y <= 2022; ++y)
    for (int m = 1; m <= 12; ++m) {
      if (rng() % 6 == 0) continue;  // a month never written
      month.ClearRecords();
      const int n = static_cast<int>(rng() % 50);
      for (int k = 0; k < n; ++k) {
        char key[48], serial[16];
        std::snprintf(key, sizeof key, "%04d/%02d/%02d", y, m, 1 + static_cast<int>(rng() % 28));
        // now and then the same serial twice in a day: equal keys
        std::snprintf(serial, sizeof serial, "%05d", rng() % 10 == 0 ? 1 : k + 1);
        month.New();
        ASSERT_EQ(0, month.SetValue(memo::kKey, key));
        ASSERT_EQ(0, month.SetValue(memo::kLineSerial, serial));
        ASSERT_EQ(0, month.SetValue(memo::kMark, rng() % 2 ? "A" : ""));
        ASSERT_EQ(0, month.Store());
      }
      std::vector<int> all{0};
      all.clear();
      for (int r = 0; r < month.RecordCount(); ++r) all.push_back(r);
      char name[32];
      std::snprintf(name, sizeof name, "/dt%04d%02d.jdt", y, m);
      ASSERT_EQ(
          0, month.WriteSubset(folder + name, all.empty() ? &n : all.data(), static_cast<int>(all.size())));
    }
}

TEST(RecordSetPort, MonthMovesShowWhatAFullReloadShows) {
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    for (const char* filterUtf8 : {"", "MARK='A'"}) {
      TempDir dir;
      WriteBook(dir.path(), seed);
      Sheet merged(dir.path(), false), full(dir.path(), true);
      for (Sheet* s : {&merged, &full}) {
        s->filter = cp932::FromUtf8(filterUtf8);
        ViewScreen screen;
        screen.filter = s->filter;
        screen.periodsBefore = 1;
        screen.periodsAfter = 2;
        s->view->SetScreen(screen);
        s->view->ReloadView();
        s->view->GoToday();
      }
      std::mt19937 rng(seed);
      for (int step = 0; step < 40; ++step) {
        const unsigned op = rng() % 10;
        const int delta = op < 6 ? 1 : op < 9 ? -1 : 0;
        if (delta == 0) {
          // an entry added and one deleted in both, then a reload as after an edit
          const int victim =
              merged.db.RecordCount() > 0 ? static_cast<int>(rng() % merged.db.RecordCount()) : -1;
          for (Sheet* s : {&merged, &full}) {
            s->db.New();
            ASSERT_EQ(0, s->db.SetValue(memo::kKey, civil::Ymd(s->view->PeriodStart())));
            ASSERT_EQ(0, s->db.SetValue(memo::kLineSerial, "00099"));
            ASSERT_EQ(0, s->db.Store());
            if (victim >= 0) {
              ASSERT_EQ(1, s->db.MarkDeleted(victim));
            }
            s->view->ReloadView();
            s->view->RebuildRows();
          }
        } else {
          merged.view->StepPeriod(delta);
          full.view->StepPeriod(delta);
        }
        ASSERT_EQ(RowsOf(full), RowsOf(merged)) << "seed " << seed << " step " << step << " " << filterUtf8;
        ASSERT_EQ(full.rec.Count(), merged.rec.Count());
      }
    }
  }
}

TEST(RecordSetPort, ThePeriodStartIsFoundAsTheWalkFindsItWhateverTheKeys) {
  // keys a damaged or foreign file may hold: letters of both cases sort
  // folded, so byte order and the selection's order differ among them
  const char* keys[] = {"2020/01/01", "ABC",        "abc", "[x", "_y", "Zed", "2019/12/31", "",
                        "2020/1",     "2020/01/01", "1",   "9",  "あ", "20",  "2020/02/30", "2021"};
  CMyDB db;
  ASSERT_EQ(0, DefineMemoSchema(db));
  for (const char* k : keys) {
    db.New();
    ASSERT_EQ(0, db.SetValue(memo::kKey, cp932::FromUtf8(k)));
    ASSERT_EQ(0, db.Store());
  }
  CMyRec rec(&db);
  RecordSetPort port(db, rec);
  ASSERT_EQ(0, port.Requery("", "キー項目,行連番"_sj));
  const char* probes[] = {"2020/01/01", "2020/01/02", "0", "2019", "3000", "", "2020/1", "1/", "9999/99/99"};
  for (const char* p : probes) EXPECT_EQ(port.ViewRecords::SkipKeysBelow(p), port.SkipKeysBelow(p)) << p;
  // in another order the halving cannot be used; the walk still answers
  ASSERT_EQ(0, port.Requery("", "キー項目 D"_sj));
  for (const char* p : probes) EXPECT_EQ(port.ViewRecords::SkipKeysBelow(p), port.SkipKeysBelow(p)) << p;
}

}  // namespace
