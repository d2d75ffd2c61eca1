#include "mainview/sheet/SheetText.h"

#include <algorithm>
#include <cstdio>

#include "calendar/CMyHoliday.h"
#include "platform/Cp932.h"
#include "screens/CMyScr.h"

namespace {

// The digits of key[from, from + n), or -1 when any is not a digit.
int Digits(const char* key, size_t from, size_t n) {
  int v = 0;
  for (size_t i = from; i < from + n; ++i) {
    if (key[i] < '0' || key[i] > '9') return -1;
    v = v * 10 + (key[i] - '0');
  }
  return v;
}

std::string Printf(const char* format, int a, int b = 0, int c = 0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

// A memo's or caption's CR LF is read as one line break.
std::string OneText(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

// The file name of a stored path (CP932; either separator, the second byte
// of a double-byte character never taken for one).
std::string FileNameOf(const std::string& path) {
  size_t from = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (cp932::IsLead(path[i]) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '/' || path[i] == '\\') {
      from = i + 1;
    }
  }
  return path.substr(from);
}

SheetTextColumn KeyAreaColumn(int dataKind) {
  return {dataKind == CMyView::kPageKind ? "ページ・行"_sj : "日付"_sj, "", false};
}

struct Placed {
  int x, y, w, h;
  const CMyScr::Item* item;
};

}  // namespace

std::string SheetKeyText(const SheetRow& row, int dataKind, int displayMode) {
  static const char* const kWeekdays[] = {"日曜日", "月曜日", "火曜日", "水曜日",
                                          "木曜日", "金曜日", "土曜日"};
  const char* key = row.key;
  const size_t n = std::char_traits<char>::length(key);
  const bool list = displayMode == CMyView::kListMode;
  std::string text;
  if (dataKind == CMyView::kPageKind && n == 11 && key[5] == '/' && Digits(key, 0, 5) >= 0 &&
      Digits(key, 6, 5) >= 0) {
    text = cp932::FromUtf8(Printf("%dページ %d行", Digits(key, 0, 5), Digits(key, 6, 5)));
  } else if (dataKind == CMyView::kDateKind && n == 10 && key[4] == '/' && key[7] == '/' &&
             Digits(key, 0, 4) >= 0 && Digits(key, 5, 2) >= 0 && Digits(key, 8, 2) >= 0) {
    // the sheet's label already says the month; a list mixes months and years
    text =
        cp932::FromUtf8(list ? Printf("%d年%d月%d日", Digits(key, 0, 4), Digits(key, 5, 2), Digits(key, 8, 2))
                             : Printf("%d日", Digits(key, 8, 2)));
  } else {
    text = key;
  }
  if (row.weekday >= 1 && row.weekday <= 7) {
    if (!text.empty()) text += ' ';
    text += cp932::FromUtf8(kWeekdays[row.weekday - 1]);
  }
  if (row.holiday) text += " 祝日 "_sj + row.holiday->Name();
  if (row.hasAnniversary && row.anniversary) {
    text += " 記念日 "_sj + row.anniversary->Name();
    const int year = Digits(key, 0, 4);
    if (n >= 4 && row.anniversary->startYear > 1000 && year > row.anniversary->startYear)
      text += cp932::FromUtf8(Printf("（%d年目）", year - row.anniversary->startYear));
  }
  if (row.today) text += " 今日"_sj;
  if (row.linesOfKey > 1) text += cp932::FromUtf8(Printf(" %d件中%d件目", row.linesOfKey, row.lineNo));
  return text;
}

std::vector<SheetTextColumn> SheetColumnsOf(const CMyScr& scr, int dataKind,
                                            const std::function<std::string(const std::string&)>& aliasOf) {
  std::vector<SheetTextColumn> out{KeyAreaColumn(dataKind)};
  std::vector<Placed> fields, captions;
  for (int i = 0; i < scr.ItemCount(); ++i) {
    const CMyScr::Item& it = scr.GetItem(i);
    if (it.head.visible != 1) continue;
    const Placed p{it.font.X(), it.font.Y(), it.font.W(), it.font.H(), &it};
    const int bands = it.head.BandBits();
    if ((bands & 2) != 0 && it.head.kind == 1 && !it.font.Text().empty()) captions.push_back(p);
    if ((bands & 6) == 0 && it.head.kind != 1 && !it.head.field.empty()) fields.push_back(p);
  }
  // reading order: an item whose top lies above the middle of a line's first
  // item belongs to that line
  std::stable_sort(fields.begin(), fields.end(), [](const Placed& a, const Placed& b) { return a.y < b.y; });
  for (size_t start = 0; start < fields.size();) {
    size_t end = start + 1;
    const int middle = fields[start].y + fields[start].h / 2;
    while (end < fields.size() && fields[end].y < middle) ++end;
    std::stable_sort(fields.begin() + static_cast<long>(start), fields.begin() + static_cast<long>(end),
                     [](const Placed& a, const Placed& b) { return a.x < b.x; });
    start = end;
  }
  for (const Placed& f : fields) {
    // the header caption standing most over the item, the lowest on a tie
    const Placed* best = nullptr;
    int bestOverlap = 0;
    for (const Placed& c : captions) {
      const int overlap = std::min(f.x + f.w, c.x + c.w) - std::max(f.x, c.x);
      if (overlap > bestOverlap || (best && overlap == bestOverlap && overlap > 0 && c.y > best->y)) {
        best = &c;
        bestOverlap = overlap;
      }
    }
    SheetTextColumn col{{}, f.item->head.field, f.item->head.kind == 201};
    if (best) col.caption = OneText(best->item->font.Text());
    if (col.caption.empty() && aliasOf) col.caption = aliasOf(col.field);
    if (col.caption.empty()) col.caption = col.field;
    out.push_back(std::move(col));
  }
  return out;
}

void SheetText::Refresh() {
  const CMyScr* screen = ports_.screen ? ports_.screen() : nullptr;
  if (screen && Sheet())
    columns_ = SheetColumnsOf(*screen, DataKind(), ports_.aliasOf);
  else
    columns_ = {KeyAreaColumn(DataKind())};
}

int SheetText::RowCount() const {
  const SheetRows* sheet = Sheet();
  return sheet ? static_cast<int>(sheet->Rows().size()) : 0;
}

int SheetText::CursorRow() const {
  const int rows = RowCount();
  if (rows == 0 || !ports_.cursor) return -1;
  return std::clamp(ports_.cursor(), 0, rows - 1);
}

std::string SheetText::Header(int column) const {
  return column >= 0 && column < ColumnCount() ? columns_[static_cast<size_t>(column)].caption
                                               : std::string();
}

std::vector<std::string> SheetText::RowCells(int r) const {
  if (r < 0 || r >= RowCount()) return {};
  const SheetRows& sheet = *Sheet();
  const SheetRow& row = sheet.Rows()[static_cast<size_t>(r)];
  std::vector<std::string> cells;
  cells.reserve(columns_.size());
  cells.push_back(SheetKeyText(row, DataKind(), sheet.DisplayMode()));
  const RowSource* values = row.record >= 0 && ports_.values ? ports_.values(row.record) : nullptr;
  for (size_t c = 1; c < columns_.size(); ++c) {
    std::string v = values ? values->Value(columns_[c].field) : std::string();
    if (columns_[c].picture && !v.empty()) {
      // the file's name is what tells one picture from another
      v = "写真: "_sj + FileNameOf(v);
    }
    cells.push_back(OneText(std::move(v)));
  }
  return cells;
}
