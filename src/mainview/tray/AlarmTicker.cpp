#include "mainview/tray/AlarmTicker.h"

#include <algorithm>
#include <cstdio>

#include "mainview/tray/TrayModel.h"
#include "platform/Cp932.h"
#include "platform/Notifier.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "shell/CMyGlobal.h"

AlarmTicker::AlarmTicker(CMyAlarm& alarm, CMyGlobal& settings, const Clock& clock, Prompter& prompter,
                         SoundPlayer& sound, Notifier& notifier, TrayModel& tray, AlarmTickPort& port)
    : alarm_(alarm),
      g_(settings),
      clock_(clock),
      prompter_(prompter),
      sound_(sound),
      notifier_(notifier),
      tray_(tray),
      port_(port),
      savePath_([this] { return g_.UserPath("alarm.dat"); }),
      lastDay_(clock.Today().Ymd()) {}

std::string AlarmTicker::Lateness(long long m) {
  char buf[48];
  if (m < 60)
    std::snprintf(buf, sizeof buf, "%lld分", m);
  else if (m < 1440)
    std::snprintf(buf, sizeof buf, "%lld時間%lld分", m / 60, m % 60);
  else
    std::snprintf(buf, sizeof buf, "%lld日%lld時間", m / 1440, m % 1440 / 60);
  return cp932::FromUtf8(buf);
}

std::string AlarmTicker::MissedLine(const AlarmEntry& e, long long now) {
  return e.date + " " + e.time + "  " + e.message + "  （"_sj + Lateness(now - CMyAlarm::MinuteOf(e)) +
         "遅れ）"_sj;
}

void AlarmTicker::Timer1Timer() {
  const CivilDate today = clock_.Today();
  const long long now = CMyAlarm::MinuteOf(today, clock_.Now());

  // Minutes nobody looked at: everything before now at start-up (or when
  // another user's list came in), the skipped ones after a jump of the
  // clock. This minute itself is still the due check's.
  long long from = now;
  if (alarm_.Loads() != loadsSeen_) {
    loadsSeen_ = alarm_.Loads();
    from = now - kMissedWindow;
  } else if (lastMinute_ >= 0 && now - lastMinute_ >= 2) {
    from = std::max(lastMinute_ + 1, now - kMissedWindow);
  }
  lastMinute_ = now;
  std::vector<AlarmEntry> missed;
  if (from < now) missed = alarm_.TakeMissed(from, now);

  // the alarm of this minute
  const int i = alarm_.CheckDue(false);
  AlarmEntry due;
  if (i >= 0) {
    due = alarm_.Item(i);
    if (g_.alarmTask) tray_.AnimateTrayIcon(true);
    if (g_.alarmSound) {
      std::string why;
      if (!sound_.Play(cp932::ToUtf8(g_.alarmSoundPath), why)) port_.Note(why);
    }
    notifier_.Notify("お知らせ("_sj + due.time + ")", due.message);
  } else if (tray_.Frame() != -1 && g_.alarmTaskAnime) {
    tray_.AnimateTrayIcon(true);
  }

  // a new day
  if (today.Ymd() != lastDay_) {
    lastDay_ = today.Ymd();
    alarm_.RefreshToday();
    port_.DateChanged(today);
    tray_.DateChanged();
  }

  SaveIfChanged();

  // The boxes come last: further ticks run while they are open, and find
  // this one's work done.
  auto open = [this](std::function<void()> box) {
    if (later_)
      later_(std::move(box));
    else
      box();
  };
  if (!missed.empty()) {
    std::vector<std::string> lines;
    std::string body;
    for (const AlarmEntry& e : missed) {
      lines.push_back(MissedLine(e, now));
      if (!body.empty()) body += "\n";
      body += lines.back();
    }
    notifier_.Notify("お知らせ（見逃したアラーム）"_sj, body);
    open([this, lines] { port_.ShowMissed(lines); });
  }
  if (i >= 0 && g_.alarmMsg) {
    open([this, due] {
      prompter_.Show(due.message, "お知らせ("_sj + due.time + ")", PromptIcon::Information,
                     PromptButtons::Ok);
    });
  }
}

void AlarmTicker::SaveIfChanged() {
  if (!alarm_.Unsaved() || !savePath_) return;
  if (alarm_.Save(savePath_())) {
    saveFailed_ = false;
    return;
  }
  if (!saveFailed_) port_.Note("アラームを保存できませんでした。"_sj);
  saveFailed_ = true;
}
