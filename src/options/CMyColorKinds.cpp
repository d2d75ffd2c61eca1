#include "options/CMyColorKinds.h"

#include <cstdio>

#include "catalogue/CMyMaster.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"

int CMyColorKinds::Count() const { return table_.RecordCount(); }

ColorKind CMyColorKinds::Get(int i) const {
  ColorKind k;
  if (!table_.Record(i)) return k;
  k.name = table_.Name(i);
  k.useText = table_.GetInt(i, kUseText) == 1;
  k.useBack = table_.GetInt(i, kUseBack) == 1;
  k.f6 = table_.GetInt(i, kF6) == 1;
  int p = table_.GetInt(i, kPalette);
  k.palette = (p >= 1 && p <= 3) ? p : 0;
  k.textColor = table_.GetInt(i, kTextColor);
  k.backColor = table_.GetInt(i, kBackColor);
  return k;
}

std::vector<std::string> CMyColorKinds::ListLines() const {
  std::vector<std::string> lines;
  for (int i = 0; i < Count(); ++i) {
    ColorKind k = Get(i);
    std::string palette = "   ";
    if (k.palette) palette = "(" + std::to_string(k.palette) + ")";
    lines.push_back((k.f6 ? "S" : " ") + palette + " " + k.name);
  }
  return lines;
}

int CMyColorKinds::F6Kind() const { return table_.FindByInt(13, 1); }

int CMyColorKinds::PaletteKind(int button) const {
  if (button < 1 || button > 3) return -1;
  return table_.FindByInt(14, button);
}

int CMyColorKinds::SetInt(int i, int offset, int value) { return table_.SetInt(i, offset, value) ? 0 : -1; }

int CMyColorKinds::Store(int index, const ColorKind& kind, bool update) {
  if (update && !table_.Record(index)) {
    prompter_.Warn("選択して下さい。"_sj);
    return 1;
  }
  if (kind.name.empty()) {
    prompter_.Warn("色名を設定して下さい。"_sj);
    return 1;
  }
  if (kind.name.size() > static_cast<size_t>(kMaxNameBytes)) {
    // cutting it would store another name than the one typed
    prompter_.Warn("色名が長すぎます。全角15文字（半角31文字）以内にして下さい。"_sj);
    return 1;
  }
  if (!kind.useText && !kind.useBack) {
    prompter_.Warn("テキスト・背景ともにチェックが有効になっていません。"_sj);
    return 1;
  }
  std::string rec = CMyMaster::Blank();
  CMyMaster::SetName(rec, kind.name);
  le::PutI32(&rec[kUseText], kind.useText ? 1 : 0);
  le::PutI32(&rec[kUseBack], kind.useBack ? 1 : 0);
  le::PutI32(&rec[kF6], kind.f6 ? 1 : 0);
  le::PutI32(&rec[kPalette], (kind.palette >= 1 && kind.palette <= 3) ? kind.palette : 0);
  le::PutI32(&rec[kTextColor], kind.textColor);
  le::PutI32(&rec[kBackColor], kind.backColor);
  // The name is checked before any binding moves, so a refused kind takes
  // no binding away from another.
  int dup = table_.FindByText(0, kind.name);
  if (dup >= 0 && !(update && dup == index)) {
    prompter_.Warn("データが重複します。"_sj);
    return -3;
  }
  if (kind.f6) {
    for (int k = 0; k < Count(); ++k)
      if (!(update && k == index) && table_.GetInt(k, kF6) == 1) SetInt(k, kF6, 0);
  }
  if (kind.palette >= 1 && kind.palette <= 3) {
    for (int k = 0; k < Count(); ++k)
      if (!(update && k == index) && table_.GetInt(k, kPalette) == kind.palette) SetInt(k, kPalette, 0);
  }
  int rc = update ? table_.ReplaceAt(index, rec) : table_.Append(rec);
  if (rc != 0) return rc;
  changed_ = true;
  return 0;
}

int CMyColorKinds::Delete(int index) {
  if (!table_.Record(index)) {
    prompter_.Warn("選択して下さい。"_sj);
    return 1;
  }
  if (!prompter_.Confirm("削除します。よろしいですか？"_sj)) return 1;
  if (table_.Delete(index) != 0) return 1;
  changed_ = true;
  return 0;
}

int CMyColorKinds::MoveUp(int index) {
  if (index <= 0 || index >= Count()) {
    beeper_.Beep();
    return 1;
  }
  if (table_.Swap(index, index - 1) != 1) return 1;
  changed_ = true;
  return 0;
}

int CMyColorKinds::MoveDown(int index) {
  if (index < 0 || index + 1 >= Count()) {
    beeper_.Beep();
    return 1;
  }
  if (table_.Swap(index, index + 1) != 1) return 1;
  changed_ = true;
  return 0;
}

int CMyColorKinds::SaveIfChanged(const std::string& path) {
  if (!changed_) return 1;
  if (table_.Write(path) < 0) return -1;
  changed_ = false;
  return 0;
}

void CMyColorKinds::Apply(const ColorKind& kind, std::string& cr001, std::string& cr002) {
  cr001 = kind.useText ? std::to_string(kind.textColor) : std::string();
  cr002 = kind.useBack ? std::to_string(kind.backColor) : std::string();
}

int CMyColorKinds::NameFromUtf8(const std::string& utf8, std::string& sj, Prompter& prompter) {
  size_t bad = 0;
  if (cp932::FromUtf8(utf8, sj, &bad) == 0) return 0;
  // the code point of the offending character, for a message the user can act on
  unsigned cp = bad < utf8.size() ? static_cast<unsigned char>(utf8[bad]) : 0;
  int more = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
  if (more) cp &= 0x3Fu >> more;
  for (int k = 1; k <= more && bad + k < utf8.size(); ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(utf8[bad + k]) & 0x3Fu);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", cp);
  prompter.Warn("入力された文字（"_sj + code + "）は保存できません。別の文字で入力して下さい。"_sj);
  sj.clear();
  return 1;
}
