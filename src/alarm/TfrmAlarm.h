// The alarm dialog ("アラーム設定"): every alarm of the user in a list; an
// alarm is added, changed, switched off or on and deleted through the
// boxes and buttons below it. The rules are AlarmEditor's.
#pragma once
#include <QDialog>

#include "alarm/AlarmEditor.h"

class QListWidget;
class QPushButton;
class SjLineEdit;
class DialogRunner;
class FileChooser;
class CMyGlobal;

class TfrmAlarm : public QDialog {
  Q_OBJECT
 public:
  TfrmAlarm(AlarmEditor& editor, CMyGlobal& settings, DialogRunner& dialogs, FileChooser& files,
            Prompter& prompter, QWidget* parent = nullptr);

  // The handlers, public so tests drive them as a user would.
  void lst_MainDblClick();
  void lst_MainClick();
  bool txt_YMDExit();
  bool txt_TimeExit();
  void cmd_InsertClick() { Commit(AlarmEditor::kInsert); }
  void cmd_UpdateClick() { Commit(AlarmEditor::kUpdate); }
  void cmd_AlarmOnOffClick() { Commit(AlarmEditor::kOnOff); }
  void cmd_DeleteClick();
  void cmd_DelAllClick();
  void cmd_DetailSetClick();
  // Refills lst_Main from the list.
  void FillList();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Commit(AlarmEditor::Mode mode);
  void EditButtons(bool on);
  void ClearBoxes();
  bool Exit(SjLineEdit* box, bool ok);

  AlarmEditor& editor_;
  CMyGlobal& settings_;
  DialogRunner& dialogs_;
  FileChooser& files_;
  Prompter& prompter_;
  bool exiting_ = false;
  bool exitRefused_ = false;  // the box just left has told what is wrong

  QListWidget* lst_Main;
  SjLineEdit* txt_YMD;
  SjLineEdit* txt_Time;
  SjLineEdit* txt_Sc;
  QPushButton* cmd_Insert;
  QPushButton* cmd_Update;
  QPushButton* cmd_AlarmOnOff;
  QPushButton* cmd_Delete;
  QPushButton* cmd_DelAll;
  QPushButton* cmd_DetailSet;
  QPushButton* cmd_Close;
};
