// The export dialog "エクスポート": the two column lists with their move
// buttons, the file, and the options, over CMyExport. Every check and every
// message is the model's; the dialog only carries its controls into an
// ExportOptions and shows what came back (the resolved path, the focus).
#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "exchange/CMyExport.h"

class Beeper;
class FileChooser;
class Prompter;
class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class SjLineEdit;

class TfrmExport : public QDialog {
  Q_OBJECT
 public:
  // `shown` gives the main view's rows for "表示中のデータ" at the moment
  // of the export (the view may have been rebuilt by then).
  TfrmExport(CMyExport& model, FileChooser& files, Prompter& prompter, Beeper& beeper,
             std::function<std::vector<ShownRow>()> shown, QWidget* parent = nullptr);

  void cmd_RightClick();
  void cmd_LeftClick();
  void cmd_RightAllClick();
  void cmd_LeftAllClick();
  void cmd_UpClick();
  void cmd_DownClick();
  void cmd_FNameClick();
  // The export; the model's code (CMyExport::Code).
  int cmd_OkClick();

  // The options as the controls hold them now.
  [[nodiscard]] ExportOptions Options() const;
  const ExportColumnLists& Lists() const { return lists_; }

 private:
  void Fill(int selectFrom, int selectTo);
  void ApplyChoice(const ExportChoice& choice);

  CMyExport& model_;
  FileChooser& files_;
  Prompter& prompter_;
  std::function<std::vector<ShownRow>()> shown_;
  ExportColumnLists lists_;

  QListWidget* lst_From;
  QListWidget* lst_To;
  QPushButton *cmd_Right, *cmd_Left, *cmd_RightAll, *cmd_LeftAll, *cmd_Up, *cmd_Down;
  SjLineEdit* txt_Path;
  QPushButton* cmd_FName;
  QRadioButton *rdo_AllData, *rdo_ViewData;
  QCheckBox* chk_Field;
  QCheckBox* chk_MemoRet;
  SjLineEdit* txt_MemoRet;
  QComboBox* cmb_Encoding;
  QCheckBox* chk_Guard;
  QPushButton *cmd_Ok, *cmd_Close, *cmd_Help;
};
