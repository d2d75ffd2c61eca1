// The alarm notification settings ("アラーム設定詳細"): how an alarm is told
// (message box, tray icon and its blinking, a sound file) and the marks
// around a time in a memo. The checks are alarmsettings::Check.
#pragma once
#include <QDialog>

#include "alarm/AlarmSettings.h"

class QCheckBox;
class QPushButton;
class SjLineEdit;
class FileChooser;
class Prompter;
class CMyGlobal;

class TfrmAlarmSet : public QDialog {
  Q_OBJECT
 public:
  TfrmAlarmSet(CMyGlobal& settings, FileChooser& files, Prompter& prompter, QWidget* parent = nullptr);

  void cmd_OkClick();
  void cmd_SoundPathClick();
  // What the boxes say now.
  AlarmSettings Values() const;

 private:
  void EnableDependents();

  CMyGlobal& settings_;
  FileChooser& files_;
  Prompter& prompter_;

  QCheckBox* chk_OnMsg;
  QCheckBox* chk_OnTask;
  QCheckBox* chk_TaskAnime;
  QCheckBox* chk_OnSound;
  SjLineEdit* txt_SoundPath;
  QPushButton* cmd_SoundPath;
  SjLineEdit* txt_TimeFrom;
  SjLineEdit* txt_TimeTo;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Close;
};
