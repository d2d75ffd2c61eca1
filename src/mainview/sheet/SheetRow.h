// One row of the sheet as the view lays it out and the painter, the
// scroll and the printer read it.
#pragma once

struct HolidayEntry;

// One row of the sheet.
struct SheetRow {
  char key[16] = {};         // "yyyy/mm/dd" or "%05d/%05d"; list mode: the record's key
  char keyText[4][20] = {};  // texts of the key area columns
  int record = -1;           // position in the record set's order, -1 empty row
  int lineNo = 1;            // 1-based among the rows of its key
  int linesOfKey = 1;
  int height = 0;  // logical units
  int printHeight = 0;
  int memoLines = 0;  // memo line count when it enlarged the row
  int weekday = 0;    // 1 Sunday .. 7 Saturday, 0 none
  const HolidayEntry* holiday = nullptr;
  bool hasAnniversary = false;
  const HolidayEntry* anniversary = nullptr;
  int today = 0;
  bool hasTextColor = false;
  int textColor = 0;
  bool hasBackColor = false;
  int backColor = 0xFFFFFF;
};
