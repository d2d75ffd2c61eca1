// JPEG decoding to bitmaps: target sizes, reduced decoding, damaged files.
#include <gtest/gtest.h>

#include "JpegWrite.h"
#include "ScreenFixtures.h"
#include "screens/JpegToBitmap.h"
#include "support/TempDir.h"

namespace {

TEST(Jpeg, TargetSize) {
  struct Case {
    int w, h, limit, outW, outH;
  } cases[] = {
      {4000, 3000, 180, 180, 135}, {3000, 4000, 180, 135, 180}, {100, 50, 180, 100, 50},
      {3000, 3000, 0, 2000, 2000}, {10000, 1, 100, 100, 1},     {0, 0, 100, 1, 1},
      {333, 200, 100, 100, 60},    {201, 100, 100, 100, 49},
  };
  for (const Case& c : cases) {
    int w, h;
    JpegTargetSize(c.w, c.h, c.limit, w, h);
    EXPECT_EQ(w, c.outW) << c.w << "x" << c.h << "/" << c.limit;
    EXPECT_EQ(h, c.outH) << c.w << "x" << c.h << "/" << c.limit;
  }
}

TEST(Jpeg, DecodesToTheExactSizeWhateverTheDecoderScale) {
  TempDir dir;
  struct Case {
    int w, h, limit;
  } cases[] = {{800, 600, 180}, {800, 600, 500}, {640, 480, 0}, {100, 60, 400}, {257, 129, 31}, {16, 900, 7}};
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteTestJpeg(dir / "p.jpg", c.w, c.h));
    ASSERT_EQ(JpegToBitmap(dir / "p.jpg", dir / "p.bmp", c.limit), 0);
    CMyBitmap b;
    ASSERT_EQ(b.LoadBmp(dir / "p.bmp"), 1);
    int w, h;
    JpegTargetSize(c.w, c.h, c.limit, w, h);
    EXPECT_EQ(b.Width(), w) << c.w << "x" << c.h << "/" << c.limit;
    EXPECT_EQ(b.Height(), h);
    EXPECT_EQ(b.BitCount(), 24);
  }
}

TEST(Jpeg, ColoursSurviveTheReduction) {
  TempDir dir;
  ASSERT_TRUE(WriteTestJpeg(dir / "p.jpg", 800, 600, 95));
  CMyBitmap b;
  ASSERT_EQ(DecodeJpeg(dir / "p.jpg", 80, b), 0);
  ASSERT_EQ(b.Width(), 80);
  // Red runs left to right, green top to bottom, blue stays 128 (RGB -> 0xRRGGBB).
  const uint32_t tl = PixelAt(b, 0, 0), br = PixelAt(b, 79, 59);
  EXPECT_LT((tl >> 16) & 0xFF, 12u);
  EXPECT_GT((br >> 16) & 0xFF, 243u);
  EXPECT_LT((tl >> 8) & 0xFF, 12u);
  EXPECT_GT((br >> 8) & 0xFF, 243u);
  EXPECT_NEAR(static_cast<int>(tl & 0xFF), 128, 6);
}

TEST(Jpeg, GreyPicturesBecomeColourBitmaps) {
  TempDir dir;
  ASSERT_TRUE(WriteTestJpeg(dir / "g.jpg", 300, 100, 95, true));
  CMyBitmap b;
  ASSERT_EQ(DecodeJpeg(dir / "g.jpg", 150, b), 0);
  EXPECT_EQ(b.Width(), 150);
  EXPECT_EQ(b.Height(), 50);
  EXPECT_EQ(b.BitCount(), 24);
  const uint32_t right = PixelAt(b, 149, 25);
  EXPECT_GT(right & 0xFF, 240u);
  EXPECT_EQ(right & 0xFF, (right >> 16) & 0xFF);
}

TEST(Jpeg, DamagedOrMissingFilesFail) {
  TempDir dir;
  ASSERT_TRUE(WriteTestJpeg(dir / "good.jpg", 64, 64));
  const std::string good = ReadBytes(dir / "good.jpg");
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"not a jpeg", "hello, world"},
      {"header only", good.substr(0, 20)},
      {"soi then garbage", std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\xFF\xFF\xFF\xFF\x03", 12)},
  };
  for (const Case& c : cases) {
    WriteBytes(dir / "bad.jpg", c.bytes);
    EXPECT_EQ(JpegToBitmap(dir / "bad.jpg", dir / "bad.bmp", 100), -1) << c.what;
  }
  EXPECT_EQ(JpegToBitmap(dir / "none.jpg", dir / "x.bmp", 100), -1);
  // A cut-off body still decodes (the decoder fills the rest) or fails; never ends the process.
  WriteBytes(dir / "cut.jpg", good.substr(0, good.size() / 2));
  const int rc = JpegToBitmap(dir / "cut.jpg", dir / "cut.bmp", 100);
  EXPECT_TRUE(rc == 0 || rc == -1);
}

}  // namespace
