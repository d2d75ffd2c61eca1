#include "mainview/sheet/CMyView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"
#include "store/MemoSchema.h"

namespace {

void CopyText(char* dst, size_t size, std::string_view src) {
  size_t n = std::min(src.size(), size - 1);
  // never leave half a double-byte character at the cut
  if (n < src.size()) n = cp932::CharStart(src, n);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

// Leading decimal digits of a text, as the platform's integer reader does.
int LeadingInt(std::string_view s) {
  long v = 0;
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && v < 100000000) v = v * 10 + (s[i++] - '0');
  return static_cast<int>(neg ? -v : v);
}

// A colour field holds a decimal colour number; anything else counts as no
// colour, so a damaged value never paints a random colour.
bool ReadColour(std::string_view s, int& out) {
  if (s.empty() || s.size() > 10) return false;
  long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > 0xFFFFFF) return false;
  out = static_cast<int>(v);
  return true;
}

std::string Printf(const char* fmt, int a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, a);
  return buf;
}

}  // namespace

CMyView::CMyView(ViewRecords& records, ViewCalendar& calendar, ViewPeriods& periods, Prompter& prompter,
                 Beeper& beeper, const Clock& clock)
    : records_(records),
      calendar_(calendar),
      periods_(periods),
      prompter_(prompter),
      beeper_(beeper),
      clock_(clock),
      current_(clock.Today()),
      start_(clock.Today()),
      end_(clock.Today()) {
  const char* names[7] = {"日", "月", "火", "水", "木", "金", "土"};
  for (int i = 0; i < 7; ++i) dayNames_[static_cast<size_t>(i)] = cp932::FromUtf8(names[i]);
}

void CMyView::SetScreen(const ViewScreen& screen) {
  screen_ = screen;
  displayMode_ = screen.displayMode == kListMode ? kListMode : kSheetMode;
  rowsPerListPage_ = screen.rowsPerListPage > 0 ? screen.rowsPerListPage : 30;
  if (screen_.emptyRowHeight <= 0) screen_.emptyRowHeight = screen_.rowHeight;
  sums_.clear();
  for (int i = 0; i < screen.sumCount && i < 10; ++i) {
    if (screen.sums[i].field < 0) continue;  // not a field of the table
    sums_.push_back({screen.sums[i].control, screen.sums[i].field, screen.sums[i].decimals, 0.0, {}});
  }
  weekdayField_ = records_.FieldIndex("曜日"_sj);
  cr1Field_ = records_.FieldIndex("CR001");
  cr2Field_ = records_.FieldIndex("CR002");
}

void CMyView::CopyPixelSizes(const ViewScreen& from, ViewScreen& to) {
  for (int m = 0; m < 2; ++m) {
    to.keyAreaWidth[m] = from.keyAreaWidth[m];
    for (int k = 0; k < 4; ++k) to.keyColumns[m][k].width = from.keyColumns[m][k].width;
  }
  to.fieldAreaWidth = from.fieldAreaWidth;
  to.keyFontPixels = from.keyFontPixels;
  to.emptyRowHeight = from.emptyRowHeight;
}

void CMyView::SetExtraction(bool active, const std::string& filter, const std::string& sort) {
  extraction_ = active;
  extractionFilter_ = filter;
  extractionSort_ = sort;
}

std::string CMyView::AddMonths(CivilDate d, int n, const char* format) {
  int y = d.year;
  int m = d.month + n;
  if (m <= 0) {
    y += m / 12 - 1;
    m = m % 12 + 12;
  } else if (m > 12) {
    y += (m - 1) / 12;
    m = (m - 1) % 12 + 1;
  }
  char buf[32];
  if (!std::strcmp(format, "yyyymm")) {
    std::snprintf(buf, sizeof buf, "%04d%02d", y, m);
  } else if (!std::strcmp(format, "yyyy/mm")) {
    std::snprintf(buf, sizeof buf, "%04d/%02d", y, m);
  } else {
    std::snprintf(buf, sizeof buf, "%04d/%02d/01", y, m);
  }
  return buf;
}

bool CMyView::FormatTotal(double total, int decimals, std::string& out) {
  char buf[512];
  int len = std::snprintf(buf, sizeof buf, "%.*f", decimals > 0 ? decimals : 0, total);
  if (len < 0 || len >= static_cast<int>(sizeof buf)) return false;
  std::string text(buf);
  size_t digits = 0;
  for (char c : text) digits += (c >= '0' && c <= '9') ? 1 : 0;
  if (digits >= 60) return false;  // the control keeps what it showed
  // a total that rounds to zero shows no sign
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  out = text;
  return true;
}

int CMyView::MoveView(int delta, int force) {
  if (dataKind_ == kDateKind) {
    if (!(displayMode_ == kListMode && force == 0)) {
      if (delta != 0) {
        std::string first = AddMonths(current_, delta, "yyyy/mm/dd");
        civil::ParseYmd(first, current_);
      }
      int y = current_.year;
      int a = screen_.monthOffset + current_.month - 1;
      if (a < 0) {
        y -= 1;
        a += 12;
      } else if (a > 11) {
        y += 1;
      }
      int pm = a % 12 + 1;
      int ny = pm == 12 ? y + 1 : y;
      int nm = pm == 12 ? 1 : pm + 1;
      int fd = screen_.firstDay > 0 ? screen_.firstDay : 1;
      CivilDate s{y, pm, fd};
      if (!civil::IsValid(s)) {
        prompter_.Warn("設定できない日を設定しました。"_sj);
      } else {
        start_ = s;
        CivilDate e{ny, nm, fd};
        if (!civil::IsValid(e)) {
          prompter_.Warn("設定できない日を設定しました。"_sj);
        } else {
          end_ = civil::AddDays(e, -1);
        }
      }
      std::string from = AddMonths(start_, -screen_.periodsBefore, "yyyymm");
      std::string to = AddMonths(end_, screen_.periodsAfter, "yyyymm");
      if (from > to) to = from;
      if (periods_.LoadPeriods(from, to) > 0) ReloadView(true);
    }
    if (displayMode_ == kSheetMode && current_.year != holidayYear_) {
      calendar_.LoadYear(current_.year);
      holidayYear_ = current_.year;
    }
  } else if (dataKind_ == kPageKind) {
    if (!(displayMode_ == kListMode && force == 0)) {
      int p = page_ + delta;
      if (p <= 0 || p > 9999) {
        beeper_.Beep();
        return 1;
      }
      page_ = p;
      std::string from = Printf("%05d", std::max(p - screen_.periodsBefore, 1));
      std::string to = Printf("%05d", std::min(p + screen_.periodsAfter, 9999));
      if (from > to) to = from;
      if (periods_.LoadPeriods(from, to) > 0) ReloadView(true);
    }
  } else {
    rows_.clear();
    return 0;
  }
  if (displayMode_ == kListMode) {
    int p = listPage_ + delta;
    if (p < 0 || p > lastListPage_) {
      beeper_.Beep();
      return 1;
    }
    listPage_ = p;
  }
  RebuildRows();
  Repaint();
  return 0;
}

void CMyView::ScreenOrder(const ViewScreen& screen, int dataKind, int displayMode, std::string& filter,
                          std::string& sort) {
  if (displayMode == kSheetMode)
    sort = "キー項目,行連番"_sj;
  else if (!screen.sort.empty())
    sort = screen.sort;
  else
    sort = dataKind == kDateKind ? "キー項目 D,行連番"_sj : "キー項目,行連番"_sj;
  // a filter beginning with "=" marks an automatic extraction, not a filter
  filter = !screen.filter.empty() && screen.filter[0] != '=' ? screen.filter : std::string();
}

int CMyView::ReloadView(bool appendedOnly) {
  std::string sort, filter;
  ScreenOrder(screen_, dataKind_, displayMode_, filter, sort);
  if (extraction_ && !extractionSort_.empty() && displayMode_ != kSheetMode) sort = extractionSort_;
  if (extraction_ && !extractionFilter_.empty()) filter = extractionFilter_;
  int rc = appendedOnly ? records_.RequeryAppended(filter, sort) : records_.Requery(filter, sort);
  if (rc != 0) prompter_.Warn("抽出に失敗しました。"_sj);
  int n = records_.Count();
  lastListPage_ = n > 0 ? (n - 1) / rowsPerListPage_ : 0;
  if (listPage_ > lastListPage_) listPage_ = lastListPage_;
  return rc;
}

SheetRow CMyView::FreshRow() const {
  SheetRow r;
  r.height = screen_.rowHeight;
  r.printHeight = screen_.rowHeight;
  return r;
}

void CMyView::RebuildRows() {
  pendingSave_.clear();
  for (auto& s : sums_) s.total = 0;
  rows_.clear();
  if (displayMode_ == kListMode) {
    BuildListRows();
  } else if (dataKind_ == kDateKind) {
    BuildDateRows();
  } else if (dataKind_ == kPageKind) {
    BuildPageRows();
  }
  for (auto& s : sums_) {
    std::string t;
    if (FormatTotal(s.total, s.decimals, t)) s.text = t;
  }
  totalHeight_ = 0;
  for (const auto& r : rows_) totalHeight_ += r.height;
  if (cursor_ >= RowCount()) cursor_ = RowCount() > 0 ? RowCount() - 1 : 0;
  if (top_ >= RowCount()) top_ = RowCount() > 0 ? RowCount() - 1 : 0;
  if (!pendingSave_.empty()) {
    periods_.SavePeriod(pendingSave_);
    pendingSave_.clear();
  }
  LayoutFromTop(top_);
}

void CMyView::FinishRecordRow(SheetRow& row) {
  const int i = row.record;
  if (screen_.memoField >= 0 && screen_.option5) {
    int lines = LeadingInt(records_.Value(i, screen_.memoField));
    long h = static_cast<long>(lines) * screen_.memoLineHeight + screen_.memoTop + 90;
    if (lines > 0 && h > screen_.rowHeight && h < 10000000) {
      row.height = static_cast<int>(h);
      row.printHeight = row.height;
      row.memoLines = lines;
    }
  }
  std::string period;
  if (records_.PhotoCheck(i, period)) {
    if (!pendingSave_.empty() && pendingSave_ != period) periods_.SavePeriod(pendingSave_);
    pendingSave_ = period;
  }
  for (auto& s : sums_) {
    std::string v(records_.Value(i, s.field));
    if (!v.empty()) s.total += std::strtod(v.c_str(), nullptr);
  }
  if (cr1Field_ >= 0) row.hasTextColor = ReadColour(records_.Value(i, cr1Field_), row.textColor);
  if (cr2Field_ >= 0) {
    row.hasBackColor = ReadColour(records_.Value(i, cr2Field_), row.backColor);
    if (!row.hasBackColor) row.backColor = 0xFFFFFF;
  }
}

void CMyView::FillKeyRows(const std::string& key, int& i, bool& more, const std::string& endKey,
                          SheetRow proto) {
  const int n = records_.Count();
  const size_t first = rows_.size();
  auto emptyRow = [&] {
    SheetRow r = proto;
    if (!screen_.option4) r.height = r.printHeight = screen_.emptyRowHeight;
    rows_.push_back(r);
  };
  if (!more) {
    emptyRow();
  } else {
    bool made = false;
    for (;;) {
      std::string_view k = records_.Key(i);
      if (k < key) {
        if (++i >= n) {
          more = false;
          break;
        }
        continue;
      }
      if (k == key) {
        SheetRow r = proto;
        r.record = i;
        FinishRecordRow(r);
        rows_.push_back(r);
        made = true;
        if (++i >= n || records_.Key(i) > endKey) {
          more = false;
          break;
        }
        continue;
      }
      if (!made) emptyRow();
      made = true;
      break;
    }
    if (!made) {
      prompter_.Warn("pg)データが見付かりません"_sj);
      emptyRow();
    }
  }
  const int k = static_cast<int>(rows_.size() - first);
  if (k > 1) {
    for (int j = 0; j < k; ++j) {
      rows_[first + static_cast<size_t>(j)].linesOfKey = k;
      rows_[first + static_cast<size_t>(j)].lineNo = j + 1;
    }
  }
}

void CMyView::KeyColumnTexts(SheetRow& row, CivilDate d, int page, int line) const {
  const int mode = 0;
  for (int c = 0; c < screen_.keyColumnCount[mode] && c < 4; ++c) {
    int kind = screen_.keyColumns[mode][c].kind;
    char buf[32] = {};
    if (dataKind_ == kDateKind) {
      switch (kind) {
        case 0:
          std::snprintf(buf, sizeof buf, "%02d", d.day);
          break;
        case 1:
          std::snprintf(buf, sizeof buf, "%02d/%02d", d.month, d.day);
          break;
        case 2:
          std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", d.year % 100, d.month, d.day);
          break;
        case 3:
          std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year, d.month, d.day);
          break;
        case 4:
          std::snprintf(buf, sizeof buf, "%d", d.day);
          break;
        case 5:
          std::snprintf(buf, sizeof buf, "%d", d.month);
          break;
        case 6:
          std::snprintf(buf, sizeof buf, "%04d", d.year);
          break;
        case 7:
          if (row.weekday >= 1 && row.weekday <= 7) {
            CopyText(row.keyText[c], 20, dayNames_[static_cast<size_t>(row.weekday - 1)]);
            continue;
          }
          break;
        default:
          break;
      }
    } else {
      switch (kind) {
        case 0:
          std::snprintf(buf, sizeof buf, "%d", line);
          break;
        case 1:
          std::snprintf(buf, sizeof buf, "%d/%d", page, line);
          break;
        case 2:
          std::snprintf(buf, sizeof buf, "%d", page);
          break;
        default:
          break;
      }
    }
    CopyText(row.keyText[c], 20, buf);
  }
}

void CMyView::ListKeyTexts(SheetRow& row) const {
  const int mode = 1;
  std::string_view key(row.key);
  for (int c = 0; c < screen_.keyColumnCount[mode] && c < 4; ++c) {
    int kind = screen_.keyColumns[mode][c].kind;
    std::string text;
    if (dataKind_ == kDateKind) {
      switch (kind) {
        case 0:
          text = key;
          break;
        case 1:
          if (key.size() == 10) text = key.substr(5);
          break;
        case 2:
          text = std::to_string(LeadingInt(key));
          break;
        case 3:
          if (key.size() >= 6) text = std::to_string(LeadingInt(key.substr(5)));
          break;
        case 4:
          if (key.size() >= 9) text = std::to_string(LeadingInt(key.substr(8)));
          break;
        case 5:
          if (row.weekday >= 1 && row.weekday <= 7) text = dayNames_[static_cast<size_t>(row.weekday - 1)];
          break;
        default:
          break;
      }
    } else if (key.size() == 11) {
      switch (kind) {
        case 0:
          text = key.substr(1);
          break;
        case 1:
          text = key.substr(6, 5);
          break;
        case 2:
          text = std::to_string(LeadingInt(key.substr(0, 5)));
          break;
        case 3:
          text = std::to_string(LeadingInt(key.substr(6)));
          break;
        default:
          break;
      }
    }
    CopyText(row.keyText[c], 20, text);
  }
}

void CMyView::BuildDateRows() {
  const int n = records_.Count();
  const std::string startKey = civil::Ymd(start_), endKey = civil::Ymd(end_);
  int i = records_.SkipKeysBelow(startKey);
  bool more = i < n && records_.Key(i) <= endKey;
  calendar_.ResetCursors();
  const CivilDate today = clock_.Today();
  long last = civil::DaysFrom(end_);
  // a period is at most a few months; never walk an absurd range
  if (last - civil::DaysFrom(start_) > 400) last = civil::DaysFrom(start_) + 400;
  for (long z = civil::DaysFrom(start_); z <= last; ++z) {
    CivilDate d = civil::FromDays(z);
    SheetRow proto = FreshRow();
    std::string key = civil::Ymd(d);
    CopyText(proto.key, sizeof proto.key, key);
    proto.weekday = civil::Weekday(d);
    KeyColumnTexts(proto, d, 0, 0);
    const HolidayEntry* holiday = nullptr;
    const HolidayEntry* anniversary = nullptr;
    calendar_.Find(d, holiday, anniversary);
    proto.holiday = holiday;
    proto.anniversary = anniversary;
    proto.hasAnniversary = anniversary != nullptr;
    proto.today = d == today ? 1 : 0;
    FillKeyRows(key, i, more, endKey, proto);
  }
}

void CMyView::BuildPageRows() {
  const int n = records_.Count();
  int i = 0;
  while (i < n && LeadingInt(records_.Key(i)) < page_) ++i;
  char endBuf[16];
  std::snprintf(endBuf, sizeof endBuf, "%05d/\xff", page_);
  const std::string endKey = endBuf;
  bool more = i < n && records_.Key(i) <= endKey;
  const int lines = std::clamp(screen_.linesPerPage, 1, 99999);
  for (int line = 1; line <= lines; ++line) {
    SheetRow proto = FreshRow();
    const std::string key = memo::PageKey(page_, line);
    CopyText(proto.key, sizeof proto.key, key.c_str());
    KeyColumnTexts(proto, CivilDate{}, page_, line);
    FillKeyRows(key, i, more, endKey, proto);
  }
}

void CMyView::BuildListRows() {
  const int n = records_.Count();
  long first = static_cast<long>(listPage_) * rowsPerListPage_;
  for (long i = first; i < n && i < first + rowsPerListPage_; ++i) {
    SheetRow r = FreshRow();
    r.record = static_cast<int>(i);
    CopyText(r.key, sizeof r.key, records_.Key(r.record));
    if (weekdayField_ >= 0) {
      int w = LeadingInt(records_.Value(r.record, weekdayField_));
      r.weekday = (w >= 1 && w <= 7) ? w : 0;
    }
    ListKeyTexts(r);
    FinishRecordRow(r);
    rows_.push_back(r);
  }
}

SheetScroll CMyView::Scroll() {
  return SheetScroll({rows_, screen_.headerHeight, AvailableHeight()}, cursor_, top_, lastVisible_);
}

int CMyView::LayoutFromTop(int t) { return Scroll().LayoutFromTop(t); }

int CMyView::MaxTopRow() const {
  return SheetScroll::MaxTopRow({rows_, screen_.headerHeight, AvailableHeight()});
}

void CMyView::SetTop(int top) {
  Scroll().SetTop(top);
  Repaint();
}

void CMyView::FollowCursor() {
  if (cursor_ >= 0 && cursor_ < RowCount() && rows_[static_cast<size_t>(cursor_)].record >= 0)
    records_.GoTo(rows_[static_cast<size_t>(cursor_)].record);
}

void CMyView::MoveCursorTo(int r) {
  PlaceCursor(r);
  FollowCursor();
}

void CMyView::ClickRow(int r) {
  if (r < 0 || r >= RowCount()) return;
  cursor_ = r;  // a click moves the frame only; the rows stay where they are
  FollowCursor();
  Repaint();
}

void CMyView::PlaceCursor(int r) {
  if (Scroll().PlaceCursor(r)) Repaint();
}

int CMyView::StepCursor(int direction) {
  if (direction >= 0) {
    if (cursor_ + 1 >= RowCount()) return -1;
    MoveCursorTo(cursor_ + 1);
  } else {
    if (cursor_ <= 0) return -1;
    MoveCursorTo(cursor_ - 1);
  }
  return 0;
}

int CMyView::GotoRecord(int direction) {
  int pos = records_.Step(direction);
  if (pos < 0) {
    beeper_.Beep();
    return 0;
  }
  std::string_view key = records_.Key(pos);
  if (displayMode_ == kSheetMode && dataKind_ == kDateKind) {
    CivilDate d;
    if (civil::ParseYmd(key, d)) current_ = d;
    MoveView(0, 1);
  } else if (displayMode_ == kSheetMode) {
    int p = LeadingInt(key);
    if (p >= 1 && p <= 9999) page_ = p;
    MoveView(0, 1);
  } else {
    listPage_ = pos / rowsPerListPage_;
    MoveView(0, 0);
  }
  int row = 0;
  for (int r = 0; r < RowCount(); ++r) {
    if (rows_[static_cast<size_t>(r)].record == pos) {
      row = r;
      break;
    }
  }
  MoveCursorTo(row);
  Repaint();
  return 1;
}

std::string CMyView::NewRecordKey(bool forceNext) const {
  if (displayMode_ == kListMode || forceNext) {
    if (dataKind_ == kDateKind) return civil::Ymd(current_);
    std::string latest = periods_.LatestKey();
    if (latest.size() != 11) return "00001/00001";
    int p = std::max(LeadingInt(std::string_view(latest).substr(0, 5)), 1);
    int l = std::max(LeadingInt(std::string_view(latest).substr(6)), 1) + 1;
    if (l > screen_.linesPerPage) {
      ++p;
      l = 1;
    }
    return memo::PageKey(p, l);
  }
  if (rows_.empty()) return {};
  return rows_[static_cast<size_t>(std::clamp(cursor_, 0, RowCount() - 1))].key;
}

void CMyView::GoToday() {
  current_ = clock_.Today();
  listPage_ = 0;
  page_ = 1;
  MoveView(0, 1);
  int row = 0;
  if (displayMode_ == kSheetMode && dataKind_ == kDateKind) {
    std::string key = civil::Ymd(current_);
    for (int r = 0; r < RowCount(); ++r) {
      if (key == rows_[static_cast<size_t>(r)].key) {
        row = r;
        break;
      }
    }
  }
  LayoutFromTop(0);
  MoveCursorTo(row);
  Repaint();
}

void CMyView::ShowMonth(int year, int month) {
  CivilDate d{year, month, 1};
  if (!civil::IsValid(d)) return;
  current_ = d;
  MoveView(0, 1);
}

void CMyView::ShowPage(int page) {
  if (page < 1 || page > 9999) return;
  page_ = page;
  MoveView(0, 1);
}

void CMyView::ShowListPage(int listPage) {
  listPage_ = std::clamp(listPage, 0, lastListPage_);
  MoveView(0, 0);
}

void CMyView::StepPeriod(int delta) {
  MoveView(delta, 0);
  MoveCursorTo(cursor_);
}

void CMyView::MoveYear(int delta) {
  if (dataKind_ != kDateKind || displayMode_ != kSheetMode) return;
  for (int k = 0; k < 12; ++k) MoveView(delta < 0 ? -1 : 1, 0);
  MoveCursorTo(0);
}

void CMyView::KeyUp() {
  if (cursor_ > 0) MoveCursorTo(cursor_ - 1);
}

void CMyView::KeyDown() {
  if (cursor_ < RowCount() - 1) MoveCursorTo(cursor_ + 1);
}

void CMyView::KeyPageDown() {
  if (RowCount() == 0) return;
  Scroll().PageDown();
  FollowCursor();
  Repaint();
}

void CMyView::KeyPageUp() {
  if (RowCount() == 0) return;
  Scroll().PageUp();
  FollowCursor();
  Repaint();
}

void CMyView::Wheel(int delta) {
  Scroll().Wheel(delta);
  Repaint();
}

void CMyView::SetDisplayMode(int mode) {
  displayMode_ = mode == kListMode ? kListMode : kSheetMode;
  ReloadView();
  RebuildRows();
  MoveCursorTo(cursor_);
  Repaint();
}

std::string CMyView::Label() const {
  if (displayMode_ == kListMode) return Printf("%3d", listPage_ + 1) + "ページ"_sj;
  if (dataKind_ == kPageKind) return Printf("%3d", page_) + "ページ"_sj;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d/%02d", current_.year, current_.month);
  return buf;
}

std::string CMyView::StatusText() const {
  if (displayMode_ != kListMode) return {};
  char buf[64];
  // the program speaks Japanese on screen: "全3ページ 57件"
  std::snprintf(buf, sizeof buf, "%d", lastListPage_ + 1);
  std::string text = "全"_sj + buf + "ページ "_sj;
  std::snprintf(buf, sizeof buf, "%d", records_.Count());
  return text + buf + "件"_sj;
}

std::string CMyView::RowStatus(int row, const std::string& holidayName, const std::string& anniversaryName,
                               int anniversaryStartYear) const {
  if (row < 0 || row >= RowCount()) return {};
  return RowStatusOf(rows_[static_cast<size_t>(row)], holidayName, anniversaryName, anniversaryStartYear);
}

std::string CMyView::RowStatusOf(const SheetRow& r, const std::string& holidayName,
                                 const std::string& anniversaryName, int anniversaryStartYear) {
  std::string text = r.holiday ? holidayName : std::string();
  if (r.hasAnniversary) {
    text += " / " + anniversaryName;
    int year = LeadingInt(r.key);
    if (anniversaryStartYear > 1000 && year > anniversaryStartYear) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%d", year - anniversaryStartYear);
      text += "（"_sj + buf + "年目）"_sj;
    }
  }
  return text;
}
