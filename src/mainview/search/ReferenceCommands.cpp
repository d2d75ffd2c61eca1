#include "mainview/search/ReferenceCommands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/MemoSchema.h"

namespace {

// Year and month of "yyyymm", "yyyy/mm" or "yyyy/mm/dd".
bool ReadMonth(const std::string& text, int& year, int& month) {
  if (text.size() == 6 && text.find_first_not_of("0123456789") == std::string::npos) {
    year = std::atoi(text.substr(0, 4).c_str());
    month = std::atoi(text.substr(4).c_str());
    return true;
  }
  return text.size() >= 7 && text[4] == '/' && std::sscanf(text.c_str(), "%4d/%2d", &year, &month) == 2;
}

}  // namespace

bool ReferenceCommands::Applies() const {
  const CMyView& v = *ctx_.objects.view;
  return v.DataKind() == CMyView::kDateKind && v.DisplayMode() == CMyView::kSheetMode;
}

std::string ReferenceCommands::CurrentMonthText() const {
  const CivilDate d = ctx_.objects.view->CurrentDate();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d/%02d", d.year, d.month);
  return buf;
}

void ReferenceCommands::ShowReference(int months) {
  if (!Applies()) return;
  MainObjects& o = ctx_.objects;
  CMyView& view = *o.view;
  const int cursor = view.CursorRow(), top = view.TopRow();
  const int sign = months < 0 ? -1 : 1;
  const int steps = std::abs(months);
  // one month at a time, as the arrows move, so each month's files load
  for (int k = 0; k < steps; ++k) view.MoveView(sign, 0);
  ReferenceWindow* w = host_.Reference();
  if (w && !w->IsOpen()) {
    host_.DestroyReference();
    w = nullptr;
  }
  if (!w) w = &host_.CreateReference();
  const CMyRec& rec = *o.rec;
  w->View().Fill(view, [&rec](int pos) { return pos >= 0 && pos < rec.Count() ? rec.Items()[pos] : -1; });
  w->Present();
  for (int k = 0; k < steps; ++k) view.MoveView(-sign, 0);
  // a month on the way may have loaded files and requeried: the cursor
  // and the record set go back to where they were
  view.LayoutFromTop(std::min(top, std::max(view.RowCount() - 1, 0)));
  view.MoveCursorTo(cursor);
  host_.ViewChanged();
}

void ReferenceCommands::CloseReference() {
  if (host_.Reference()) host_.DestroyReference();
}

void ReferenceCommands::CloseReferenceIfSameMonth(const std::string& month) {
  if (ctx_.objects.view->DataKind() != CMyView::kDateKind) return;
  ReferenceWindow* w = host_.Reference();
  if (!w || !w->IsOpen()) return;
  int y = 0, m = 0, ry = 0, rm = 0;
  if (!ReadMonth(month, y, m) || !w->View().LabelMonth(ry, rm)) return;
  if (y == ry && m == rm) CloseReference();
}

void ReferenceCommands::StepMonth(int direction) {
  ReferenceWindow* w = host_.Reference();
  int y = 0, m = 0;
  if (!w || !w->View().LabelMonth(y, m)) return;
  const CivilDate main = ctx_.objects.view->CurrentDate();
  const int d = (y * 12 + m) - (main.year * 12 + main.month);
  ShowReference(d + (direction < 0 ? -1 : 1));
}

void ReferenceCommands::Copy() {
  ReferenceWindow* w = host_.Reference();
  const CMyDB& db = *ctx_.objects.db;
  const int r = w ? w->View().CursorRecord() : -1;
  if (r < 0 || r >= db.RecordCount() || db.IsDeleted(r)) {
    ctx_.beeper.Beep();
    return;
  }
  const char* key = db.Value(memo::kKey, r);
  const char* serial = db.Value(memo::kLineSerial, r);
  ctx_.objects.copySource = {0, key ? key : "", serial ? serial : ""};
}

void ReferenceCommands::RefusePaste() { ctx_.prompter.Warn("参照画面への貼り付けは出来ません。"_sj); }
void ReferenceCommands::RefuseCut() { ctx_.prompter.Warn("参照画面からの切り取りは出来ません。"_sj); }
void ReferenceCommands::RefuseEdit() { ctx_.prompter.Warn("参照画面では編集出来ません。"_sj); }
