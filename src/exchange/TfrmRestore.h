// The restore dialog "リストア(復元)": the user name to restore under and the
// archive, over CMyRestore, which checks, asks, restores and tells every
// failure. The dialog reports whether a restore took place; the window then
// changes to the restored user.
#pragma once
#include <QDialog>

class CMyGlobal;
class CMyRestore;
class FileChooser;
class Prompter;
class QPushButton;
class SjLineEdit;

class TfrmRestore : public QDialog {
  Q_OBJECT
 public:
  TfrmRestore(CMyRestore& model, const CMyGlobal& global, FileChooser& files, Prompter& prompter,
              QWidget* parent = nullptr);

  // The file dialog for the archive, in the backup folder when one is set.
  void cmd_PathClick();
  // The restore; the model's code (CMyRestore::Code or a reader's code).
  int cmd_OkClick();
  // Whether a restore took place (the restored user is the current one).
  bool Restored() const { return restored_; }

 private:
  CMyRestore& model_;
  const CMyGlobal& global_;
  FileChooser& files_;
  Prompter& prompter_;
  bool restored_ = false;

  SjLineEdit* txt_UserName;
  SjLineEdit* txt_Path;
  QPushButton* cmd_Path;
  QPushButton *cmd_Ok, *cmd_Cancel;
};
