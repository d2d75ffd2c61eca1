// The alarms and the tray in the main window: "アラームの設定(&A)..." and
// "タスクに入れる" in the file menu, the tray icon with its popup and the
// one-second tick (Timer1Timer) that tells due alarms. The window's tick,
// close requests, start-up and clicks on the sheet reach it as a feature.
#pragma once
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "mainview/host/MainFeature.h"
#include "mainview/tray/AlarmTicker.h"
#include "mainview/tray/TrayModel.h"

class MainActions;
class DialogRunner;
class FeatureHost;
class QAction;
class QMainWindow;
class QtTray;
struct MainContext;
class SoundPlayer;
class Notifier;

class AlarmActions : public QObject, public AlarmTickPort, public MainFeature {
  Q_OBJECT
 public:
  AlarmActions(MainActions& actions, DialogRunner& dialogs, MainContext& ctx, QMainWindow& window);
  explicit AlarmActions(FeatureHost& host);
  ~AlarmActions() override;

  // ---- MainFeature ----
  void Tick() override { Timer1Timer(); }
  bool ShowAtStart(bool minusC) override;
  bool CloseRequested() override;
  void Closing() override;
  void KeepSettings() override;
  void SheetClicked() override { tray_->AnimateTrayIcon(false); }

  // ---- what the window forwards ----
  void Timer1Timer();
  // The window's close button: true when the window may close (false: it
  // went to the tray, or sits there hidden).
  bool CloseRequest() { return tray_->CloseRequest(); }
  // The window has closed ("終了", the tray popup's "閉じる"): the tray icon
  // goes, and with it the program, which a hidden window would not end.
  void Closed() override;
  // Start-up with TASK set (the window was in the tray at the last close):
  // into the tray, and shown again unless "-c" was given. Without a tray
  // host, or without TASK, the window just shows.
  void ShowAtStart(bool task, bool minusC);
  bool InTray() const { return tray_->InTray(); }

  // ---- the handlers ----
  void mnu_FileAlarm();
  void mnuFileTask() { tray_->mnuFileTask(); }
  void mnusTaskView() { tray_->mnusTaskView(); }
  void mnusTaskClose();

  // ---- for tests: other seams for the sound, notifications and the tray ----
  void UseSeams(SoundPlayer* sound, Notifier* notifier, TrayPort* tray);
  TrayModel& Tray() { return *tray_; }
  // The tray item's tooltip when it cannot be used.
  static QString NoTrayTip();

  // AlarmTickPort
  void Note(const std::string& text) override;
  void ShowMissed(const std::vector<std::string>& lines) override;
  void DateChanged(CivilDate today) override;

 private:
  void Rebuild();

  MainActions& a_;
  DialogRunner& dialogs_;
  MainContext& ctx_;
  QMainWindow& window_;
  std::unique_ptr<SoundPlayer> ownSound_;
  std::unique_ptr<Notifier> ownNotifier_;
  QtTray* ownTray_ = nullptr;  // a child of the window
  SoundPlayer* sound_ = nullptr;
  Notifier* notifier_ = nullptr;
  TrayPort* trayPort_ = nullptr;
  std::unique_ptr<TrayModel> tray_;
  std::unique_ptr<AlarmTicker> ticker_;
  QAction* task_ = nullptr;
};
