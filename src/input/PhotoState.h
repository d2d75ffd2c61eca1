// The picture of a record: its path (CP932, as the record keeps it), its
// thumbnail key ("IMS001"), the small bitmap the input form's photo box
// shows and turns, and the thumbnail files under "PhotSm" of the division
// folder. The form, the sheet's editing commands and jbx all go through it.
#pragma once
#include <string>

#include "screens/CMyBitmap.h"
#include "screens/PhotoKey.h"

class Beeper;
class Canvas;
class Clock;
class Launcher;
class Prompter;

// The main view's running number: keeps thumbnail names made within the
// same second apart.
class PhotoCounter {
 public:
  int Next() {
    n_ = n_ % 999 + 1;
    return n_;
  }

 private:
  int n_ = 0;
};

class PhotoState {
 public:
  PhotoState(const Clock& clock, PhotoCounter& counter);

  // The division folder (UTF-8) that holds "PhotSm".
  void SetDivisionFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    folder_ = std::move(folder);
  }
  const std::string& DivisionFolder() const { return folder_; }
  // The photo box: whether the form has one, and its size in pixels.
  void SetBox(bool shown, int width, int height);
  // The box size used when a picture is read only to start the viewer.
  static constexpr int kViewerProbe = 160;
  bool BoxShown() const { return boxShown_; }
  // What the viewer needs: its folder, and how it is started.
  void SetViewer(std::string programFolder, Launcher* launcher, Prompter* prompter, Beeper* beeper);

  // Takes the key's parts and completes the missing ones. 1 the picture
  // does not exist (or is not a file); 0 nothing changed; 2 something
  // changed and a key was given; 3 something changed and no key was given.
  int CheckPhoto(const std::string& path, const std::string& key);
  // Loads the thumbnail or converts the picture, turns and fits it to the
  // box. A picture that is missing or cannot be converted leaves the box empty.
  void ShowPhoto(const std::string& path, const std::string& key);
  // The key the record gets: all four parts, or "".
  std::string PhotoKey() const;
  // Writes the thumbnail of the picture shown, turned as shown. False when
  // nothing was written.
  bool SaveThumbnail();
  // Deletes the thumbnail of a 37-character key; false when there was none.
  bool DeleteThumbnail(const std::string& key) const;
  // Makes or remakes the thumbnail of a record outside the form; returns the
  // completed key ("" when the picture cannot be converted; the key as given
  // when the picture is missing).
  std::string RefreshThumbnail(const std::string& path, const std::string& key);

  // ---- the form's commands ----
  // A picture chosen in the file dialog (CP932 path): the old thumbnail is
  // deleted when the record is saved; the first orientation is the one the
  // picture's EXIF data gives. False, with everything as it was, when the
  // path is no picture that can be shown.
  bool Choose(const std::string& path);
  // A quarter turn right (+1) or left (-1). False (nothing done) without a
  // picture, an orientation or a bitmap.
  bool Turn(int direction);
  // Forgets the picture; its thumbnail is deleted when the record is saved.
  void Discard();
  // Deletes the thumbnails that choosing or discarding left behind (after
  // the record was written).
  void DeletePending();
  // Nothing shown, nothing pending.
  void Clear();
  // Starts the viewer on the picture. `fromSheet` says who asked (only the
  // sheet explains a missing picture). False when it did not start.
  bool ViewPhoto(bool fromSheet);

  const std::string& Path() const { return path_; }
  char Shown() const { return shown_; }
  char AtShowing() const { return atShow_; }
  const photo::KeyParts& Parts() const { return parts_; }
  const CMyBitmap& Bitmap() const { return bmp_; }
  // The picture centred in a box of w x h pixels.
  void Paint(Canvas& c, int w, int h) const;

 private:
  void Fit();
  bool MakeFolders() const;

  const Clock& clock_;
  PhotoCounter& counter_;
  std::string folder_;
  bool boxShown_ = false;
  int boxW_ = 0, boxH_ = 0;
  std::string program_;
  Launcher* launcher_ = nullptr;
  Prompter* prompter_ = nullptr;
  Beeper* beeper_ = nullptr;

  std::string path_;  // CP932
  photo::KeyParts parts_;
  char shown_ = 'A';
  char atShow_ = 'A';
  CMyBitmap base_;       // the picture as loaded, in orientation atShow_
  CMyBitmap bmp_;        // as shown: turned and fitted to the box
  std::string pending_;  // thumbnail key to delete once the record is saved
};
