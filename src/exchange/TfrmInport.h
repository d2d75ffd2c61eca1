// The import dialog "データのインポート": the file, 追加 or 全データ入替, the
// encoding and the formula option, over CMyImport, which asks every
// question, checks the whole file and tells the outcome.
#pragma once
#include <QDialog>

#include "exchange/CMyImport.h"

class FileChooser;
class Prompter;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class SjLineEdit;

class TfrmInport : public QDialog {
  Q_OBJECT
 public:
  TfrmInport(CMyImport& model, FileChooser& files, Prompter& prompter, QWidget* parent = nullptr);

  void cmd_FNameClick();
  // The import; the model's code (CMyImport::Code).
  int cmd_InportClick();
  // Whether an import of this dialog reached the division (the main view
  // rebuilds and repaints then).
  bool Changed() const { return changed_; }

  [[nodiscard]] ImportOptions Options() const;

 private:
  CMyImport& model_;
  FileChooser& files_;
  Prompter& prompter_;
  bool changed_ = false;

  SjLineEdit* txt_Path;
  QPushButton* cmd_FName;
  QRadioButton *rdo_DelIn, *rdo_Add;
  QComboBox* cmb_Encoding;
  QCheckBox* chk_Guard;
  QPushButton *cmd_Inport, *cmd_Close, *cmd_Help;
};
