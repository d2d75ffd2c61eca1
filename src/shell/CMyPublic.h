// Turns what a user types into canonical dates, times and numbers, converts
// Japanese era dates, and offers a few text and path helpers on CP932 text.
// Canonical forms: "yyyy/mm/dd", era "H02/03/04", times "hh:mm".
#pragma once
#include <string>
#include <string_view>

#include "platform/Clock.h"

class CMyPublic {
 public:
  struct Era {
    char letter;
    const char* name;          // UTF-8
    int firstYear, lastYear;   // lastYear: the year the next era began
    int startMonth, startDay;  // the era's first day in firstYear
  };
  // Oldest first; a date belongs to the last era that has begun by that day.
  static const Era kEras[5];

  explicit CMyPublic(const Clock& clock) : clock_(clock) {}

  // "H31/4/30" -> "2019/4/30"; unchanged when the text does not start with
  // an era letter, starts with a digit, or is longer than 10 bytes. An era
  // year past the era's end still counts on from its first year (H32 ->
  // 2020), as people write dates they computed by hand.
  std::string EraToYear(std::string_view text) const;
  // Makes typed dates parseable: "2020.3.4" -> "2020/3/4", "0304" -> "03/04",
  // "200304" -> "20/03/04", "20200304" -> "2020/03/04".
  std::string NormalizeDate(std::string_view text) const;
  bool IsDate(std::string_view text) const;
  // "yyyy/mm/dd" or the era form, whose era is chosen by the whole date
  // (2019/04/30 is H31/04/30, 2019/05/01 is R01/05/01); dates before the
  // first era stay "yyyy/mm/dd". Empty when empty or not a date.
  std::string FormatDate(std::string_view text, bool withEra) const;
  // Parses a normalised date. A missing year is this year; a year of one or
  // two digits is taken within the century window below. False on error.
  bool ParseDate(std::string_view text, CivilDate& out) const;
  // Two-digit years: the year ending in those digits that lies within
  // (this year - 80, this year + 20]; a diary looks back more than forward.
  int ExpandTwoDigitYear(int yy) const;

  static bool IsNumber(std::string_view text);
  static std::string FixDecimals(std::string_view text, int n);
  static std::string FormatFixed(double value, int n);
  static std::string NormalizeTime(std::string_view text);
  static bool IsTime(std::string_view text, bool max23);
  static bool IsEmpty(const char* text) { return !text || !*text; }
  static std::string NthField(std::string_view text, int index, char separator);
  static std::string MidBytes(std::string_view text, int start, int max);
  static bool IsNameChar(unsigned char c);
  static bool FileExists(const std::string& path);
  // Byte index of the last "/" (or "\") that is not a trail byte; -1 none.
  static int LastSeparator(std::string_view path);
  // Extension of the last component including its dot; "" when none.
  static std::string Extension(std::string_view path);
  // replace = true: the extension is replaced by `ext` (appended when none);
  // replace = false: `ext` is appended only when the path has no extension.
  static std::string ReplaceExtension(std::string_view path, std::string_view ext, bool replace);

  static bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
  static int DaysInMonth(int y, int m);

 private:
  const Clock& clock_;
};
