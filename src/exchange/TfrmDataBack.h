// The backup dialog "バックアップ": the destination folder, the last
// backup's time and result, Ok and キャンセル, over CMyBackup, which writes the
// archive, keeps the result in the settings and tells every failure.
#pragma once
#include <QDialog>
#include <string>

class CMyBackup;
class CMyGlobal;
class QLabel;
class QPushButton;
class SjLineEdit;

class TfrmDataBack : public QDialog {
  Q_OBJECT
 public:
  TfrmDataBack(CMyBackup& model, const CMyGlobal& global, QWidget* parent = nullptr);
  ~TfrmDataBack() override;

  // The backup; the model's code (CMyBackup::Code). The dialog closes on
  // success and stays open otherwise, its last-backup line showing why.
  int cmd_OkClick();
  // Whether a backup of this dialog succeeded.
  bool BackedUp() const { return backedUp_; }
  // The archive the backup wrote (file system's spelling).
  const std::string& Archive() const { return archive_; }

 private:
  // The destination as the dialog shows it when no copy is running.
  void ShowDestination();
  void ShowLastBackup();

  CMyBackup& model_;
  const CMyGlobal& global_;
  bool backedUp_ = false;
  std::string archive_;

  QLabel* lbl_Msg;
  QLabel* lbl_Note;
  QLabel* lbl_Copy;
  SjLineEdit* txt_Path;
  QLabel* lbl_Last;
  QPushButton *cmd_Ok, *cmd_Cancel;
};
