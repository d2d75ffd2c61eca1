// "新規分類作成": a new division from a shipped package or a package file
// (mode 0), or the current division's package installed again (mode 1).
#pragma once
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class SjLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class CMyGlobal;
class CMyMaster;
class Prompter;
class FileChooser;
class Beeper;

class TfrmNewDiv : public QDialog {
  Q_OBJECT
 public:
  // packageId: the identity stored in the division's input definition
  // (mode 1 preselects its package).
  TfrmNewDiv(int mode, CMyGlobal& global, CMyMaster& users, Prompter& prompter, Beeper* beeper,
             int packageId = 0, QWidget* parent = nullptr);
  // The file chooser; tests give their own. Returns the chosen path or "".
  // Where the browse button asks for a file; empty = the real dialog.
  FileChooser* files = nullptr;

 public slots:
  void cmd_OkClick();
  void cmd_FileClick();

 private:
  std::function<QString()> chooseFile;
  int mode_;
  CMyGlobal& global_;
  CMyMaster& users_;
  Prompter& prompter_;
  std::vector<std::string> packages_;  // CP932 display names

  SjLineEdit* txt_DivName;
  QRadioButton* rdo_List;
  QRadioButton* rdo_File;
  QListWidget* lst_Package;
  QLineEdit* txt_File;
  QPushButton* cmd_File;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
  QPushButton* cmd_Help;
};
