// "検索": the search dialog. Modeless: made when the main window starts and
// kept until it closes, so the user leaves it open and steps through the
// hits. It only carries its widgets' values into the search commands'
// query; the search itself is theirs.
#pragma once
#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class SjComboBox;
class SjLineEdit;
class SearchCommands;
class Prompter;

class TfrmFind : public QDialog {
  Q_OBJECT
 public:
  TfrmFind(SearchCommands& commands, Prompter& prompter, QWidget* parent = nullptr);

  // cbo_Name's items from the commands' field list (the input form's).
  void RefillNames();
  // Shows the dialog (or raises it) with the query's values.
  void FormShow();

  void cmd_DownFindClick();
  void cmd_UpFindClick();
  void cmd_CloseClick();

 private:
  // The widgets' values into the query; the next search starts afresh.
  void Changed();
  void LoadWidgets();
  void PlaceBesideParent();

  SearchCommands& commands_;
  bool loading_ = false;
  bool placed_ = false;

  SjComboBox* cbo_Name;
  SjLineEdit* txt_Data;
  QComboBox* cbo_Kind;
  QCheckBox* chk_icmp;
  QCheckBox* chk_WidthFold;
  QPushButton* cmd_UpFind;
  QPushButton* cmd_DownFind;
  QPushButton* cmd_Close;
};
