// "マスタ設定" for a table list: a text editor's selection list (mode 0) or
// the child table of a combo pair (mode 1), with parent values, numeric keys
// and the learning switch, edited over CMySetMaster2. Every check and message
// is the model's; closing (the button, Esc or the close box) writes the files
// when anything changed.
#pragma once
#include <QDialog>

#include "input/CMySetMaster.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class SjLineEdit;
class Beeper;
class Prompter;

class TfrmSetMaster2 : public QDialog {
  Q_OBJECT
 public:
  // `model` outlives the dialog.
  TfrmSetMaster2(CMySetMaster2& model, Prompter& prompter, Beeper* beeper, QWidget* parent = nullptr);

  // True once the dialog has closed through the model; false when it was
  // dismissed without closing (nothing written).
  bool Closed() const { return closed_; }
  // Which files were written: on `saved` the caller takes model.Table() as
  // the list, on `childSaved` model.Child() as the child list.
  const CMySetMaster2::Closed& Result() const { return result_; }

 public slots:
  void chk_ParentClick();
  void cbo_ParentChange(int index);
  // Puts the row's name and key into the fields and enables update and delete.
  void lst_MainDblClick(int row);
  void cmd_InsertClick();
  void cmd_UpdateClick();
  void cmd_DeleteClick();
  void cmd_UpClick();
  void cmd_DownClick();
  void chk_AutoClick();
  // Writes the files through the model and closes; after a failed save the
  // dialog stays open unless the user chooses to give the changes up.
  void cmd_CloseClick();
  void reject() override;  // Esc and the close box close as the button does

 private:
  void Refresh(int select);
  void ClearFields();
  void SetEditing(int row);

  CMySetMaster2& model_;
  Prompter& prompter_;
  CMySetMaster2::Closed result_;
  bool closed_ = false;
  int editing_ = -1;  // the row double-clicked into the fields, -1 none

  QCheckBox* chk_Parent;
  QComboBox* cbo_Parent;
  QListWidget* lst_Main;
  QLabel* lbl_Name;
  SjLineEdit* txt_Name;
  QLabel* lbl_Key;
  SjLineEdit* txt_Key;
  QPushButton* cmd_Insert;
  QPushButton* cmd_Update;
  QPushButton* cmd_Delete;
  QPushButton* cmd_Up;
  QPushButton* cmd_Down;
  QCheckBox* chk_Auto;
  QPushButton* cmd_Close;
};
