// The condition file of the extraction dialog: "pickout.pit" (the conditions
// last applied) and one "<method>.pic" per saved extraction method, both in
// the division folder. A text file of CR LF lines with tab-separated fields:
// line 1 the dialog's settings (fifteen fields), then one line of seven
// fields per row of the condition grid. This is the one reader and writer of
// the format; what the fields mean to the dialog is CMyPickup's business.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pickfile {

constexpr const char* kLastApplied = "pickout.pit";  // the conditions last applied
constexpr const char* kMethodList = "pickout.lst";   // names of the saved methods
constexpr const char* kMethodExtension = ".pic";
constexpr const char* kAutoExtension = ".pit";  // what a screen's "=name" looks for first

// Fields of line 1.
enum Head : int {
  kMode = 0,         // "0" page, "1" compact list, "2" group
  kNoData = 1,       // "1" leave out records that carry only a colour
  kLines = 2,        // lines per page, as typed
  kPeriod = 3,       // "0" all, "1" current month / page, "2" current year, "5" range
  kFrom = 4,         // range from, as typed
  kTo = 5,           // range to
  kPage = 6,         // "0" simple page, "1" detail page
  kSimpleField = 7,  // caption, "（全て）" or empty
  kSimpleText = 8,
  kSimpleKind = 9,   // 0 equal .. 3 contains, decimal
  kCase = 10,        // "1" case-sensitive
  kSimpleSort = 11,  // caption, "（指定なし）" or empty
  kSimpleSortDown = 12,
  kKeyDown = 13,   // "1" keys in descending order
  kReserved = 14,  // written "0", never read
  kHeadFields = 15,
};

// Fields of a grid line.
enum Row : int {
  kCaption = 0,    // the row's caption, which matches the line to its row
  kSortNo = 1,     // "", "1".."3"
  kOrder = 2,      // "", "0:昇順", "1:降順"
  kValue = 3,      // the condition value
  kSpare = 4,      // always empty
  kAggregate = 5,  // group layout only: "(ｸﾞﾙｰﾌﾟ)", "0:MIN" .. "4:AVG"
  kAggSize = 6,    // group layout only: "0".."15"
  kRowFields = 7,
};

// Larger than any dialog state can be; a bigger file is not a condition file.
constexpr size_t kMaxBytes = 1u << 20;

// A condition file as lines of fields: `head` always holds kHeadFields
// fields and every row kRowFields (missing fields are empty, fields past the
// last are dropped). Texts are CP932.
struct Image {
  std::vector<std::string> head;
  std::vector<std::vector<std::string>> rows;
};

enum Result : int {
  kRead = 0,
  kMissing = 1,   // no such file
  kDamaged = -1,  // unreadable, empty, too large, a NUL byte, not CP932 text
};

// Splits a file's bytes. A line ends at CR LF, CR or LF; empty lines after
// the first are skipped. kRead or kDamaged (then `out` is empty).
[[nodiscard]] int Parse(std::string_view bytes, Image& out);
// Reads `path`: kRead, kMissing or kDamaged.
[[nodiscard]] int Read(const std::string& path, Image& out);
// The file's bytes. A TAB, CR or LF inside a field is written as a space, so
// a value can never shift the fields or lines after it.
std::string Format(const Image& image);
// Writes atomically. False (the old file intact) when it failed.
[[nodiscard]] bool Write(const std::string& path, const Image& image);

}  // namespace pickfile
