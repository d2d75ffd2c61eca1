// "マスタ設定" for a combo box: its history list and learning switch, edited
// over CMySetMaster. Every check and message is the model's; the dialog only
// shows what the model answers. Closing (the button, Esc or the window's
// close box) writes the files when anything changed.
#pragma once
#include <QDialog>

#include "input/CMySetMaster.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class SjLineEdit;
class Beeper;
class Prompter;

class TfrmSetMaster : public QDialog {
  Q_OBJECT
 public:
  // `model` outlives the dialog; it was built for the combo slot (with the
  // pair table when the combo box is the parent of a pair).
  TfrmSetMaster(CMySetMaster& model, Prompter& prompter, Beeper* beeper, QWidget* parent = nullptr);

  // True once the dialog has closed through the model (its files written
  // or nothing to write); false when it was dismissed without closing.
  bool Closed() const { return closed_; }
  // What the caller takes over: whether anything changed or was saved, the
  // learning switch and the combo box's items (as read back from the file).
  // Before a close it holds the model's state when the dialog opened.
  const CMySetMaster::Closed& Result() const { return result_; }

 public slots:
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
  std::string Name() const;

  CMySetMaster& model_;
  Prompter& prompter_;
  CMySetMaster::Closed result_;
  bool closed_ = false;

  QListWidget* lst_Main;
  QLabel* lbl_Name;
  SjLineEdit* txt_Name;
  QPushButton* cmd_Insert;
  QPushButton* cmd_Update;
  QPushButton* cmd_Delete;
  QPushButton* cmd_Up;
  QPushButton* cmd_Down;
  QCheckBox* chk_Auto;
  QPushButton* cmd_Close;
};
