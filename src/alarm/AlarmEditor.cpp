#include "alarm/AlarmEditor.h"

#include "alarm/CMyAlarm.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CMyPublic.h"

std::vector<std::string> AlarmEditor::Lines() const {
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(alarms_.Count()));
  for (const AlarmEntry& e : alarms_.Entries()) out.push_back(CMyAlarm::ListLine(e));
  return out;
}

bool AlarmEditor::Edit(int index, AlarmFields& out) {
  if (index < 0) {
    beeper_.Beep();
    return false;
  }
  if (index >= alarms_.Count()) {
    prompter_.Warn("該当データが見付かりません。"_sj);
    return false;
  }
  const AlarmEntry& e = alarms_.Item(index);
  out = {e.date, e.time, e.message};
  editing_ = index;
  return true;
}

bool AlarmEditor::EditingArmed() const {
  return editing_ >= 0 && editing_ < alarms_.Count() && alarms_.Item(editing_).state == 1;
}

bool AlarmEditor::LeaveDate(std::string& text) const {
  if (text.empty()) return true;
  const std::string d = CMyPublic(clock_).FormatDate(text, false);
  if (d.empty()) {
    prompter_.Warn("不正な日付です。"_sj);
    return false;
  }
  text = d;
  return true;
}

bool AlarmEditor::LeaveTime(std::string& text) const {
  if (text.empty()) return true;
  if (!CMyPublic::IsTime(text, true)) {
    prompter_.Warn("不正な時間です。"_sj);
    return false;
  }
  text = CMyPublic::NormalizeTime(text);
  return true;
}

bool AlarmEditor::Commit(Mode mode, AlarmFields f) {
  if (mode != kInsert) {
    if (editing_ < 0) {
      prompter_.Warn("更新の場合、対象データを選択して下さい。(E080915)"_sj);
      return false;
    }
    if (editing_ >= alarms_.Count()) {
      prompter_.Warn("更新データが不正です。(E080915)"_sj);
      return false;
    }
  }
  if (f.date.empty()) return prompter_.Warn("年月日を入力して下さい。"_sj), false;
  if (f.time.empty()) return prompter_.Warn("時間を入力して下さい。"_sj), false;
  if (f.message.empty()) return prompter_.Warn("件名を入力して下さい。"_sj), false;
  // a button pressed straight from a box it did not leave: the same checks
  if (!LeaveDate(f.date) || !LeaveTime(f.time)) return false;
  // the list keeps the first line of at most 120 bytes, as Add does
  if (f.message.size() > static_cast<size_t>(kMaxMessage))
    f.message.resize(cp932::CharStart(f.message, kMaxMessage));

  if (mode == kInsert) {
    alarms_.Add(f.date, "0", f.time, f.message, 0, 1);
  } else {
    const AlarmEntry e = alarms_.Item(editing_);
    int state = e.state;
    if (mode == kOnOff) {
      state = e.state == 1 ? 0 : 1;
    } else if (f.date != e.date || f.time != e.time) {
      // a new moment is a new alarm: one that fired already rings again
      // when it lies ahead, and one moved into the past does not wait there
      state = -1;
    }
    alarms_.Replace(editing_, f.date, e.serial, f.time, f.message, e.origin, state);
  }
  editing_ = -1;
  return true;
}

bool AlarmEditor::Delete(int selected) {
  if (selected < 0 || selected >= alarms_.Count()) {
    beeper_.Beep();
    return false;
  }
  if (!prompter_.Confirm("削除します。よろしいですか？"_sj, true)) return false;
  alarms_.RemoveAt(selected);
  editing_ = -1;
  return true;
}

bool AlarmEditor::DeleteOff() {
  if (!prompter_.Confirm("アラームがOFFのデータを全て削除します。よろしいですか？"_sj, true)) return false;
  alarms_.RemoveOff();
  editing_ = -1;
  return true;
}
