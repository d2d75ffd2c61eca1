// The extraction dialog "抽出条件設定": the display mode, lines per page,
// the period, the simple page and the condition grid, and the saved
// extraction methods, over CMyPickup. Every rule, check and message is the
// model's: each edit goes to the model as it is made, and the controls show
// the model's state again after every change it may have made.
#pragma once
#include <QDialog>
#include <functional>

class Beeper;
class CMyPickup;
class DialogRunner;
class Prompter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableWidget;
class QTabWidget;
class SjComboBox;
class SjLineEdit;

class TfrmPickup : public QDialog {
  Q_OBJECT
 public:
  // `model` is set up for the book; the dialog opens it (the method list
  // and "pickout.pit"). Nested dialogs go through `dialogs`.
  TfrmPickup(CMyPickup& model, DialogRunner& dialogs, Prompter& prompter, Beeper& beeper,
             std::function<void()> help, QWidget* parent = nullptr);

  // The handlers, as a click or a key reaches them (tests call them too).
  // cmd_Ok: the model's result; on 0 the dialog is accepted.
  int cmd_OkClick();
  void cmd_SaveClick();
  void cmd_DelClick();
  void cmd_SelClick();
  void cbo_PickupNameChange(int index);
  // Leaving the range boxes and the lines box: false after the message
  // (the focus stays there).
  bool txt_KikanFromExit();
  bool txt_KikanToExit();
  bool txt_LineExit();
  // A key in the grid's current cell; true when the grid rules took it
  // (it is never inserted as typed in columns 2 to 5).
  bool gri_MainKeyPress(int key, const QString& text);
  // The status bar's help for the current cell.
  QString ColumnHelp() const;

  CMyPickup& Model() { return model_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWidgets();
  void Connect();
  // Shows the model's whole state; `loading_` keeps the widgets' change
  // signals from writing it back meanwhile.
  void LoadWidgets();
  void LoadLayout();  // what depends on the display mode
  void LoadGrid();
  void LoadPeriod();
  void FillMethods();
  void CellChanged();  // help, input method, the "..." button
  void PlaceSelButton();
  void SetMode(int mode);
  void SetPeriod(int period);
  bool Exit(SjLineEdit* box, bool ok);

  CMyPickup& model_;
  DialogRunner& dialogs_;
  Prompter& prompter_;
  Beeper& beeper_;
  std::function<void()> help_;
  bool loading_ = false;
  bool exiting_ = false;
  bool exitRefused_ = false;  // a box just refused its text: OK waits

  QComboBox* cbo_PickupName;
  QPushButton *cmd_Save, *cmd_Del;
  QRadioButton *rdo_HyouziNormal, *rdo_HyouziPickup, *rdo_HyouziGroup;
  QCheckBox* chk_NoData;
  SjLineEdit* txt_Line;
  QGroupBox* grp_Kikan;
  QRadioButton *rdo_KikanAll, *rdo_KikanMM, *rdo_KikanYYYY, *rdo_KikanSel;
  SjLineEdit *txt_KikanFrom, *txt_KikanTo;
  QCheckBox* chk_KeySortDown;
  QTabWidget* tab_Main;
  QWidget *tab_Simple, *tab_Detail;
  SjComboBox* cbo_Name;
  SjLineEdit* txt_Data;
  QComboBox* cbo_Kind;
  QCheckBox* chk_icmp;
  SjComboBox* cbo_Sort;
  QCheckBox* chk_SortDown;
  QTableWidget* gri_Main;
  QPushButton* cmd_Sel;
  QStatusBar* sbr_Help;
  QPushButton *cmd_Ok, *cmd_Cancel, *cmd_Help;
};
