// Holiday (list 0) and anniversary (list 1) rules: fixed dates, n-th
// weekdays and solar terms, each limited to a range of years. A list is
// loaded for one year, which resolves every rule to a day of that year, so
// the sheet can ask date by date what a day is.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One rule as held in memory.
struct HolidayEntry {
  uint16_t startYear = 0;   // 1000: no lower limit
  uint16_t endYear = 9999;  // 9999: no upper limit; inclusive
  uint16_t month = 0;
  uint16_t day = 0;        // resolved for the loaded year for weekday and solar rules
  int32_t weekRule = -1;   // -1 none; w: the (w / 7 + 1)-th weekday w % 7 (0 Sunday)
  uint16_t solarTerm = 0;  // 1 spring equinox, 2 summer solstice, 3 autumn equinox, 4 winter solstice
  char name[34] = {};      // CP932, NUL-terminated
  // The line as read when the fields above do not hold all of it (a field
  // that is not a number, a name too long, more fields than a rule has):
  // written back as it was until the rule is changed, so that saving never
  // alters a line a person typed by hand.
  std::string raw;
  std::string Name() const { return name; }
};

class CMyHoliday {
 public:
  static constexpr int kHolidays = 0;
  static constexpr int kAnniversaries = 1;
  static constexpr int kMaxName = 33;  // bytes a name can hold

  // programFolder: where the default "holiday.dat" / "kinen.dat" lie.
  explicit CMyHoliday(std::string programFolder = {});

  // Reads a rule file for `year`; falls back to the file of the same name in
  // the program folder. False (list empty) when neither can be read.
  bool Load(int list, int year, const std::string& path);
  // The same from the bytes of a rule file, without any fallback.
  bool LoadText(int list, int year, const std::string& text);
  bool Save(int list, const std::string& path) const;  // atomic
  // What Save writes: "CL01", the rules in list order, then the lines the
  // reader could not take, unchanged, so that saving never drops a line a
  // person typed by hand.
  std::string Text(int list) const;
  // The rule lines of a list's text (as Text gives it), without its header:
  // what two copies of a list are merged by.
  static std::vector<std::string> RuleLines(const std::string& text);
  // Lines of the last load that gave no rule, or only part of one.
  int UnreadLines(int list) const;
  // Whether the last load looked like a rule file at all: it began with the
  // "CLnn" header, gave a rule, or held nothing but blank lines. Anything
  // else (random bytes, another program's file) is not one to write over.
  bool Recognised(int list) const;
  // `raw`: the line the rule was read from when it did not read whole.
  void Add(int startYear, int endYear, int month, int day, int solarTerm, int year, int weekRule,
           const std::string& name, int list, const std::string& raw = {});
  void Update(int index, int startYear, int endYear, int month, int day, int solarTerm, int year,
              int weekRule, const std::string& name, int list);
  void Remove(int index, int list);
  void Clear(int list);
  // Count including the sentinel at 0 (0 for a list without entries).
  int Count(int list) const;
  const HolidayEntry& Item(int index, int list) const;
  // Index of the rule for a date, -1 when none. resume 1 goes on from the
  // list's cursor, which never moves back.
  int Find(int year, int month, int day, int list, int resume);
  void ResetCursors();
  const HolidayEntry& SubstituteEntry() const { return substitute_; }

  static int NthWeekdayDay(int weekRule, int year, int month);
  static int SolarTermDay(int year, int term);
  static float ModifiedJulianDay(float y, float m, float x);
  // "*" / " ", month and day, the year range and the name.
  static std::string DisplayLine(const HolidayEntry& e);
  // The file name a list falls back to.
  static const char* FileName(int list) { return list == kHolidays ? "holiday.dat" : "kinen.dat"; }

 private:
  bool Parse(int list, int year, const std::string& text);
  std::string programFolder_;
  std::vector<HolidayEntry> lists_[2];
  std::vector<std::string> skipped_[2];  // lines that gave no rule, as read
  int partial_[2] = {0, 0};              // lines whose later fields did not read
  bool recognised_[2] = {true, true};
  int cursor_[2] = {0, 0};
  HolidayEntry substitute_;
};
