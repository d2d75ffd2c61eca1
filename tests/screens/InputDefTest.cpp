// Reading and writing input definitions ("scrin.jsc").
#include <gtest/gtest.h>

#include "catalogue/InputDefWriter.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {

jsc::Control Ctl(int kind, int slot, const std::string& field, const std::string& alias = "") {
  jsc::Control c;
  c.kind = kind;
  c.slot = slot;
  c.field = field;
  c.alias = alias;
  return c;
}

jsc::Header SampleHeader() {
  jsc::Header h;
  h.formWidth = 420;
  h.inputHeight = 300;
  h.dataKind = 100;
  h.fontMode = 1;
  h.packageId = 3017;
  h.raw[20] = 0x5A;  // carried bytes survive
  return h;
}

TEST(InputDef, RoundTripKeepsEveryField) {
  TempDir dir;
  jsc::Control c = Ctl(jsc::kText, 3, "DAT001", "金額"_sj);
  c.tabMode = -2;
  c.defaultValue = "=now";
  c.dataType = 2;
  c.decimals = 2;
  c.formula = "DAT002*1.1";
  c.left = 10, c.top = 20, c.width = 200, c.height = 24;
  c.maxLength = 12;
  c.imeMode = 4;
  c.listFlag = 1;
  c.linkedSlot = 2;
  c.fontHeight = -14;
  c.faceName = "ＭＳ 明朝"_sj;
  c.raw[130] = 0x77;
  jsc::Control memo = Ctl(jsc::kMemo, 0, "MEM001", "メモ"_sj);
  ASSERT_EQ(WriteInputDefFile(dir / "scrin.jsc", SampleHeader(), {c, memo}), 0);
  jsc::InputDef def;
  ScriptedPrompter p;
  ASSERT_EQ(jsc::LoadInputDef(dir / "scrin.jsc", def, &p), 0);
  EXPECT_TRUE(p.Shown().empty());
  jsc::Header want = SampleHeader();
  want.firstControl = 1;
  want.controlCount = 2;
  jsc::Header gotHeader = def.header;
  gotHeader.raw = want.raw;
  EXPECT_EQ(gotHeader, want);
  EXPECT_EQ(def.header.firstControl, 1);
  EXPECT_EQ(def.header.controlCount, 2);
  EXPECT_EQ(def.header.packageId, 3017);
  EXPECT_EQ(def.header.dataKind, 100);
  EXPECT_EQ(def.header.raw[20], 0x5A);
  ASSERT_EQ(def.controls.size(), 2u);
  jsc::Control got = def.controls[0];
  EXPECT_EQ(got.raw[130], 0x77);
  got.raw = c.raw;  // raw is the stored record; compare the fields
  EXPECT_EQ(got, c);
  EXPECT_EQ(def.controls[1].alias, "メモ"_sj);
}

TEST(InputDef, HeaderAndCountChecks) {
  const std::string sizeMsg = "ヘッダーのサイズが異なります。";
  const std::string countMsg = "ヘッダーの示すデータ量と実際のデータ量が異なります。";
  struct Case {
    const char* what;
    int headerSize;
    int32_t first, count;
    int controls;
    int code;
    std::string message;
  } cases[] = {
      {"fine", 164, 1, 2, 2, 0, ""},
      {"header 163", 163, 1, 2, 2, -2, sizeMsg},
      {"header 165", 165, 1, 2, 2, -2, sizeMsg},
      {"one record more claimed", 164, 1, 3, 2, -3, countMsg},
      {"one record fewer claimed", 164, 1, 1, 2, -3, countMsg},
      {"first index 0", 164, 0, 3, 2, -3, countMsg},
      {"negative count", 164, 4, -1, 2, -3, countMsg},
      {"overflowing sum", 164, 0x7FFFFFFF, 0x7FFFFFFF, 2, -3, countMsg},
  };
  for (const Case& c : cases) {
    CMyLine list;
    std::string header(static_cast<size_t>(c.headerSize), '\0');
    le::PutI32(&header[4], c.first);
    le::PutI32(&header[8], c.count);
    list.Append(header);
    for (int i = 0; i < c.controls; ++i) list.Append(std::string(jsc::kControlSize, '\0'));
    ScriptedPrompter p;
    jsc::InputDef def;
    EXPECT_EQ(jsc::ReadInputDef(list, def, &p), c.code) << c.what;
    if (c.message.empty()) {
      EXPECT_TRUE(p.Shown().empty()) << c.what;
    } else {
      ASSERT_EQ(p.ShownUtf8(), std::vector<std::string>{c.message}) << c.what;
      EXPECT_EQ(p.Shown()[0].caption, "注意"_sj);
    }
  }
  CMyLine empty;
  jsc::InputDef def;
  EXPECT_EQ(jsc::ReadInputDef(empty, def, nullptr), 1);
  TempDir dir;
  EXPECT_EQ(jsc::LoadInputDef(dir / "scrin.jsc", def, nullptr), 1);
}

TEST(InputDef, ShortControlRecordIsRefused) {
  CMyLine list;
  BuildInputDefList(SampleHeader(), {Ctl(0, 0, "DAT001")}, list);
  list.Set(1, std::string(100, '\0'));
  ScriptedPrompter p;
  jsc::InputDef def;
  EXPECT_EQ(jsc::ReadInputDef(list, def, &p), -4);
  EXPECT_TRUE(def.controls.empty());
  EXPECT_EQ(p.Shown().size(), 1u);
}

TEST(InputDef, SlotsOutsideTheKindsRangeAreIgnored) {
  const std::vector<jsc::Control> all = {
      Ctl(jsc::kText, 19, "DAT001"), Ctl(jsc::kText, 20, "DAT002"),           Ctl(jsc::kText, -1, "DAT003"),
      Ctl(jsc::kCombo, 9, "DAT004"), Ctl(jsc::kCombo, 10, "DAT005"),          Ctl(jsc::kMemo, 0, "MEM001"),
      Ctl(jsc::kMemo, 1, "MEM002"),  Ctl(jsc::kPhoto, 0, "IMG001"),           Ctl(jsc::kPhoto, 1, "IMG002"),
      Ctl(jsc::kListStrip, 7, ""),   Ctl(jsc::kCaption, 19, "", "見出し"_sj), Ctl(jsc::kCaption, 20, ""),
      Ctl(5, 0, "DAT006"),
  };
  CMyLine list;
  BuildInputDefList(SampleHeader(), all, list);
  jsc::InputDef def;
  std::vector<std::pair<std::string, std::string>> aliases;
  ASSERT_EQ(jsc::ReadInputDef(list, def, nullptr,
                              [&](const std::string& f, const std::string& a) {
                                aliases.emplace_back(f, a);
                                return 0;
                              }),
            0);
  std::vector<std::string> fields;
  for (const auto& c : def.controls) fields.push_back(c.field + "/" + std::to_string(c.kind));
  EXPECT_EQ(fields, (std::vector<std::string>{"DAT001/0", "DAT004/1", "MEM001/2", "IMG001/3", "/4", "/99"}));
  // Only field controls register aliases; an empty alias is the field name.
  EXPECT_EQ(aliases.size(), 4u);
  EXPECT_EQ(aliases[0], (std::pair<std::string, std::string>{"DAT001", "DAT001"}));
}

TEST(InputDef, RefusedAliasIsToldAndReadingGoesOn) {
  CMyLine list;
  BuildInputDefList(SampleHeader(), {Ctl(0, 0, "DAT001"), Ctl(0, 1, "DAT002")}, list);
  ScriptedPrompter p;
  jsc::InputDef def;
  ASSERT_EQ(jsc::ReadInputDef(list, def, &p, [](const std::string&, const std::string&) { return -1; }), 0);
  EXPECT_EQ(def.controls.size(), 2u);
  EXPECT_EQ(p.ShownUtf8(),
            (std::vector<std::string>{"P:別名の定義に失敗しました。", "P:別名の定義に失敗しました。"}));
}

}  // namespace

namespace {

TEST(InputDef, FieldsSitAtTheirOffsets) {
  jsc::Header h;
  h.formWidth = 444;
  h.inputHeight = 333;
  h.dataKind = 100;
  h.fontMode = 1;
  h.packageId = 5000;
  h.raw[152] = 9;  // reserved: written as 0
  jsc::Control c = Ctl(jsc::kCombo, 7, "DAT010", "分類"_sj);
  c.tabMode = -1;
  c.defaultValue = "=NOW";
  c.dataType = 15;
  c.decimals = 3;
  c.formula = "A+B";
  c.left = 11, c.top = 12, c.width = 13, c.height = 14;
  c.maxLength = 250;
  c.imeMode = 6;
  c.listFlag = 1;
  c.linkedSlot = 4;
  c.fontHeight = -12;
  c.faceName = "ＭＳ Ｐゴシック"_sj;
  CMyLine list;
  BuildInputDefList(h, {c}, list);
  ASSERT_EQ(list.Count(), 2);
  const std::string hb = list.Str(0), cb = list.Str(1);
  ASSERT_EQ(hb.size(), 164u);
  ASSERT_EQ(cb.size(), 392u);
  auto i32 = [](const std::string& b, size_t off) { return le::GetI32(&b[off]); };
  EXPECT_EQ(i32(hb, 4), 1);
  EXPECT_EQ(i32(hb, 8), 1);
  EXPECT_EQ(i32(hb, 44), 444);
  EXPECT_EQ(i32(hb, 48), 333);
  EXPECT_EQ(i32(hb, 52), 100);
  EXPECT_EQ(i32(hb, 120), 1);
  EXPECT_EQ(i32(hb, 152), 0);
  EXPECT_EQ(i32(hb, 156), 5000);
  EXPECT_EQ(le::GetFixedText(&cb[4], 32), "DAT010");
  EXPECT_EQ(le::GetFixedText(&cb[36], 32), "分類"_sj);
  EXPECT_EQ(i32(cb, 68), 1);
  EXPECT_EQ(i32(cb, 72), 7);
  EXPECT_EQ(i32(cb, 76), -1);
  EXPECT_EQ(le::GetFixedText(&cb[80], 32), "=NOW");
  EXPECT_EQ(i32(cb, 112), 15);
  EXPECT_EQ(i32(cb, 120), 3);
  EXPECT_EQ(le::GetFixedText(&cb[192], 64), "A+B");
  EXPECT_EQ(i32(cb, 256), 11);
  EXPECT_EQ(i32(cb, 268), 14);
  EXPECT_EQ(i32(cb, 272), 250);
  EXPECT_EQ(cb[276], 6);
  EXPECT_EQ(i32(cb, 304), 1);
  EXPECT_EQ(i32(cb, 308), 4);
  EXPECT_EQ(i32(cb, 332), -12);
  EXPECT_EQ(le::GetFixedText(&cb[360], 32), "ＭＳ Ｐゴシック"_sj);
}

}  // namespace
