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
