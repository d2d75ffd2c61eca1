#include "mainview/host/MainObjects.h"

#include <new>

#include "mainview/sheet/CalendarPort.h"
#include "mainview/sheet/RecordSetPort.h"
#include "platform/Prompter.h"
#include "store/MemoSchema.h"

namespace {

// The view reaches the division's data files through the periods.
class PeriodsPort : public ViewPeriods {
 public:
  PeriodsPort(CMyPeriods& periods, CMyMaster& divout) : periods_(periods), divout_(divout) {}
  int LoadPeriods(const std::string& from, const std::string& to) override {
    return periods_.LoadPeriods(from, to);
  }
  void SavePeriod(const std::string& period) override { (void)periods_.SavePeriod(period); }
  std::string LatestKey() const override { return divout_.HeaderText(); }

 private:
  CMyPeriods& periods_;
  CMyMaster& divout_;
};

}  // namespace

MainObjects::MainObjects(const MainSeams& s, std::unique_ptr<ScreenLoader> loader) {
  global = std::make_unique<CMyGlobal>(*s.prompter, *s.clock, s.programFolder, s.dataHome);
  if (!s.dataRoot.empty()) global->UseDataRoot(s.dataRoot);
  pub = std::make_unique<CMyPublic>(*s.clock);
  db = std::make_unique<CMyDB>(s.prompter);
  rec = std::make_unique<CMyRec>(db.get());
  rec2 = std::make_unique<CMyRec>(db.get());
  lines = std::make_unique<CMyLine>(2048, s.prompter);
  // the memo fields are fixed: only memory can be short for them
  if (DefineMemoSchema(*db) != CMyDB::kOk) throw std::bad_alloc();
  viewRecords = std::make_unique<RecordSetPort>(*db, *rec);
  sheetRecords = std::make_unique<SwitchRecords>(*viewRecords);
  calendar = std::make_unique<HolidayCalendar>(global->RootPath("holiday.dat"), global->RootPath("kinen.dat"),
                                               global->ProgramFolder());
  viewCalendar = std::make_unique<CalendarPort>(*calendar);
  static const char* kTables[kTableSlots] = {"USER", "DIVIN", "DIVOUT", "COLOR", "RELATION"};
  for (int i = 0; i < kTableSlots; ++i) tables[i] = std::make_unique<CMyMaster>(kTables[i], s.prompter);
  alarm = std::make_unique<CMyAlarm>(*global, *s.clock, s.prompter);
  alarmHook.alarm = alarm.get();
  undo = std::make_unique<UndoLog>();
  periods = std::make_unique<CMyPeriods>(*global, *db, *rec2, *tables[kDivOutTable], *s.prompter);
  periods->SetWriteWatch([u = undo.get()](const std::string& path) { return u->Touch(path); });
  viewPeriods = std::make_unique<PeriodsPort>(*periods, *tables[kDivOutTable]);
  view =
      std::make_unique<CMyView>(*sheetRecords, *viewCalendar, *viewPeriods, *s.prompter, *s.beeper, *s.clock);
  sheetPhotos = std::make_unique<PhotoState>(*s.clock, photoCounter);
  scr = std::make_unique<CMyScr>();
  scr->SetThumbnailRefresher([this](const std::string& path, const std::string& key) {
    sheetPhotos->SetDivisionFolder(scr->DivisionFolder());
    return sheetPhotos->RefreshThumbnail(path, key);
  });
  rowSource = std::make_unique<RecordRowSource>(*db, *rec);
  sheetScreen = std::make_unique<ScrSheetScreen>(*scr, *rowSource, *view);
  painter = std::make_unique<SheetPainter>(*view, *sheetScreen);
  screenLoader = loader ? std::move(loader) : std::make_unique<JosScreenLoader>(*scr, *db);
  group = std::make_unique<CMyGroup>(*s.prompter);
  groupRecords = std::make_unique<GroupRecords>(*group);
  groupRows = std::make_unique<GroupRowSource>(*group);
}

MainObjects::~MainObjects() = default;

SheetPrinter PrinterOf(MainObjects& o, Prompter& prompter) {
  return SheetPrinter(*o.view, *o.painter, *o.sheetScreen, *o.sheetScreen, prompter);
}

PrintHead PrintHeadOf(MainObjects& o, int divisionTab, CivilDate today) {
  PrintHead h;
  const CMyGlobal& g = *o.global;
  h.title = g.printTitle;
  h.page = g.printPage;
  h.now = g.printNow;
  CMyMaster& users = o.Table(kUserTable);
  if (divisionTab >= 0 && divisionTab < users.RecordCount()) h.division = users.Name(divisionTab);
  h.label = o.view->Label();
  h.today = today;
  return h;
}
