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

#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainFeature.h"
#include "mainview/host/MainObjects.h"
#include "mainview/host/MainWindowPort.h"
#include "mainview/sheet/FieldUnderMouse.h"
#include "platform/Clock.h"

class DialogRunner;
class FileChooser;
class Clipboard;
class Opener;
class Launcher;
class TfrmInput;
class ViewInputPort;
class AlarmInputPort;
class QHBoxLayout;
class QTabBar;
class QWidget;
class QLabel;
class QToolButton;
class QScrollBar;
class QPushButton;
class BookDialogs;
class QtSheetAccess;

// What the main window needs from its surroundings; tests give their own.
struct MainEnvironment {
  Prompter* prompter = nullptr;
  Beeper* beeper = nullptr;
  const Clock* clock = nullptr;
  std::string programFolder;  // folder of the executable
  std::string dataHome;       // per-user data folder; empty = the platform's
  QStringList arguments;      // command-line arguments after the program name
  std::string dataRoot;       // given outright (jbx render); empty = the usual rules
  std::string user;           // overrides the remembered user (jbx render)
  int sheetHeight = 0;        // paint box height known before the window is shown (jbx render)
  // The seams for dialogs, files, the clipboard and the desktop; each left
  // empty is the real one.
  DialogRunner* dialogs = nullptr;
  FileChooser* files = nullptr;
  Clipboard* clipboard = nullptr;
  Opener* opener = nullptr;
  Launcher* launcher = nullptr;  // starts the picture viewer
};

class TfrmMain : public QMainWindow,
                 public MainWindowPort,
                 public EntryWindow,
                 public EditWindow,
                 public FeatureHost {
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
  int CurrentDivision() const { return divIndex_; }
  int CurrentScreen() const override { return scrIndex_; }
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
  TfrmInput* InputForm() const { return input_; }
  // Windows over the current rows close (the reference window).
  void LeaveView();

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
  void RestoreBounds();
  // Labels, scroll bars and repaint after the view moved.
  void AfterViewChange();
  void UpdateScrollBars();
  // The data kind from the input definition's header: 0 read, 1 no
  // readable file, -1 header of another size.
  int ReadInputHeader(int& kind) const;
  // The book dialogs, with the keys back to the sheet after each.
  BookDialogs Ask();
  void paiMainPaint();
  void TimerTick();
  void RefreshPaletteButtons();
  // Widens the window to the sheet (and narrows it too after a change of book).
  void FitWidth(bool alsoNarrower);
  void RenderOffscreen(int width, int height);
  void paiMainMouseDown(int y);
  void UpdateRowStatus();
  // What a screen reader hears of the sheet, and what it is told when it changes.
  void BuildSheetAccess();
  QString SheetName() const;
  bool SheetKey(int key);
  // The field of the cursor row under a point of the paint box.
  FieldHit FieldAt(QPoint at) const;
  void StepPeriod(int step);
  void GoToday();
  void SetDisplayMode(int mode);
  void btn_WinWClick();
  // The input form of the book just opened (none when it cannot be built).
  void RebuildInputForm();
  void DropInputForm();
  void AddToolButtons();

  MainEnvironment env_;
  std::unique_ptr<DialogRunner> ownDialogs_;
  std::unique_ptr<FileChooser> ownFiles_;
  std::unique_ptr<Clipboard> ownClipboard_;
  std::unique_ptr<Opener> ownOpener_;
  std::unique_ptr<Launcher> ownLauncher_;
  std::unique_ptr<ScreenLoader> pendingLoader_;
  std::unique_ptr<MainObjects> objects_;
  std::unique_ptr<MainContext> context_;
  FeatureServices services_;
  std::vector<std::unique_ptr<MainFeature>> features_;
  FieldHit popupField_;  // the field the popup menu opened over
  std::unique_ptr<ViewInputPort> inputView_;
  std::unique_ptr<AlarmInputPort> inputAlarms_;
  TfrmInput* input_ = nullptr;
  QHBoxLayout* bar_ = nullptr;
  MainActions* actions_ = nullptr;
  std::string cursorKey_;  // the cursor's key as screens change
  QImage offscreen_;
  int divIndex_ = 0;
  int scrIndex_ = 0;
  int dataKind_ = 0;

  bool started_ = false;  // a user and a division are open
  bool firstShow_ = false;
  bool closed_ = false;
  bool updating_ = false;  // scroll-bar and tab events are the program's own

  QToolButton* tbt_Left = nullptr;
  QToolButton* tbt_Right = nullptr;
  QPushButton* lbl_YYYYMM = nullptr;
  QToolButton* cmd_ModeMM = nullptr;
  QToolButton* cmd_ModePickout = nullptr;
  QToolButton* btn_WinW = nullptr;
  QToolButton* cmd_Palette[3] = {nullptr, nullptr, nullptr};  // bound to colour kinds
  QTabBar* tab_Div = nullptr;
  QTabBar* tab_Scr = nullptr;
  QWidget* panel_Scr = nullptr;
  QWidget* paiMain = nullptr;
  QtSheetAccess* sheetAccess_ = nullptr;
  QScrollBar* scr_Right = nullptr;
  QScrollBar* scr_Bottom = nullptr;
  QScrollBar* scr_Key = nullptr;
  QLabel* statusPanel0 = nullptr;
  QLabel* statusPanel1 = nullptr;
  QLabel* lbl_User = nullptr;
};
