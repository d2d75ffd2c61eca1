#include "input/CMyInput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "input/PhotoState.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"
#include "shell/CMyPublic.h"
#include "shell/CivilDays.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"

namespace {

const std::string kEmpty;

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
    // the trail byte of a double-byte character is compared as it is
    if (cp932::IsLead(a[i]) && i + 1 < a.size()) {
      ++i;
      if (a[i] != b[i]) return false;
    }
  }
  return true;
}

// Digits only (at least one); "1 when not numeric" for the key boxes.
bool ReadNumber(const std::string& s, int& out) {
  if (s.empty() || s.size() > 9) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

bool HasDigit(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Serial5(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%05d", n);
  return buf;
}

}  // namespace

CMyInput::CMyInput(CMyDB& db, Prompter& prompter, const Clock& clock, InputViewPort& view)
    : db_(db), prompter_(prompter), clock_(clock), view_(view) {}

void CMyInput::SetColorKinds(std::vector<ColorKind> kinds) {
  kinds_ = std::move(kinds);
  colorIndex_ = 0;
  useText_ = useBack_ = false;
  textColor_ = 0;
  backColor_ = 0xFFFFFF;
}

bool CMyInput::Warn(const char* utf8, int focus) { return WarnText(cp932::FromUtf8(utf8), focus); }

bool CMyInput::WarnText(const std::string& sj, int focus) {
  focus_ = focus;
  prompter_.Warn(sj);
  return false;
}

std::string CMyInput::Today() const { return civil::Ymd(clock_.Today()); }

// ---- building ---------------------------------------------------------------

bool CMyInput::BuildForm(const std::string& path) {
  jsc::InputDef def;
  if (jsc::LoadInputDef(path, def, &prompter_) != 0) {
    controls_.clear();
    values_.clear();
    captions_.clear();
    strip_ = Box();
    return false;
  }
  return BuildForm(def);
}

bool CMyInput::BuildForm(const jsc::InputDef& def) {
  controls_.clear();
  values_.clear();
  captions_.clear();
  strip_ = Box();
  pairParent_ = pairChild_ = -1;
  header_ = def.header;
  db_.ClearAliases();
  if (def.controls.empty()) return false;

  const int winW = std::max(header_.formWidth, kMinFormWidth);
  const int winH = std::max(header_.inputHeight, 1);
  // A control that lies (partly) outside the input area is moved inside and
  // shrunk to fit, so that every field stays reachable.
  auto fit = [&](int& left, int& top, int& width, int& height) {
    width = std::clamp(width, 1, winW);
    height = std::clamp(height, 1, winH);
    left = std::clamp(left, 0, winW - width);
    top = std::clamp(top, 0, winH - height);
  };

  for (const jsc::Control& src : def.controls) {
    jsc::Control c = src;
    if (c.kind == jsc::kListStrip) {
      fit(c.left, c.top, c.width, c.height);
      strip_ = {true, c.left, c.top, c.width, c.height};
      continue;
    }
    if (c.kind == jsc::kCaption) {
      Caption cap;
      cap.slot = c.slot;
      fit(c.left, c.top, c.width, c.height);
      cap.left = c.left;
      cap.top = c.top;
      cap.width = c.width;
      cap.height = c.height;
      cap.flat = c.dataType == jsc::kFlatCaption;
      cap.text = c.alias;
      cap.fontHeight = c.fontHeight;
      cap.faceName = c.faceName;
      captions_.push_back(std::move(cap));
      continue;
    }
    if (!c.IsField()) continue;
    const int field = db_.FindField(c.field);
    if (field < 0) {
      WarnText("入力定義の項目名が不正です。<<"_sj + c.field + ">>", kFocusNone);
      continue;
    }
    if (ControlOf(c.kind, c.slot) >= 0) {
      WarnText("入力定義のコントロールが重複しています。<<"_sj + c.alias + ">>", kFocusNone);
      continue;
    }
    bool twice = false;
    for (const auto& o : controls_) twice = twice || db_.FindField(o.field) == field;
    if (twice) {
      WarnText("入力定義の項目が重複しています。<<"_sj + c.alias + ">>", kFocusNone);
      continue;
    }
    if (db_.SetAlias(c.field, c.alias) != 0 && !SameName(c.field, c.alias))
      WarnText("P:別名の定義に失敗しました。"_sj, kFocusNone);
    if (c.maxLength <= 0) c.maxLength = c.kind == jsc::kMemo ? kDefaultMemoLength : kDefaultTextLength;
    // more than the field holds could only be refused when saving
    const int fieldMax = db_.Fields()[field].maxLength;
    if (fieldMax > 0 && c.maxLength > fieldMax) c.maxLength = fieldMax;
    fit(c.left, c.top, c.width, c.height);
    controls_.push_back(std::move(c));
  }
  // Relations: a list's parent must be a text editor of the form, the pair's
  // child a combo box of the form; anything else is no relation.
  for (auto& c : controls_) {
    if (c.kind == jsc::kText && c.linkedSlot != -1) {
      if (c.linkedSlot == c.slot || ControlOf(jsc::kText, c.linkedSlot) < 0) c.linkedSlot = -1;
    }
    if (c.kind == jsc::kCombo && c.listFlag == 1 && pairParent_ < 0) {
      if (c.linkedSlot != c.slot && ControlOf(jsc::kCombo, c.linkedSlot) >= 0) {
        pairParent_ = c.slot;
        pairChild_ = c.linkedSlot;
      }
    }
  }
  values_.assign(controls_.size(), std::string());
  index_ = -1;
  row_ = -1;
  modified_ = false;
  return !controls_.empty();
}

int CMyInput::FormWidth() const { return std::max(header_.formWidth, kMinFormWidth); }

int CMyInput::FindControl(const std::string& name) const {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (SameName(controls_[i].field, name) || SameName(controls_[i].alias, name)) return static_cast<int>(i);
  }
  return -1;
}

int CMyInput::ControlOf(int kind, int slot) const {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].kind == kind && controls_[i].slot == slot) return static_cast<int>(i);
  }
  return -1;
}

// ---- the record shown ---------------------------------------------------------

const std::string& CMyInput::Value(int control) const {
  if (control < 0 || control >= static_cast<int>(values_.size())) return kEmpty;
  return values_[static_cast<size_t>(control)];
}

void CMyInput::SetValue(int control, const std::string& text) {
  if (control < 0 || control >= static_cast<int>(values_.size())) return;
  if (values_[static_cast<size_t>(control)] == text) return;
  values_[static_cast<size_t>(control)] = text;
  modified_ = true;
}

void CMyInput::Defaults() {
  for (size_t i = 0; i < controls_.size(); ++i) {
    const std::string& d = controls_[i].defaultValue;
    if (d.size() == 4 && d[0] == '=' && SameName(d.substr(1), "NOW"))
      values_[i] = Today();
    else if (!d.empty() && d[0] == '=')
      values_[i].clear();
    else
      values_[i] = d;
    if (controls_[i].kind == jsc::kPhoto) values_[i].clear();
  }
}

void CMyInput::SetKeyBoxes(const std::string& k) {
  if (k.empty()) return;
  if (ByPage()) {
    int p = 0, l = 1;
    if (!ReadNumber(k.substr(0, std::min<size_t>(5, k.size())), p)) p = std::atoi(k.c_str());
    if (k.size() == 11 && !ReadNumber(k.substr(6), l)) l = 1;
    page_ = std::to_string(p);
    line_ = std::to_string(l);
  } else {
    date_ = k;
  }
}

void CMyInput::ShowRecord(const std::string& key, int index) {
  focus_ = kFocusNone;
  std::string k = key;
  int row = index >= 0 ? view_.RecordRow(index) : -1;
  if (index >= 0 && row < 0) index = -1;  // the view no longer holds it
  index_ = index;
  row_ = row;
  if (k.empty() && row_ >= 0) {
    const char* v = db_.Value(memo::kKey, row_);
    k = v ? v : "";
  }
  SetKeyBoxes(k);
  photoKey_.clear();
  if (row_ < 0) {
    updated_.clear();
    Defaults();
    ChooseColor(0);
  } else {
    const char* u = db_.Value(memo::kUpdated, row_);
    updated_ = u ? u : "";
    for (size_t i = 0; i < controls_.size(); ++i) {
      const char* field = controls_[i].kind == jsc::kPhoto ? "IMG001" : controls_[i].field.c_str();
      const char* v = db_.ValueByName(field, row_);
      values_[i] = v ? v : "";
    }
    const char* ims = db_.Value(memo::kIms001, row_);
    photoKey_ = ims ? ims : "";
  }
  if (photo_) {
    photo_->Clear();
    const int pc = PhotoControl();
    if (pc >= 0) photo_->ShowPhoto(values_[static_cast<size_t>(pc)], photoKey_);
  }
  if (row_ >= 0) {
    const char* c1 = db_.Value(memo::kCr001, row_);
    const char* c2 = db_.Value(memo::kCr002, row_);
    LookUpColor(c1 ? c1 : "", c2 ? c2 : "");
  }
  modified_ = false;
}

void CMyInput::ShowNewRecord() {
  if (ByPage()) {
    std::string k = view_.DefaultKey();
    ShowRecord(k, -1);
  } else {
    ShowRecord({}, -1);
  }
}

// ---- colour kinds ---------------------------------------------------------------

std::vector<std::string> CMyInput::ColorItems() const {
  std::vector<std::string> items;
  items.push_back("（なし）"_sj);
  for (const auto& k : kinds_) items.push_back(k.name);
  items.push_back("その他"_sj);
  return items;
}

void CMyInput::ChooseColor(int i) {
  const int others = static_cast<int>(kinds_.size()) + 1;
  if (i <= 0 || i > others) {
    colorIndex_ = 0;
    useText_ = useBack_ = false;
    textColor_ = 0;
    backColor_ = 0xFFFFFF;
  } else if (i < others) {
    const ColorKind& k = kinds_[static_cast<size_t>(i - 1)];
    colorIndex_ = i;
    useText_ = k.useText;
    useBack_ = k.useBack;
    textColor_ = k.useText ? k.textColor : 0;
    backColor_ = k.useBack ? k.backColor : 0xFFFFFF;
  } else {
    // "その他" keeps the record's own colours; choosing it by hand changes nothing
    colorIndex_ = others;
  }
  modified_ = true;
}

void CMyInput::LookUpColor(const std::string& cr1, const std::string& cr2) {
  ChooseColor(0);
  if (cr1.empty() && cr2.empty()) return;
  useText_ = !cr1.empty();
  useBack_ = !cr2.empty();
  textColor_ = useText_ ? std::atoi(cr1.c_str()) : 0;
  backColor_ = useBack_ ? std::atoi(cr2.c_str()) : 0xFFFFFF;
  colorIndex_ = static_cast<int>(kinds_.size()) + 1;
  for (size_t i = 0; i < kinds_.size(); ++i) {
    const ColorKind& k = kinds_[i];
    if (k.useText != useText_ || k.useBack != useBack_) continue;
    if (useText_ && k.textColor != textColor_) continue;
    if (useBack_ && k.backColor != backColor_) continue;
    colorIndex_ = static_cast<int>(i) + 1;
    break;
  }
}

// ---- checks ---------------------------------------------------------------------

bool CMyInput::LeaveField(int control) {
  if (control < 0 || control >= static_cast<int>(controls_.size())) return true;
  const jsc::Control& c = controls_[static_cast<size_t>(control)];
  std::string& text = values_[static_cast<size_t>(control)];
  if (c.kind == jsc::kText && !text.empty()) {
    std::string out = text;
    switch (c.dataType) {
      case jsc::kNumber:
      case jsc::kDecimal: {
        if (!CMyPublic::IsNumber(text) || !HasDigit(text)) return Warn("数値を入力して下さい。", control);
        std::string fixed = CMyPublic::FixDecimals(text, c.dataType == jsc::kDecimal ? c.decimals : -1);
        if (!fixed.empty()) out = fixed;
        break;
      }
      case jsc::kDate: {
        out = CMyPublic(clock_).FormatDate(text, false);
        if (out.empty()) return Warn("不正な日付です。", control);
        break;
      }
      case jsc::kTime:
      case jsc::kTime2: {
        out = CMyPublic::NormalizeTime(text);
        if (out.empty() || !CMyPublic::IsTime(text, c.dataType == jsc::kTime2))
          return Warn("不正な時間です。", control);
        break;
      }
      default:
        break;
    }
    if (out != text) {
      text = out;
      modified_ = true;
    }
  }
  calc_->RunCalculations(*this, control);
  return true;
}

bool CMyInput::LeaveDateBox() {
  if (date_.empty()) return true;
  std::string d = CMyPublic(clock_).FormatDate(date_, false);
  if (d.empty()) return Warn("不正な日付です。", kFocusDate);
  date_ = d;
  return true;
}

bool CMyInput::LeavePageBox() {
  if (page_.empty()) return true;
  int p = 0;
  if (!ReadNumber(page_, p)) return Warn("不正な文字が入力されました。", kFocusPage);
  if (p < 1 || p > kMaxPage) return Warn("1から4999の範囲で入力して下さい。", kFocusPage);
  return true;
}

bool CMyInput::LeaveLineBox() {
  if (line_.empty()) return true;
  int l = 0;
  if (!ReadNumber(line_, l)) return Warn("不正な文字が入力されました。", kFocusLine);
  if (l < 1 || l > linesPerPage_) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d", linesPerPage_);
    return WarnText("1から"_sj + buf + "の範囲で入力して下さい。"_sj, kFocusLine);
  }
  return true;
}

bool CMyInput::ValidateKey(std::string& period, std::string& key) {
  if (ByPage()) {
    if (page_.empty()) return Warn("ページを入力して下さい。", kFocusPage);
    if (line_.empty()) return Warn("行番号を入力して下さい。", kFocusLine);
    // the boxes' own checks, also for a key that never left its box
    if (!LeavePageBox() || !LeaveLineBox()) return false;
    int p = 1, l = 1;
    ReadNumber(page_, p);
    ReadNumber(line_, l);
    key = memo::PageKey(p, l);
    if (db_.SetValue(memo::kKey, key) != 0) return Warn("ページ・行が不正です。", kFocusPage);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%05d", p);
    period = buf;
    return true;
  }
  if (date_.empty()) return Warn("年月日を入力して下さい。", kFocusDate);
  CivilDate d;
  if (date_.size() != 10 || !civil::ParseYmd(date_, d) || db_.SetValue(memo::kKey, date_) != 0)
    return Warn("不正な年月日が入力されました。", kFocusDate);
  if (db_.SetValue(memo::kWeekday, std::to_string(civil::Weekday(d))) != 0)
    return Warn("不正な曜日です。", kFocusDate);
  key = date_;
  period = date_.substr(0, 4) + date_.substr(5, 2);
  return true;
}

// ---- saving ---------------------------------------------------------------------

bool CMyInput::IsEmptyRecord() const {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (!values_[i].empty()) return false;
  }
  return colorIndex_ == 0 && !useText_ && !useBack_;
}

bool CMyInput::FillBuffer(const std::string& serial, bool isNew) {
  if (isNew)
    db_.New();
  else if (db_.Load(row_) != 0)
    return Warn("不正な行連番が入力されました。", kFocusNone);
  if (!isNew) {
    // a stored record keeps its key: its period file is the one rewritten
    const char* k = db_.Value(memo::kKey, row_);
    SetKeyBoxes(k ? k : "");
  }
  std::string period, key;
  if (!ValidateKey(period, key)) return false;
  if (db_.SetValue(memo::kKubun, "0") != 0) return Warn("不正な区分が入力されました。", kFocusNone);
  if (isNew && db_.SetValue(memo::kLineSerial, serial) != 0)
    return Warn("不正な行連番が入力されました。", kFocusNone);
  const std::string today = Today();
  if (db_.SetValue(memo::kUpdated, today) != 0 || (isNew && db_.SetValue(memo::kCreated, today) != 0))
    return Warn("保存に失敗しました。", kFocusNone);
  bool any = false;
  for (size_t i = 0; i < controls_.size(); ++i) {
    const jsc::Control& c = controls_[i];
    const std::string& v = values_[i];
    const int focus = static_cast<int>(i);
    auto refuse = [&] { return WarnText("不正な"_sj + c.alias + "が入力されました。"_sj, focus); };
    if (!v.empty()) any = true;
    if (c.kind == jsc::kPhoto) {
      if (photo_ && photo_->Path() == v) photoKey_ = photo_->PhotoKey();
      if (db_.SetValue(memo::kImg001, v) != 0 || db_.SetValue(memo::kIms001, v.empty() ? "" : photoKey_) != 0)
        return refuse();
      continue;
    }
    if (db_.SetValueByName(c.field, v) != 0) return refuse();
    if (c.kind == jsc::kMemo) {
      int lf = db_.FindField(c.field + "L");
      if (lf >= 0 && db_.SetValue(lf, std::to_string(textlines::Count(v))) != 0) return refuse();
    }
  }
  if (db_.SetValue(memo::kNoData, any ? "1" : "0") != 0)
    return Warn("不正な「データ有無」です。", kFocusNone);
  if (db_.SetValue(memo::kCr001, useText_ ? std::to_string(textColor_) : std::string()) != 0 ||
      db_.SetValue(memo::kCr002, useBack_ ? std::to_string(backColor_) : std::string()) != 0)
    return Warn("保存に失敗しました。", kFocusNone);
  return true;
}

bool CMyInput::SaveRecord() {
  focus_ = kFocusNone;
  if (IsEmptyRecord()) {
    if (IsNew()) {
      modified_ = false;
      return true;
    }
    return DeleteRecord(false);
  }
  const bool isNew = IsNew();
  // Every value is checked before a serial is taken, so a refused record
  // costs no serial and leaves the period list as it was.
  if (!FillBuffer("00001", isNew)) return false;
  std::string period, key;
  if (!ValidateKey(period, key)) return false;
  std::string serial;
  if (isNew) {
    serial = Serial5(view_.NextSerial(period, key));
    if (!FillBuffer(serial, true)) return false;
  } else {
    const char* s = db_.Value(memo::kLineSerial, row_);
    serial = s ? s : "";
  }

  // What the row held, to put back when the period cannot be written.
  std::vector<std::string> before;
  if (!isNew) {
    for (int f = 0; f < db_.FieldCount(); ++f) {
      const char* v = db_.Value(f, row_);
      before.emplace_back(v ? v : "");
    }
  }
  if (db_.Store() != 0) return Warn("保存に失敗しました。", kFocusNone);
  const int storedRow = isNew ? db_.RecordCount() - 1 : row_;
  if (view_.SavePeriod(period) != 0) {
    // the row was stored just above, and its old values came from it, so
    // the table takes them back
    if (isNew) {
      (void)db_.MarkDeleted(storedRow);
    } else if (db_.Load(row_) == 0) {
      for (int f = 0; f < db_.FieldCount(); ++f) (void)db_.SetValue(f, before[static_cast<size_t>(f)]);
      (void)db_.Store();
    }
    view_.ReloadView();
    return false;
  }

  // The record is on disk: now its thumbnail, and the old one goes.
  if (photo_) {
    (void)photo_->SaveThumbnail();
    photo_->DeletePending();
  }
  // The alarms and the lists learn from it.
  if (!ByPage() && alarm_) {
    alarm_->RemoveForRecord(key, serial);
    int counter = 0;
    std::string time, message;
    for (size_t i = 0; i < controls_.size(); ++i) {
      const jsc::Control& c = controls_[i];
      const std::string& v = values_[i];
      if (c.kind == jsc::kMemo) alarm_->ScanMemo(key, serial, v);
      if (c.kind != jsc::kText) continue;
      if (c.dataType == jsc::kTime2 && v.size() == 5) {
        ++counter;
        time = v;
      } else if (counter == 1 && c.dataType != jsc::kTime2 && v.size() <= 120) {
        ++counter;
        message = v;
      }
    }
    if (counter == 2) alarm_->AddTimeAlarm(key, serial, time, message);
  }
  for (size_t i = 0; i < controls_.size(); ++i) {
    const jsc::Control& c = controls_[i];
    if (c.kind == jsc::kCombo && c.slot != pairChild_) lists_->LearnComboValue(c.slot, values_[i]);
    if (c.kind == jsc::kText && c.listFlag == 1) {
      int parent = c.linkedSlot >= 0 && c.linkedSlot <= 19 ? ControlOf(jsc::kText, c.linkedSlot) : -1;
      lists_->LearnListValue(c.slot, values_[i], parent >= 0 ? values_[static_cast<size_t>(parent)] : kEmpty);
    }
  }
  if (pairParent_ >= 0) {
    lists_->LearnPairValue(Value(ControlOf(jsc::kCombo, pairParent_)),
                           Value(ControlOf(jsc::kCombo, pairChild_)));
  }

  savedKey_ = key;
  savedSerial_ = serial;
  view_.ReloadView();
  int found = view_.FindRecord(key, serial);
  if (found < 0) {
    Warn("登録は成功しましたが、表示条件外のデータです。", kFocusNone);
    ShowRecord({}, -1);
  } else {
    view_.MoveCursorTo(found);
    index_ = found;
    row_ = view_.RecordRow(found);
    const char* u = row_ >= 0 ? db_.Value(memo::kUpdated, row_) : nullptr;
    updated_ = u ? u : "";
  }
  modified_ = false;
  focus_ = kFocusNone;
  return true;
}

bool CMyInput::DeleteRecord(bool ask) {
  focus_ = kFocusNone;
  if (IsNew()) return Warn("新規レコードです。削除出来ません。", kFocusNone);
  if (db_.Load(row_) != 0) return Warn("新規レコードです。削除出来ません。", kFocusNone);
  std::string period, key;
  // the key boxes are read-only here, but check them like every save does
  if (!ValidateKey(period, key)) return false;
  if (ask && !prompter_.Confirm("削除します。よろしいですか？"_sj, true)) return false;
  const char* s = db_.Value(memo::kLineSerial, row_);
  const std::string serial = s ? s : "";
  std::vector<std::string> before;
  for (int f = 0; f < db_.FieldCount(); ++f) {
    const char* v = db_.Value(f, row_);
    before.emplace_back(v ? v : "");
  }
  (void)db_.MarkDeleted(row_);  // the row was loaded above
  if (view_.SavePeriod(period) != 0) {
    // put the record back, so the table matches the file that is still
    // there; its values came from the table, which takes them again
    db_.New();
    for (int f = 0; f < db_.FieldCount(); ++f) (void)db_.SetValue(f, before[static_cast<size_t>(f)]);
    (void)db_.Store();
    view_.ReloadView();
    index_ = view_.FindRecord(key, serial);
    row_ = index_ >= 0 ? view_.RecordRow(index_) : -1;
    if (row_ < 0) index_ = -1;
    return false;
  }
  if (!ByPage() && alarm_) alarm_->RemoveForRecord(key, serial);
  if (photo_) {
    (void)photo_->DeleteThumbnail(before[memo::kIms001]);
    photo_->DeletePending();
  }
  savedKey_ = key;
  savedSerial_ = serial;
  view_.ReloadView();
  ShowRecord({}, -1);
  return true;
}

bool CMyInput::ChoosePhoto(const std::string& path) {
  const int pc = PhotoControl();
  if (pc < 0 || !photo_ || !photo_->Choose(path)) return false;
  values_[static_cast<size_t>(pc)] = photo_->Path();
  photoKey_ = photo_->PhotoKey();
  modified_ = true;
  return true;
}

bool CMyInput::TurnPhoto(int direction) {
  if (PhotoControl() < 0 || !photo_ || !photo_->Turn(direction)) return false;
  photoKey_ = photo_->PhotoKey();
  modified_ = true;
  return true;
}

void CMyInput::DiscardPhoto() {
  const int pc = PhotoControl();
  if (pc < 0 || !photo_) return;
  photo_->Discard();
  values_[static_cast<size_t>(pc)].clear();
  photoKey_.clear();
  modified_ = true;
}

bool CMyInput::StepRecord(int direction) {
  if (modified_ && !SaveRecord()) return false;
  int next = IsNew() ? -1 : view_.StepRecord(index_, direction);
  if (next < 0) return false;
  view_.MoveCursorTo(next);
  ShowRecord({}, next);
  return true;
}
