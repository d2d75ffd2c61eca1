// "入力画面": the record input form. Its controls are switched on and placed
// by the division's input definition; every check, save and delete is the
// model's (CMyInput), the form only carries texts between the widgets and
// the model and puts the focus where the model's message points.
#pragma once
#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "input/CMyInput.h"
#include "input/FormPorts.h"

class QAction;
class QCheckBox;
class QMenu;
class QtPhotoBox;
class FileChooser;
class Launcher;
class PhotoCounter;
class PhotoState;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class SjComboBox;
class SjLineEdit;
class SjTextEdit;
class QtSelStrip;
class SelStrip;
class DialogRunner;
class CMyDB;
class CMyGlobal;
class Clock;
class Prompter;
class Beeper;

class TfrmInput : public QDialog {
  Q_OBJECT
 public:
  TfrmInput(CMyDB& db, CMyGlobal& global, InputViewPort& view, Prompter& prompter, Beeper& beeper,
            const Clock& clock, QWidget* parent = nullptr);
  ~TfrmInput() override;

  // Reads the division's input definition and builds the controls. False
  // when the division has none (after the model's message).
  bool BuildForm(int linesPerPage, std::vector<ColorKind> kinds);
  void SetAlarmPort(InputAlarmPort* port) { model_->SetAlarmPort(port); }
  // The list editors are shown through this (tests answer them by name).
  void SetDialogRunner(DialogRunner* runner) { dialogs_ = runner; }
  // The picture's seams: the file dialog of cmd_Kao, the viewer's start, the
  // main view's running number of thumbnail names, and the program folder
  // the viewer lives in. Set before BuildForm.
  void SetPhotoSeams(FileChooser* files, Launcher* launcher, PhotoCounter* counter,
                     std::string programFolder);
  PhotoState* Photo() const { return photo_.get(); }
  // The colour-kind editor behind 色種類; returns the kinds afterwards, or
  // nothing when they did not change.
  std::function<bool(std::vector<ColorKind>& kinds)> editColorKinds;

  // Shows the record at `index` of the view's record set, or a new record
  // with key `key` (index -1), and brings the form up beside the window.
  void ShowRecord(const std::string& key, int index);
  CMyInput& Model() { return *model_; }

  // The buttons' handlers (F5-F8 and the buttons come here).
  void cmd_InputClick();
  void cmd_NewClick();
  void cmd_DelClick();
  void cmd_LeftClick();
  void cmd_RightClick();
  void cmd_CloseClick();
  void pan_ColorClick();
  void cbo_ColorChange(int index);
  // The photo box: choosing a picture, its pop-up, the viewer.
  void cmd_KaoClick();
  void cmd_PhotViewClick();
  void mnus_PhotRollRClick();
  void mnus_PhotRollLClick();
  void mnus_PhotDelClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  void BuildFixedParts();
  void ClearControls();
  // Copies every value of the model into its widget (signals blocked).
  void LoadWidgets();
  void LoadKeyBoxes();
  void UpdateButtons();
  // The leave checks of the widget that has the focus, before a command.
  bool LeaveFocused();
  bool Pending(QWidget* w) const;  // typed into since its last check
  void MarkChecked();
  bool LeaveControl(int control);
  bool LeaveKeyBox(QWidget* box);
  void FocusTarget(int target);
  void FocusFirst();
  void NewRecord();
  void Step(int direction);  // F5 / F6: save when needed, then the record before or after
  // The tooltip of a calculated editor names operands that were not numbers.
  void ShowCalcNote(int control);
  void AfterSave();
  void ShowColour();
  void RefillColorItems();
  void RefillChildCombo();
  std::string WidgetText(int control) const;
  void PlaceBesideParent();
  // The picture strip follows the editor that has the focus.
  void StripFollow(int control);
  void StripRowChosen(const std::string& sj);
  // The list editors behind a double click on a combo box or a listed editor.
  void EditComboList(int control);
  void EditTextList(int control);
  void ReloadLists();
  int RunDialog(QDialog& dialog);
  void SavePlacement();
  // A form with changes asks 「変更を登録しますか？」 before it goes: Yes
  // saves (and stays when the save is refused), No drops them, Cancel
  // stays. True when the form may go.
  bool MayLeave();
  void HideForm();
  void PhotoChanged();
  void ShowPhotoMenu(const QPoint& globalPos);

  CMyGlobal& global_;
  Prompter& prompter_;
  Beeper& beeper_;
  std::unique_ptr<CalcFormPort> calc_;
  std::unique_ptr<ListFormPort> lists_;
  std::unique_ptr<CMyInput> model_;
  std::vector<QWidget*> widgets_;  // by control-list position
  std::vector<QWidget*> captions_;
  std::map<QWidget*, int> controlOf_;
  std::map<QWidget*, QString> checked_;  // text as last checked
  bool loading_ = false;
  bool checking_ = false;
  QWidget* refused_ = nullptr;  // the field the last leave check refused
  bool placed_ = false;

  QWidget* body_ = nullptr;
  QLabel* lbl_Key = nullptr;
  SjLineEdit* txt_YMD = nullptr;
  SjLineEdit* txt_Page = nullptr;
  SjLineEdit* txt_Gyo = nullptr;
  QComboBox* cbo_Color = nullptr;
  QPushButton* pan_Color = nullptr;
  QLabel* lbl_Update = nullptr;
  QPushButton* cmd_Input = nullptr;
  QPushButton* cmd_Close = nullptr;
  QPushButton* cmd_New = nullptr;
  QPushButton* cmd_Del = nullptr;
  QPushButton* cmd_Left = nullptr;
  QPushButton* cmd_Right = nullptr;
  QCheckBox* chk_Continu = nullptr;
  std::unique_ptr<SelStrip> strip_;
  QtSelStrip* pai_Sel = nullptr;
  int stripControl_ = -1;  // the editor whose list the strip shows
  DialogRunner* dialogs_ = nullptr;
  QtPhotoBox* pai_Phot = nullptr;
  QPushButton* cmd_Kao = nullptr;
  QMenu* mnus_Phot = nullptr;
  FileChooser* files_ = nullptr;
  Launcher* launcher_ = nullptr;
  std::unique_ptr<PhotoCounter> ownCounter_;
  PhotoCounter* counter_ = nullptr;
  std::string programFolder_;
  const Clock& clock_;
  std::unique_ptr<PhotoState> photo_;
  QLabel* statusBar_ = nullptr;
};
