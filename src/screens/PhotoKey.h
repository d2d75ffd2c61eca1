// Thumbnail keys ("IMS001") and picture paths of records, shared by the
// screen model (pictures on the sheet) and the input form's photo state.
//
// A thumbnail key is four parts separated by single spaces, 37 characters:
//   "D" + year                      sub-folder of "PhotSm"
//   "S" + mmddhhnnss + counter(3)   file name without ".bmp"
//   yyyymmddhhnnss                  the picture's last-write time when made
//   "A".."D"                        orientation: as taken, 90, 180, 270 degrees clockwise
#pragma once
#include <string>

namespace photo {

constexpr size_t kKeyLength = 37;
constexpr int kThumbnailSide = 180;

struct KeyParts {
  std::string folder;  // "Dyyyy"
  std::string name;    // "Smmddhhnnss" + "%03d"
  std::string stamp;   // "yyyymmddhhnnss"
  std::string turn;    // "A".."D"
};

// The parts of a key; a part that does not have its form is empty, so a
// key can never name a file outside "PhotSm/Dyyyy".
KeyParts SplitKey(const std::string& key);
// "%s %s %s %s" when every part is present, else "".
std::string JoinKey(const KeyParts& parts);
// The thumbnail of a key of exactly 37 well-formed characters inside
// `divisionFolder` (UTF-8, ending with "/"); "" for anything else.
std::string ThumbnailPath(const std::string& divisionFolder, const std::string& key);
// Degrees clockwise of an orientation letter (A 0, B 90, C 180, D 270), -1 none.
int TurnAngle(char letter);
char TurnRight(char letter);
char TurnLeft(char letter);
// A record's picture path (CP932) as the file system names it (UTF-8); ""
// when it holds bytes that are not CP932.
std::string DiskPath(const std::string& sjPath);
// A path that does not depend on the working folder.
bool IsFullPath(const std::string& path);
// The orientation letter the picture's EXIF data asks for ("A" when it has none).
char ExifTurn(const std::string& diskPath);
// The file's last-write time as "yyyymmddhhnnss" (local time), "" when missing.
std::string FileStamp(const std::string& diskPath);

}  // namespace photo
