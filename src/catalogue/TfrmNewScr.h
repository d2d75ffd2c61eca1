// "入力画面読込" (TfrmNewDivIn), "表示画面読込" (TfrmNewScr) and
// "表示画面選択" (TfrmPkgViewSel): an input definition or a display screen
// from a template or a package.
#pragma once
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class SjLineEdit;
class QListWidget;
class QPushButton;
class CMyGlobal;
class CMyMaster;
class Prompter;
class FileChooser;
class Beeper;

class TfrmNewDivIn : public QDialog {
  Q_OBJECT
 public:
  TfrmNewDivIn(CMyGlobal& global, Prompter& prompter, QWidget* parent = nullptr);
  // Where the browse button asks for a file; empty = the real dialog.
  FileChooser* files = nullptr;
 public slots:
  void cmd_OkClick();

 private:
  std::function<QString()> chooseFile;
  CMyGlobal& global_;
  Prompter& prompter_;

  QLineEdit* txt_File;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};

class TfrmPkgViewSel : public QDialog {
  Q_OBJECT
 public:
  TfrmPkgViewSel(CMyGlobal& global, Prompter& prompter, std::string package, std::string target,
                 QWidget* parent = nullptr);
  // Reads the package's screen list; false when it cannot be read.
  bool SetUp();
 public slots:
  void cmd_OkClick();

 private:
  CMyGlobal& global_;
  Prompter& prompter_;
  std::string package_, target_;
  std::vector<std::string> names_;

  QListWidget* lst_Screen;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};

class TfrmNewScr : public QDialog {
  Q_OBJECT
 public:
  // mode 0: a new screen; mode 1: the file of screen `index` again.
  TfrmNewScr(int mode, int index, CMyGlobal& global, CMyMaster& screens, Prompter& prompter, Beeper* beeper,
             QWidget* parent = nullptr);
  // Where the browse button asks for a file; empty = the real dialog.
  FileChooser* files = nullptr;
  // Shows the package's screen chooser (tests script it): 1 OK, 0 cancel,
  // -1 the package's list could not be read.
  std::function<int(TfrmPkgViewSel&)> runChooser;
  int Mode() const { return mode_; }
  int Index() const { return index_; }
 public slots:
  void cmd_OkClick();

 private:
  std::function<QString()> chooseFile;
  int mode_, index_;
  CMyGlobal& global_;
  CMyMaster& screens_;
  Prompter& prompter_;

  SjLineEdit* txt_ScrName;
  QLineEdit* txt_File;
  QPushButton* cmd_Ok;
  QPushButton* cmd_Cancel;
};
