// "ユーザー名設定": creates a user or opens an existing one by name.
#pragma once
#include <QDialog>

class QLineEdit;
class QListWidget;
class SjLineEdit;
class QPushButton;
class CMyGlobal;
class Prompter;

class TfrmNewUser : public QDialog {
  Q_OBJECT
 public:
  TfrmNewUser(CMyGlobal& global, Prompter& prompter, QWidget* parent = nullptr);
  void SetName(const QString& name);
  // True when Ok was pressed with a valid name; the user is then current.
  bool Result() const { return result_; }

 public slots:
  void cmd_OkClick();
  void cmd_CancelClick();

 private:
  CMyGlobal& global_;
  Prompter& prompter_;
  bool result_ = false;

  SjLineEdit* txt_UserName;
  QListWidget* lst_User;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};
