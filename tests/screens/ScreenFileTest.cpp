// Reading display-screen files: versions, magic, damage, limits, and round
// trips through the writer.
#include <gtest/gtest.h>

#include "ScreenFixtures.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "support/TempDir.h"

namespace {

ScreenDoc SampleDoc() {
  ScreenDoc d;
  d.layout.sheetWidth = 18000;
  d.layout.rowHeight = 600;
  d.layout.ruledPage = 0;
  d.layout.pageHeight = 28000;
  d.layout.headerHeight = 1200;
  d.layout.rowsPerPage = 31;
  d.layout.options = 0x30;
  d.layout.word18 = 7;
  d.layout.pens[3] = {1, 12, 0x123456};
  d.layout.fills[5] = {9, 8, 0x00FF00};
  d.layout.view.mode = 10;
  d.layout.view.bandWidth = {120, 90};
  d.layout.view.keyColumns[0][0] = {60, 3};
  d.layout.view.keyColumns[0][1] = {40, 4};
  d.layout.view.keyColumns[1][0] = {90, 5};
  d.layout.view.fillOn[1] = 1;
  d.layout.view.fillColour[1] = 0x0000FF;
  d.layout.view.textColour[5] = 0x112233;
  d.layout.view.monthsAfter = 6;
  auto cap = MakeItem(1, "", 100, 200, 3000, 500, "日付"_sj);
  cap.head.SetBandBits(2);
  cap.font.align = 1;
  cap.font.font.faceName = "ＭＳ 明朝"_sj;
  cap.font.font.weight = 700;
  auto data = MakeItem(0, "MEM001", 3000, 0, 9000, 600);
  data.head.SetFrameFill(0x151111);
  data.head.SetRowFrames(0x22221111);
  data.head.aggregate = "SUM";
  data.head.words[7] = 2;
  data.font.vertical = 1;
  data.font.capacity = 40;
  d.items = {cap, data, MakeItem(201, "IMG001", 12000, 0, 2000, 600)};
  d.texts = {"DAT001 = '1'", "キー項目"_sj, ""};
  return d;
}

TEST(ScreenFile, VersionAndMagicDecideTheCode) {
  struct Case {
    int version;
    const char* magic;
    int code;
  } cases[] = {{199, "MS", -2}, {200, "MS", 0}, {299, "MS", 0},  {300, "MS", -3},
               {0, "MS", -2},   {-5, "MS", -2}, {250, "SM", -4}, {250, "ms", -4}};
  for (const Case& c : cases) {
    ScreenDoc d = SampleDoc();
    d.layout.version = c.version;
    std::string bytes = ScreenFileBytes(d);
    bytes[4] = c.magic[0], bytes[5] = c.magic[1];
    CMyScr scr;
    EXPECT_EQ(scr.LoadScreenBytes(bytes), c.code) << c.version << c.magic;
    EXPECT_EQ(scr.ItemCount(), c.code == 0 ? 3 : 0);
  }
}

TEST(ScreenFile, MissingFileIsMinusOne) {
  TempDir dir;
  CMyScr scr;
  EXPECT_EQ(scr.LoadScreen(dir / "none.jos"), -1);
  EXPECT_EQ(scr.LoadScreen(dir.path()), -1);
}

TEST(ScreenFile, RoundTripKeepsEveryField) {
  TempDir dir;
  const ScreenDoc d = SampleDoc();
  ASSERT_EQ(WriteScreenFile(dir / "a.jos", d), 0);
  CMyScr scr;
  ASSERT_EQ(scr.LoadScreen(dir / "a.jos"), 0);
  EXPECT_EQ(scr.Layout(), d.layout);
  ASSERT_EQ(scr.ItemCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(scr.GetItem(i).head, d.items[i].head) << i;
    jos::FontRecord want = d.items[i].font, got = scr.GetItem(i).font.Record();
    want.textLength = static_cast<int32_t>(d.items[i].text.size());
    want.capacity = std::max(want.capacity, want.textLength);
    // Scales belong to the device, not the file.
    want.hscale = got.hscale, want.vscale = got.vscale;
    EXPECT_EQ(got, want) << i;
    EXPECT_EQ(scr.GetItem(i).font.Text(), d.items[i].text);
  }
  EXPECT_EQ(scr.GetItem(1).font.Record().capacity, 40);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(scr.Text(i), d.texts[i]);
  // Writing what was read gives the same bytes.
  EXPECT_EQ(ReadBytes(dir / "a.jos"), ScreenFileBytes(d));
}

TEST(ScreenFile, DefaultsBeforeLoadingAndAfterAFailedOne) {
  CMyScr scr;
  const jos::ScreenLayout def;
  EXPECT_EQ(scr.Layout(), def);
  EXPECT_EQ(def.sheetWidth, 19000);
  EXPECT_EQ(def.rowsPerPage, 46);
  EXPECT_EQ(def.pens[4], (jos::PenEntry{2, 1, 0x7D7D7D}));
  EXPECT_EQ(def.fills[7].colour, 0xBDCDFA);
  EXPECT_EQ(def.view.fillColour[9], 0xFFFFFF);
  EXPECT_EQ(def.view.monthsBefore, 4);
  ASSERT_EQ(scr.LoadScreenBytes(ScreenFileBytes(SampleDoc())), 0);
  EXPECT_EQ(scr.LoadScreenBytes(std::string("\xC7\x00\x00\x00MS", 6)), -2);
  EXPECT_EQ(scr.Layout(), def);
  EXPECT_EQ(scr.Text(1), "");
}

TEST(ScreenFile, EndingAfterTheItemsGivesEmptyTexts) {
  ScreenDoc d = SampleDoc();
  std::string bytes = ScreenFileBytes(d);
  size_t textsAt = bytes.size() - (4 + d.texts[0].size() + 1) - (4 + d.texts[1].size() + 1) - 5;
  CMyScr scr;
  ASSERT_EQ(scr.LoadScreenBytes(bytes.substr(0, textsAt)), 0);
  EXPECT_EQ(scr.ItemCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(scr.Text(i), "");
  // A zero length ends the texts early; a short text is dropped.
  std::string early = bytes.substr(0, textsAt);
  le::AppendI32(early, 3);
  early += std::string("ab\0", 3);
  le::AppendI32(early, 0);
  le::AppendI32(early, 5);
  early += "xyz\0\0";
  ASSERT_EQ(scr.LoadScreenBytes(early), 0);
  EXPECT_EQ(scr.Text(0), "ab");
  EXPECT_EQ(scr.Text(1), "");
  std::string shortText = bytes.substr(0, textsAt);
  le::AppendI32(shortText, 50);
  shortText += "abc";
  ASSERT_EQ(scr.LoadScreenBytes(shortText), 0);
  EXPECT_EQ(scr.Text(0), "");
}

TEST(ScreenFile, EveryTruncationFailsCleanlyOrLoads) {
  const std::string bytes = ScreenFileBytes(SampleDoc());
  CMyScr scr;
  for (size_t n = 0; n < bytes.size(); ++n) {
    const int rc = scr.LoadScreenBytes(bytes.substr(0, n));
    EXPECT_TRUE(rc == 0 || rc == -5) << n << " " << rc;
    // Only a cut inside the texts still yields a screen.
    if (n < jos::kHeaderSize + 4) {
      EXPECT_EQ(rc, -5) << n;
    }
  }
}

TEST(ScreenFile, HostileCountsAndLengthsAreRefused) {
  const ScreenDoc base = SampleDoc();
  const size_t countAt = jos::kHeaderSize;
  const size_t firstBlock = countAt + 4 + jos::kItemHeaderSize;
  struct Case {
    const char* what;
    size_t offset;
    int32_t value;
  } cases[] = {
      {"103 items", countAt, 103},
      {"negative item count", countAt, -1},
      {"huge item count", countAt, 0x7FFFFFFF},
      {"font block size 143", firstBlock, 143},
      {"font block size 145", firstBlock, 145},
      {"negative text length", firstBlock + 4, -1},
      {"text beyond capacity", firstBlock + 4, 1000},
      {"negative capacity", firstBlock + 8 + 132, -7},
      {"absurd capacity", firstBlock + 8 + 132, 0x7FFFFFF0},
  };
  for (const Case& c : cases) {
    std::string bytes = ScreenFileBytes(base);
    le::PutI32(&bytes[c.offset], c.value);
    CMyScr scr;
    EXPECT_EQ(scr.LoadScreenBytes(bytes), -5) << c.what;
  }
  // A screen text longer than the model holds.
  std::string bytes = ScreenFileBytes(base);
  const size_t textAt = bytes.size() - (4 + base.texts[0].size() + 1) - (4 + base.texts[1].size() + 1) - 5;
  le::PutI32(&bytes[textAt], -2);
  CMyScr scr;
  EXPECT_EQ(scr.LoadScreenBytes(bytes), -5);
}

TEST(ScreenFile, OneHundredAndTwoItemsLoad) {
  ScreenDoc d;
  for (int i = 0; i < jos::kMaxItems; ++i) d.items.push_back(MakeItem(1, "", i, 0, 10, 10, "c"));
  CMyScr scr;
  ASSERT_EQ(scr.LoadScreenBytes(ScreenFileBytes(d)), 0);
  EXPECT_EQ(scr.ItemCount(), 102);
  EXPECT_EQ(scr.GetItem(101).font.X(), 101);
}

TEST(ScreenFile, LoadingResetsTheImageRing) {
  TempDir dir;
  CMyBitmap pic = MakePicture(4, 4, [](int, int) { return 0x808080u; });
  ASSERT_EQ(pic.SaveBmp(dir / "p.bmp"), 1);
  CMyScr scr;
  ASSERT_EQ(scr.CacheImage(dir / "p.bmp", "", 10, 10), 0);
  ASSERT_EQ(scr.RingPosition(), 1);
  ASSERT_EQ(scr.LoadScreenBytes(ScreenFileBytes(SampleDoc())), 0);
  EXPECT_EQ(scr.RingPosition(), 0);
  EXPECT_EQ(scr.CachedName(0), "");
}

}  // namespace

namespace {

// The writer puts each field at its documented offset (the reader shares the
// same code, so a round trip alone would not notice a shifted field).
TEST(ScreenFile, FieldsSitAtTheirOffsets) {
  ScreenDoc d;
  d.layout.version = 234;
  d.layout.sheetWidth = 11111;
  d.layout.rowHeight = 222;
  d.layout.ruledPage = 0;
  d.layout.pageHeight = 33333;
  d.layout.headerHeight = 444;
  d.layout.rowsPerPage = 55;
  d.layout.options = 0x66;
  d.layout.pens[1] = {2, 77, 0x123456};
  d.layout.fills[2].colour = 0x654321;
  d.layout.view.bandWidth = {88, 99};
  d.layout.view.keyColumns[1][2] = {101, 102};
  d.layout.view.fillOn[3] = 1;
  d.layout.view.fillColour[3] = 0x0A0B0C;
  d.layout.view.textColour[4] = 0x0D0E0F;
  d.layout.view.linesPerPage = 17;
  d.layout.view.monthsAfter = 9;
  auto it = MakeItem(201, "IMG001", 1, 2, 3, 4, "abc");
  it.head.aggregate = "SUM";
  it.head.SetBandBits(4);
  it.head.SetFrameFill(0x00510123);
  it.font.vertical = 1;
  it.font.textColour = 0x00FF00;
  it.font.font.faceName = "ＭＳ 明朝"_sj;
  d.items = {it};
  d.texts = {"A", "BB", "CCC"};
  const std::string b = ScreenFileBytes(d);
  auto i32 = [&](size_t off) { return le::GetI32(&b[off]); };
  EXPECT_EQ(i32(0), 234);
  EXPECT_EQ(b.substr(4, 2), "MS");
  EXPECT_EQ(i32(22), 11111);
  EXPECT_EQ(i32(26), 222);
  EXPECT_EQ(b[31], 0);
  EXPECT_EQ(i32(36), 33333);
  EXPECT_EQ(i32(44), 444);
  EXPECT_EQ(i32(60), 55);
  EXPECT_EQ(i32(64), 0x66);
  EXPECT_EQ(i32(73 + 12), 2);
  EXPECT_EQ(i32(73 + 16), 77);
  EXPECT_EQ(i32(73 + 20), 0x123456);
  EXPECT_EQ(i32(169 + 24 + 8), 0x654321);
  const size_t v = 277;
  EXPECT_EQ(i32(v + 16), 88);
  EXPECT_EQ(i32(v + 20), 99);
  EXPECT_EQ(i32(v + 24 + 32 + 16), 101);
  EXPECT_EQ(i32(v + 24 + 32 + 20), 102);
  EXPECT_EQ(b[v + 88 + 3], 1);
  EXPECT_EQ(i32(v + 100 + 12), 0x0A0B0C);
  EXPECT_EQ(i32(v + 140 + 16), 0x0D0E0F);
  EXPECT_EQ(i32(v + 180), 17);
  EXPECT_EQ(i32(v + 208), 9);
  EXPECT_EQ(i32(489), 1);
  const size_t h = 493;
  EXPECT_EQ(b[h], 1);
  EXPECT_EQ(i32(h + 4), 201);
  EXPECT_EQ(b.substr(h + 12, 7), std::string("IMG001\0", 7));
  EXPECT_EQ(b.substr(h + 42, 4), std::string("SUM\0", 4));
  EXPECT_EQ(i32(h + 80), 4);
  EXPECT_EQ(i32(h + 88), 0x00510123);
  const size_t f = h + 108;
  EXPECT_EQ(i32(f), 144);
  EXPECT_EQ(i32(f + 4), 3);
  const size_t r = f + 8;
  EXPECT_EQ(i32(r), 1);
  EXPECT_EQ(i32(r + 12), 4);
  EXPECT_EQ(i32(r + 48), 1);
  EXPECT_EQ(i32(r + 64), 0x00FF00);
  EXPECT_EQ(b.substr(r + 68 + 28, 10), "ＭＳ 明朝"_sj + std::string(1, '\0'));
  EXPECT_EQ(i32(r + 128), 3);
  EXPECT_EQ(b.substr(r + 144, 3), "abc");
  const size_t t = r + 147;
  EXPECT_EQ(i32(t), 2);
  EXPECT_EQ(b.substr(t + 4, 2), std::string("A\0", 2));
  EXPECT_EQ(b.size(), t + 6 + 7 + 8);
}

}  // namespace
