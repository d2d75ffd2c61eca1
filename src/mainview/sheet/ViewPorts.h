// What the sheet's view model needs from the rest of the program, as small
// interfaces: the main record set, the calendar, the per-period data files
// and the display screen's settings. The main window fills them with the
// real objects; tests fill them with plain fakes.
#pragma once
#include <string>
#include <string_view>

#include "platform/Clock.h"

struct HolidayEntry;

// The main record set in its current order.
class ViewRecords {
 public:
  virtual ~ViewRecords() = default;
  // Applies a filter and a sort; 0, or a failure code of the record set.
  virtual int Requery(const std::string& filter, const std::string& sort) = 0;
  // The same after records were only added to the table (a period loaded):
  // the result must equal Requery's; a record set may get it cheaper.
  virtual int RequeryAppended(const std::string& filter, const std::string& sort) {
    return Requery(filter, sort);
  }
  virtual int Count() const = 0;
  // Key ("キー項目") of the record at position i of the current order.
  virtual std::string_view Key(int i) const = 0;
  // Value of a field of the record at position i; "" when missing.
  virtual std::string_view Value(int i, int field) const = 0;
  // The first position from 0 on whose key is not less than `key` (byte
  // order), as a walk from the first record finds it; Count() when none.
  virtual int SkipKeysBelow(std::string_view key) const {
    int i = 0;
    while (i < Count() && Key(i) < key) ++i;
    return i;
  }
  // Field index by name or alias, -1 when the table has no such field.
  virtual int FieldIndex(const std::string& name) const = 0;
  // The next (direction > 0) / previous (< 0) matching record of the last
  // search, or the current one (0): its position, or -1 when none.
  virtual int Step(int direction) {
    (void)direction;
    return -1;
  }
  // Makes the record at position i the current one of the record set.
  virtual void GoTo(int i) { (void)i; }
  // Photo check of a record: true when its thumbnail reference was corrected
  // and its period (returned) must be saved.
  virtual bool PhotoCheck(int i, std::string& period) {
    (void)i;
    (void)period;
    return false;
  }
};

// Holidays and anniversaries as the sheet shows them.
class ViewCalendar {
 public:
  virtual ~ViewCalendar() = default;
  virtual void LoadYear(int year) = 0;
  virtual void ResetCursors() = 0;
  // Holiday (or substitute holiday) and anniversary of a date; null when none.
  virtual void Find(CivilDate d, const HolidayEntry*& holiday, const HolidayEntry*& anniversary) = 0;
};

// The division's data files, one per month ("yyyymm") or page ("%05d").
class ViewPeriods {
 public:
  virtual ~ViewPeriods() = default;
  // Loads every not yet loaded file whose period lies in [from, to];
  // returns the number of files loaded.
  virtual int LoadPeriods(const std::string& from, const std::string& to) = 0;
  virtual void SavePeriod(const std::string& period) = 0;
  // Highest key ever recorded in the division ("%05d/%05d"), "" when none.
  virtual std::string LatestKey() const { return {}; }
};

// One key column of the key area.
struct KeyColumn {
  int width = 0;  // pixels
  int kind = 0;   // what it shows, by display mode and data kind
};

// The display screen's settings that the view reads.
struct ViewScreen {
  int displayMode = 0;    // 0 sheet, 10 list
  int linesPerPage = 30;  // page kind
  int rowsPerListPage = 30;
  int monthOffset = 0;
  int firstDay = 1;
  int periodsBefore = 1;  // months or pages loaded around the shown one
  int periodsAfter = 1;
  int keyAreaWidth[2] = {80, 80};  // pixels: [0] sheet mode, [1] list mode
  KeyColumn keyColumns[2][4] = {};
  int keyColumnCount[2] = {0, 0};
  int fieldAreaWidth = 300;  // pixels
  int keyFontPixels = 12;    // the key area's characters, pixels
  int headerHeight = 0;      // logical units
  int footerHeight = 0;
  int rowHeight = 500;
  int emptyRowHeight = 0;  // 16 pixels in logical units
  bool option4 = false;    // empty rows drawn full height
  bool option5 = false;    // rows grow with the memo
  std::string filter, sort;
  // memo growth: set when the screen shows "MEM001"
  int memoField = -1;  // index of "MEM001L"
  int memoControl = -1;
  int memoTop = 0;
  int memoHeight = 560;
  int memoLineHeight = 0;
  // summed columns: control index and its decimals
  struct Sum {
    int control = -1;
    int field = -1;
    int decimals = 0;
  };
  Sum sums[10];
  int sumCount = 0;
};

// Reads a display screen into what the sheet needs.
class ScreenLoader {
 public:
  virtual ~ScreenLoader() = default;
  // 0; -2 version too old; -3 too new; any other negative: unreadable.
  virtual int Load(const std::string& path, ViewScreen& out) = 0;
};
