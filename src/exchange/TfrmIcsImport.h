// The calendar import dialog "カレンダーからのインポート": the file, the
// period recurring events are expanded over, the time zone, and which field
// of the book each part of an event goes to; 「件数を確認」 shows what the
// import would do without writing. Over IcsImport, which asks every
// question, checks the whole file and tells the outcome.
#pragma once
#include <QDialog>

#include "exchange/IcsImport.h"

class FileChooser;
class Prompter;
class QComboBox;
class QLabel;
class QPushButton;
class SjLineEdit;

class TfrmIcsImport : public QDialog {
  Q_OBJECT
 public:
  TfrmIcsImport(IcsImport& model, FileChooser& files, Prompter& prompter, const Clock& clock,
                QWidget* parent = nullptr);

  void cmd_FNameClick();
  // The counts of the file as it would come in, in lbl_Counts; a Code.
  int cmd_CheckClick();
  // The import; the model's code (IcsImport::Code).
  int cmd_InportClick();
  // Whether an import reached the book (the main view is rebuilt then).
  bool Changed() const { return changed_; }
  [[nodiscard]] IcsImportOptions Options() const;

 private:
  IcsImport& model_;
  FileChooser& files_;
  Prompter& prompter_;
  bool changed_ = false;

  SjLineEdit *txt_Path, *txt_From, *txt_To, *txt_Zone;
  QPushButton* cmd_FName;
  QComboBox *cmb_Summary, *cmb_Description, *cmb_Location, *cmb_Start, *cmb_End;
  QLabel* lbl_Counts;
  QPushButton *cmd_Check, *cmd_Inport, *cmd_Close;
};
