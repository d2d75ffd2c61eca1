#include "input/PhotoState.h"

#include <cstdio>

#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "screens/JpegToBitmap.h"

namespace {

// The picture is there and is a file (a folder or a device is no picture).
bool PictureExists(const std::string& disk) { return !disk.empty() && fileops::IsFile(disk); }

int Clockwise(int degrees) { return ((degrees % 360) + 360) % 360; }

}  // namespace

PhotoState::PhotoState(const Clock& clock, PhotoCounter& counter) : clock_(clock), counter_(counter) {}

void PhotoState::SetBox(bool shown, int width, int height) {
  boxShown_ = shown;
  boxW_ = width > 0 ? width : 0;
  boxH_ = height > 0 ? height : 0;
}

void PhotoState::SetViewer(std::string programFolder, Launcher* launcher, Prompter* prompter,
                           Beeper* beeper) {
  program_ = std::move(programFolder);
  launcher_ = launcher;
  prompter_ = prompter;
  beeper_ = beeper;
}

namespace {

// Completes the parts of a key for `disk`; the result as CheckPhoto gives it.
int Complete(const Clock& clock, PhotoCounter& counter, const std::string& folder, const std::string& disk,
             const std::string& key, photo::KeyParts& p, char firstTurn) {
  p = photo::SplitKey(key);
  bool changed = false;
  const CivilDate d = clock.Today();
  const TimeOfDay t = clock.Now();
  char buf[32];
  if (p.folder.empty()) {
    std::snprintf(buf, sizeof buf, "D%04d", d.year % 10000);
    p.folder = buf;
  }
  if (p.name.empty()) {
    // a name already taken (another run in the same second) is skipped, so
    // no thumbnail of another record is ever written over
    for (int tries = 0; tries < 999; ++tries) {
      std::snprintf(buf, sizeof buf, "S%02d%02d%02d%02d%02d%03d", d.month % 100, d.day % 100, t.hour % 100,
                    t.minute % 100, t.second % 100, counter.Next());
      p.name = buf;
      if (folder.empty() || !fileops::Exists(folder + "PhotSm/" + p.folder + "/" + p.name + ".bmp")) break;
    }
    changed = true;
  }
  if (p.stamp.empty()) changed = true;
  if (p.turn.empty()) p.turn = std::string(1, firstTurn ? firstTurn : photo::ExifTurn(disk));
  if (!PictureExists(disk)) return 1;
  const std::string stamp = photo::FileStamp(disk);
  if (stamp != p.stamp) {
    p.stamp = stamp;
    changed = true;
  }
  if (!changed) return 0;
  return key.empty() ? 3 : 2;
}

}  // namespace

int PhotoState::CheckPhoto(const std::string& path, const std::string& key) {
  return Complete(clock_, counter_, folder_, photo::DiskPath(path), key, parts_, 0);
}

void PhotoState::ShowPhoto(const std::string& path, const std::string& key) {
  if (!boxShown_) return;
  bmp_.Clear();
  base_.Clear();
  path_ = path;
  parts_ = photo::SplitKey(key);
  shown_ = atShow_ = 'A';
  if (path.empty()) return;
  const std::string disk = photo::DiskPath(path);
  const int rc = CheckPhoto(path, key);
  if (rc == 1) return;
  const std::string thumb = photo::ThumbnailPath(folder_, photo::JoinKey(parts_));
  bool fromThumb = false;
  if (rc == 0 && !thumb.empty() && fileops::IsFile(thumb)) fromThumb = base_.LoadBmp(thumb) == 1;
  shown_ = parts_.turn.empty() ? 'A' : parts_.turn[0];
  if (fromThumb) {
    atShow_ = shown_;  // a thumbnail is kept turned
  } else {
    if (DecodeJpeg(disk, photo::kThumbnailSide, base_) != 0) {
      base_.Clear();
      path_.clear();
      parts_.name.clear();
      return;
    }
    atShow_ = 'A';  // a fresh conversion is as taken, whatever the key says
  }
  bmp_ = base_;
  bmp_.Rotate(Clockwise(photo::TurnAngle(shown_) - photo::TurnAngle(atShow_)));
  Fit();
}

void PhotoState::Fit() {
  if (bmp_.Width() == 0 || boxW_ == 0 || boxH_ == 0) return;
  bmp_.FitToBox(boxW_, boxH_, true, false);
}

std::string PhotoState::PhotoKey() const {
  if (path_.empty()) return {};
  return photo::JoinKey(parts_);
}

bool PhotoState::MakeFolders() const {
  if (folder_.empty() || parts_.folder.empty()) return false;
  return fileops::MakeDirs(folder_ + "PhotSm/" + parts_.folder);
}

bool PhotoState::SaveThumbnail() {
  if (!boxShown_ || path_.empty() || parts_.name.empty() || base_.Width() == 0) return false;
  const std::string thumb = photo::ThumbnailPath(folder_, PhotoKey());
  if (thumb.empty() || !MakeFolders()) return false;
  CMyBitmap out = base_;
  out.DropSource();
  out.Rotate(Clockwise(photo::TurnAngle(shown_) - photo::TurnAngle(atShow_)));
  return out.SaveBmp(thumb) == 1;
}

bool PhotoState::DeleteThumbnail(const std::string& key) const {
  const std::string thumb = photo::ThumbnailPath(folder_, key);
  if (thumb.empty() || !fileops::IsFile(thumb)) return false;
  return fileops::Remove(thumb);
}

std::string PhotoState::RefreshThumbnail(const std::string& path, const std::string& key) {
  if (path.empty()) return key;
  const std::string disk = photo::DiskPath(path);
  photo::KeyParts p;
  const int rc = Complete(clock_, counter_, folder_, disk, key, p, 0);
  if (rc == 1) return key;
  const std::string full = photo::JoinKey(p);
  const std::string thumb = photo::ThumbnailPath(folder_, full);
  if (thumb.empty()) return {};
  if (rc == 0 && fileops::IsFile(thumb)) return full;
  // decoded first: a picture that cannot be read leaves no empty folders behind
  CMyBitmap bmp;
  if (DecodeJpeg(disk, photo::kThumbnailSide, bmp) != 0) return {};
  if (folder_.empty() || !fileops::MakeDirs(folder_ + "PhotSm/" + p.folder)) return {};
  bmp.Rotate(photo::TurnAngle(p.turn[0]));
  if (bmp.SaveBmp(thumb) != 1) return {};
  return full;
}

bool PhotoState::Choose(const std::string& path) {
  // a folder, a missing file or a picture that cannot be read changes nothing
  const std::string keepPath = path_, keepPending = pending_;
  const photo::KeyParts keepParts = parts_;
  const char keepShown = shown_, keepAt = atShow_;
  const CMyBitmap keepBase = base_, keepBmp = bmp_;
  const std::string old = PhotoKey();
  if (pending_.empty() && old.size() == photo::kKeyLength) pending_ = old;
  ShowPhoto(path, parts_.folder + "   " + photo::ExifTurn(photo::DiskPath(path)));
  if (bmp_.Width() > 0) return true;
  path_ = keepPath;
  pending_ = keepPending;
  parts_ = keepParts;
  shown_ = keepShown;
  atShow_ = keepAt;
  base_ = keepBase;
  bmp_ = keepBmp;
  return false;
}

bool PhotoState::Turn(int direction) {
  if (path_.empty() || parts_.turn.empty() || bmp_.Width() == 0) return false;
  shown_ = direction >= 0 ? photo::TurnRight(shown_) : photo::TurnLeft(shown_);
  parts_.turn = std::string(1, shown_);
  bmp_.Rotate(direction >= 0 ? 90 : 270);
  Fit();
  return true;
}

void PhotoState::Discard() {
  const std::string old = PhotoKey();
  if (pending_.empty() && old.size() == photo::kKeyLength) pending_ = old;
  path_.clear();
  parts_.name.clear();
  bmp_.Clear();
  base_.Clear();
}

void PhotoState::DeletePending() {
  if (!pending_.empty() && pending_ != PhotoKey()) (void)DeleteThumbnail(pending_);
  pending_.clear();
}

void PhotoState::Clear() {
  path_.clear();
  parts_ = {};
  shown_ = atShow_ = 'A';
  bmp_.Clear();
  base_.Clear();
  pending_.clear();
}

bool PhotoState::ViewPhoto(bool fromSheet) {
  auto warn = [this](const char* utf8) {
    if (prompter_) prompter_->Warn(cp932::FromUtf8(utf8));
    return false;
  };
  if (path_.empty()) {
    if (fromSheet) return warn("画像が存在しません。");
    if (beeper_) beeper_->Beep();
    return false;
  }
  const std::string disk = photo::DiskPath(path_);
  if (!PictureExists(disk)) return warn("画像ファイルが見つかりません。");
  const std::string viewer = program_ + "jbxview";
  if (program_.empty() || !fileops::IsFile(viewer) || !launcher_)
    return warn("画像を表示するソフトが存在しません。");
  static const char kCodes[] = "TRBL";
  const int angle = photo::TurnAngle(shown_);
  const std::string code = std::string("D") + kCodes[angle < 0 ? 0 : angle / 90];
  switch (launcher_->Start(viewer, {disk, code})) {
    case Launcher::kStarted:
      return true;
    case Launcher::kNoResources:
      return warn("メモリが不足しています。");
    case Launcher::kInvalidProgram:
      return warn(".EXEファイルが無効です。");
    default:
      return warn("実行に失敗しました。");
  }
}

void PhotoState::Paint(Canvas& c, int w, int h) const {
  if (bmp_.Width() == 0 || bmp_.Height() == 0) return;
  const int x = w > bmp_.Width() ? (w - bmp_.Width()) / 2 : 0;
  const int y = h > bmp_.Height() ? (h - bmp_.Height()) / 2 : 0;
  bmp_.Draw(c, x, y, bmp_.Width(), bmp_.Height());
}
