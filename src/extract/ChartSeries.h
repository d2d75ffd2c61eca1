// ChartSeries: the series a chart draws, read from the group rows of an
// extraction (CMyGroup), so a chart never shows a number the group view
// would not. Bar: one bar per group row. Pie: each group's share, the
// smallest gathered as "その他" beyond eight slices. Line: the aggregate per
// month or per day (the key row cut to "yyyy/mm" or "yyyy/mm/dd" as a group
// key), one line per group of the other keys, up to eight.
//
//   chart::PrepareConditions(model, options, message);   // time axis, group mode
//   model.BuildExtraction(); records requeried; group.Build(...); group.Show(...)
//   chart::Build(group, options, colors, chart, message);
// Texts are CP932.
#pragma once
#include <string>
#include <vector>

#include "options/CMyColorKinds.h"

class CMyGroup;
class CMyPickup;

namespace chart {

enum class Kind { kBar, kPie, kLine };
enum class By { kNone, kMonth, kDay };  // a time axis: the key row cut to month or day

constexpr int kMaxSlices = 8;  // a pie's slices, "その他" included
constexpr int kMaxLines = 8;

// Build's results besides 0.
constexpr int kNoData = 1;   // 「表示するデータがありません」
constexpr int kNoValue = 2;  // no aggregated column to draw
constexpr int kNoTime = 3;   // a line needs the key row as a group key
constexpr int kRefused = 4;  // the conditions cannot make such a chart (message)

struct Options {
  Kind kind = Kind::kBar;
  By by = By::kNone;
  bool byKey = false;        // bars in the order of their keys, not largest first
  std::string valueCaption;  // the aggregated column drawn; "" the first SUM, else AVG, COUNT, MAX, MIN
};

// One bar, slice or point of a line.
struct Point {
  std::string label;    // the group's keys as shown ("（空白）" for an empty one), " / " between
  double value = 0;     // the aggregate as the group row shows it
  long long count = 0;  // records in the group
  std::vector<std::string> keys;  // the group's key values in grid order; empty for "その他"
  int color = -1;                 // 0x00BBGGRR of the colour kind the group is, -1 palette
};

struct Series {
  std::string name;  // line: the group of the other keys; bar and pie: the value's caption
  int color = -1;
  std::vector<Point> points;  // line: one per category (absent months of a SUM or COUNT are 0)
};

struct Chart {
  Kind kind = Kind::kBar;
  std::string title;                    // "金額（合計）"
  std::string valueCaption;             // the value axis
  std::string categoryCaption;          // the category axis: the keys' captions
  std::vector<std::string> categories;  // line: the months or days, in order
  std::vector<std::string> axisLabels;  // line: the same, short ("3月" within a year, "5日" within a month)
  std::vector<Series> series;
  std::string note;      // what was left out, for the window's status line
  bool percent = false;  // pie: labels carry their share
};

// Makes the conditions a chart of `options` needs: group display on the
// detail page, and for a time axis the key row as the first group key cut
// to month or day (the other keys keep their order behind it). False with
// `message` for a book by page (its keys are no dates) when a time axis is
// asked for.
bool PrepareConditions(CMyPickup& model, const Options& options, std::string& message);

// The chart of the group rows `group` holds, in its row order (bars sorted
// as `options` says). `colors` names the colour kinds of a group by colour.
// 0, or kNoData / kNoValue / kNoTime / kRefused with `message`.
int Build(const CMyGroup& group, const Options& options, const std::vector<ColorKind>& colors, Chart& out,
          std::string& message);

// Narrows the conditions to one group: each group key's 条件値 becomes the
// point's key ("yyyy/mm*" for a key cut short, IS NULL for an empty one, the
// colour kind's name for a colour), in compact-list display, so the sheet
// shows the group's records. False for "その他" or a point with no keys.
bool Narrow(CMyPickup& model, const Point& point, const std::vector<ColorKind>& colors);

// Fixed colours (0x00BBGGRR) whose greys differ enough to tell apart on paper.
const std::vector<int>& Palette();

// The share of `value` in `total` as "12.3%".
std::string Percent(double value, double total);
// A value as the chart labels it: digits grouped by three, at most two
// decimals, no trailing zeros ("-1,234.5").
std::string FormatValue(double value);
// What hovering a bar, slice or point shows: its key, value and count.
std::string TipText(const Chart& chart, const Point& point);

}  // namespace chart
