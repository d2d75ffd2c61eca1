#include "extract/ChartSeries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

#include "extract/CMyGroup.h"
#include "extract/CMyPickup.h"
#include "platform/Cp932.h"
#include "shell/CivilDays.h"
#include "store/MemoSchema.h"

namespace chart {

namespace {

constexpr int kMonthSize = 7;  // "yyyy/mm"
constexpr int kDaySize = 10;   // "yyyy/mm/dd"

const char* ModeName(int mode) {
  switch (mode) {
    case CMyGroup::kSum:
      return "合計";
    case CMyGroup::kAvg:
      return "平均";
    case CMyGroup::kCount:
      return "件数";
    case CMyGroup::kMax:
      return "最大";
    default:
      return "最小";
  }
}

// A share, an average or an extreme of merged groups is no number the group
// view shows; only totals and counts add up.
bool Additive(int mode) { return mode == CMyGroup::kSum || mode == CMyGroup::kCount; }

double ToDouble(std::string_view text) {
  __int128 v = 0;
  if (!groupnum::Parse(text, v)) return 0;
  long double d = static_cast<long double>(v);
  for (int k = 0; k < groupnum::kScale; ++k) d /= 10;
  return static_cast<double>(d);
}

// The time key of a group: the key row cut to month or day.
bool IsTimeKey(const CMyGroup::Column& c) {
  return c.field == memo::kKey &&
         (c.def.keySize == kMonthSize || c.def.keySize == kDaySize || c.def.keySize == 0);
}

const ColorKind* KindOf(const std::vector<ColorKind>& colors, std::string_view key) {
  if (key.empty()) return nullptr;
  const int value = std::atoi(std::string(key).c_str());
  for (const ColorKind& k : colors)
    if (k.useBack && k.backColor == value) return &k;
  return nullptr;
}

// Every month or day from the first key to the last, so a line keeps its
// time scale where nothing was entered.
std::vector<std::string> FillTimeAxis(const std::vector<std::string>& keys) {
  if (keys.empty()) return {};
  const std::string& first = keys.front();
  const std::string& last = keys.back();
  std::vector<std::string> out;
  int y = 0, m = 0;
  if (first.size() == kMonthSize && std::sscanf(first.c_str(), "%d/%d", &y, &m) == 2 && m >= 1 && m <= 12) {
    for (int guard = 0; guard < 1200; ++guard) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04d/%02d", y, m);
      out.emplace_back(buf);
      if (out.back() >= last) break;
      if (++m > 12) m = 1, ++y;
    }
  } else if (CivilDate c; civil::ParseYmd(first, c) && first.size() == kDaySize) {
    for (int guard = 0; guard < 3700; ++guard) {
      out.push_back(civil::Ymd(c));
      if (out.back() >= last) break;
      c = civil::AddDays(c, 1);
    }
  }
  // keys that are no dates (a hand-edited file) stand as they are
  if (out.empty() || out.back() != last) return keys;
  return out;
}

// What the time axis shows under each point: the year or month they all
// share is said once by the title's range, not under every point.
std::vector<std::string> ShortLabels(const std::vector<std::string>& keys) {
  if (keys.empty()) return {};
  const bool months = keys.front().size() == kMonthSize;
  const size_t shared = months ? 4 : kMonthSize;  // "yyyy" or "yyyy/mm"
  bool same = true;
  for (const std::string& k : keys)
    same = same && k.size() == keys.front().size() && k.compare(0, shared, keys.front(), 0, shared) == 0;
  std::vector<std::string> out;
  for (const std::string& k : keys) {
    if (k.size() != keys.front().size() || (k.size() != kMonthSize && k.size() != kDaySize)) return keys;
    const int last = std::atoi(k.c_str() + k.size() - 2);
    if (same)
      out.push_back(std::to_string(last) + (months ? "月"_sj : "日"_sj));
    else
      out.push_back(months ? k.substr(2) : k.substr(5));  // "26/03", "03/15"
  }
  return out;
}

}  // namespace

const std::vector<int>& Palette() {
  // dark and light in turn, so neighbours differ in grey as well as in hue
  static const std::vector<int> kColors = {0x00A0522D, 0x0060C0F0, 0x00304090, 0x00C0E0A0,
                                           0x00205020, 0x00D0A0E0, 0x00707070, 0x0080D0D0};
  return kColors;
}

std::string Percent(double value, double total) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f%%", total > 0 ? value * 100.0 / total : 0.0);
  return buf;
}

std::string FormatValue(double value) {
  if (std::isnan(value)) return "-";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", std::fabs(value));
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  const size_t dot = std::min(s.find('.'), s.size());
  for (size_t i = dot; i > 3; i -= 3) s.insert(i - 3, 1, ',');
  if (value < 0 && s != "0") s.insert(0, 1, '-');
  return s;
}

std::string TipText(const Chart& c, const Point& p) {
  std::string tip = p.label + "\n" + c.valueCaption + ": " + FormatValue(p.value) + "\n" + "件数: "_sj +
                    std::to_string(p.count) + "件"_sj;
  if (c.percent) {
    double total = 0;
    for (const Point& q : c.series.front().points) total += q.value;
    tip += "\n" + "割合: "_sj + Percent(p.value, total);
  }
  return tip;
}

bool PrepareConditions(CMyPickup& m, const Options& o, std::string& message) {
  if (m.Mode() != CMyPickup::kGroupDisplay) m.SetMode(CMyPickup::kGroupDisplay);
  m.SetDetailPage(true);
  if (o.by == By::kNone) return true;
  if (m.ByPage()) {
    message = "ページで記録する分類には月ごと・日ごとのグラフはありません。"_sj;
    return false;
  }
  int keyRow = -1;
  for (int i = 0; i < m.RowCount(); ++i)
    if (m.GetRow(i).kind == CMyPickup::kKeyRow) keyRow = i;
  if (keyRow < 0) {
    message = "年月日の行がありません。"_sj;
    return false;
  }
  m.TypeKey(keyRow, m.ColumnOf(CMyPickup::kSortNo), '1');
  m.SetCellText(keyRow, m.ColumnOf(CMyPickup::kAggSize),
                std::to_string(o.by == By::kMonth ? kMonthSize : kDaySize));
  return true;
}

int Build(const CMyGroup& group, const Options& o, const std::vector<ColorKind>& colors, Chart& out,
          std::string& message) {
  out = Chart{};
  out.kind = o.kind;
  message.clear();
  const auto& cols = group.Columns();
  std::vector<size_t> keyCols;
  for (size_t i = 0; i < cols.size(); ++i)
    if (cols[i].mode == CMyGroup::kKey && cols[i].field >= 0) keyCols.push_back(i);

  // the value drawn
  int valueCol = -1;
  auto drawable = [](const CMyGroup::Column& c) {
    return c.field >= 0 && c.mode >= CMyGroup::kMin && c.mode <= CMyGroup::kAvg &&
           (c.def.numeric || c.mode == CMyGroup::kSum || c.mode == CMyGroup::kAvg ||
            c.mode == CMyGroup::kCount);
  };
  if (!o.valueCaption.empty()) {
    for (size_t i = 0; i < cols.size() && valueCol < 0; ++i)
      if (cols[i].def.caption == o.valueCaption && drawable(cols[i])) valueCol = static_cast<int>(i);
  } else {
    for (int mode : {CMyGroup::kSum, CMyGroup::kAvg, CMyGroup::kCount, CMyGroup::kMax, CMyGroup::kMin})
      for (size_t i = 0; i < cols.size() && valueCol < 0; ++i)
        if (cols[i].mode == mode && drawable(cols[i])) valueCol = static_cast<int>(i);
  }
  if (keyCols.empty() || valueCol < 0) {
    message = o.valueCaption.empty() ? "グラフにする集約の項目（合計・平均・件数など）がありません。"_sj
                                     : "その項目は数値の集約ではありません: "_sj + o.valueCaption;
    return kNoValue;
  }
  const CMyGroup::Column& vc = cols[static_cast<size_t>(valueCol)];
  // a count is the same whichever column holds it
  out.valueCaption = vc.mode == CMyGroup::kCount
                         ? "件数"_sj
                         : vc.def.caption + "（"_sj + cp932::FromUtf8(ModeName(vc.mode)) + "）"_sj;

  int timeCol = -1;
  for (size_t k = 0; k < keyCols.size() && timeCol < 0; ++k)
    if (IsTimeKey(cols[keyCols[k]])) timeCol = static_cast<int>(k);
  if (o.kind == Kind::kLine && timeCol < 0) {
    message = "折れ線グラフには年月日のグループ（月ごと・日ごと）が要ります。"_sj;
    return kNoTime;
  }
  if (o.kind == Kind::kPie && !Additive(vc.mode)) {
    message = "円グラフは合計か件数で描きます（平均や最大・最小の割合には意味がありません）。"_sj;
    return kRefused;
  }
  for (size_t k = 0; k < keyCols.size(); ++k) {
    if (o.kind == Kind::kLine && static_cast<int>(k) == timeCol) continue;
    if (!out.categoryCaption.empty()) out.categoryCaption += "・"_sj;
    out.categoryCaption += cols[keyCols[k]].def.caption;
  }
  if (o.kind == Kind::kLine)
    out.title = out.valueCaption + (cols[keyCols[static_cast<size_t>(timeCol)]].def.keySize == kMonthSize
                                        ? "　月ごと"_sj
                                        : "　日ごと"_sj);
  else
    out.title =
        out.valueCaption + (out.categoryCaption.empty() ? "" : "　"_sj + out.categoryCaption + "別"_sj);

  if (group.RowCount() == 0) {
    message = "表示するデータがありません"_sj;
    return kNoData;
  }

  // the group rows as points, in the group view's order
  const CMyDB& table = group.Table();
  const auto& items = group.Records().Items();
  std::vector<Point> points;
  std::vector<std::string> times;  // line: each point's time key
  for (int pos = 0; pos < group.RowCount(); ++pos) {
    Point p;
    const int r = items[static_cast<size_t>(pos)];
    std::string label;
    for (size_t k = 0; k < keyCols.size(); ++k) {
      const CMyGroup::Column& c = cols[keyCols[k]];
      const char* raw = table.Value(c.field, r);
      p.keys.emplace_back(raw ? raw : "");
      const std::string& key = p.keys.back();
      if (static_cast<int>(k) == timeCol && o.kind == Kind::kLine) {
        times.push_back(key);
        continue;
      }
      std::string shown = key.empty() ? "（空白）"_sj : key;
      if (c.field == memo::kCr002) {
        const ColorKind* kind = KindOf(colors, key);
        if (kind) {
          shown = kind->name;
          p.color = kind->backColor;
        }
      }
      if (!label.empty()) label += " / ";
      label += shown;
    }
    p.label = label;
    p.value = ToDouble(group.DisplayValue(pos, vc.field));
    p.count = group.GroupSize(pos);
    points.push_back(std::move(p));
  }

  const std::string other = "その他"_sj;
  auto otherName = [&](const std::vector<Point>& shown) {
    // a group of that name is no gathering of the rest
    for (const Point& p : shown)
      if (p.label == other) return other + "（まとめ）"_sj;
    return other;
  };

  if (o.kind == Kind::kBar) {
    if (!o.byKey)
      std::stable_sort(points.begin(), points.end(),
                       [](const Point& a, const Point& b) { return a.value > b.value; });
    // bars of months or days alone: short names under them, the time in the title
    if (timeCol >= 0 && keyCols.size() == 1) {
      std::vector<std::string> keys;
      for (const Point& p : points) keys.push_back(p.label);
      out.axisLabels = ShortLabels(keys);
      const bool months = cols[keyCols[0]].def.keySize == kMonthSize;
      out.categoryCaption = months ? "月"_sj : "日"_sj;
      out.title = out.valueCaption + (months ? "　月ごと"_sj : "　日ごと"_sj);
    }
    Series s;
    s.name = out.valueCaption;
    s.points = std::move(points);
    out.series.push_back(std::move(s));
    return 0;
  }

  if (o.kind == Kind::kPie) {
    std::vector<Point> slices;
    int left = 0;
    for (Point& p : points) {
      if (p.value > 0)
        slices.push_back(std::move(p));
      else
        ++left;
    }
    if (left > 0)
      out.note = "0 以下の "_sj + std::to_string(left) + " グループは円グラフに入れていません。"_sj;
    if (slices.empty()) {
      message = "表示するデータがありません"_sj;
      return kNoData;
    }
    std::stable_sort(slices.begin(), slices.end(),
                     [](const Point& a, const Point& b) { return a.value > b.value; });
    if (static_cast<int>(slices.size()) > kMaxSlices) {
      Point rest;
      for (size_t i = kMaxSlices - 1; i < slices.size(); ++i) {
        rest.value += slices[i].value;
        rest.count += slices[i].count;
      }
      slices.resize(kMaxSlices - 1);
      rest.label = otherName(slices);
      slices.push_back(std::move(rest));
    }
    Series s;
    s.name = out.valueCaption;
    s.points = std::move(slices);
    out.series.push_back(std::move(s));
    out.percent = true;
    return 0;
  }

  // line: a series per group of the other keys, a point per month or day
  std::vector<std::string> sortedTimes = times;
  std::sort(sortedTimes.begin(), sortedTimes.end());
  sortedTimes.erase(std::unique(sortedTimes.begin(), sortedTimes.end()), sortedTimes.end());
  out.categories = FillTimeAxis(sortedTimes);
  out.axisLabels = ShortLabels(out.categories);
  std::map<std::string, size_t> at;
  for (size_t i = 0; i < out.categories.size(); ++i) at[out.categories[i]] = i;
  const bool additive = Additive(vc.mode);
  const double gap = additive ? 0.0 : std::numeric_limits<double>::quiet_NaN();
  std::vector<Series> lines;
  std::map<std::string, size_t> lineOf;
  std::vector<double> weight;  // what orders the lines: the largest first
  for (size_t i = 0; i < points.size(); ++i) {
    Point& p = points[i];
    auto [it, fresh] = lineOf.try_emplace(p.label, lines.size());
    if (fresh) {
      Series s;
      s.name = p.label.empty() ? out.valueCaption : p.label;
      s.color = p.color;
      s.points.resize(out.categories.size());
      for (size_t c = 0; c < out.categories.size(); ++c) {
        s.points[c].label = out.categories[c];
        s.points[c].value = gap;
        s.points[c].keys = p.keys;
        s.points[c].keys[static_cast<size_t>(timeCol)] = out.categories[c];
      }
      lines.push_back(std::move(s));
      weight.push_back(0);
    }
    const size_t c = at[times[i]];
    Point& slot = lines[it->second].points[c];
    slot.value = p.value;
    slot.count = p.count;
    slot.color = p.color;
    weight[it->second] += std::fabs(p.value);
  }
  std::vector<size_t> order(lines.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return weight[a] > weight[b]; });
  if (static_cast<int>(lines.size()) > kMaxLines) {
    const size_t keep = additive ? kMaxLines - 1 : kMaxLines;
    Series rest;
    rest.points.resize(out.categories.size());
    for (size_t c = 0; c < out.categories.size(); ++c) rest.points[c].label = out.categories[c];
    for (size_t i = keep; i < order.size(); ++i)
      for (size_t c = 0; c < out.categories.size(); ++c) {
        rest.points[c].value += lines[order[i]].points[c].value;
        rest.points[c].count += lines[order[i]].points[c].count;
      }
    const size_t dropped = order.size() - keep;
    std::vector<Series> kept;
    for (size_t i = 0; i < keep; ++i) kept.push_back(std::move(lines[order[i]]));
    if (additive) {
      std::vector<Point> names;
      for (const Series& s : kept) names.push_back(Point{s.name, 0, 0, {}, -1});
      rest.name = otherName(names);
      kept.push_back(std::move(rest));
    } else {
      out.note = "ほかの "_sj + std::to_string(dropped) + " 系列は描いていません。"_sj;
    }
    out.series = std::move(kept);
  } else {
    for (size_t i : order) out.series.push_back(std::move(lines[i]));
  }
  return 0;
}

bool Narrow(CMyPickup& m, const Point& point, const std::vector<ColorKind>& colors) {
  if (point.keys.empty()) return false;
  // the key rows before the layout changes: compact list shows no group keys
  struct Key {
    int row;
    std::string value;
  };
  std::vector<Key> keys;
  size_t k = 0;
  // group keys come in grid order, as GroupColumns() lists them
  const std::vector<GroupColumn> columns = m.GroupColumns();
  for (int row = 0; row < m.RowCount() && row < static_cast<int>(columns.size()); ++row) {
    const GroupColumn& c = columns[static_cast<size_t>(row)];
    if (c.mode != CMyGroup::kKey || c.field.empty()) continue;
    if (k >= point.keys.size()) return false;
    const std::string& key = point.keys[k++];
    std::string value;
    if (m.GetRow(row).kind == CMyPickup::kColorRow) {
      const ColorKind* kind = KindOf(colors, key);
      if (!kind) return false;  // no kind by that colour: nothing to name in the condition
      value = kind->name;
    } else if (key.empty()) {
      value = "IS NULL";
    } else {
      value = key;
      if (c.keySize > 0) value += '*';
    }
    keys.push_back({row, value});
  }
  if (k != point.keys.size()) return false;
  m.SetMode(CMyPickup::kCompactList);
  m.SetDetailPage(true);
  for (const Key& key : keys) m.SetCellText(key.row, m.ValueColumn(), key.value);
  return true;
}

}  // namespace chart
