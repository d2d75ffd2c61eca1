// CMyBitmap: loading and saving, hostile headers, area averaging, fitting
// and quarter turns.
#include <gtest/gtest.h>

#include "ScreenFixtures.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"
#include "platform/Prompter.h"
#include "support/TempDir.h"

namespace {

// A .bmp file image with the given header values and `pixels` bytes of rows.
std::string BmpBytes(int32_t w, int32_t h, int bits, uint32_t used, size_t tableEntries, size_t pixels,
                     uint32_t compression = 0) {
  std::string info(40, '\0');
  le::PutI32(&info[0], 40);
  le::PutI32(&info[4], w);
  le::PutI32(&info[8], h);
  le::PutU16(&info[12], 1);
  le::PutU16(&info[14], static_cast<uint16_t>(bits));
  le::PutU32(&info[16], compression);
  le::PutU32(&info[32], used);
  std::string out = "BM";
  le::AppendI32(out, static_cast<int32_t>(54 + tableEntries * 4 + pixels));
  le::AppendI32(out, 0);
  le::AppendI32(out, static_cast<int32_t>(54 + tableEntries * 4));
  out += info;
  for (size_t i = 0; i < tableEntries; ++i) le::AppendI32(out, static_cast<int32_t>(i * 0x010101));
  out += std::string(pixels, '\x40');
  return out;
}

TEST(Bitmap, SaveWritesHeaderSizesAndLoadsBack) {
  TempDir dir;
  CMyBitmap pic = MakePicture(5, 3, [](int x, int y) { return uint32_t(x * 40) << 16 | uint32_t(y * 70); });
  ASSERT_EQ(pic.SaveBmp(dir / "a.bmp"), 1);
  const std::string bytes = ReadBytes(dir / "a.bmp");
  ASSERT_EQ(bytes.size(), 54u + 16 * 3);  // rows of 15 bytes padded to 16
  EXPECT_EQ(le::GetI32(&bytes[2]), static_cast<int32_t>(bytes.size()));
  EXPECT_EQ(le::GetI32(&bytes[10]), 54);
  CMyBitmap back;
  ASSERT_EQ(back.LoadBmp(dir / "a.bmp"), 1);
  EXPECT_EQ(back.Dib(), pic.Dib());
  EXPECT_EQ(PixelAt(back, 4, 2), 0xA0008Cu);

  // An 8-bit picture carries its colour table.
  WriteBytes(dir / "p.bmp", BmpBytes(3, 2, 8, 0, 256, 8));
  CMyBitmap pal;
  ASSERT_EQ(pal.LoadBmp(dir / "p.bmp"), 1);
  EXPECT_EQ(pal.Colours(), 256);
  ASSERT_EQ(pal.SaveBmp(dir / "q.bmp"), 1);
  EXPECT_EQ(ReadBytes(dir / "q.bmp").size(), 54u + 1024 + 8);
  EXPECT_EQ(le::GetI32(&ReadBytes(dir / "q.bmp")[10]), 54 + 1024);
}

TEST(Bitmap, NothingToSaveAndUnwritableTarget) {
  TempDir dir;
  ScriptedPrompter p;
  CMyBitmap empty(&p);
  EXPECT_EQ(empty.SaveBmp(dir / "x.bmp"), 0);
  EXPECT_TRUE(p.Shown().empty());
  CMyBitmap pic = MakePicture(2, 2, [](int, int) { return 0u; });
  CMyBitmap withPrompter(&p);
  WriteBytes(dir / "ok.bmp", pic.FileBytes());
  ASSERT_EQ(withPrompter.LoadBmp(dir / "ok.bmp"), 1);
  EXPECT_EQ(withPrompter.SaveBmp(dir / "no/such/dir/x.bmp"), 0);
  ASSERT_EQ(p.ShownUtf8(), std::vector<std::string>{"ファイルの書き込みに失敗しました。"});
  EXPECT_EQ(p.Shown()[0].caption, "注意"_sj);
}

TEST(Bitmap, HostileFilesAreRefusedWithoutLargeAllocations) {
  const std::string other = "異なる形式のファイルオープンしました。";
  struct Case {
    const char* what;
    std::string bytes;
    std::string message;  // empty: silent
  } cases[] = {
      {"short file header", "BM\x10", other},
      {"not BM", std::string("XY") + std::string(60, '\0'), "ビットマップ形式のファイルではありません。"},
      {"short info header", BmpBytes(2, 2, 24, 0, 0, 16).substr(0, 40), other},
      {"absurd width", BmpBytes(0x7FFFFFFF, 1, 24, 0, 0, 16), other},
      {"absurd height", BmpBytes(1, 0x40000000, 24, 0, 0, 16), other},
      {"absurd top-down height", BmpBytes(2, -0x40000000, 24, 0, 0, 16), other},
      {"core header",
       [] {
         std::string b = BmpBytes(2, 2, 24, 0, 0, 16);
         le::PutI32(&b[14], 12);
         return b;
       }(),
       other},
      {"zero width", BmpBytes(0, 2, 24, 0, 0, 16), other},
      {"absurd colours used", BmpBytes(2, 2, 8, 0xFFFFFFFF, 0, 16), other},
      {"rows beyond the file", BmpBytes(3000, 3000, 24, 0, 0, 100), other},
      {"table beyond the file", BmpBytes(2, 2, 8, 60000, 0, 8), other},
      {"bit depth 7", BmpBytes(2, 2, 7, 0, 0, 16), other},
      {"compressed", BmpBytes(2, 2, 8, 0, 256, 8, 1), other},
  };
  TempDir dir;
  for (const Case& c : cases) {
    WriteBytes(dir / "h.bmp", c.bytes);
    ScriptedPrompter p;
    CMyBitmap b(&p);
    EXPECT_EQ(b.LoadBmp(dir / "h.bmp"), 0) << c.what;
    EXPECT_EQ(b.Width(), 0) << c.what;
    EXPECT_TRUE(b.Dib().empty()) << c.what;
    ASSERT_EQ(p.Shown().size(), 1u) << c.what;
    EXPECT_EQ(p.ShownUtf8()[0], c.message) << c.what;
    EXPECT_EQ(p.Shown()[0].caption, "エラー"_sj);
  }
  ScriptedPrompter p;
  CMyBitmap b(&p);
  EXPECT_EQ(b.LoadBmp(dir / "missing.bmp"), 0);
  EXPECT_TRUE(p.Shown().empty());
}

// Pictures from other programs: top-down rows, longer headers, masks and a
// gap before the rows all come out as the same bottom-up 40-byte picture.
TEST(Bitmap, OtherWritersLayoutsLoadAsPlainPictures) {
  TempDir dir;
  const CMyBitmap want = MakePicture(3, 2, [](int x, int y) { return uint32_t(x * 50 + y * 7); });
  const std::string plain = want.FileBytes();
  const std::string info = plain.substr(14, 40), rows = plain.substr(54);
  auto file = [](const std::string& infoPart, const std::string& extra, const std::string& gap,
                 const std::string& pixels) {
    std::string out = "BM";
    const size_t off = 14 + infoPart.size() + extra.size() + gap.size();
    le::AppendI32(out, static_cast<int32_t>(off + pixels.size()));
    le::AppendI32(out, 0);
    le::AppendI32(out, static_cast<int32_t>(off));
    return out + infoPart + extra + gap + pixels;
  };
  std::string topDownInfo = info;
  le::PutI32(&topDownInfo[8], -2);
  const size_t row = rows.size() / 2;
  const std::string flipped = rows.substr(row) + rows.substr(0, row);
  std::string v5 = info + std::string(84, '\x11');
  le::PutI32(&v5[0], 124);
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"top-down rows", file(topDownInfo, "", "", flipped)},
      {"124-byte header", file(v5, "", "", rows)},
      {"gap before the rows", file(info, "", std::string(10, '\x22'), rows)},
  };
  for (const Case& c : cases) {
    WriteBytes(dir / "o.bmp", c.bytes);
    CMyBitmap b;
    ASSERT_EQ(b.LoadBmp(dir / "o.bmp"), 1) << c.what;
    EXPECT_EQ(b.Dib(), want.Dib()) << c.what;
  }
  // 32 bits with masks after a 40-byte header.
  const CMyBitmap w32 = MakePicture(2, 2, [](int x, int) { return uint32_t(x * 100); });
  std::string info32 = info;
  le::PutI32(&info32[4], 2);
  le::PutU16(&info32[14], 32);
  le::PutU32(&info32[16], 3);
  le::PutU32(&info32[20], 16);
  std::string px32;
  for (int i = 0; i < 4; ++i) px32 += std::string{static_cast<char>((i % 2) * 100), 0, 0, 0};
  std::string maskBytes;
  for (uint32_t m : {0xFF0000u, 0xFF00u, 0xFFu}) le::AppendI32(maskBytes, static_cast<int32_t>(m));
  WriteBytes(dir / "m.bmp", file(info32, maskBytes, "", px32));
  CMyBitmap m;
  ASSERT_EQ(m.LoadBmp(dir / "m.bmp"), 1);
  EXPECT_EQ(m.BitCount(), 32);
  EXPECT_EQ(le::GetU32(&m.Dib()[16]), 0u);
  ASSERT_EQ(m.SaveBmp(dir / "m2.bmp"), 1);
  EXPECT_EQ(ReadBytes(dir / "m2.bmp").size(), 54u + 16);
}

TEST(Bitmap, FailedLoadDropsThePreviousPicture) {
  TempDir dir;
  CMyBitmap b = MakePicture(4, 4, [](int, int) { return 1u; });
  WriteBytes(dir / "bad.bmp", BmpBytes(2, 2, 24, 0, 0, 3));
  EXPECT_EQ(b.LoadBmp(dir / "bad.bmp"), 0);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.BitCount(), 0);
}

TEST(Bitmap, ResampleAveragesAreas) {
  // 4 x 2 -> 2 x 1: each target pixel is the mean of a 2 x 2 block.
  CMyBitmap b = MakePicture(4, 2, [](int x, int y) { return uint32_t(x * 10 + y * 100); });
  ASSERT_EQ(b.Resample(2, 1), 0);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(PixelAt(b, 0, 0), 55u);  // (0+10+100+110)/4 = 55
  EXPECT_EQ(PixelAt(b, 1, 0), 75u);  // (20+30+120+130)/4 = 75
  // 3 -> 2 columns: fractions of the middle pixel; rounding by + 0.5.
  CMyBitmap c = MakePicture(3, 1, [](int x, int) { return uint32_t(x == 1 ? 101 : 0); });
  ASSERT_EQ(c.Resample(2, 1), 0);
  EXPECT_EQ(PixelAt(c, 0, 0), 34u);  // 101 * 0.5 / 1.5 = 33.67
  EXPECT_EQ(PixelAt(c, 1, 0), 34u);
  // Shrinking again starts from the kept source, not the shrunk picture.
  ASSERT_EQ(c.Resample(3, 1), 0);
  EXPECT_EQ(PixelAt(c, 1, 0), 101u);
  c.DropSource();
  EXPECT_FALSE(c.HasSource());
}

TEST(Bitmap, ResampleRefusals) {
  TempDir dir;
  CMyBitmap none;
  EXPECT_EQ(none.Resample(2, 2), -1);
  for (int bits : {8, 16}) {
    WriteBytes(dir / "b.bmp", BmpBytes(4, 4, bits, 0, bits == 8 ? 256 : 0, 4 * CMyBitmap::RowBytes(4, bits)));
    CMyBitmap b;
    ASSERT_EQ(b.LoadBmp(dir / "b.bmp"), 1);
    const auto before = b.Dib();
    EXPECT_EQ(b.Resample(2, 2), -2) << bits;
    EXPECT_EQ(b.Dib(), before);
    if (bits == 8) {
      EXPECT_EQ(b.Rotate(90), 0);
    }
  }
  CMyBitmap b = MakePicture(2, 2, [](int, int) { return 0u; });
  EXPECT_EQ(b.Resample(0, 5), -2);
  EXPECT_EQ(b.Resample(100000, 100000), -2);
}

TEST(Bitmap, FitToBox) {
  struct Case {
    int w, h, boxW, boxH;
    bool keep;
    int outW, outH;
  } cases[] = {
      {100, 50, 400, 400, true, 100, 50},                                     // never enlarged
      {100, 50, 50, 50, true, 50, 25},    {100, 50, 0, 10, true, 100, 50},    // a zero side: factor 1
      {100, 50, 30, 40, false, 30, 40},   {1000, 2, 100, 100, true, 100, 1},  // a flat picture keeps one row
  };
  for (const Case& c : cases) {
    CMyBitmap b = MakePicture(c.w, c.h, [](int, int) { return 0x102030u; });
    EXPECT_EQ(b.FitToBox(c.boxW, c.boxH, c.keep, true), 0);
    EXPECT_EQ(b.Width(), c.outW) << c.w << "x" << c.h << " in " << c.boxW << "x" << c.boxH;
    EXPECT_EQ(b.Height(), c.outH);
    EXPECT_FALSE(b.HasSource());
    EXPECT_EQ(PixelAt(b, 0, 0), 0x102030u);
  }
}

TEST(Bitmap, RotateQuarterTurns) {
  // 3 x 2 picture, pixel value = 10 * x + y (x, y from the top left).
  auto fresh = [] { return MakePicture(3, 2, [](int x, int y) { return uint32_t(10 * x + y); }); };
  struct Case {
    int degrees, rc, w, h;
    uint32_t topLeft, topRight;
  } cases[] = {
      {90, 0, 2, 3, 1, 0},  // clockwise: the left column becomes the top row
      {-270, 0, 2, 3, 1, 0},  {450, 0, 2, 3, 1, 0}, {180, 0, 3, 2, 21, 1}, {270, 0, 2, 3, 20, 21},
      {-90, 0, 2, 3, 20, 21}, {0, 1, 3, 2, 0, 20},  {720, 1, 3, 2, 0, 20},
  };
  for (const Case& c : cases) {
    CMyBitmap b = fresh();
    EXPECT_EQ(b.Rotate(c.degrees), c.rc) << c.degrees;
    EXPECT_EQ(b.Width(), c.w) << c.degrees;
    EXPECT_EQ(b.Height(), c.h);
    EXPECT_EQ(PixelAt(b, 0, 0), c.topLeft) << c.degrees;
    EXPECT_EQ(PixelAt(b, b.Width() - 1, 0), c.topRight) << c.degrees;
  }
  CMyBitmap none;
  EXPECT_EQ(none.Rotate(90), -1);
  // The kept source turns too, so a later shrink starts from the turned picture.
  CMyBitmap b = MakePicture(4, 2, [](int x, int) { return uint32_t(x < 2 ? 0 : 200); });
  ASSERT_EQ(b.Resample(2, 1), 0);
  ASSERT_EQ(b.Rotate(90), 0);
  ASSERT_EQ(b.Resample(1, 2), 0);
  EXPECT_EQ(PixelAt(b, 0, 0), 0u);
  EXPECT_EQ(PixelAt(b, 0, 1), 200u);
}

TEST(Bitmap, RotateRefusesOtherDepths) {
  TempDir dir;
  WriteBytes(dir / "b.bmp", BmpBytes(4, 4, 16, 0, 0, 4 * 8));
  CMyBitmap b;
  ASSERT_EQ(b.LoadBmp(dir / "b.bmp"), 1);
  EXPECT_EQ(b.Rotate(90), -3);
}

TEST(Bitmap, DrawStretchesTheWholePicture) {
  CMyBitmap b = MakePicture(10, 4, [](int, int) { return 0u; });
  RecordingCanvas c;
  b.Draw(c, 5, 6, 20, 8);
  b.DrawScaled(c, 0, 0, 0.55);
  EXPECT_EQ(c.Calls(), (std::vector<std::string>{"dib 5,6,25,14 10x4x24", "dib 0,0,5,2 10x4x24"}));
}

}  // namespace
