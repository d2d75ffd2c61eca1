// Editing the holiday and anniversary rules: the list a person sees (one
// line per rule, for the year of the sheet or every year), adding, changing
// and deleting rules with the entry form's checks, and writing
// "holiday.dat" / "kinen.dat". A change writes its file at once; additions
// and deletions are written when editing ends. The list dialog and
// `jbx holiday-rules` both work through this class.
#pragma once
#include <string>
#include <vector>

#include "calendar/CMyHoliday.h"
#include "platform/FileOps.h"

class Prompter;

// How a rule names its day, as the entry form offers it.
enum class HolidayKind { Day = 0, Week = 1, Etc = 2 };

// The entry form as typed: texts in CP932, choices by their list index.
struct HolidayForm {
  std::string startYear;  // "" = no lower limit
  std::string endYear;    // "" = no upper limit
  HolidayKind kind = HolidayKind::Day;
  std::string month;
  std::string day;
  int week = -1;  // index of "第１日曜" … "第４土曜" (the week rule), -1 none
  int term = -1;  // index of "春分", "夏至", "秋分", "冬至", -1 none
  std::string name;
};

// The field a refused form sends the focus to.
enum class HolidayField { None, StartYear, EndYear, Month, Day, Week, Term, Name };

struct HolidayCheck {
  HolidayField field = HolidayField::None;
  std::string message;  // CP932; empty when the form passed
  bool Ok() const { return field == HolidayField::None; }
};

class CMyHolidayEditor {
 public:
  static constexpr int kMaxName = 30;  // bytes the form lets a name have

  // Paths of the two data files; the program folder holds the defaults a
  // missing file falls back to. `year` is the year of the month the sheet
  // shows: rules are resolved and filtered for it.
  CMyHolidayEditor(std::string holidayPath, std::string anniversaryPath, std::string programFolder, int year,
                   Prompter& prompter);

  // Reads both lists. A data file that exists but cannot be read is said
  // once; its list is shown as the sheet shows it (the defaults) and cannot
  // be changed, so the file is never replaced by what was not read from it.
  // The same holds for a file that reads but is no rule file at all (no
  // header and not one rule); lines that are not rules in a rule file are
  // kept and written back as they were.
  void Open();

  int Year() const { return year_; }
  const CMyHoliday& Rules() const { return rules_; }
  const std::string& Path(int list) const { return paths_[list == 1 ? 1 : 0]; }
  bool Editable(int list) const { return list >= 0 && list <= 1 && !locked_[list]; }
  bool Changed(int list) const { return list >= 0 && list <= 1 && changed_[list]; }
  // What the list dialog says under a list (CP932): the lines of its file
  // that could not be read, or that the file cannot be changed. "" when
  // there is nothing to say.
  std::string Note(int list) const;

  // One line of the list: the rule's index and its display line.
  struct Row {
    int index;
    std::string line;
  };
  // Rules 1..count-1 in list order: all of them, or those whose year range
  // holds the year.
  [[nodiscard]] std::vector<Row> Rows(int list, bool allYears) const;

  // "選択されていません" unless 1 <= index < count.
  [[nodiscard]] bool RequireSelection(int list, int index) const;
  // Checks the form and adds its rule (written when editing ends). The
  // index of the new rule, or -1 when refused (said).
  [[nodiscard]] int Insert(int list, HolidayForm form);
  // Checks the form, changes the rule and writes the list's file at once.
  // The rule's index afterwards (the list is put back in order), or -1 when
  // refused. A failed write is said and the change is kept, to be written
  // again when editing ends.
  [[nodiscard]] int Update(int list, int index, HolidayForm form);
  // Asks "削除してよろしいですか？" (No preselected); true when removed.
  [[nodiscard]] bool Delete(int list, int index);
  // Writes each changed list. False when one could not be written (said);
  // the lists written stay written, the others stay changed.
  [[nodiscard]] bool SaveChanged();
  // What closing the dialog does: SaveChanged, and when that failed, asks
  // whether to close without the changes. True when editing may end.
  [[nodiscard]] bool Finish();

  // Every holiday (substitutes included) and anniversary of `year` as the
  // rules in memory give them, one line each, "mm/dd(曜) 祝日 name" (CP932).
  [[nodiscard]] std::vector<std::string> Preview(int year) const;

  // The entry form's checks, in their order: step 1 clears the fields the
  // kind does not use (so `form` changes), then month, day, week, name,
  // month range, year range, solar term.
  [[nodiscard]] static HolidayCheck CheckForm(HolidayForm& form);
  // The form showing a rule (start and end year empty when unbounded).
  [[nodiscard]] static HolidayForm FormOf(const HolidayEntry& e);
  // What the form's rule gives in `year`, for the form's status line:
  // "2026年は 1月12日(月)", or why no day comes. "" while incomplete.
  [[nodiscard]] static std::string FormNote(const HolidayForm& form, int year);
  // "第１日曜" … "第４土曜" for week rules 0..27; "春分" … "冬至" for 0..3.
  [[nodiscard]] static std::string WeekName(int week);
  [[nodiscard]] static std::string TermName(int term);

 private:
  // The form's values as the rule list takes them (the form passed its checks).
  struct Values {
    int start, end, month, day, week, term;
    std::string name;
  };
  static Values ValuesOf(const HolidayForm& form);
  bool RefuseLocked(int list) const;
  // Resolves and orders a list again from its own text, as reading the file
  // just written would.
  void Reorder(int list);
  int FindRule(int list, const Values& v) const;
  std::string FileLabel(int list) const;
  // Writes a list under the data root's lock; when another program wrote
  // the file since it was read here, its rules and this editor's changes
  // since then are put together, rule by rule, first.
  bool SaveList(int list);
  void Remember(int list);

  CMyHoliday rules_;
  std::string paths_[2];
  int year_;
  Prompter& prompter_;
  bool changed_[2] = {false, false};
  bool locked_[2] = {false, false};
  bool foreign_[2] = {false, false};  // read, but not a rule file
  fileops::FileId ids_[2];            // each file as read or last written here
  std::vector<std::string> base_[2];  // and its rule lines then
};
