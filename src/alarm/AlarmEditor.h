// What the alarm dialog does with the alarm list: its lines, the entry being
// edited, the checks of its boxes and buttons and their messages. The dialog
// only shows and forwards.
#pragma once
#include <string>
#include <vector>

#include "platform/Clock.h"

class CMyAlarm;
class Prompter;
class Beeper;

// The three boxes of the dialog (CP932).
struct AlarmFields {
  std::string date;     // txt_YMD
  std::string time;     // txt_Time
  std::string message;  // txt_Sc
};

class AlarmEditor {
 public:
  enum Mode { kInsert, kUpdate, kOnOff };
  static constexpr int kMaxDate = 10, kMaxTime = 5, kMaxMessage = 120;

  AlarmEditor(CMyAlarm& alarms, const Clock& clock, Prompter& prompter, Beeper& beeper)
      : alarms_(alarms), clock_(clock), prompter_(prompter), beeper_(beeper) {}

  // lst_Main: one line per entry, in the list's order.
  std::vector<std::string> Lines() const;
  // Double click on line `index` (-1 none selected: beep): its entry into
  // `out`, and it becomes the entry being edited. False when nothing was.
  bool Edit(int index, AlarmFields& out);
  // A click on another line: no entry is being edited.
  void StopEditing() { editing_ = -1; }
  int Editing() const { return editing_; }
  // The entry being edited is armed ("アラーム停止"; off: "アラーム開始").
  bool EditingArmed() const;

  // The boxes on leaving: rewritten as "yyyy/mm/dd" / "hh:mm"; false after
  // "不正な日付です。" / "不正な時間です。". An empty date box is left alone.
  bool LeaveDate(std::string& text) const;
  bool LeaveTime(std::string& text) const;

  // cmd_Insert, cmd_Update, cmd_AlarmOnOff. True when the list changed:
  // the dialog then refills the list and clears the boxes (no entry is
  // edited any more). False after the message of the first failed check.
  bool Commit(Mode mode, AlarmFields fields);
  // cmd_Delete on the selected line (-1: beep), after asking. True when removed.
  bool Delete(int selected);
  // cmd_DelAll: every entry that is off, after asking. True when asked and done.
  bool DeleteOff();

 private:
  CMyAlarm& alarms_;
  const Clock& clock_;
  Prompter& prompter_;
  Beeper& beeper_;
  int editing_ = -1;
};
