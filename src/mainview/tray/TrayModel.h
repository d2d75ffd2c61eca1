// The main window in the task tray: whether it is there, whether the window
// is shown meanwhile, the blinking alarm icon, and what a close request
// means then. The window and the tray icon are behind TrayPort, so the rules
// are tested without a desktop.
#pragma once
#include <string>

#include "platform/Clock.h"

class TrayPort {
 public:
  virtual ~TrayPort() = default;
  // A tray host runs on this desktop.
  virtual bool Available() const = 0;
  // Puts the icon into the tray: the day picture of `day` with `tip`.
  virtual void AddIcon(int day, const std::string& tip) = 0;
  // The icon shows alarm picture `frame` (0 to 2), or the day picture (-1).
  virtual void ShowFrame(int frame) = 0;
  virtual void RemoveIcon() = 0;
  // Brings the window to the front, restored and shown / hides it.
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  // The file menu's item and the tray popup's first item follow the state:
  // "タスクに入れる" / "タスクから出す", "表示" / "非表示".
  virtual void Captions(bool inTray, bool windowShown) = 0;
  // The reference window goes when the window hides into the tray.
  virtual void CloseReference() {}
};

class TrayModel {
 public:
  TrayModel(TrayPort& port, const Clock& clock) : port_(port), clock_(clock) {}

  bool InTray() const { return inTray_; }
  bool WindowShown() const { return shown_; }
  int Frame() const { return frame_; }  // -1: not blinking

  // "タスクに入れる" / "タスクから出す".
  void mnuFileTask();
  // False (and nothing changes) when no tray host runs: a window hidden
  // into a tray that is not there could never be reached again.
  bool EnterTray();
  void LeaveTray();
  // Double click on the icon, or "表示": the window in front, no blinking.
  void ShowFromTray();
  // "表示" / "非表示" of the tray popup.
  void mnusTaskView();
  // The window's close button: true when the window is to close. In the
  // tray a shown window only hides, a hidden one ignores the request.
  bool CloseRequest();
  // With step: the next alarm picture (1, 0, 2, 0, 2, ...), only while in
  // the tray. Without: back to the day picture.
  void AnimateTrayIcon(bool step);
  // A new day: the icon is put in again with the new day's picture and tip.
  void DateChanged();

  // "ひとこと(2026年12月9日(水曜日))"
  static std::string TipFor(CivilDate d);

 private:
  TrayPort& port_;
  const Clock& clock_;
  bool inTray_ = false;
  bool shown_ = true;  // the window is visible (outside the tray always)
  int frame_ = -1;
};
