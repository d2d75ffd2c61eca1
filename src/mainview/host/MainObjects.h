// The objects one run of the main window shares, created in a fixed order
// (each may use the ones above it) and freed in the reverse order, which is
// the order of the members below: closing the window is one reset.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "alarm/CMyAlarm.h"
#include "calendar/HolidayCalendar.h"
#include "catalogue/CMyMaster.h"
#include "catalogue/DivisionCommands.h"
#include "extract/CMyGroup.h"
#include "input/PhotoState.h"
#include "mainview/host/UndoLog.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/CopySource.h"
#include "mainview/sheet/GroupPorts.h"
#include "mainview/sheet/ScreenPorts.h"
#include "mainview/sheet/SheetPainter.h"
#include "mainview/sheet/ViewPorts.h"
#include "screens/CMyScr.h"
#include "shell/CMyGlobal.h"
#include "shell/CMyPublic.h"
#include "store/CMyDB.h"
#include "store/CMyLine.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

class Prompter;
class Beeper;
class Clock;
class FileChooser;
class Clipboard;
class Opener;
class Launcher;

// The name tables of a run, by their slot.
enum TableSlot { kUserTable = 0, kDivInTable = 1, kDivOutTable = 2, kColorTable = 3, kRelationTable = 4 };
constexpr int kTableSlots = 5;

// How a division is opened; the numbers are the ones callers always passed.
enum class OpenDivisionMode { Switch = 0, Create = 1, AfterUserChange = 8, StartUp = 9 };
// How a screen is opened: switch to an existing one, add a new one, or the
// first screen of a division just opened (its tabs are rebuilt).
enum class OpenScreenMode { Switch = 0, Create = 1, FirstOfDivision = 9 };

struct MainSeams {
  Prompter* prompter = nullptr;
  Beeper* beeper = nullptr;
  const Clock* clock = nullptr;
  std::string programFolder;  // folder of the executable
  std::string dataHome;       // per-user data folder; empty = the platform's
  std::string dataRoot;       // given outright (jbx render); empty = the usual rules
};

class MainObjects {
 public:
  // Creates every object; `loader` replaces the screen reader (tests).
  MainObjects(const MainSeams& seams, std::unique_ptr<ScreenLoader> loader);
  ~MainObjects();
  MainObjects(const MainObjects&) = delete;
  MainObjects& operator=(const MainObjects&) = delete;

  CMyMaster& Table(TableSlot slot) { return *tables[slot]; }

  // Members in creation order (destroyed bottom-up).
  std::unique_ptr<CMyGlobal> global;
  std::unique_ptr<CMyPublic> pub;
  std::unique_ptr<CMyDB> db;
  std::unique_ptr<CMyRec> rec;   // the record set the sheet shows
  std::unique_ptr<CMyRec> rec2;  // the periods' working set
  std::unique_ptr<CMyLine> lines;
  std::unique_ptr<ViewRecords> viewRecords;
  // what the sheet walks: the main record set, or the group rows of an extraction
  std::unique_ptr<SwitchRecords> sheetRecords;
  std::unique_ptr<HolidayCalendar> calendar;
  std::unique_ptr<ViewCalendar> viewCalendar;
  std::unique_ptr<CMyMaster> tables[kTableSlots];
  std::unique_ptr<CMyAlarm> alarm;
  std::unique_ptr<UndoLog> undo;  // watches every file the periods write
  std::unique_ptr<CMyPeriods> periods;
  std::unique_ptr<ViewPeriods> viewPeriods;
  std::unique_ptr<CMyView> view;
  // the running number of thumbnail names, and the thumbnails the sheet
  // remakes when it finds one missing or outdated
  PhotoCounter photoCounter;
  std::unique_ptr<PhotoState> sheetPhotos;
  std::unique_ptr<CMyScr> scr;
  std::unique_ptr<RecordRowSource> rowSource;
  std::unique_ptr<ScrSheetScreen> sheetScreen;
  std::unique_ptr<SheetPainter> painter;
  std::unique_ptr<ScreenLoader> screenLoader;
  CopySource copySource;
  // Closes the reference window when it shows the month of `key` (set by
  // the window that has one; empty: nothing to close).
  std::function<void(const std::string& key)> closeReferenceIfSameMonth;
  // the group view of an extraction: its table, and the sheet's ways into it
  std::unique_ptr<CMyGroup> group;
  std::unique_ptr<GroupRecords> groupRecords;
  std::unique_ptr<GroupRowSource> groupRows;

  // the alarm list learns of deleted and renamed divisions
  struct AlarmHook : DivisionAlarms {
    CMyAlarm* alarm = nullptr;
    void RemoveDivision(const std::string& d) override { alarm->RemoveDivision(d); }
    void RenameDivision(const std::string& a, const std::string& b) override { alarm->RenameDivision(a, b); }
  } alarmHook;

  // The group rows replace the sheet (read-only: no entry, editing or mode change).
  bool groupShown = false;
};

// What a command class gets: the shared objects and the seams to the world.
struct MainContext {
  MainObjects& objects;
  Prompter& prompter;
  Beeper& beeper;
  const Clock& clock;
  FileChooser& files;
  Clipboard& clipboard;
  Opener& opener;
  // starts the picture viewer; none: pictures cannot be viewed from the sheet
  Launcher* launcher = nullptr;
};

// The printer layout over the window's view, painter and screen.
SheetPrinter PrinterOf(MainObjects& objects, Prompter& prompter);
// The head line as the window's settings and tabs have it.
PrintHead PrintHeadOf(MainObjects& objects, int divisionTab, CivilDate today);
