// The tray icon of the main window (QSystemTrayIcon) with its pictures: the
// day of the month on a calendar leaf (31, one per day) and three alarm
// pictures that blink in turn, all drawn by the program.
#pragma once
#include <QIcon>
#include <QObject>
#include <functional>
#include <memory>

#include "mainview/tray/TrayModel.h"

class QAction;
class QMainWindow;
class QMenu;
class QSystemTrayIcon;

class QtTray : public QObject, public TrayPort {
  Q_OBJECT
 public:
  // `popup` is the icon's menu; `fileItem` and `viewItem` get their captions
  // from the state; `activated` is the double click (show the window).
  QtTray(QMainWindow& window, QMenu* popup, QAction* fileItem, QAction* viewItem,
         std::function<void()> activated);
  ~QtTray() override;

  bool Available() const override;
  void AddIcon(int day, const std::string& tip) override;
  void ShowFrame(int frame) override;
  void RemoveIcon() override;
  void ShowWindow() override;
  void HideWindow() override;
  void Captions(bool inTray, bool windowShown) override;

  // Day d (1 to 31) on the calendar leaf, as the window's icon shows it.
  static QIcon DayPicture(int day);
  // Alarm picture 0 (the bell at rest), 1 and 2 (swung left and right, ringing).
  static QIcon AlarmPicture(int frame);
  QSystemTrayIcon* Icon() const { return icon_.get(); }

 private:
  QMainWindow& window_;
  QMenu* popup_;
  QAction* fileItem_;
  QAction* viewItem_;
  std::function<void()> activated_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  int day_ = 1;
};
