// CMyObjFont: font blocks, text capacity, device boxes, measuring.
#include <gtest/gtest.h>

#include "ScreenFixtures.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"

namespace {

std::string Block(int32_t size, int32_t length, int32_t capacity, const std::string& text) {
  std::string out;
  le::AppendI32(out, size);
  le::AppendI32(out, length);
  jos::FontRecord r;
  r.capacity = capacity;
  jos::AppendFontRecord(out, r);
  return out + text;
}

TEST(ObjFont, NewObjectDefaults) {
  CMyObjFont f(0.04, 0.05);
  const jos::FontRecord& r = f.Record();
  EXPECT_EQ(r.flags, 1);
  EXPECT_EQ(r.bkColour, 0xFFFFFF);
  EXPECT_EQ(r.fontHeight, -562);
  EXPECT_EQ(r.font.height, -28);  // -562 x 0.05 toward zero
  EXPECT_EQ(r.font.charSet, 128);
  EXPECT_EQ(r.font.pitchAndFamily, 0x31);
  EXPECT_EQ(r.font.faceName, "ＭＳ ゴシック"_sj);
  EXPECT_FALSE(f.HasText());
  EXPECT_EQ(f.DeviceBox(), CanvasRect{});
}

TEST(ObjFont, ReadFontBlockCodes) {
  struct Case {
    const char* what;
    std::string bytes;
    int code;
    std::string text;
  } cases[] = {
      {"whole", Block(144, 3, 10, "abc"), 0, "abc"},
      {"text up to its NUL", Block(144, 4, 10, std::string("ab\0c", 4)), 0, "ab"},
      {"length equals capacity", Block(144, 3, 3, "abc"), 0, "abc"},
      {"no size word", "", 1, ""},
      {"size 143", Block(143, 3, 10, "abc"), 2, ""},
      {"length beyond capacity", Block(144, 11, 10, std::string(11, 'x')), 3, ""},
      {"negative length", Block(144, -1, 10, ""), 3, ""},
      {"capacity too large", Block(144, 1, 0x10000000, "x"), 3, ""},
      {"text cut off", Block(144, 5, 10, "ab"), 4, ""},
      {"image cut off", Block(144, 0, 10, "").substr(0, 100), 4, ""},
  };
  for (const Case& c : cases) {
    CMyObjFont f(0.1, 0.1);
    f.SetText("old");
    ByteCursor in(c.bytes);
    EXPECT_EQ(f.ReadFontBlock(in), c.code) << c.what;
    EXPECT_EQ(f.Text(), c.text) << c.what;
    EXPECT_EQ(f.HasText(), c.code == 0) << c.what;
  }
}

TEST(ObjFont, SetTextGrowsCapacityOnlyWhenNeeded) {
  CMyObjFont f(0.1, 0.1);
  f.Record().capacity = 10;
  f.SetText("123456789");
  EXPECT_EQ(f.Record().capacity, 10);
  f.SetText("1234567890");
  EXPECT_EQ(f.Record().capacity, 12);
  f.SetText("");
  EXPECT_EQ(f.Record().capacity, 12);
  EXPECT_TRUE(f.HasText());
}

TEST(ObjFont, DeviceBoxTruncatesAndSurvivesHugeValues) {
  CMyObjFont f(0.15, 0.25);
  f.SetText("x");
  f.SetPosition(-1001, 999);
  f.SetWidth(2001);
  f.SetHeight(3);
  EXPECT_EQ(f.DeviceBox(), (CanvasRect{-150, 249, 150, 250}));
  f.Record().vertical = 1;
  EXPECT_EQ(f.DeviceBox(), (CanvasRect{-450, 249, -150, 250}));
  f.Record().vertical = 0;
  f.SetPosition(0x7FFFFFFF, 0x7FFFFFFF);
  f.SetWidth(0x7FFFFFFF);
  f.SetScale(1e12, 1e12);
  const CanvasRect r = f.DeviceBox();
  EXPECT_EQ(r.right, 0x7FFFFFFF);
}

TEST(ObjFont, MeasureChar) {
  RecordingCanvas c;  // measures |height| x bytes / 2 by |height|
  CMyObjFont f(0.1, 0.2);
  f.Record().fontHeight = -100;             // 20 pixels high
  EXPECT_EQ(f.MeasureChar(c, false), 100);  // 20 px / 0.2
  EXPECT_EQ(f.Record().height, 0);
  EXPECT_EQ(f.MeasureChar(c, true), 100);
  EXPECT_EQ(f.Record().height, 100);
  f.Record().vertical = 1;
  EXPECT_EQ(f.MeasureChar(c, true), 230);  // ("龍" 2 bytes -> 20 px) + 3, / 0.1
  EXPECT_EQ(f.Record().width, 230);
}

TEST(ObjFont, DrawBitmapFillsTheBox) {
  CMyObjFont f(0.1, 0.1);
  f.SetPosition(100, 200);
  f.SetWidth(1000);
  f.SetHeight(500);
  f.Record().vertical = 1;
  CMyBitmap b = MakePicture(3, 3, [](int, int) { return 0u; });
  RecordingCanvas c;
  f.DrawBitmap(c, b, 50, 0, false);
  EXPECT_EQ(c.CallsStarting("dib "), std::vector<std::string>{"dib 15,20,115,70 3x3x24"});
  EXPECT_EQ(c.Font().escapement, 0);
}

}  // namespace
