// "お知らせ（見逃したアラーム）": the alarms whose time went by while the
// program was not running or the machine slept, each with how late it is,
// shown once in one list (they are switched off already).
#pragma once
#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

class TfrmMissedAlarms : public QDialog {
  Q_OBJECT
 public:
  // `lines` in CP932, oldest first.
  explicit TfrmMissedAlarms(const std::vector<std::string>& lines, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  QListWidget* lst_Missed;
  QPushButton* cmd_Close;
};
