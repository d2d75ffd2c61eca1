// The notification settings of the alarms (section ALARM of the settings)
// as the settings dialog edits them, and the checks of its OK button.
#pragma once
#include <string>

class CMyGlobal;

struct AlarmSettings {
  bool onMsg = true;      // ONMSG: a message box
  bool onTask = true;     // ONTASK: the tray icon
  bool taskAnime = true;  // ONTASK_ANIME: the tray icon blinks
  bool onSound = false;   // ONSOUND
  std::string soundPath;  // ONSOUND_PATH (CP932)
  std::string timeFrom;   // TIME_F, one character
  std::string timeTo;     // TIME_T, one character

  static AlarmSettings From(const CMyGlobal& g);
  // Stores the flags, the path and the first character of each mark.
  void To(CMyGlobal& g) const;
};

namespace alarmsettings {
// Which box a refusal belongs to, so the dialog can focus it.
enum Box { kNone, kChecks, kTimeFrom, kTimeTo, kSoundPath };
// The OK checks in their order: the message of the first that fails
// (CP932, caption "注意"), empty when all pass; `box` is where it points.
std::string Check(const AlarmSettings& s, Box& box);
// The first character of a text (one or two CP932 bytes); empty for empty.
std::string FirstChar(const std::string& text);
}  // namespace alarmsettings
