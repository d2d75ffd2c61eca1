#include <gtest/gtest.h>
#include <sys/time.h>

#include <chrono>
#include <cstring>

#include "input/CMyInput.h"
#include "input/PhotoState.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "screens/JpegToBitmap.h"
#include "screens/JpegWrite.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"
#include "viewer/ViewerState.h"

namespace {

// A JPEG whose APP1 segment carries an EXIF orientation.
bool WriteExifJpeg(const std::string& path, int w, int h, int orientation) {
  if (!WriteTestJpeg(path, w, h)) return false;
  std::string jpg = ReadBytes(path);
  // "Exif\0\0", a little-endian TIFF header and one IFD entry: 0x0112 SHORT 1
  std::string tiff = std::string("II*\0\x08\0\0\0", 8);
  tiff += std::string("\x01\x00", 2);  // one entry
  tiff += std::string("\x12\x01\x03\x00\x01\x00\x00\x00", 8);
  tiff += static_cast<char>(orientation);
  tiff += std::string("\0\0\0", 3);
  tiff += std::string("\0\0\0\0", 4);  // no next IFD
  const std::string body = std::string("Exif\0\0", 6) + tiff;
  const size_t len = body.size() + 2;
  std::string app1 = "\xFF\xE1";
  app1 += static_cast<char>(len >> 8);
  app1 += static_cast<char>(len & 0xFF);
  app1 += body;
  WriteBytes(path, jpg.substr(0, 2) + app1 + jpg.substr(2));
  return true;
}

// A small real JPEG whose frame header claims another size.
std::string ClaimingJpeg(const std::string& scratch, int w, int h) {
  WriteTestJpeg(scratch, 16, 16);
  std::string b = ReadBytes(scratch);
  for (size_t i = 2; i + 9 < b.size(); ++i) {
    if (static_cast<unsigned char>(b[i]) == 0xFF && static_cast<unsigned char>(b[i + 1]) == 0xC0) {
      b[i + 5] = static_cast<char>(h >> 8);
      b[i + 6] = static_cast<char>(h & 0xFF);
      b[i + 7] = static_cast<char>(w >> 8);
      b[i + 8] = static_cast<char>(w & 0xFF);
      break;
    }
  }
  return b;
}

void SetMtime(const std::string& path, time_t t) {
  struct timeval tv[2] = {{t, 0}, {t, 0}};
  ::utimes(path.c_str(), tv);
}

// Every file under a folder, relative to it.
void Walk(const std::string& dir, const std::string& rel, std::vector<std::string>& out) {
  for (const auto& f : fileops::List(dir, "*")) out.push_back(rel + f);
  for (const auto& d : fileops::List(dir, "*", true)) Walk(dir + "/" + d, rel + d + "/", out);
}

struct Photos {
  TempDir dir;
  std::string division = dir / "book/";
  std::string pictures = dir / "写真";  // UTF-8 on disk
  FixedClock clock{{2026, 3, 14}, {9, 30, 5}};
  PhotoCounter counter;
  PhotoState photo{clock, counter};
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  RecordingLauncher launcher;
  Photos() {
    EXPECT_TRUE(fileops::MakeDirs(division));
    EXPECT_TRUE(fileops::MakeDirs(pictures));
    photo.SetDivisionFolder(division);
    photo.SetBox(true, 100, 100);
    photo.SetViewer(dir.path() + "/prog/", &launcher, &prompter, &beeper);
  }
  // A picture under 写真, as the record keeps its path (CP932).
  std::string Picture(const std::string& name, int w, int h) {
    WriteTestJpeg(pictures + "/" + name, w, h);
    SetMtime(pictures + "/" + name, 1700000000);
    return cp932::FromUtf8(pictures + "/" + name);
  }
  std::string Thumb(const std::string& key) const { return photo::ThumbnailPath(division, key); }
};

}  // namespace

TEST(PhotoKey, OnlyWellFormedKeysOfExactly37CharactersNameAThumbnail) {
  const std::string good = "D2026 S0314093005001 20231114221320 B";
  ASSERT_EQ(good.size(), 37u);
  struct Case {
    std::string key;
    bool names;
  } cases[] = {
      {good, true},
      {good.substr(1), false},                           // 36
      {good + " ", false},                               // 38
      {"D2026 S031409300501 20231114221320 BB", false},  // parts of the wrong lengths
      {"D2026 S0314093005001 20231114221320 E", false},  // no orientation E
      {"D../. S0314093005001 20231114221320 A", false},  // climbs out of PhotSm
      {"D2026 ../../../etc/x 20231114221320 A", false},
      {"D2026 S0314093005001 2023111422132x A", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(!photo::ThumbnailPath("/b/", c.key).empty(), c.names) << c.key;
  }
  EXPECT_EQ(photo::ThumbnailPath("/b/", good), "/b/PhotSm/D2026/S0314093005001.bmp");
  const photo::KeyParts p = photo::SplitKey("D2026   C");
  EXPECT_EQ(p.folder, "D2026");
  EXPECT_EQ(p.turn, "C");
  EXPECT_TRUE(p.name.empty());
  EXPECT_EQ(photo::JoinKey(p), "");
  // turning right four times comes back; left is the way back
  char t = 'A';
  std::string seen;
  for (int i = 0; i < 4; ++i) seen += (t = photo::TurnRight(t));
  EXPECT_EQ(seen, "BCDA");
  EXPECT_EQ(photo::TurnLeft('A'), 'D');
  EXPECT_EQ(photo::TurnLeft('B'), 'A');
  // only a path from the root is a picture's path
  EXPECT_TRUE(photo::IsFullPath("/home/a.jpg"));
  EXPECT_FALSE(photo::IsFullPath("C:\\a.jpg"));
  EXPECT_EQ(photo::DiskPath("a.jpg"), "");
  EXPECT_EQ(photo::DiskPath("/写真/a.jpg"_sj), "/写真/a.jpg");
}

TEST(PhotoState, CheckPhotoCompletesTheKeyAndTellsWhatChanged) {
  Photos f;
  const std::string pic = f.Picture("a.jpg", 40, 30);
  EXPECT_EQ(f.photo.CheckPhoto("/nowhere/a.jpg", ""), 1);
  EXPECT_EQ(f.photo.CheckPhoto(cp932::FromUtf8(f.pictures), ""), 1);  // a folder is no picture
  EXPECT_EQ(f.photo.CheckPhoto(pic, ""), 3);
  const std::string first = photo::JoinKey(f.photo.Parts());
  EXPECT_EQ(first.size(), 37u);
  EXPECT_EQ(first.substr(0, 19), "D2026 S031409300500");
  EXPECT_EQ(f.photo.CheckPhoto(pic, first), 0);
  // the same second gives another name, by the counter
  EXPECT_EQ(f.photo.CheckPhoto(pic, ""), 3);
  EXPECT_NE(photo::JoinKey(f.photo.Parts()).substr(6, 14), first.substr(6, 14));
  // a changed picture changes the time part
  SetMtime(f.pictures + "/a.jpg", 1700000100);
  EXPECT_EQ(f.photo.CheckPhoto(pic, first), 2);
  EXPECT_NE(f.photo.Parts().stamp, first.substr(21, 14));
  EXPECT_EQ(f.photo.Parts().name, first.substr(6, 14));
}

TEST(PhotoState, ANameAlreadyTakenOnDiskIsSkipped) {
  Photos f;
  const std::string pic = f.Picture("a.jpg", 40, 30);
  ASSERT_TRUE(fileops::MakeDirs(f.division + "PhotSm/D2026"));
  WriteBytes(f.division + "PhotSm/D2026/S0314093005001.bmp", "someone else's");
  f.photo.CheckPhoto(pic, "");
  EXPECT_EQ(f.photo.Parts().name, "S0314093005002");
}

TEST(PhotoState, ShowsFitsTurnsAndSavesTheThumbnailUnderAJapaneseFolder) {
  Photos f;
  const std::string pic = f.Picture("海.jpg", 400, 200);
  f.photo.ShowPhoto(pic, "");
  EXPECT_EQ(f.photo.Bitmap().Width(), 100);
  EXPECT_EQ(f.photo.Bitmap().Height(), 50);
  EXPECT_FALSE(fileops::Exists(f.division + "tmp.bmp"));  // no work file left in the book
  ASSERT_TRUE(f.photo.Turn(1));
  ASSERT_TRUE(f.photo.Turn(1));
  EXPECT_EQ(f.photo.Shown(), 'C');
  const std::string key = f.photo.PhotoKey();
  ASSERT_EQ(key.size(), 37u);
  EXPECT_EQ(key.back(), 'C');
  ASSERT_TRUE(f.photo.SaveThumbnail());
  CMyBitmap t;
  ASSERT_EQ(t.LoadBmp(f.Thumb(key)), 1);
  EXPECT_EQ(t.Width(), 180);
  EXPECT_EQ(t.Height(), 90);
  // shown again from its thumbnail: already turned, and turned the same way
  PhotoState again(f.clock, f.counter);
  again.SetDivisionFolder(f.division);
  again.SetBox(true, 100, 100);
  again.ShowPhoto(pic, key);
  EXPECT_EQ(again.Shown(), 'C');
  EXPECT_EQ(again.AtShowing(), 'C');
  EXPECT_EQ(again.Bitmap().Dib(), f.photo.Bitmap().Dib());
  // nothing but the thumbnail was written
  std::vector<std::string> files;
  Walk(f.division, "", files);
  EXPECT_EQ(files, (std::vector<std::string>{"PhotSm/D2026/" + key.substr(6, 14) + ".bmp"}));
}

TEST(PhotoState, FourRightTurnsGiveTheFirstPictureBack) {
  Photos f;
  f.photo.ShowPhoto(f.Picture("a.jpg", 120, 60), "");
  const auto first = f.photo.Bitmap().Dib();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(f.photo.Turn(1));
  EXPECT_EQ(f.photo.Shown(), 'A');
  EXPECT_EQ(f.photo.Bitmap().Dib(), first);
  ASSERT_TRUE(f.photo.Turn(-1));
  EXPECT_EQ(f.photo.Shown(), 'D');
  EXPECT_EQ(f.photo.Bitmap().Width(), 50);  // 60 x 120 fitted into 100 x 100
}

TEST(PhotoState, AFreshConversionOfATurnedKeyIsSavedTurnedOnce) {
  Photos f;
  const std::string pic = f.Picture("a.jpg", 200, 100);
  // a key that says B, but whose thumbnail is gone
  const std::string key = "D2026 S0101000000001 " + photo::FileStamp(f.pictures + "/a.jpg") + " B";
  f.photo.ShowPhoto(pic, key);
  EXPECT_EQ(f.photo.Shown(), 'B');
  EXPECT_EQ(f.photo.AtShowing(), 'A');
  EXPECT_EQ(f.photo.Bitmap().Width(), 50);  // shown turned: 100 x 200 into 100 x 100
  ASSERT_TRUE(f.photo.SaveThumbnail());
  CMyBitmap t;
  ASSERT_EQ(t.LoadBmp(f.Thumb(key)), 1);
  EXPECT_EQ(t.Width(), 90);
  EXPECT_EQ(t.Height(), 180);
}

TEST(PhotoState, TheFirstOrientationOfAPhoneTakenPictureComesFromItsExifData) {
  Photos f;
  ASSERT_TRUE(WriteExifJpeg(f.pictures + "/phone.jpg", 160, 80, 6));
  EXPECT_EQ(JpegOrientation(f.pictures + "/phone.jpg"), 6);
  EXPECT_EQ(photo::ExifTurn(f.pictures + "/phone.jpg"), 'B');
  ASSERT_TRUE(f.photo.Choose(cp932::FromUtf8(f.pictures + "/phone.jpg")));
  EXPECT_EQ(f.photo.Shown(), 'B');
  EXPECT_EQ(f.photo.Bitmap().Height(), 100);
  // a picture without EXIF data is as taken
  EXPECT_EQ(photo::ExifTurn(f.pictures + "/none.jpg"), 'A');
}

TEST(PhotoState, EveryExifOrientationIsShownTheRightWayRoundMirroredOnesToo) {
  // red grows to the right, green downwards: the top corners' red and green high or low
  Photos f;
  const char* kTopCorners[] = {"LLHL", "HLLL", "HHLH", "LHHH", "LLLH", "LHLL", "HHHL", "HLHH"};
  for (int o = 1; o <= 8; ++o) {
    const std::string name = f.pictures + "/o" + std::to_string(o) + ".jpg";
    ASSERT_TRUE(WriteExifJpeg(name, 64, 32, o) && f.photo.Choose(cp932::FromUtf8(name)));
    const CMyBitmap& b = f.photo.Bitmap();
    const uint8_t* top = b.View().bits + (b.Height() - 1) * CMyBitmap::RowBytes(b.Width(), 24);  // BGR
    std::string seen;
    for (const uint8_t* px : {top, top + (b.Width() - 1) * 3})
      for (int c : {2, 1}) seen += px[c] > 128 ? 'H' : 'L';
    EXPECT_EQ(kTopCorners[o - 1], seen) << o;
  }
}

TEST(PhotoState, BadPicturesLeaveTheBoxEmptyOrTheOldPictureAndWriteNothing) {
  Photos f;
  const std::string good = f.Picture("good.jpg", 200, 100);
  ASSERT_TRUE(f.photo.Choose(good));
  const auto shown = f.photo.Bitmap().Dib();
  WriteTestJpeg(f.dir / "whole.jpg", 300, 200);
  const std::string whole = ReadBytes(f.dir / "whole.jpg");
  std::string big = ClaimingJpeg(f.dir / "s.jpg", 30000, 30000);
  big.resize(300 * 1024, '\0');  // enough bytes for its size, but far too many pixels
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"cut.jpg", whole.substr(0, whole.size() / 2)},
      {"hostile.jpg",
       std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\xFF\xFF\xFF\xFF\x03", 12) + std::string(40, '\xFF')},
      {"claims.jpg", ClaimingJpeg(f.dir / "s.jpg", 60000, 60000)},
      {"huge.jpg", big},
      {"empty.jpg", ""},
  };
  for (const auto& c : cases) {
    const std::string disk = f.pictures + "/" + c.name;
    WriteBytes(disk, c.bytes);
    const auto t0 = std::chrono::steady_clock::now();
    CMyBitmap b;
    EXPECT_EQ(DecodeJpeg(disk, 180, b), -1) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2)) << c.name;
    EXPECT_FALSE(f.photo.Choose(cp932::FromUtf8(disk))) << c.name;
    EXPECT_EQ(f.photo.Path(), good) << c.name;
    EXPECT_EQ(f.photo.Bitmap().Dib(), shown) << c.name;
    EXPECT_EQ(f.photo.RefreshThumbnail(cp932::FromUtf8(disk), ""), "") << c.name;
  }
  EXPECT_FALSE(f.photo.Choose(cp932::FromUtf8(f.pictures)));  // a folder
  EXPECT_FALSE(fileops::Exists(f.division + "PhotSm"));

  // a record shown with a damaged picture: the box stays empty
  PhotoState other(f.clock, f.counter);
  other.SetDivisionFolder(f.division);
  other.SetBox(true, 100, 100);
  other.ShowPhoto(cp932::FromUtf8(f.pictures + "/cut.jpg"), "");
  EXPECT_EQ(other.Bitmap().Width(), 0);
  EXPECT_FALSE(other.SaveThumbnail());

  // a picture deleted after it was chosen: the thumbnail is made from what was shown
  ASSERT_TRUE(fileops::Remove(f.pictures + "/good.jpg"));
  EXPECT_TRUE(f.photo.SaveThumbnail());
  // keys of 36 or 38 characters delete nothing
  const std::string key = f.photo.PhotoKey();
  EXPECT_FALSE(f.photo.DeleteThumbnail(key.substr(0, 36)));
  EXPECT_FALSE(f.photo.DeleteThumbnail(key + "A"));
  EXPECT_TRUE(fileops::IsFile(f.Thumb(key)));
  EXPECT_TRUE(f.photo.DeleteThumbnail(key));
  EXPECT_FALSE(fileops::IsFile(f.Thumb(key)));
}

TEST(PhotoState, RefreshThumbnailMakesWhatIsMissingOrOutdatedOnly) {
  Photos f;
  const std::string pic = f.Picture("a.jpg", 300, 150);
  EXPECT_EQ(f.photo.RefreshThumbnail("", "x"), "x");
  EXPECT_EQ(f.photo.RefreshThumbnail("/gone.jpg"_sj, "D2026 S0101000000001 20200101000000 A"),
            "D2026 S0101000000001 20200101000000 A");
  const std::string key = f.photo.RefreshThumbnail(pic, "   D");
  ASSERT_EQ(key.size(), 37u);
  EXPECT_EQ(key.back(), 'D');
  CMyBitmap t;
  ASSERT_EQ(t.LoadBmp(f.Thumb(key)), 1);
  EXPECT_EQ(t.Width(), 90);  // turned a quarter left
  // unchanged: the file is left alone
  WriteBytes(f.Thumb(key), ReadBytes(f.Thumb(key)) + "marker");
  EXPECT_EQ(f.photo.RefreshThumbnail(pic, key), key);
  EXPECT_NE(ReadBytes(f.Thumb(key)).find("marker"), std::string::npos);
  // missing: made again under the same name
  ASSERT_TRUE(fileops::Remove(f.Thumb(key)));
  EXPECT_EQ(f.photo.RefreshThumbnail(pic, key), key);
  EXPECT_TRUE(fileops::IsFile(f.Thumb(key)));
  // the picture changed: same name, new time
  SetMtime(f.pictures + "/a.jpg", 1700009999);
  const std::string newer = f.photo.RefreshThumbnail(pic, key);
  EXPECT_EQ(newer.substr(0, 21), key.substr(0, 21));
  EXPECT_NE(newer, key);
}

TEST(PhotoState, TheViewerIsStartedWithThePictureAndItsTurnOrExplainsWhy) {
  Photos f;
  EXPECT_FALSE(f.photo.ViewPhoto(false));
  EXPECT_EQ(f.beeper.Count(), 1);
  EXPECT_FALSE(f.photo.ViewPhoto(true));
  const std::string pic = f.Picture("a.jpg", 40, 20);
  ASSERT_TRUE(f.photo.Choose(pic));
  EXPECT_FALSE(f.photo.ViewPhoto(false));  // no viewer in the program folder yet
  ASSERT_TRUE(fileops::MakeDirs(f.dir / "prog"));
  WriteBytes(f.dir / "prog/jbxview", "#!/bin/sh\n");
  f.photo.Turn(1);
  f.photo.Turn(1);
  f.photo.Turn(1);
  ASSERT_TRUE(f.photo.ViewPhoto(false));
  ASSERT_EQ(f.launcher.started.size(), 1u);
  EXPECT_EQ(f.launcher.started[0].program, f.dir / "prog/jbxview");
  EXPECT_EQ(f.launcher.started[0].args, (std::vector<std::string>{f.pictures + "/a.jpg", "DL"}));
  f.launcher.answer = Launcher::kNoResources;
  EXPECT_FALSE(f.photo.ViewPhoto(false));
  f.launcher.answer = Launcher::kInvalidProgram;
  EXPECT_FALSE(f.photo.ViewPhoto(false));
  f.launcher.answer = Launcher::kFailed;
  EXPECT_FALSE(f.photo.ViewPhoto(false));
  ASSERT_TRUE(fileops::Remove(f.pictures + "/a.jpg"));
  EXPECT_FALSE(f.photo.ViewPhoto(false));
  EXPECT_EQ(f.prompter.ShownUtf8(),
            (std::vector<std::string>{"画像が存在しません。", "画像を表示するソフトが存在しません。",
                                      "メモリが不足しています。", ".EXEファイルが無効です。",
                                      "実行に失敗しました。", "画像ファイルが見つかりません。"}));
}

TEST(Launcher, ReportsWhyAProgramDidNotStart) {
  TempDir dir;
  ProcessLauncher l;
  EXPECT_EQ(l.Start("/bin/true", {}), Launcher::kStarted);
  EXPECT_EQ(l.Start(dir / "missing", {}), Launcher::kInvalidProgram);
  WriteBytes(dir / "plain", "not a program");
  EXPECT_EQ(l.Start(dir / "plain", {}), Launcher::kInvalidProgram);  // not executable
}

namespace {

class OneBookView : public InputViewPort {
 public:
  explicit OneBookView(CMyDB& db) : rec_(&db) {}
  int NextSerial(const std::string&, const std::string&) override { return ++serial; }
  int SavePeriod(const std::string&) override { return 0; }
  void ReloadView() override {
    ASSERT_EQ(0, rec_.SetSort("キー項目,行連番"_sj, false));
    ASSERT_GE(rec_.Select({}), 0);
  }
  int FindRecord(const std::string& key, const std::string& s) override {
    return rec_.Find(("キー項目='"_sj + key + "' and 行連番='"_sj + s + "'").c_str(), 0, true);
  }
  int RecordRow(int i) override { return i >= 0 && i < rec_.Count() ? rec_.Items()[i] : -1; }
  void MoveCursorTo(int) override {}
  int StepRecord(int, int) override { return -1; }
  std::string DefaultKey() override { return {}; }
  int serial = 0;

 private:
  CMyRec rec_;
};

}  // namespace

TEST(PhotoState, TheFormStoresThePathAndKeyAndKeepsOneThumbnailPerRecord) {
  Photos f;
  CMyDB db;
  ASSERT_EQ(0, DefineMemoSchema(db));
  OneBookView view(db);
  CMyInput in(db, f.prompter, f.clock, view);
  jsc::InputDef def;
  def.header.formWidth = 400;
  def.header.inputHeight = 300;
  jsc::Control memo;
  memo.kind = jsc::kMemo;
  memo.field = memo.alias = "MEM001";
  memo.width = memo.height = 100;
  jsc::Control box;
  box.kind = jsc::kPhoto;
  box.field = box.alias = "IMG001";
  box.left = 120;
  box.width = box.height = 100;
  def.controls = {memo, box};
  def.header.controlCount = 2;
  ASSERT_TRUE(in.BuildForm(def));
  in.SetPhotoState(&f.photo);
  in.ShowRecord({}, -1);
  in.SetDateText("2026/03/14");
  ASSERT_TRUE(in.LeaveDateBox());
  const std::string first = f.Picture("a.jpg", 200, 100);
  ASSERT_TRUE(in.ChoosePhoto(first));
  ASSERT_TRUE(in.TurnPhoto(1));
  EXPECT_TRUE(in.Modified());
  ASSERT_TRUE(in.SaveRecord());
  const std::string key1 = db.Value(memo::kIms001, 0);
  EXPECT_EQ(db.Value(memo::kImg001, 0), first);
  ASSERT_EQ(key1.size(), 37u);
  EXPECT_EQ(key1.back(), 'B');
  EXPECT_TRUE(fileops::IsFile(f.Thumb(key1)));

  // another picture: the old thumbnail goes once the record is saved
  in.ShowRecord({}, 0);
  EXPECT_EQ(f.photo.Shown(), 'B');
  ASSERT_TRUE(in.ChoosePhoto(f.Picture("b.jpg", 50, 100)));
  EXPECT_TRUE(fileops::IsFile(f.Thumb(key1)));
  ASSERT_TRUE(in.SaveRecord());
  const std::string key2 = db.Value(memo::kIms001, 0);
  EXPECT_NE(key2, key1);
  EXPECT_FALSE(fileops::IsFile(f.Thumb(key1)));
  EXPECT_TRUE(fileops::IsFile(f.Thumb(key2)));

  // discarded: path, key and thumbnail go
  in.ShowRecord({}, 0);
  in.SetValue(0, "memo"_sj);
  in.DiscardPhoto();
  ASSERT_TRUE(in.SaveRecord());
  EXPECT_STREQ(db.Value(memo::kImg001, 0), "");
  EXPECT_STREQ(db.Value(memo::kIms001, 0), "");
  EXPECT_FALSE(fileops::IsFile(f.Thumb(key2)));

  // deleting a record deletes its thumbnail
  in.ShowRecord({}, 0);
  ASSERT_TRUE(in.ChoosePhoto(first));
  ASSERT_TRUE(in.SaveRecord());
  const std::string key3 = db.Value(memo::kIms001, 0);
  ASSERT_TRUE(fileops::IsFile(f.Thumb(key3)));
  in.ShowRecord({}, 0);
  ASSERT_TRUE(in.DeleteRecord(false));
  EXPECT_FALSE(fileops::IsFile(f.Thumb(key3)));
}

TEST(Viewer, TurnCodesAndZoomSteps) {
  EXPECT_EQ(viewer::TurnOf("DT"), 0);
  EXPECT_EQ(viewer::TurnOf("DR"), 90);
  EXPECT_EQ(viewer::TurnOf("DB"), 180);
  EXPECT_EQ(viewer::TurnOf("DL"), 270);
  EXPECT_EQ(viewer::TurnOf("D"), -1);
  EXPECT_EQ(viewer::TurnOf("dr"), -1);
  viewer::Zoom z;
  z.Fit(4000, 3000, 1000, 1000);  // fitted: the longer side decides
  EXPECT_DOUBLE_EQ(z.Factor(), 0.25);
  EXPECT_EQ(z.Height(3000), 750);
  z.Fit(100, 50, 1000, 1000);  // a small picture is never enlarged to fit
  EXPECT_DOUBLE_EQ(z.Factor(), 1.0);
  z.In();
  EXPECT_DOUBLE_EQ(z.Factor(), 1.25);
  EXPECT_FALSE(z.Fitted());
  for (int i = 0; i < 100; ++i) z.In();
  EXPECT_DOUBLE_EQ(z.Factor(), viewer::Zoom::kMax);
  for (int i = 0; i < 100; ++i) z.Out();
  EXPECT_DOUBLE_EQ(z.Factor(), viewer::Zoom::kMin);
  z.Actual();
  EXPECT_DOUBLE_EQ(z.Factor(), 1.0);
}
