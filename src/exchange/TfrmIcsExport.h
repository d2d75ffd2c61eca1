// The calendar export dialog "カレンダーへのエクスポート": the file, all of
// the book or what the sheet shows (an extraction's result), the time zone,
// and a second file for holidays and anniversaries, over IcsExport.
#pragma once
#include <QDialog>

#include "exchange/IcsExport.h"

class FileChooser;
class Prompter;
class QCheckBox;
class QPushButton;
class QRadioButton;
class SjLineEdit;

class TfrmIcsExport : public QDialog {
  Q_OBJECT
 public:
  // `base` holds what the window knows (colour kinds, alarms, the rows the
  // sheet shows, the holidays of the period); the dialog adds its controls.
  TfrmIcsExport(IcsExport& model, IcsExportOptions base, FileChooser& files, Prompter& prompter,
                QWidget* parent = nullptr);

  void cmd_FNameClick();
  // The export; the model's code (IcsExport::Code).
  int cmd_ExportClick();
  [[nodiscard]] IcsExportOptions Options() const;

 private:
  IcsExport& model_;
  IcsExportOptions base_;
  FileChooser& files_;
  Prompter& prompter_;

  SjLineEdit *txt_Path, *txt_Zone, *txt_DaysPath;
  QPushButton* cmd_FName;
  QRadioButton *rdo_All, *rdo_Shown;
  QCheckBox* chk_Days;
  QPushButton *cmd_Export, *cmd_Close;
};
