#include "mainview/tray/TrayModel.h"

#include <cstdio>

#include "platform/Cp932.h"
#include "shell/CivilDays.h"

std::string TrayModel::TipFor(CivilDate d) {
  static const char* const kDays[7] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
  char buf[64];
  std::snprintf(buf, sizeof buf, "ひとこと(%d年%d月%d日(%s))", d.year, d.month, d.day,
                kDays[civil::Weekday(d) - 1]);
  return cp932::FromUtf8(buf);
}

void TrayModel::mnuFileTask() {
  if (inTray_)
    LeaveTray();
  else
    (void)EnterTray();
}

bool TrayModel::EnterTray() {
  if (inTray_) return true;
  if (!port_.Available()) return false;
  const CivilDate today = clock_.Today();
  port_.AddIcon(today.day, TipFor(today));
  inTray_ = true;
  frame_ = -1;
  shown_ = false;
  port_.CloseReference();
  port_.HideWindow();
  port_.Captions(inTray_, shown_);
  return true;
}

void TrayModel::LeaveTray() {
  if (!inTray_) return;
  port_.RemoveIcon();
  inTray_ = false;
  frame_ = -1;
  shown_ = true;
  port_.ShowWindow();
  port_.Captions(inTray_, shown_);
}

void TrayModel::ShowFromTray() {
  port_.ShowWindow();
  shown_ = true;
  port_.Captions(inTray_, shown_);
  AnimateTrayIcon(false);
}

void TrayModel::mnusTaskView() {
  if (!shown_) {
    ShowFromTray();
    return;
  }
  port_.CloseReference();
  port_.HideWindow();
  shown_ = false;
  port_.Captions(inTray_, shown_);
}

bool TrayModel::CloseRequest() {
  if (!inTray_) return true;
  if (shown_) {
    port_.CloseReference();
    port_.HideWindow();
    shown_ = false;
    port_.Captions(inTray_, shown_);
  }
  return false;
}

void TrayModel::AnimateTrayIcon(bool step) {
  if (!inTray_) return;
  if (step) {
    frame_ = frame_ == -1 ? 1 : frame_ + 2;
    if (frame_ >= 3) frame_ = 0;
    port_.ShowFrame(frame_);
  } else if (frame_ != -1) {
    frame_ = -1;
    port_.ShowFrame(-1);
  }
}

void TrayModel::DateChanged() {
  if (!inTray_) return;
  const CivilDate today = clock_.Today();
  port_.RemoveIcon();
  port_.AddIcon(today.day, TipFor(today));
  // a blinking icon goes on blinking from the new picture's place
  if (frame_ != -1) port_.ShowFrame(frame_);
}
