// "祝日・記念日の設定" (the rule lists) and "祝日・記念日入力" (one rule):
// thin windows over CMyHolidayEditor, which does the checking and writing.
#pragma once
#include <QDialog>

#include "calendar/CMyHolidayEditor.h"

class Beeper;
class DialogRunner;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabBar;
class SjLineEdit;

// One rule: its year range, how it names its day, and its name.
class TfrmInHoliday : public QDialog {
  Q_OBJECT
 public:
  // `year`: the year the status line resolves the rule for.
  TfrmInHoliday(int year, Prompter& prompter, Beeper& beeper, QWidget* parent = nullptr);
  void SetForm(const HolidayForm& form);
  HolidayForm Form() const;  // the fields as they stand

 public slots:
  // Runs the checks; the first that fails is said and takes the focus.
  void cmdOkClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void KindChanged();
  void ShowStatus();
  QWidget* FieldWidget(HolidayField field) const;

  int year_;
  Prompter& prompter_;
  Beeper& beeper_;

  QLineEdit* txtSt;
  QLineEdit* txtEd;
  QRadioButton* optDay;
  QRadioButton* optWeek;
  QRadioButton* optEtc;
  QComboBox* cboEtc;
  QLineEdit* txtMM;
  QLabel* lblDD;
  QLineEdit* txtDD;
  QComboBox* cboWeek;
  SjLineEdit* txtHoliday;
  QLabel* lbl_Status;
  QPushButton* cmdOk;
  QPushButton* cmdCancel;
};

// Both rule lists, on two tabs; closing writes what was added or deleted.
class TfrmHoliday : public QDialog {
  Q_OBJECT
 public:
  // `list`: the tab to open on (0 holidays, 1 anniversaries). The entry
  // dialog is shown through `dialogs`.
  TfrmHoliday(CMyHolidayEditor& editor, int list, DialogRunner& dialogs, Prompter& prompter, Beeper& beeper,
              QWidget* parent = nullptr);

  int List() const;
  // The rule index of the selected line, -1 when none.
  int SelectedIndex() const;

 public slots:
  void cmd_InsertClick();
  void cmd_UpdateClick();
  void cmd_DeleteClick();
  void cmd_CloseClick();

 protected:
  // Escape and the title bar's close button end editing as cmd_Close does.
  void reject() override;

 private:
  void Fill(int selectIndex = -1);
  void FillPreview();
  bool EndEditing();

  CMyHolidayEditor& editor_;
  DialogRunner& dialogs_;
  Prompter& prompter_;
  Beeper& beeper_;
  std::vector<int> rowIndex_;  // list-box row -> rule index

  QTabBar* TabControl1;
  QListWidget* lstHoliday;
  QCheckBox* chkReki;
  QLabel* lbl_Year;  // which years the list shows
  QLabel* lbl_Note;
  QPushButton* cmd_Insert;
  QPushButton* cmd_Update;
  QPushButton* cmd_Delete;
  QPushButton* cmd_Close;
  QSpinBox* txt_Preview;
  QListWidget* lst_Preview;
};
