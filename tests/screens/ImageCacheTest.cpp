// The image cache of the screen model: lookup, ring, thumbnails, failures,
// and drawing a cached picture centred in its item.
#include <gtest/gtest.h>

#include "JpegWrite.h"
#include "ScreenFixtures.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace {

// A thumbnail key of exactly 37 characters: four space-separated parts.
const std::string kKey = "D2024 S0101120000001 20240101120000 A";

class ImageCache : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(kKey.size(), 37u);
    folder_ = dir_.path() + "/";
    scr_.SetDivisionFolder(folder_);
  }
  std::string Picture(const std::string& name, int w, int h) {
    CMyBitmap b = MakePicture(w, h, [](int x, int) { return uint32_t(x); });
    EXPECT_EQ(b.SaveBmp(folder_ + name), 1);
    return folder_ + name;
  }
  TempDir dir_;
  std::string folder_;
  CMyScr scr_{0.1, 0.1};
};

TEST_F(ImageCache, SamePathSameSlotAndTheRingWraps) {
  const std::string p = Picture("a.bmp", 40, 20);
  EXPECT_EQ(scr_.CacheImage("", "", 10, 10), -1);
  EXPECT_EQ(scr_.CacheImage(p, "", 10, 10), 0);
  EXPECT_EQ(scr_.CacheImage(p, "", 10, 10), 0);
  EXPECT_EQ(scr_.CachedName(0), "F" + p);
  for (int i = 1; i < 50; ++i) {
    const std::string q = Picture("p" + std::to_string(i) + ".bmp", 4, 4);
    EXPECT_EQ(scr_.CacheImage(q, "", 10, 10), i);
  }
  EXPECT_EQ(scr_.RingPosition(), 0);
  const std::string last = Picture("last.bmp", 4, 4);
  EXPECT_EQ(scr_.CacheImage(last, "", 10, 10), 0);  // the 51st picture reuses slot 0
  EXPECT_EQ(scr_.CachedName(0), "F" + last);
  EXPECT_EQ(scr_.CacheImage(p, "", 10, 10), 1);  // a.bmp was pushed out
}

TEST_F(ImageCache, PicturesAreFittedToTheBox) {
  const std::string p = Picture("a.bmp", 40, 20);
  CMyScr& s = scr_;
  ASSERT_EQ(s.CacheImage(p, "", 10, 10), 0);
  ScreenDoc d;
  d.items = {MakeItem(201, "IMG001", 0, 0, 1000, 1000)};
  ASSERT_EQ(s.LoadScreenBytes(ScreenFileBytes(d)), 0);
  ASSERT_EQ(s.CacheImage(p, "", 10, 10), 0);
  RecordingCanvas c;
  s.DrawImage(c, 0, 0, 0, 0);
  // 10 x 5 picture centred in a 100 x 100 box: factor 10, drawn 100 x 50,
  // moved down 25 px = 250 units.
  EXPECT_EQ(c.CallsStarting("dib "), std::vector<std::string>{"dib 0,25,100,75 10x5x24"});
  EXPECT_EQ(s.GetItem(0).font.Y(), 0);  // the box is put back
  c.Clear();
  s.DrawImage(c, 50, 0, 0, 0);  // the cache has slots 0 to 49
  s.DrawImage(c, 7, 0, 0, 0);   // an empty slot
  EXPECT_TRUE(c.Calls().empty());
}

TEST_F(ImageCache, ThumbnailKeysAndFallbacks) {
  ASSERT_TRUE(fileops::MakeDirs(folder_ + "PhotSm/D2024"));
  CMyBitmap t = MakePicture(18, 9, [](int, int) { return 7u; });
  ASSERT_EQ(t.SaveBmp(folder_ + "PhotSm/D2024/S0101120000001.bmp"), 1);
  const std::string p = Picture("big.bmp", 40, 20);
  // Mode S: the thumbnail, named by the key.
  EXPECT_EQ(scr_.CacheImage(p, kKey, 100, 100), 0);
  EXPECT_EQ(scr_.CachedName(0), "S" + kKey);
  EXPECT_EQ(scr_.CacheImage("other path", kKey, 100, 100), 0);
  // Keys of 36 or 38 characters are plain path lookups.
  EXPECT_EQ(scr_.CacheImage(p, kKey.substr(1), 100, 100), 1);
  EXPECT_EQ(scr_.CachedName(1), "F" + p);
  EXPECT_EQ(scr_.CacheImage(p, kKey + "x", 100, 100), 1);
  // A missing thumbnail falls back to the picture itself, in a slot of its own.
  const std::string key2 = "D2024 S0101120000002 20240101120000 A";
  EXPECT_EQ(scr_.CacheImage(p, key2, 100, 100), 2);
  EXPECT_EQ(scr_.CachedName(2), "F" + p);
  // A key of the right length but not the key's form names no thumbnail.
  const std::string odd = "202401 P0000001 A 0123456789abcdefghi";
  EXPECT_EQ(scr_.CacheImage(folder_ + "missing.bmp", odd, 100, 100), -1);
  // A key that climbs out of "PhotSm" is not followed.
  ASSERT_TRUE(fileops::MakeDirs(folder_ + "PhotSm/x"));
  CMyBitmap evil = MakePicture(2, 2, [](int, int) { return 0u; });
  ASSERT_EQ(evil.SaveBmp(folder_ + "PhotSm/x/evilevil.bmp"), 1);
  const std::string up = ".. x/evilevil A 0123456789abcdefghijk";
  ASSERT_EQ(up.size(), 37u);
  EXPECT_EQ(scr_.CacheImage(folder_ + "missing.bmp", up, 100, 100), -1);
}

TEST_F(ImageCache, FailuresLeaveNoStaleName) {
  const std::string p = Picture("a.bmp", 4, 4);
  ASSERT_EQ(scr_.CacheImage(p, "", 10, 10), 0);
  for (int i = 1; i < 50; ++i)
    ASSERT_EQ(scr_.CacheImage(Picture("q" + std::to_string(i) + ".bmp", 2, 2), "", 5, 5), i);
  // The ring is back at slot 0, which holds a.bmp; a failing load there must
  // not leave a.bmp's name on an emptied bitmap.
  EXPECT_EQ(scr_.CacheImage(folder_ + "missing.bmp", "", 10, 10), -1);
  EXPECT_EQ(scr_.CachedName(0), "");
  EXPECT_EQ(scr_.RingPosition(), 0);
  EXPECT_EQ(scr_.CacheImage(p, "", 10, 10), 0);
}

TEST_F(ImageCache, JpegPicturesAreReducedToTheSmallerSide) {
  ASSERT_TRUE(WriteTestJpeg(folder_ + "photo.JPG", 400, 300));
  const int slot = scr_.CacheImage(folder_ + "photo.JPG", "", 80, 50);
  ASSERT_EQ(slot, 0);
  ScreenDoc d;
  d.items = {MakeItem(201, "IMG001", 0, 0, 800, 500)};
  ASSERT_EQ(scr_.LoadScreenBytes(ScreenFileBytes(d)), 0);
  ASSERT_EQ(scr_.CacheImage(folder_ + "photo.JPG", "", 80, 50), 0);
  RecordingCanvas c;
  scr_.DrawImage(c, 0, 0, 0, 0);
  // Limit 50: 50 x 37, then drawn at factor min(80/50, 50/37).
  ASSERT_EQ(c.CallsStarting("dib ").size(), 1u);
  EXPECT_NE(c.CallsStarting("dib ")[0].find("50x37x24"), std::string::npos);
  WriteBytes(folder_ + "broken.jpg", "not a jpeg");
  EXPECT_EQ(scr_.CacheImage(folder_ + "broken.jpg", "", 80, 50), -1);
}

TEST_F(ImageCache, DrawItemsDrawsImageItemsFromTheRow) {
  const std::string p = Picture("a.bmp", 40, 20);
  ScreenDoc d;
  auto img = MakeItem(201, "IMG001", 0, 0, 400, 200);
  img.head.SetFrameFill(0x00011111);
  d.items = {img};
  ASSERT_EQ(scr_.LoadScreenBytes(ScreenFileBytes(d)), 0);
  scr_.CreatePens(0);
  MapRows rows;
  rows.values["IMG001"] = p;
  scr_.SetRows(&rows);
  RecordingCanvas c;
  scr_.DrawItems(c, 0, 0, 0, false);
  EXPECT_EQ(c.CallsStarting("dib ").size(), 1u);
  EXPECT_EQ(c.CallsStarting("line ").size(), 8u);  // the frame again over the picture
  c.Clear();
  scr_.DrawItems(c, 0, 0, 0, true);  // blank rows show no pictures
  EXPECT_TRUE(c.CallsStarting("dib ").empty());
}

}  // namespace

TEST_F(ImageCache, RecordPathsAreCp932AndMissingThumbnailsAreMadeWhenDrawn) {
  ASSERT_TRUE(fileops::MakeDirs(folder_ + "写真"));
  ASSERT_TRUE(WriteTestJpeg(folder_ + "写真/海.jpg", 64, 32));
  const std::string sj = cp932::FromUtf8(folder_ + "写真/海.jpg");
  ASSERT_NE(sj, folder_ + "写真/海.jpg");
  EXPECT_EQ(scr_.CacheImage(sj, "", 20, 20), 0);
  EXPECT_EQ(scr_.CachedName(0), "F" + sj);
  EXPECT_FALSE(fileops::Exists(folder_ + "tmp.bmp"));  // decoded in memory
  // a thumbnail the refresher makes is the one drawn
  std::vector<std::string> asked;
  scr_.SetThumbnailRefresher([&](const std::string& path, const std::string& key) {
    asked.push_back(path);
    EXPECT_TRUE(fileops::MakeDirs(folder_ + "PhotSm/D2024"));
    CMyBitmap t = MakePicture(9, 18, [](int, int) { return 3u; });
    t.SaveBmp(folder_ + "PhotSm/D2024/S0101120000001.bmp");
    return key;
  });
  const int slot = scr_.CacheImage(sj, kKey, 100, 100);
  EXPECT_EQ(scr_.CachedName(slot), "S" + kKey);
  EXPECT_EQ(asked, std::vector<std::string>{sj});
  EXPECT_EQ(scr_.CacheImage(sj, kKey, 100, 100), slot);  // cached: not asked again
  EXPECT_EQ(asked.size(), 1u);
}
