#include "mainview/editing/EditCommands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "options/CMyColorKinds.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"

namespace {

std::string Five(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%05d", n);
  return buf;
}

// "ppppp/lllll" with digits only; false for anything else.
bool SplitPageKey(const std::string& key, int& page, int& line) {
  if (key.size() != 11 || key[5] != '/') return false;
  for (size_t i = 0; i < 11; ++i)
    if (i != 5 && (key[i] < '0' || key[i] > '9')) return false;
  page = std::atoi(key.substr(0, 5).c_str());
  line = std::atoi(key.substr(6).c_str());
  return true;
}

constexpr int kMaxKeyNumber = 99999;  // what "%05d" holds
const int kPanelBack[3] = {0xFFF8E9, 0xD0FFFF, 0xDBDBF8};

}  // namespace

// One command as one undo step: everything it wrote stays, or when it
// failed every file is put back and the table read again from them.
class EditCommands::Step {
 public:
  Step(EditCommands& c, const char* name) : c_(c) {
    c_.Undo().Begin(cp932::FromUtf8(name), c_.o().alarm->Entries());
  }
  ~Step() {
    UndoLog& log = c_.Undo();
    if (!failed_) {
      log.End(c_.o().alarm->Entries());
    } else {
      if (!log.Abort(*c_.o().alarm))
        c_.ctx_.prompter.Warn("変更の途中で失敗し、ファイルを元に戻せませんでした。"_sj);
      c_.ReloadData();
    }
    if (c_.viewChangedLater_) c_.ViewChanged();
  }
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;
  bool Fail() {
    failed_ = true;
    return false;
  }

 private:
  EditCommands& c_;
  bool failed_ = false;
};

EditCommands::EditCommands(MainContext& ctx, EditWindow& window) : ctx_(ctx), w_(window) {}

UndoLog& EditCommands::Undo() {
  UndoLog& log = *o().undo;
  log.SetScope(o().global->DivisionPath(""));
  return log;
}

void EditCommands::Beep() { ctx_.beeper.Beep(); }

bool EditCommands::ValidCursor() const {
  const CMyView& v = *o().view;
  return v.RowCount() > 0 && v.CursorRow() >= 0 && v.CursorRow() < v.RowCount();
}

int EditCommands::RowRecord(int row) const {
  const CMyView& v = *o().view;
  if (row < 0 || row >= v.RowCount()) return -1;
  const int index = v.Rows()[static_cast<size_t>(row)].record;
  if (index < 0 || index >= o().rec->Count()) return -1;
  return o().rec->Items()[index];
}

std::string EditCommands::Value(int record, int field) const {
  const char* v = o().db->Value(field, record);
  return v ? v : "";
}

bool EditCommands::PageSheet() const {
  const CMyView& v = *o().view;
  return v.DataKind() == CMyView::kPageKind && v.DisplayMode() == CMyView::kSheetMode;
}

PhotoState& EditCommands::Photos() {
  PhotoState& p = *o().sheetPhotos;
  p.SetDivisionFolder(o().global->DivisionPath(""));
  return p;
}

bool EditCommands::HasPhotoField() const {
  const auto* controls = w_.FormControls();
  if (!controls) return false;
  return std::any_of(controls->begin(), controls->end(),
                     [](const jsc::Control& c) { return c.kind == jsc::kPhoto; });
}

void EditCommands::Refresh(const std::string& key, const std::string& serial) {
  CMyView& v = *o().view;
  const int top = v.TopRow();
  int cursor = v.CursorRow();
  v.ReloadView();
  v.RebuildRows();
  // the cursor stays on the record the command made or moved
  for (int r = 0; !key.empty() && r < v.RowCount(); ++r) {
    const int rec = RowRecord(r);
    if (key == v.Rows()[static_cast<size_t>(r)].key && rec >= 0 && Value(rec, memo::kLineSerial) == serial)
      cursor = r;
  }
  if (v.RowCount() > 0) {
    v.LayoutFromTop(std::clamp(top, 0, v.RowCount() - 1));
    v.MoveCursorTo(std::clamp(cursor, 0, v.RowCount() - 1));
  }
  ViewChanged();
}

void EditCommands::ViewChanged() {
  viewChangedLater_ = Undo().IsOpen();
  if (!viewChangedLater_) w_.ViewChanged();
}

void EditCommands::ReloadData() {
  MainObjects& m = o();
  CMyView& v = *m.view;
  const int top = v.TopRow();
  const int cursor = v.CursorRow();
  if (m.periods->LoadTable() < 0) ctx_.prompter.Warn("期間の一覧を読み込めませんでした。"_sj);
  m.db->ClearRecords();
  m.rec->Reset();
  work_.Reset();
  (void)v.MoveView(0, 1);  // reads the shown periods again and rebuilds the rows
  if (v.RowCount() > 0) {
    v.LayoutFromTop(std::clamp(top, 0, v.RowCount() - 1));
    v.MoveCursorTo(std::clamp(cursor, 0, v.RowCount() - 1));
  }
  w_.DataReloaded();
  ViewChanged();
}

bool EditCommands::Save(const std::string& period) { return o().periods->SavePeriod(period) == 0; }

// ---- NewRecordAt ----------------------------------------------------------

bool EditCommands::NewRecordAt(const std::string& key) {
  if (key.empty()) return false;
  CMyDB& db = *o().db;
  Prompter& p = ctx_.prompter;
  std::string period;
  int weekday = 0;
  if (o().view->DataKind() == CMyView::kPageKind) {
    int page = 0, line = 0;
    if (key.size() != 11) {
      p.Warn("不正なキーです。"_sj);
      return false;
    }
    if (!SplitPageKey(key, page, line)) {
      p.Warn("ページ・行が不正です。"_sj);
      return false;
    }
    period = key.substr(0, 5);
  } else {
    CivilDate d;
    if (key.size() != 10 || !civil::ParseYmd(key, d)) {
      p.Warn("不正な年月日です。"_sj);
      return false;
    }
    weekday = civil::Weekday(d);
    period = key.substr(0, 4) + key.substr(5, 2);
  }
  // the serial is taken before the buffer is started: taking it may load
  // the key's period, and nothing may stand between New and the caller
  const int serial = o().periods->RegisterKey(period, key, false);
  db.New();
  if (db.SetValue(memo::kKey, key) != 0) {
    p.Warn(o().view->DataKind() == CMyView::kPageKind ? "ページ・行が不正です。"_sj
                                                      : "不正な年月日です。"_sj);
    return false;
  }
  if (weekday > 0 && db.SetValue(memo::kWeekday, std::to_string(weekday)) != 0) {
    p.Warn("不正な曜日です。"_sj);
    return false;
  }
  if (serial < 1 || serial > kMaxKeyNumber || db.SetValue(memo::kLineSerial, Five(serial)) != 0) {
    p.Warn("不正な行連番です。"_sj);
    return false;
  }
  const std::string today = civil::Ymd(ctx_.clock.Today());
  (void)db.SetValue(memo::kUpdated, today);
  (void)db.SetValue(memo::kCreated, today);
  if (db.SetValue(memo::kNoData, "0") != 0) {
    p.Warn("不正な「データ有無」です。"_sj);
    return false;
  }
  newKey_ = key;
  newSerial_ = Five(serial);
  return true;
}

// ---- delete ----------------------------------------------------------------

void EditCommands::mnuEditDel() {
  if (!ValidCursor() || RowRecord(o().view->CursorRow()) < 0) return;
  if (!ctx_.prompter.Confirm("データを削除します。よろしいですか？"_sj)) return;
  (void)DeleteRowRecord(o().view->CursorRow());
}

bool EditCommands::DeleteRowRecord(int row) {
  const int r = RowRecord(row);
  if (r < 0) return true;
  Step step(*this, "データ削除");
  MainObjects& m = o();
  m.rec->GoTo(m.view->Rows()[static_cast<size_t>(row)].record);
  const std::string key = Value(r, memo::kKey);
  const std::string serial = Value(r, memo::kLineSerial);
  if (m.view->DataKind() == CMyView::kDateKind) m.alarm->RemoveForRecord(key, serial, {});
  const std::string thumbKey = Value(r, memo::kIms001);
  (void)m.db->MarkDeleted(r);
  if (!Save(CMyPeriods::PeriodOf(key))) return step.Fail();
  // the thumbnail goes once the record is gone from its file
  if (HasPhotoField()) (void)Photos().DeleteThumbnail(thumbKey);
  changes_.push_back("- " + key + " " + serial);
  Refresh();
  return true;
}

// ---- copy, cut, paste ------------------------------------------------------

void EditCommands::mnuEditCopy(int mode) {
  const int r = ValidCursor() ? RowRecord(o().view->CursorRow()) : -1;
  if (r < 0) {
    Beep();
    return;
  }
  CopySource& s = o().copySource;
  s.mode = mode == 1 ? 1 : 0;
  s.key = Value(r, memo::kKey);
  s.serial = Value(r, memo::kLineSerial);
}

void EditCommands::mnuEditPaste() {
  if (!PasteRecord(false)) Beep();
}

bool EditCommands::PasteRecord(bool overwrite) {
  MainObjects& m = o();
  CMyView& v = *m.view;
  const CopySource source = m.copySource;
  if (w_.GroupShown() || !ValidCursor() || source.key.empty() || v.DisplayMode() == CMyView::kListMode)
    return false;
  CMyDB& db = *m.db;
  work_.Bind(&db);
  // keys and serials are digits and "/": a quote cannot reach the condition
  for (char c : source.key + source.serial)
    if (c == '\'') return false;
  const int rc = work_.Select("キー項目='"_sj + source.key + "' and 行連番='"_sj + source.serial + "'");
  if (rc < 0) {
    ctx_.prompter.Warn("コピー元取得に失敗しました。"_sj);
    return false;
  }
  if (work_.Count() == 0) return false;
  const int from = work_.Items()[0];
  std::vector<std::string> values(static_cast<size_t>(db.FieldCount()));
  for (int f = 0; f < db.FieldCount(); ++f) values[static_cast<size_t>(f)] = Value(from, f);

  const SheetRow& row = v.Rows()[static_cast<size_t>(v.CursorRow())];
  const std::string targetKey = row.key;
  const std::string targetPeriod = CMyPeriods::PeriodOf(targetKey);
  const int targetRecord = RowRecord(v.CursorRow());
  const bool dated = v.DataKind() == CMyView::kDateKind;

  Step step(*this, source.mode == 1 ? "切り取りと貼り付け" : "貼り付け");
  std::string targetSerial;
  if (targetRecord >= 0 && overwrite) {
    if (db.Load(targetRecord) != 0) return step.Fail();
    targetSerial = Value(targetRecord, memo::kLineSerial);
  } else {
    if (!NewRecordAt(targetKey)) return step.Fail();
    targetSerial = newSerial_;
  }
  for (int f = 0; f < db.FieldCount(); ++f) {
    if (f == memo::kKey || f == memo::kLineSerial || f == memo::kWeekday || f == memo::kUpdated ||
        f == memo::kCreated)
      continue;
    (void)db.SetValue(f, values[static_cast<size_t>(f)]);
  }
  std::string madeThumb;
  // the copy gets a thumbnail of its own, made again from its picture
  if (HasPhotoField()) {
    (void)db.SetValue(memo::kIms001, "");
    const std::string picture = values[memo::kImg001];
    if (!picture.empty()) madeThumb = Photos().RefreshThumbnail(picture, "");
    (void)db.SetValue(memo::kIms001, madeThumb);
  }
  if (db.Store() != 0) {
    (void)Photos().DeleteThumbnail(madeThumb);
    return step.Fail();
  }

  if (dated) {
    m.alarm->ScanMemo(targetKey, targetSerial, values[memo::kMem001]);
    // the form's time field and the field after it make the entry's alarm
    if (const auto* controls = w_.FormControls()) {
      for (size_t i = 0; i < controls->size(); ++i) {
        const jsc::Control& c = (*controls)[i];
        if (!c.IsField() || c.dataType != jsc::kTime2) continue;
        if (i + 1 < controls->size()) {
          const int tf = db.FindField(c.field);
          const int mf = db.FindField((*controls)[i + 1].field);
          if (tf >= 0 && mf >= 0)
            m.alarm->Add(targetKey, targetSerial, values[static_cast<size_t>(tf)],
                         values[static_cast<size_t>(mf)], 2, -1);
        }
        break;
      }
    }
  }
  if (source.mode == 1) {
    (void)db.MarkDeleted(from);
    if (dated) m.alarm->RemoveForRecord(source.key, source.serial, {});
    const std::string sourcePeriod = CMyPeriods::PeriodOf(source.key);
    if (sourcePeriod != targetPeriod && !Save(sourcePeriod)) {
      (void)Photos().DeleteThumbnail(madeThumb);
      return step.Fail();
    }
  }
  if (!Save(targetPeriod)) {
    (void)Photos().DeleteThumbnail(madeThumb);
    return step.Fail();
  }
  if (source.mode == 1 && HasPhotoField()) (void)Photos().DeleteThumbnail(values[memo::kIms001]);
  if (source.mode == 1) changes_.push_back("- " + source.key + " " + source.serial);
  changes_.push_back("+ " + targetKey + " " + targetSerial);
  Refresh(targetKey, targetSerial);
  if (m.closeReferenceIfSameMonth) m.closeReferenceIfSameMonth(targetKey);
  return true;
}

// ---- moving a line among the lines of its key ------------------------------

bool EditCommands::CanMoveUp() const {
  if (!ValidCursor()) return false;
  return o().view->Rows()[static_cast<size_t>(o().view->CursorRow())].lineNo != 1;
}

bool EditCommands::CanMoveDown() const {
  if (!ValidCursor()) return false;
  const SheetRow& r = o().view->Rows()[static_cast<size_t>(o().view->CursorRow())];
  return r.lineNo != r.linesOfKey;
}

void EditCommands::pmenu_GyoUp(int tag) { SwapLine(tag < 0 ? -1 : 1); }

void EditCommands::SwapLine(int direction) {
  MainObjects& m = o();
  CMyView& v = *m.view;
  if (v.DisplayMode() != CMyView::kSheetMode || !ValidCursor()) return Beep();
  const int c = v.CursorRow();
  const SheetRow& row = v.Rows()[static_cast<size_t>(c)];
  if (direction < 0) {
    if (row.lineNo == 1) return Beep();
    if (c == 0) return;
  } else {
    if (row.lineNo == row.linesOfKey) return Beep();
    if (c == v.RowCount() - 1) return;
  }
  const int n = c + direction;
  const int r1 = RowRecord(c), r2 = RowRecord(n);
  if (r1 < 0 || r2 < 0) return Beep();
  const std::string key = row.key;
  const std::string s1 = Value(r1, memo::kLineSerial), s2 = Value(r2, memo::kLineSerial);
  CMyDB& db = *m.db;
  Step step(*this, "行の移動");
  if (db.Load(r1) != 0 || db.SetValue(memo::kLineSerial, s2) != 0 || db.Store() != 0 || db.Load(r2) != 0 ||
      db.SetValue(memo::kLineSerial, s1) != 0 || db.Store() != 0) {
    ctx_.prompter.Warn("行の更新に失敗しました。"_sj);
    step.Fail();
    return;
  }
  if (v.DataKind() == CMyView::kDateKind) m.alarm->SwapSerials(key, s1, s2);
  if (!Save(CMyPeriods::PeriodOf(key))) {
    step.Fail();
    return;
  }
  changes_.push_back("~ " + key + " " + s1 + " -> " + key + " " + s2);
  changes_.push_back("~ " + key + " " + s2 + " -> " + key + " " + s1);
  v.ReloadView();
  v.RebuildRows();
  v.MoveCursorTo(std::clamp(n, 0, std::max(v.RowCount() - 1, 0)));
  ViewChanged();
}

// ---- pages -----------------------------------------------------------------

void EditCommands::mnuEditPageIns() {
  if (!PageSheet()) return Beep();
  if (!ctx_.prompter.Confirm("ページを追加します。よろしいですか？"_sj)) return;
  (void)ShiftPages(o().view->CurrentPage(), 1, true);
}

void EditCommands::mnuEditPageDel() {
  if (!PageSheet()) return Beep();
  if (ctx_.prompter.Show("選択しているページを削除します。よろしいですか？"_sj, "確認"_sj,
                         PromptIcon::Warning, PromptButtons::YesNo, kAnswerNo) != kAnswerYes)
    return;
  (void)ShiftPages(o().view->CurrentPage(), -1, true);
}

bool EditCommands::SelectPage(const std::string& filter, const char* failure) {
  work_.Bind(o().db.get());
  if (work_.SetSort("キー項目,行連番"_sj, false) != 0 || work_.Select(filter) < 0) {
    ctx_.prompter.Warn(cp932::FromUtf8(failure));
    return false;
  }
  return true;
}

int EditCommands::ShiftPages(int page, int delta, bool refresh) {
  if (!PageSheet()) {
    Beep();
    return -1;
  }
  Step step(*this, delta > 0 ? "ページの追加" : "ページの削除");
  const int rc = ShiftPagesImpl(page, delta);
  if (rc < 0) {
    step.Fail();
    return -1;
  }
  if (refresh) Refresh();
  return 0;
}

int EditCommands::ShiftPagesImpl(int page, int delta) {
  MainObjects& m = o();
  CMyDB& db = *m.db;
  CMyMaster& divout = m.Table(kDivOutTable);
  Prompter& p = ctx_.prompter;
  (void)m.periods->LoadAll();
  // every page from here on is rewritten under another name: one that did
  // not read whole would lose what could not be read
  if (!m.periods->AllReadWhole(delta > 0 ? "ページの追加"_sj : "ページの削除"_sj)) return -1;
  int found = -1;
  for (int i = 0; i < divout.RecordCount() && found < 0; ++i)
    if (std::atoi(divout.Name(i).c_str()) >= page) found = i;
  if (found < 0) return 0;
  if (!SelectPage("キー項目>='"_sj + Five(page) + "/00000'", "ページ追加用抽出処理に失敗しました。"))
    return -1;
  // a page pushed past what its key can hold would lose its records
  if (delta > 0 && std::atoi(divout.Name(divout.RecordCount() - 1).c_str()) + delta > kMaxKeyNumber) {
    p.Warn("ページ・行が不正です。"_sj);
    return -1;
  }
  const std::vector<int> records(work_.Items(), work_.Items() + work_.Count());
  for (int r : records) {
    const std::string key = Value(r, memo::kKey);
    if (key.size() != 11) continue;
    const int d = std::atoi(key.substr(0, 5).c_str());
    const std::string serial = Value(r, memo::kLineSerial);
    if (delta < 0 && d == page) {
      (void)db.MarkDeleted(r);
      changes_.push_back("- " + key + " " + serial);
      continue;
    }
    const std::string moved = Five(d + delta) + key.substr(5);
    if (d + delta < 1 || d + delta > kMaxKeyNumber || db.Load(r) != 0 ||
        db.SetValue(memo::kKey, moved) != 0 || db.Store() != 0) {
      p.Warn("ページの更新に失敗しました。"_sj);
      return -1;
    }
    changes_.push_back("~ " + key + " " + serial + " -> " + moved + " " + serial);
  }
  // the files of the pages that move go with the writing of their new names
  std::vector<std::string> before;
  for (int i = found; i < divout.RecordCount(); ++i) before.push_back(divout.Name(i));
  if (delta < 0 && std::atoi(divout.Name(found).c_str()) == page) (void)divout.Delete(found);
  // renamed from the far end when pages move up, so no two share a name
  const int count = divout.RecordCount();
  std::vector<std::string> names;
  for (int k = 0; k < count - found; ++k) {
    const int i = delta > 0 ? count - 1 - k : found + k;
    std::string rec(divout.Record(i), 132);
    const std::string name = Five(std::atoi(divout.Name(i).c_str()) + delta);
    CMyMaster::SetName(rec, name);
    if (divout.ReplaceAt(i, rec, divout.Text(i).empty() ? nullptr : divout.Text(i).c_str()) != 0) {
      p.Warn("ページの更新に失敗しました。"_sj);
      return -1;
    }
    names.push_back(name);
  }
  std::vector<std::string> removed;
  for (const std::string& old : before)
    if (std::find(names.begin(), names.end(), old) == names.end() &&
        fileops::Exists(m.global->DivisionPath(CMyPeriods::FileName(old))))
      removed.push_back(old);
  return m.periods->SavePeriods(names, removed) == 0 ? 0 : -1;
}

// ---- lines -----------------------------------------------------------------

void EditCommands::mnuEditLineIns() { (void)ShiftLines(o().view->CurrentPage(), o().view->CursorRow(), 1); }
void EditCommands::mnuEditLineDel() { (void)ShiftLines(o().view->CurrentPage(), o().view->CursorRow(), -1); }

int EditCommands::ShiftLines(int page, int row, int delta) {
  (void)page;  // the row's key names its page
  CMyView& v = *o().view;
  if (!PageSheet() || row < 0 || row >= v.RowCount()) {
    Beep();
    return -1;
  }
  int p = 0, line = 0;
  const std::string key = v.Rows()[static_cast<size_t>(row)].key;
  if (!SplitPageKey(key, p, line)) {
    Beep();
    return -1;
  }
  if (delta < 0) {
    int onLine = 0;
    for (const SheetRow& r : v.Rows())
      if (key == r.key && r.record >= 0) ++onLine;
    if (onLine > 1 &&
        ctx_.prompter.Show("削除する行番号に複数レコードが存在します。削除してよろしいですか？"_sj, "確認"_sj,
                           PromptIcon::Warning, PromptButtons::YesNo, kAnswerNo) != kAnswerYes)
      return 1;
  }
  Step step(*this, delta > 0 ? "行番号の追加" : "行番号の削除");
  if (ShiftLinesImpl(row, delta) < 0) {
    step.Fail();
    return -1;
  }
  Refresh();
  return 0;
}

int EditCommands::ShiftLinesImpl(int row, int delta) {
  MainObjects& m = o();
  CMyDB& db = *m.db;
  CMyView& v = *m.view;
  Prompter& pr = ctx_.prompter;
  int page = 0, line = 0;
  const std::string key = v.Rows()[static_cast<size_t>(row)].key;
  (void)SplitPageKey(key, page, line);
  const std::string s = key.substr(0, 5);
  const int perPage = std::max(v.Screen().linesPerPage, 1);
  const std::string filter = "キー項目>='"_sj + key + "' and キー項目<='"_sj + s + "/99999'";
  const char* failure = "該当データ抽出に失敗しました。";
  if (!SelectPage(filter, failure)) return -1;
  if (delta > 0 && work_.Count() > 0) {
    int lp = 0, ll = 0;
    if (SplitPageKey(Value(work_.Items()[work_.Count() - 1], memo::kKey), lp, ll) && ll + 1 > perPage) {
      if (page + 1 > kMaxKeyNumber) {
        pr.Warn("ページ・行が不正です。"_sj);
        return -1;
      }
      if (ShiftPagesImpl(page + 1, 1) < 0) return -1;
      if (!SelectPage(filter, failure)) return -1;
      const std::string next = Five(page + 1);
      const std::vector<int> records(work_.Items(), work_.Items() + work_.Count());
      for (auto it = records.rbegin(); it != records.rend(); ++it) {
        const std::string k = Value(*it, memo::kKey);
        int dp = 0, dl = 0;
        if (!SplitPageKey(k, dp, dl) || dl + 1 <= perPage) break;
        const std::string moved = next + "/" + Five(dl + 1 - perPage);
        const std::string oldSerial = Value(*it, memo::kLineSerial);
        const int serial = m.periods->RegisterKey(next, moved, false);
        if (db.Load(*it) != 0 || db.SetValue(memo::kKey, moved) != 0 ||
            db.SetValue(memo::kLineSerial, Five(serial)) != 0 || db.Store() != 0) {
          pr.Warn("ページの更新に失敗しました。"_sj);
          return -1;
        }
        changes_.push_back("~ " + k + " " + oldSerial + " -> " + moved + " " + Five(serial));
      }
      if (!Save(next)) return -1;
      if (!SelectPage(filter, failure)) return -1;
    }
  }
  const std::vector<int> records(work_.Items(), work_.Items() + work_.Count());
  for (int r : records) {
    const std::string k = Value(r, memo::kKey);
    int dp = 0, d = 0;
    if (!SplitPageKey(k, dp, d)) continue;
    const std::string serial = Value(r, memo::kLineSerial);
    if (delta < 0 && d == line) {
      (void)db.MarkDeleted(r);
      changes_.push_back("- " + k + " " + serial);
      continue;
    }
    const std::string moved = s + "/" + Five(d + delta);
    if (d + delta < 1 || d + delta > kMaxKeyNumber || db.Load(r) != 0 ||
        db.SetValue(memo::kKey, moved) != 0 || db.Store() != 0) {
      pr.Warn("行の更新に失敗しました。"_sj);
      return -1;
    }
    changes_.push_back("~ " + k + " " + serial + " -> " + moved + " " + serial);
  }
  return Save(s) ? 0 : -1;
}

// ---- colours ---------------------------------------------------------------

void EditCommands::cmd_Cr(int panel) { ColorPanelClick(panel); }

void EditCommands::ColorPanelClick(int panel) {
  if (w_.GroupShown()) {
    ctx_.prompter.Warn("グループ集計中は編集出来ません。"_sj);
    return;
  }
  if (panel < 1 || panel > 3) return;
  CMyColorKinds kinds(o().Table(kColorTable), ctx_.prompter, ctx_.beeper);
  std::string text, back;
  const int k = kinds.PaletteKind(panel);
  if (k >= 0) {
    const ColorKind kind = kinds.Get(k);
    if (kind.useText) text = std::to_string(kind.textColor);
    if (kind.useBack) back = std::to_string(kind.backColor);
  } else {
    const PanelLook look = RefreshColorPanels()[static_cast<size_t>(panel - 1)];
    text = std::to_string(look.text);
    back = std::to_string(look.back);
  }
  if (!ApplyRowColors(text, back)) Beep();
}

void EditCommands::KeyF6() {
  CMyColorKinds kinds(o().Table(kColorTable), ctx_.prompter, ctx_.beeper);
  const int k = kinds.F6Kind();
  if (k < 0 || w_.GroupShown()) return Beep();
  const ColorKind kind = kinds.Get(k);
  if (!ApplyRowColors(kind.useText ? std::to_string(kind.textColor) : std::string(),
                      kind.useBack ? std::to_string(kind.backColor) : std::string()))
    Beep();
}

bool EditCommands::ApplyRowColors(const std::string& text, const std::string& back) {
  if (!ValidCursor()) return false;
  MainObjects& m = o();
  CMyView& v = *m.view;
  CMyDB& db = *m.db;
  const int row = v.CursorRow();
  const int r = RowRecord(row);
  const std::string key = v.Rows()[static_cast<size_t>(row)].key;
  std::string newText = text, newBack = back;
  Step step(*this, "色の設定");
  std::string serial;
  if (r >= 0) {
    serial = Value(r, memo::kLineSerial);
    if (Value(r, memo::kCr001) == text && Value(r, memo::kCr002) == back) {
      // the same colours again take them away; a record that held only them goes
      if (Value(r, memo::kNoData).compare(0, 1, "0") == 0) return DeleteRowRecord(row) || step.Fail();
      newText.clear();
      newBack.clear();
    }
    if (db.Load(r) != 0) return step.Fail();
  } else {
    if (!NewRecordAt(key)) return step.Fail();
    serial = newSerial_;
  }
  if (db.SetValue(memo::kCr001, newText) != 0 || db.SetValue(memo::kCr002, newBack) != 0 || db.Store() != 0)
    return step.Fail();
  if (!Save(CMyPeriods::PeriodOf(key))) return step.Fail();
  changes_.push_back((r >= 0 ? "* " : "+ ") + key + " " + serial);
  Refresh(key, serial);
  if (m.closeReferenceIfSameMonth) m.closeReferenceIfSameMonth(key);
  return true;
}

std::array<PanelLook, 3> EditCommands::RefreshColorPanels() const {
  std::array<PanelLook, 3> looks;
  for (int i = 0; i < 3; ++i) looks[static_cast<size_t>(i)] = {0, kPanelBack[i]};
  CMyColorKinds kinds(*o().tables[kColorTable], ctx_.prompter, ctx_.beeper);
  for (int i = 0; i < kinds.Count(); ++i) {
    const ColorKind k = kinds.Get(i);
    if (k.palette < 1 || k.palette > 3) continue;
    PanelLook& look = looks[static_cast<size_t>(k.palette - 1)];
    look = {0, 0xFFFFFF};
    if (k.useText) look.text = k.textColor;
    if (k.useBack) look.back = k.backColor;
  }
  return looks;
}

// ---- the field under the mouse ---------------------------------------------

int EditCommands::FieldIndexOfName(const std::string& displayName) const {
  if (displayName.empty()) return -1;
  std::string field = displayName;
  if (const auto* controls = w_.FormControls()) {
    for (const jsc::Control& c : *controls) {
      if (!c.IsField()) continue;
      if ((!c.alias.empty() && c.alias == displayName) || c.field == displayName) {
        field = c.field;
        break;
      }
    }
  }
  return o().db->FindField(field);
}

void EditCommands::pmenu_FieldCopy() {
  std::string text;
  const int r = ValidCursor() ? RowRecord(o().view->CursorRow()) : -1;
  const int f = FieldIndexOfName(fieldUnderMouse_);
  if (r >= 0 && f >= 0) text = Value(r, f);
  ctx_.clipboard.SetText(text);
}

// ---- undo ------------------------------------------------------------------

void EditCommands::mnuEditUndo() {
  UndoLog& log = Undo();
  const UndoLog::Result rc = log.Undo(*o().alarm);
  if (rc == UndoLog::kNothing) return Beep();
  if (rc == UndoLog::kChangedSince) {
    ctx_.prompter.Warn("ファイルがほかで変更されたため、元に戻せません。"_sj);
    return;
  }
  if (rc == UndoLog::kWriteFailed) {
    ctx_.prompter.Warn("ファイルを書き込めないため、元に戻せませんでした。"_sj);
    return;
  }
  ReloadData();
}

void EditCommands::mnuEditRedo() {
  UndoLog& log = Undo();
  const UndoLog::Result rc = log.Redo(*o().alarm);
  if (rc == UndoLog::kNothing) return Beep();
  if (rc == UndoLog::kChangedSince) {
    ctx_.prompter.Warn("ファイルがほかで変更されたため、やり直せません。"_sj);
    return;
  }
  if (rc == UndoLog::kWriteFailed) {
    ctx_.prompter.Warn("ファイルを書き込めないため、やり直せませんでした。"_sj);
    return;
  }
  ReloadData();
}

// ---- for the command-line tool ---------------------------------------------

bool EditCommands::SelectRow(const std::string& key, const std::string& serial) {
  CMyView& v = *o().view;
  if (v.DisplayMode() != CMyView::kSheetMode) v.SetDisplayMode(CMyView::kSheetMode);
  if (v.DataKind() == CMyView::kPageKind) {
    int page = 0, line = 0;
    if (!SplitPageKey(key, page, line)) return false;
    if (v.CurrentPage() != page) v.ShowPage(page);
  } else {
    CivilDate d;
    if (!civil::ParseYmd(key, d)) return false;
    v.ShowMonth(d.year, d.month);
    // a month that begins later than the 1st shows the first days with the month before
    if (FindRow(key, serial) < 0)
      v.ShowMonth(d.month == 1 ? d.year - 1 : d.year, d.month == 1 ? 12 : d.month - 1);
  }
  const int r = FindRow(key, serial);
  if (r < 0) return false;
  v.MoveCursorTo(r);
  return true;
}

int EditCommands::FindRow(const std::string& key, const std::string& serial) const {
  const CMyView& v = *o().view;
  for (int r = 0; r < v.RowCount(); ++r) {
    if (key != v.Rows()[static_cast<size_t>(r)].key) continue;
    const int rec = RowRecord(r);
    if (serial.empty() || (rec >= 0 && Value(rec, memo::kLineSerial) == serial)) return r;
  }
  return -1;
}
