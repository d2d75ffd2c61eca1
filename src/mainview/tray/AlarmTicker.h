// The main window's one-second tick (Timer1Timer): the alarm due this minute
// is told by the tray icon, the sound, a desktop notification and a message
// box as the settings say; the icon blinks on; a new day refreshes the list's
// today and the tray. Alarms whose minute went by while nothing ticked (the
// program was not running, the machine slept, the clock jumped) are listed
// once and switched off. A change to the list is written to "alarm.dat" at
// the next tick, so a crash loses no alarm.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "alarm/CMyAlarm.h"

class CMyGlobal;
class Prompter;
class SoundPlayer;
class Notifier;
class TrayModel;

// What the tick asks of the window.
class AlarmTickPort {
 public:
  virtual ~AlarmTickPort() = default;
  // A passing note in the status bar (CP932).
  virtual void Note(const std::string& text) = 0;
  // The missed alarms, one line each (CP932), in one list the user closes.
  virtual void ShowMissed(const std::vector<std::string>& lines) = 0;
  // Today is another day: caption and window icon.
  virtual void DateChanged(CivilDate today) = 0;
};

class AlarmTicker {
 public:
  // How far back a start-up looks for alarms that went by.
  static constexpr long long kMissedWindow = 7 * 1440;

  AlarmTicker(CMyAlarm& alarm, CMyGlobal& settings, const Clock& clock, Prompter& prompter,
              SoundPlayer& sound, Notifier& notifier, TrayModel& tray, AlarmTickPort& port);

  void Timer1Timer();

  // "1時間5分" / "3日2時間" / "4分": how long ago `minutes` is.
  static std::string Lateness(long long minutes);
  // A line of the missed list: "yyyy/mm/dd hh:mm  message  （late遅れ）".
  static std::string MissedLine(const AlarmEntry& e, long long now);
  // How the boxes are opened: at once (the default), or, in the window, from
  // the event loop after the tick has returned, since a timer whose handler
  // still runs (in a box's own loop) does not fire again.
  void SetLater(std::function<void(std::function<void()>)> later) { later_ = std::move(later); }
  // Where the list is written between ticks (default: the user's "alarm.dat").
  void SetSavePath(std::function<std::string()> path) { savePath_ = std::move(path); }

 private:
  void SaveIfChanged();

  CMyAlarm& alarm_;
  CMyGlobal& g_;
  const Clock& clock_;
  Prompter& prompter_;
  SoundPlayer& sound_;
  Notifier& notifier_;
  TrayModel& tray_;
  AlarmTickPort& port_;
  std::function<std::string()> savePath_;
  std::function<void(std::function<void()>)> later_;
  long long lastMinute_ = -1;  // the minute of the last tick
  int loadsSeen_ = -1;         // the list read last (a new user's list is a new start)
  int lastDay_ = 0;            // yyyymmdd of the day the ticks are in
  bool saveFailed_ = false;    // told once until a save works again
};
