// The main window: owns the shared objects of the run (MainObjects), hosts
// the sheet with its navigation controls and the features (window/
// FeatureList.cpp), and tells the features what happens to it. The commands
// themselves live in the features.
#pragma once
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <cstdlib>
#include <memory>
#include <vector>

#include "mainview/host/BookOpener.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainFeature.h"
#include "mainview/host/MainObjects.h"
#include "mainview/host/MainWindowPort.h"
#include "mainview/sheet/FieldUnderMouse.h"
#include "mainview/window/InputFormSlot.h"
#include "mainview/window/MainEnvironment.h"
#include "mainview/window/MainToolBar.h"
#include "platform/Clock.h"

class TfrmInput;
class QHBoxLayout;
class QTabBar;
class QWidget;
class QLabel;
class QToolButton;
class QScrollBar;
class QPushButton;
class BookDialogs;
class QtSheetAccess;
class QtSheetWidget;

class TfrmMain : public QMainWindow,
                 public MainWindowPort,
                 public EntryWindow,
                 public EditWindow,
                 public FeatureHost,
                 public OpeningWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(MainEnvironment env, QWidget* parent = nullptr);
  ~TfrmMain() override;

  void FormCreate();
  void FormShow();
  void FormCloseQuery();
  void FormClose();

  // Makes a division current. 0; 1 cancelled new division; -1 failed.
  int OpenDivision(OpenDivisionMode mode, int index) override;
  // Makes a screen of the current division current. 0, or -1.
  int OpenScreen(bool quiet, OpenScreenMode mode, int index) override;
  bool LoadScreenDefinition(int index);
  CMyMaster* Table(int slot) const {
    return objects_ && slot >= 0 && slot < kTableSlots ? objects_->tables[slot].get() : nullptr;
  }
  int CurrentDivision() const { return opener_ ? opener_->Division() : 0; }
  int CurrentScreen() const override { return opener_ ? opener_->Screen() : 0; }
  // Before FormCreate: the screen reader to use (tests).
  void SetScreenLoader(std::unique_ptr<ScreenLoader> loader) { pendingLoader_ = std::move(loader); }

  bool Started() const { return started_; }
  MainState State() const override;
  // Closed from the tray last time and started with "-c" (any case): the
  // window waits in the tray instead of showing.
  bool StartsInTray() const;
  // Shows the window at start-up, or keeps it in the tray ("-c" after a
  // close from the tray, where a tray host runs).
  void ShowAtStart();
  // The feature of class T (tests reach a feature's commands through it).
  template <class T>
  T& Feature() const {
    for (const auto& f : features_)
      if (auto* t = dynamic_cast<T*>(f.get())) return *t;
    std::abort();  // every feature is built with the window
  }
  // Tells the view how tall the paint box is (before navigating).
  void SetSheetHeight(int pixels);
  // The sheet as the paint box of that size would show it.
  QImage RenderSheetImage(int width, int height);
  CMyGlobal* Global() const { return objects_ ? objects_->global.get() : nullptr; }
  CMyView* View() const { return objects_ ? objects_->view.get() : nullptr; }
  CMyAlarm* Alarms() const { return objects_ ? objects_->alarm.get() : nullptr; }
  MainActions& Actions() override { return *actions_; }
  MainObjects& Objects() { return *objects_; }
  // The current book's input form; null when it has none.
  TfrmInput* InputForm() const { return input_ ? input_->Form() : nullptr; }
  // Windows over the current rows close (the reference window).
  void LeaveView() override;

  // The tab handlers (also how `jbx render` picks a book and a screen).
  void tab_DivChange(int index);
  void tab_ScrChange(int index);

  // MainWindowPort
  int DivisionTab() const override;
  int ScreenTab() const override;
  void DivisionTabsChanged(int select) override;
  void ScreenTabsChanged(int select) override;
  void SetDivisionTabText(int index, const std::string& name) override;
  void SetScreenTabText(int index, const std::string& name) override;
  void ViewChanged() override { AfterViewChange(); }
  void PaletteChanged() override { RefreshPaletteButtons(); }
  std::string AskName(int mode, const std::string& current) override;
  bool AskReinstall() override;
  void EditColorKinds(CMyColorKinds& kinds) override;
  bool AskUser(const std::string& current) override;
  void KeepWindowSettings() override;
  void FollowWindowSettings() override;
  // EntryWindow
  bool ShowEntry(const std::string& key, int index) override;
  // EditWindow
  bool GroupShown() const override { return State().groupShown; }
  const std::vector<jsc::Control>* FormControls() const override;
  void DataReloaded() override;
  // OpeningWindow
  bool AskNewDivision() override;
  bool AskDivisionInput() override;
  bool AskScreen(bool repair, int index) override;
  void ShowScreenTab(int index) override;
  int MeasureMemoLineHeight(int control) override;
  void ScreenClosing() override;
  void ScreenLoaded(int displayMode) override;
  void ScreenOpened() override;
  void BookOpened() override;
  // FeatureHost
  DialogRunner& Dialogs() override { return *env_.dialogs; }
  MainContext& Context() override { return *context_; }
  QMainWindow& Window() override { return *this; }
  MainWindowPort& WindowPort() override { return *this; }
  EntryWindow& EntryPort() override { return *this; }
  EditWindow& EditPort() override { return *this; }
  void HideEntry() override;
  FieldHit FieldUnderMouse() const override { return popupField_; }
  void ReloadFromDisk() override;
  FeatureServices& Services() override { return services_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void BuildWidgets();
  void BuildActions();
  // Labels, scroll bars and repaint after the view moved.
  void AfterViewChange();
  void UpdateScrollBars();
  // The book dialogs, with the keys back to the sheet after each.
  BookDialogs Ask();
  void TimerTick();
  void RefreshPaletteButtons();
  // Widens the window to the sheet (and narrows it too after a change of book).
  void FitWidth(bool alsoNarrower);
  void paiMainMouseDown(int y);
  void UpdateRowStatus();
  bool SheetKey(int key);
  // The field of the cursor row under a point of the paint box.
  FieldHit FieldAt(QPoint at) const;
  void StepPeriod(int step);
  void GoToday();
  void SetDisplayMode(int mode);
  void btn_WinWClick();

  MainEnvironment env_;
  OwnSeams ownSeams_;  // the real seams where the environment gave none
  std::unique_ptr<ScreenLoader> pendingLoader_;
  std::unique_ptr<MainObjects> objects_;
  std::unique_ptr<MainContext> context_;
  FeatureServices services_;
  std::vector<std::unique_ptr<MainFeature>> features_;
  FieldHit popupField_;  // the field the popup menu opened over
  std::unique_ptr<InputFormSlot> input_;
  MainActions* actions_ = nullptr;
  std::string cursorKey_;  // the cursor's key as screens change
  std::unique_ptr<BookOpener> opener_;

  bool started_ = false;  // a user and a division are open
  bool firstShow_ = false;
  bool closed_ = false;
  bool updating_ = false;  // scroll-bar and tab events are the program's own

  MainToolBar tb_;
  QTabBar* tab_Div = nullptr;
  QTabBar* tab_Scr = nullptr;
  QWidget* panel_Scr = nullptr;
  QtSheetWidget* sheet_ = nullptr;
  QWidget* paiMain = nullptr;
  QtSheetAccess* sheetAccess_ = nullptr;
  QScrollBar* scr_Key = nullptr;
  QLabel* statusPanel0 = nullptr;
  QLabel* statusPanel1 = nullptr;
  QLabel* lbl_User = nullptr;
};
