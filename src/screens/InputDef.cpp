#include "screens/InputDef.h"

#include <cstring>

#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "store/CMyLine.h"

namespace jsc {

int SlotCount(int kind) {
  switch (kind) {
    case kText:
    case kCaption:
      return 20;
    case kCombo:
      return 10;
    case kMemo:
    case kPhoto:
      return 1;
    case kListStrip:
      return 0;
    default:
      return -1;
  }
}

void ParseHeader(const uint8_t* p, Header& h) {
  std::memcpy(h.raw.data(), p, kHeaderSize);
  h.firstControl = le::GetI32(p + kFirstControlAt);
  h.controlCount = le::GetI32(p + kControlCountAt);
  h.formWidth = le::GetI32(p + kFormWidthAt);
  h.inputHeight = le::GetI32(p + kInputHeightAt);
  h.dataKind = le::GetI32(p + kDataKindAt);
  h.fontMode = le::GetI32(p + kFontModeAt);
  h.packageId = le::GetI32(p + kPackageIdAt);
}

void PutHeader(uint8_t* p, const Header& h) {
  std::memcpy(p, h.raw.data(), kHeaderSize);
  le::PutI32(p + kFirstControlAt, h.firstControl);
  le::PutI32(p + kControlCountAt, h.controlCount);
  le::PutI32(p + kFormWidthAt, h.formWidth);
  le::PutI32(p + kInputHeightAt, h.inputHeight);
  le::PutI32(p + kDataKindAt, h.dataKind);
  le::PutI32(p + kFontModeAt, h.fontMode);
  le::PutI32(p + kReservedAt, 0);  // reserved: skipped by the reader
  le::PutI32(p + kPackageIdAt, h.packageId);
}

int ReadHeader(const std::string& path, Header& out) {
  CMyLine def(2048);
  if (def.ReadList(path) < 1) return 1;
  if (def.Length(0) != kHeaderSize) return -1;
  ParseHeader(reinterpret_cast<const uint8_t*>(def.Item(0)), out);
  return 0;
}

void ParseControl(const uint8_t* p, Control& c) {
  std::memcpy(c.raw.data(), p, kControlSize);
  c.field = le::GetFixedText(p + kFirstControlAt, 32);
  c.alias = le::GetFixedText(p + 36, 32);
  c.kind = le::GetI32(p + 68);
  c.slot = le::GetI32(p + 72);
  c.tabMode = le::GetI32(p + 76);
  c.defaultValue = le::GetFixedText(p + 80, 32);
  c.dataType = le::GetI32(p + 112);
  c.decimals = le::GetI32(p + kFontModeAt);
  c.formula = le::GetFixedText(p + 192, 64);
  c.left = le::GetI32(p + 256);
  c.top = le::GetI32(p + 260);
  c.width = le::GetI32(p + 264);
  c.height = le::GetI32(p + 268);
  c.maxLength = le::GetI32(p + 272);
  c.imeMode = p[276];
  c.listFlag = le::GetI32(p + 304);
  c.linkedSlot = le::GetI32(p + 308);
  c.fontHeight = le::GetI32(p + 332);
  c.faceName = le::GetFixedText(p + 360, 32);
}

void PutControl(uint8_t* p, const Control& c) {
  std::memcpy(p, c.raw.data(), kControlSize);
  le::PutFixedText(p + kFirstControlAt, 32, c.field);
  le::PutFixedText(p + 36, 32, c.alias);
  le::PutI32(p + 68, c.kind);
  le::PutI32(p + 72, c.slot);
  le::PutI32(p + 76, c.tabMode);
  le::PutFixedText(p + 80, 32, c.defaultValue);
  le::PutI32(p + 112, c.dataType);
  le::PutI32(p + kFontModeAt, c.decimals);
  le::PutFixedText(p + 192, 64, c.formula);
  le::PutI32(p + 256, c.left);
  le::PutI32(p + 260, c.top);
  le::PutI32(p + 264, c.width);
  le::PutI32(p + 268, c.height);
  le::PutI32(p + 272, c.maxLength);
  p[276] = c.imeMode;
  le::PutI32(p + 304, c.listFlag);
  le::PutI32(p + 308, c.linkedSlot);
  le::PutI32(p + 332, c.fontHeight);
  le::PutFixedText(p + 360, 32, c.faceName);
}

int ReadInputDef(const CMyLine& list, InputDef& out, Prompter* prompter, const AliasSink& aliases) {
  out = InputDef();
  const int items = list.Count();
  if (items == 0) return 1;
  if (list.Length(0) != kHeaderSize) {
    if (prompter) prompter->Warn("ヘッダーのサイズが異なります。"_sj);
    return -2;
  }
  ParseHeader(reinterpret_cast<const uint8_t*>(list.Text(0)), out.header);
  const int64_t f = out.header.firstControl, n = out.header.controlCount;
  // F below 1 would read the header as a control record.
  if (f < 1 || n < 0 || f + n != items) {
    if (prompter) prompter->Warn("ヘッダーの示すデータ量と実際のデータ量が異なります。"_sj);
    out = InputDef();
    return -3;
  }
  for (int i = static_cast<int>(f); i < items; ++i) {
    if (list.Length(i) != kControlSize) {
      if (prompter) prompter->Warn("コントロール定義のサイズが異なります。"_sj);
      out = InputDef();
      return -4;
    }
  }
  for (int i = static_cast<int>(f); i < items; ++i) {
    Control c;
    ParseControl(reinterpret_cast<const uint8_t*>(list.Text(i)), c);
    const int slots = SlotCount(c.kind);
    if (slots < 0 || (slots > 0 && (c.slot < 0 || c.slot >= slots))) continue;
    if (c.alias.empty()) c.alias = c.field;
    if (c.IsField()) {
      if (aliases && aliases(c.field, c.alias) != 0 && prompter)
        prompter->Warn("P:別名の定義に失敗しました。"_sj);
    }
    out.controls.push_back(std::move(c));
  }
  return 0;
}

int LoadInputDef(const std::string& path, InputDef& out, Prompter* prompter, const AliasSink& aliases) {
  CMyLine list(2048, prompter);
  if (list.ReadList(path) <= 0) {
    out = InputDef();
    return 1;
  }
  return ReadInputDef(list, out, prompter, aliases);
}

}  // namespace jsc
