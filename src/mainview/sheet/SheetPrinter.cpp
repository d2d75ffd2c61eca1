#include "mainview/sheet/SheetPrinter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "screens/CMyObjFont.h"

namespace {

// The screen's key font is 12 pixels high.
// The gap under the head line's text, logical units.
constexpr int kHeadGap = 300;

// Screen pixels to printer pixels, through logical units, truncating at each
// step as every conversion of the drawing does.
int ToPaper(int pixels, double screenScale, double paperScale) {
  if (screenScale <= 0) return 0;
  return TruncToInt(TruncToInt(pixels / screenScale) * paperScale);
}

// A device's pixels per logical unit (hundredth of a millimetre); a size of
// 0 divides by 1.
double ScaleOf(int resolution, int millimetres) {
  const double divisor = static_cast<double>(millimetres) * 100;
  return resolution / (divisor == 0 ? 1 : divisor);
}

// Everything the job changes on shared objects is put back however it ends.
class PrintingState {
 public:
  PrintingState(SheetPainter& painter, PrintScreen& print, double x, double y)
      : painter_(painter), print_(print), savedX_(print.ScaleX()), savedY_(print.ScaleY()) {
    painter_.SetPrinting(true);
    print_.SetScales(x, y);
    print_.SetPrintForm(true);
  }
  ~PrintingState() {
    print_.SetPrintForm(false);
    print_.SetScales(savedX_, savedY_);
    painter_.SetPrinting(false);
  }
  PrintingState(const PrintingState&) = delete;
  PrintingState& operator=(const PrintingState&) = delete;

 private:
  SheetPainter& painter_;
  PrintScreen& print_;
  double savedX_, savedY_;
};

}  // namespace

SheetPrinter::SheetPrinter(const CMyView& view, SheetPainter& painter, SheetScreen& screen,
                           PrintScreen& print, Prompter& prompter)
    : view_(view), painter_(painter), screen_(screen), print_(print), prompter_(prompter) {}

PaperSetup SheetPrinter::Normalised(PaperSetup p) {
  // a page setup without a paper size means A4
  if (p.width <= 0 || p.height <= 0) p.width = 21000, p.height = 29700;
  p.left = std::max(p.left, 0);
  p.top = std::max(p.top, 0);
  p.right = std::max(p.right, 0);
  p.bottom = std::max(p.bottom, 0);
  return p;
}

bool SheetPrinter::HasRowsFrom(int first) {
  if (first >= 0 && first >= view_.RowCount()) {
    prompter_.Warn("印刷するデータがありません。"_sj);
    return false;
  }
  return true;
}

int SheetPrinter::PrintSheet(PrintJob& job, const PrintHead& head, int first) {
  return PrintRows(job, head, std::max(first, 0), first >= 0);
}

bool SheetPrinter::Fits(const DeviceCaps& caps) {
  const int64_t printableW = int64_t{paper_.width} - paper_.left - paper_.right;
  const int64_t printableH = int64_t{paper_.height} - paper_.top - paper_.bottom;
  if (printableW <= 0 || printableH <= 0) {
    prompter_.Warn("余白が用紙より大きいため、印刷できる範囲がありません。"_sj);
    return false;
  }
  layout_.scaleX = ScaleOf(caps.horzRes, caps.horzSize);
  layout_.scaleY = ScaleOf(caps.vertRes, caps.vertSize);
  if (!(layout_.scaleX > 0 && layout_.scaleY > 0 && std::isfinite(layout_.scaleX) &&
        std::isfinite(layout_.scaleY))) {
    prompter_.Warn("印刷先の解像度がわからないため、印刷できません。"_sj);
    return false;
  }
  layout_.savedX = print_.ScaleX();
  layout_.savedY = print_.ScaleY();
  const ViewScreen& vs = view_.Screen();
  const int mode = view_.DisplayMode() == CMyView::kListMode ? 1 : 0;
  layout_.keyWidth = ToPaper(vs.keyAreaWidth[mode], layout_.savedX, layout_.scaleX);
  layout_.keyColumnCount = std::clamp(vs.keyColumnCount[mode], 0, 4);
  for (int k = 0; k < layout_.keyColumnCount; ++k)
    layout_.keyColumns[k] = ToPaper(vs.keyColumns[mode][k].width, layout_.savedX, layout_.scaleX);
  // a key area as wide as the paper leaves no room for a single field
  if (layout_.keyWidth >= TruncToInt(static_cast<double>(printableW) * layout_.scaleX)) {
    prompter_.Warn("日付やページの欄が用紙の幅より広いため、印刷できません。"_sj);
    return false;
  }
  layout_.fieldWidth = TruncToInt(print_.SheetWidth() * layout_.scaleX);
  // negative: the characters' height, as on the screen
  // the key font as the sheet shows it, which a zoom makes larger with its
  // scale: the paper gets the same size whatever the zoom
  const double keyFontPixels = vs.keyFontPixels;
  layout_.keyFontHeight = -TruncToInt(TruncToInt(keyFontPixels / layout_.savedY) * layout_.scaleY);
  layout_.headHeight =
      head_.title || head_.page || head_.now ? TruncToInt(keyFontPixels / layout_.savedY) + kHeadGap : 0;
  return true;
}

void SheetPrinter::MeasureRows(Canvas& c) {
  const ViewScreen& vs = view_.Screen();
  const SheetColours col = screen_.Colours();
  const bool growth = vs.memoField >= 0 && col.option5;
  layout_.memoLineHeight = growth ? print_.MeasureLineHeight(c, vs.memoControl) : vs.memoLineHeight;
  const int controlHeight = growth ? screen_.ControlHeight(vs.memoControl) : 0;
  const auto& rows = view_.Rows();
  heights_.assign(rows.size(), 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    const SheetRow& row = rows[r];
    int h = row.printHeight > 0 ? row.printHeight : row.height;
    if (growth && row.memoLines > 1) {
      const int64_t grown = int64_t{row.memoLines} * layout_.memoLineHeight + vs.memoTop + 90;
      // a memo measured smaller on paper still keeps the row's own height:
      // the row's other items stand where the screen definition puts them
      if (grown > controlHeight && grown < 10000000) h = std::max(static_cast<int>(grown), vs.rowHeight);
    }
    heights_[r] = h;
  }
}

int SheetPrinter::PrintRows(PrintJob& job, const PrintHead& head, int from, bool onePage) {
  if (onePage && !HasRowsFrom(from)) return 0;
  from = std::max(from, 0);
  paper_ = Normalised(job.Paper());
  head_ = head;
  layout_ = Layout{};
  if (!Fits(job.Caps())) return 0;
  PrintingState state(painter_, print_, layout_.scaleX, layout_.scaleY);
  if (!job.BeginDocument("ひとこと帳印刷"_sj)) return -1;
  MeasureRows(job.PageCanvas());
  const int count = view_.RowCount();
  int page = 1, row = from, printed = 0;
  bool ok = true;
  for (;;) {
    if (!job.BeginPage()) {
      ok = false;
      break;
    }
    int next = PrintPage(job.PageCanvas(), page, row);
    job.FinishPage();
    ++printed;
    // every page takes at least one row, so the job always ends
    row = std::max(next, row + 1);
    if (row >= count || onePage) break;
    ++page;
  }
  if (!job.FinishDocument()) ok = false;
  return ok ? printed : -1;
}

std::string SheetPrinter::RightHead(int page) const {
  char date[16];
  std::snprintf(date, sizeof date, "%04d/%02d/%02d", head_.today.year, head_.today.month, head_.today.day);
  const std::string pageText = "PAGE." + std::to_string(page);
  if (head_.page && head_.now) return std::string(date) + "  " + pageText;
  if (head_.page) return pageText;
  if (head_.now) return date;
  return {};
}

int SheetPrinter::PrintPage(Canvas& c, int page, int first) {
  const ViewScreen& vs = view_.Screen();
  const int left = screen_.PixelsX(paper_.left);
  int y = paper_.top;
  if (layout_.headHeight > 0) {
    const CanvasRect band{left, screen_.PixelsY(y), left + layout_.keyWidth + layout_.fieldWidth,
                          screen_.PixelsY(y + layout_.headHeight)};
    c.SetFont(SheetPainter::KeyFont(false, false, layout_.keyFontHeight));
    c.SetTextColour(0);
    c.SetBackground(false);
    if (head_.title)
      c.DrawTextRect(head_.division + "（"_sj + head_.label + "）"_sj, band, kTextLeft | kTextSingleLine);
    const std::string right = RightHead(page);
    if (!right.empty()) c.DrawTextRect(right, band, kTextRight | kTextSingleLine);
    y += layout_.headHeight;
  }
  SheetPass pass;
  pass.paper = true;
  pass.first = first;
  pass.left = left;
  pass.top = y;
  pass.keyWidth = layout_.keyWidth;
  pass.keyColumnCount = layout_.keyColumnCount;
  for (int k = 0; k < layout_.keyColumnCount; ++k) pass.keyColumns[k] = layout_.keyColumns[k];
  pass.fieldWidth = layout_.fieldWidth;
  // the footer stands at the bottom margin however early the rows end
  pass.footerTop = paper_.height - paper_.bottom - vs.footerHeight;
  pass.rowsEnd = pass.footerTop;
  pass.grid = 0x000000;
  pass.keyFontHeight = layout_.keyFontHeight;
  pass.memoLineHeight = layout_.memoLineHeight;
  pass.heights = &heights_;
  return painter_.Paint(c, pass) + 1;
}
