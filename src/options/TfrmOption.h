// "オプション": the print head, the bottom panel and the automatic backup,
// edited over CMyOptions. OK stores them; cancel leaves everything.
#pragma once
#include <QDialog>

#include "options/CMyOptions.h"

class FileChooser;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class SjLineEdit;

class TfrmOption : public QDialog {
  Q_OBJECT
 public:
  TfrmOption(CMyOptions& options, FileChooser& files, Prompter& prompter, QWidget* parent = nullptr);

  // What the boxes say now.
  CMyOptions::Values Values() const;
  // After OK: the bottom panel must be shown or hidden (!Values().panelHidden).
  bool PanelChanged() const { return panelChanged_; }

 public slots:
  void cmd_OkClick();
  void cmd_BackPathClick();

 private:
  CMyOptions& options_;
  FileChooser& files_;
  Prompter& prompter_;
  bool panelChanged_ = false;

  QCheckBox* chk_PrnOnTitle;
  QCheckBox* chk_PrnOnPage;
  QCheckBox* chk_PrnOnNow;
  QCheckBox* chk_ScrView;
  QComboBox* cbo_BackKind;
  SjLineEdit* txt_BackPath;
  QPushButton* cmd_BackPath;
  // How the last backup ended; empty before the first one.
  QLabel* lbl_LastBackup;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};
