#include "mainview/sheet/ScreenPorts.h"

#include <cmath>
#include <cstdlib>

#include "platform/Collate.h"
#include "platform/Cp932.h"

std::string RecordRowSource::Value(const std::string& field) const {
  if (pos_ < 0 || pos_ >= rec_.Count()) return {};
  const char* v = db_.ValueByName(field, rec_.Items()[pos_]);
  return v ? std::string(v) : std::string();
}

std::string TableRowSource::Value(const std::string& field) const {
  if (index_ < 0 || static_cast<size_t>(index_) >= records_.size()) return {};
  const int r = records_[static_cast<size_t>(index_)];
  if (r < 0 || r >= db_.RecordCount()) return {};
  const char* v = db_.ValueByName(field, r);
  return v ? std::string(v) : std::string();
}

void JosScreenLoader::Describe(const CMyScr& scr, const CMyDB& db, ViewScreen& out) {
  out = ViewScreen{};
  const jos::ViewBlock& v = scr.View();
  // the model's scale carries the sheet's zoom; the key area's pixels follow it
  const double zoom = scr.GetItem(0).font.HScale() / CMyScr::kDefaultScale;
  auto zoomed = [zoom](int pixels) { return static_cast<int>(std::lround(pixels * zoom)); };
  out.displayMode = v.mode == 10 ? 10 : 0;
  out.linesPerPage = v.linesPerPage > 0 ? v.linesPerPage : 30;
  out.rowsPerListPage = v.listRows > 0 ? v.listRows : 30;
  out.monthOffset = v.monthOffset;
  out.firstDay = v.firstDay;
  out.periodsBefore = v.monthsBefore;
  out.periodsAfter = v.monthsAfter;
  for (int m = 0; m < 2; ++m) {
    out.keyAreaWidth[m] = zoomed(v.bandWidth[static_cast<size_t>(m)]);
    out.keyColumnCount[m] = 0;
    for (int k = 0; k < 4; ++k) {
      const jos::KeyColumn& col = v.keyColumns[static_cast<size_t>(m)][static_cast<size_t>(k)];
      if (col.width <= 0) break;
      out.keyColumns[m][k] = {zoomed(col.width), col.kind};
      out.keyColumnCount[m] = k + 1;
    }
  }
  out.fieldAreaWidth = scr.ToDevice(0, scr.SheetWidth());
  out.keyFontPixels = zoomed(12);
  out.headerHeight = scr.HeaderHeight();
  out.footerHeight = scr.FooterHeight();
  out.rowHeight = scr.RowHeight() > 0 ? scr.RowHeight() : 500;
  out.emptyRowHeight = scr.ToLogical(1, 16 * zoom);
  out.option4 = scr.HasOption(4);
  out.option5 = scr.HasOption(5);
  out.filter = scr.Text(0);
  out.sort = scr.Text(1);
  // A visible "MEM001" item lets rows grow with the memo; a visible
  // "IMG001" item asks for the photo fields.
  for (int i = 0; i < scr.ItemCount(); ++i) {
    const CMyScr::Item& it = scr.GetItem(i);
    if (it.head.visible != 1) continue;
    // field names are matched without case, as the table matches them
    if (out.memoControl < 0 && collate::EqualNoCase(it.head.field, "MEM001")) {
      out.memoControl = i;
      out.memoField = db.FindField("MEM001L");
      out.memoTop = it.font.Y();
      out.memoHeight = it.font.H();
      int h = it.font.Record().fontHeight;
      out.memoLineHeight = h < 0 ? -h : h;
    }
  }
  for (int i = 0; i < scr.ItemCount() && out.sumCount < 10; ++i) {
    const CMyScr::Item& it = scr.GetItem(i);
    if (it.head.aggregate != "SUM" || it.head.field.empty()) continue;
    int field = db.FindField(it.head.field);
    if (field < 0) continue;
    out.sums[out.sumCount++] = {i, field, it.head.Decimals()};
  }
}

bool JosScreenLoader::Zoom(CMyScr& scr, const CMyDB& db, CMyView& view, int percent) {
  const double scale = CMyScr::kDefaultScale * percent / 100.0;
  if (scr.GetItem(0).font.HScale() == scale) return false;  // loaded at that size
  scr.SetScale(scale, scale);
  ViewScreen sized;
  Describe(scr, db, sized);
  view.SetPixelSizes(sized);
  return true;
}

int JosScreenLoader::Load(const std::string& path, ViewScreen& out) {
  int rc = scr_.LoadScreen(path);
  if (rc != 0) return rc;
  Describe(scr_, db_, out);
  // total items show their totals as captions
  for (int k = 0; k < out.sumCount; ++k) {
    CMyScr::Item& it = scr_.GetItem(out.sums[k].control);
    it.head.kind = 1;
    it.font.SetText("");
  }
  return 0;
}

void ScrSheetScreen::BeginDraw(Canvas&) {
  scr_.CreatePens(printForm_ ? 1 : 0);
  scr_.SetRows(group_ ? static_cast<const RowSource*>(group_) : &rows_);
  // the totals of the last rebuild go into their captions
  for (const SumEntry& s : view_.Sums()) scr_.GetItem(s.control).font.SetText(s.text);
}

void ScrSheetScreen::EndDraw(Canvas&) {
  scr_.DeletePens();
  // the window that stretched the model finds it as it left it (its mouse)
  if (borrowed_ != 0) scr_.StretchColumns(borrowed_);
  borrowed_ = 0;
}

std::string ScrSheetScreen::ListFooterCaption(const std::string& text) {
  for (const std::string& month : {"今月"_sj, "当月"_sj})
    if (text.compare(0, month.size(), month) == 0) return "抽出結果"_sj + text.substr(month.size());
  return text;
}

void ScrSheetScreen::DrawPart(Canvas& c, int part, int x, int y, int record) {
  if (group_)
    group_->SetPosition(record);
  else
    rows_.SetPosition(record);
  // the footer's captions of a list say what it totals, for this drawing only
  std::vector<std::pair<int, std::string>> kept;
  if (part == 3 && view_.DisplayMode() == CMyView::kListMode) {
    for (int i = 0; i < scr_.ItemCount(); ++i) {
      CMyScr::Item& it = scr_.GetItem(i);
      if (it.head.kind != 1) continue;
      const std::string shown = ListFooterCaption(it.font.Text());
      if (shown == it.font.Text()) continue;
      kept.emplace_back(i, it.font.Text());
      it.font.SetText(shown);
    }
  }
  scr_.DrawItems(c, x, y, part, record < 0);
  for (const auto& [i, text] : kept) scr_.GetItem(i).font.SetText(text);
}

int ScrSheetScreen::FitFieldArea(int pixels) {
  if (pixels == 0) {
    borrowed_ = scr_.Stretch();
    if (borrowed_ != 0) scr_.StretchColumns(0);
    return -1;
  }
  const int own = view_.Screen().fieldAreaWidth;
  const int extra = printForm_ ? 0 : pixels - own;
  const int logical = extra > 0 ? scr_.ToLogical(0, extra) : 0;
  if (logical != scr_.Stretch()) scr_.StretchColumns(logical);
  return scr_.Stretch() > 0 ? own + extra : -1;
}

void ScrSheetScreen::SetPrintForm(bool on) {
  printForm_ = on;
  // paper keeps the screen's own widths; the next paint stretches again
  if (on) scr_.StretchColumns(0);
}

void ScrSheetScreen::SetTextOverride(bool on, uint32_t colour) {
  scr_.SetTextColour(on ? colour : defaultText_);
}

int ScrSheetScreen::ControlHeight(int control) const {
  if (control < 0 || control >= scr_.ItemCount()) return 0;
  return scr_.GetItem(control).font.H();
}

void ScrSheetScreen::SetControlHeight(int control, int height) {
  if (control < 0 || control >= scr_.ItemCount()) return;
  scr_.GetItem(control).font.SetHeight(height);
}

int ScrSheetScreen::MeasureLineHeight(Canvas& c, int control) {
  if (control < 0 || control >= scr_.ItemCount()) return 0;
  return scr_.GetItem(control).font.MeasureChar(c, false);
}

SheetColours ScrSheetScreen::Colours() const {
  SheetColours c;
  const jos::ViewBlock& v = scr_.View();
  for (int k = 1; k <= 3; ++k) {
    c.day[k].backUsed = v.fillOn[static_cast<size_t>(k)] == 1;
    c.day[k].back = static_cast<uint32_t>(v.fillColour[static_cast<size_t>(k)]);
    c.day[k].text = static_cast<uint32_t>(v.textColour[static_cast<size_t>(k)]);
  }
  c.shading = v.fillOn[5] == 1;
  c.shadeColour = static_cast<uint32_t>(v.fillColour[5]);
  c.shadeText = static_cast<uint32_t>(v.textColour[5]);
  c.option4 = scr_.HasOption(4);
  c.option5 = scr_.HasOption(5);
  c.option6 = scr_.HasOption(6);
  c.option7 = scr_.HasOption(7);
  return c;
}
