#include "screens/PhotoKey.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "platform/Cp932.h"
#include "screens/JpegToBitmap.h"

namespace photo {

namespace {

bool AllDigits(const std::string& s, size_t from) {
  if (s.size() <= from) return false;
  for (size_t i = from; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

bool GoodFolder(const std::string& p) { return p.size() == 5 && p[0] == 'D' && AllDigits(p, 1); }
bool GoodName(const std::string& p) { return p.size() == 14 && p[0] == 'S' && AllDigits(p, 1); }
bool GoodStamp(const std::string& p) { return p.size() == 14 && AllDigits(p, 0); }
bool GoodTurn(const std::string& p) { return p.size() == 1 && p[0] >= 'A' && p[0] <= 'D'; }

}  // namespace

KeyParts SplitKey(const std::string& key) {
  std::string raw[4];
  size_t i = 0;
  for (int k = 0; k < 4 && i <= key.size(); ++k) {
    size_t j = key.find(' ', i);
    if (j == std::string::npos || k == 3) j = key.size();
    raw[k] = key.substr(i, j - i);
    i = j + 1;
  }
  KeyParts p;
  if (GoodFolder(raw[0])) p.folder = raw[0];
  if (GoodName(raw[1])) p.name = raw[1];
  if (GoodStamp(raw[2])) p.stamp = raw[2];
  if (GoodTurn(raw[3])) p.turn = raw[3];
  return p;
}

std::string JoinKey(const KeyParts& p) {
  if (p.folder.empty() || p.name.empty() || p.stamp.empty() || p.turn.empty()) return {};
  return p.folder + " " + p.name + " " + p.stamp + " " + p.turn;
}

std::string ThumbnailPath(const std::string& divisionFolder, const std::string& key) {
  if (key.size() != kKeyLength || divisionFolder.empty()) return {};
  const KeyParts p = SplitKey(key);
  if (JoinKey(p) != key) return {};
  return divisionFolder + "PhotSm/" + p.folder + "/" + p.name + ".bmp";
}

int TurnAngle(char letter) {
  if (letter < 'A' || letter > 'D') return -1;
  return (letter - 'A') * 90;
}

char TurnRight(char letter) { return letter >= 'A' && letter < 'D' ? static_cast<char>(letter + 1) : 'A'; }
char TurnLeft(char letter) { return letter > 'A' && letter <= 'D' ? static_cast<char>(letter - 1) : 'D'; }

bool IsFullPath(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string DiskPath(const std::string& sjPath) {
  if (!cp932::IsValid(sjPath)) return {};
  std::string utf8;
  if (cp932::ToUtf8(sjPath, utf8) != 0 || !IsFullPath(utf8)) return {};
  return utf8;
}

char ExifTurn(const std::string& diskPath) {
  switch (JpegOrientation(diskPath)) {
    case 6:  // the camera was held turned left: show it a quarter turn clockwise
    case 5:
      return 'B';
    case 3:
    case 4:
      return 'C';
    case 8:
    case 7:
      return 'D';
    default:
      return 'A';
  }
}

std::string FileStamp(const std::string& diskPath) {
  struct stat st {};
  if (diskPath.empty() || ::stat(diskPath.c_str(), &st) != 0) return {};
  std::tm tm{};
  const std::time_t t = st.st_mtime;
  if (!::localtime_r(&t, &tm)) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", (tm.tm_year + 1900) % 10000, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

}  // namespace photo
