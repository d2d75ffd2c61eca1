#include "alarm/AlarmSettings.h"

#include "platform/Cp932.h"
#include "platform/SoundPlayer.h"
#include "shell/CMyGlobal.h"

AlarmSettings AlarmSettings::From(const CMyGlobal& g) {
  AlarmSettings s;
  s.onMsg = g.alarmMsg;
  s.onTask = g.alarmTask;
  s.taskAnime = g.alarmTaskAnime;
  s.onSound = g.alarmSound;
  s.soundPath = g.alarmSoundPath;
  s.timeFrom = g.timeF;
  s.timeTo = g.timeT;
  return s;
}

void AlarmSettings::To(CMyGlobal& g) const {
  g.alarmMsg = onMsg;
  g.alarmTask = onTask;
  g.alarmTaskAnime = taskAnime;
  g.alarmSound = onSound;
  g.alarmSoundPath = soundPath;
  g.timeF = alarmsettings::FirstChar(timeFrom);
  g.timeT = alarmsettings::FirstChar(timeTo);
}

namespace alarmsettings {

std::string FirstChar(const std::string& text) {
  if (text.empty()) return {};
  return text.substr(0, cp932::IsLead(text[0]) && text.size() > 1 ? 2 : 1);
}

std::string Check(const AlarmSettings& s, Box& box) {
  box = kNone;
  if (!s.onMsg && !s.onTask && !s.onSound) {
    box = kChecks;
    return "アラームの知らせる方法をどれか一つは選択して下さい。"_sj;
  }
  if (s.timeFrom.empty()) {
    box = kTimeFrom;
    return "時間囲み文字の最初を入力して下さい。"_sj;
  }
  if (s.timeTo.empty()) {
    box = kTimeTo;
    return "時間囲み文字の後ろを入力して下さい。"_sj;
  }
  if (s.onSound && s.soundPath.empty()) {
    box = kSoundPath;
    return "サウンドファイルを入力して下さい。"_sj;
  }
  if (s.onSound && s.soundPath.size() >= static_cast<size_t>(CMyGlobal::kMaxPath)) {
    // a longer path would be dropped when the settings are read again
    box = kSoundPath;
    return "サウンドファイルのパスが長すぎます。"_sj;
  }
  if (s.onSound) {
    // a folder or a file of another kind would only ever stay silent
    const wavfile::Check c = wavfile::Inspect(cp932::ToUtf8(s.soundPath));
    if (c != wavfile::kWav) {
      box = kSoundPath;
      return wavfile::Why(c) + "。"_sj;
    }
  }
  return {};
}

}  // namespace alarmsettings
