// The main window: owns every shared object of the run, creates them in a
// fixed order and frees them in the reverse order at close, and hosts the
// sheet with its navigation controls.
#pragma once
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

#include "catalogue/DivisionCommands.h"
#include "mainview/ViewPorts.h"
#include "platform/Clock.h"

class CMyGlobal;
class CMyPublic;
class CMyLine;
class CMyDB;
class CMyRec;
class CMyView;
class CMyMaster;
class CMyPeriods;
class CMyAlarm;
class CMyScr;
class RecordRowSource;
class ScrSheetScreen;
class SheetPainter;
class ViewRecords;
class ViewCalendar;
class HolidayCalendar;
class ViewPeriods;
class Prompter;
class Beeper;
class QTabBar;
class QWidget;
class QLabel;
class QToolButton;
class QScrollBar;
class QPushButton;
class TfrmNewUser;
class TfrmHanyoData;
class TfrmSetColor;

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
  // Shows the new-user dialog modally (tests script it); returns its result.
  std::function<bool(TfrmNewUser&)> runNewUser;
  // The division and screen dialogs: 1 OK, 0 cancel. Tests script them;
  // by default the real dialogs are shown.
  std::function<int(int mode)> runNewDiv;  // 0 new, 1 re-install
  std::function<int()> runNewDivIn;
  std::function<int(int mode, int index)> runNewScr;  // 0 new, 1 repair `index`

  std::function<std::string(::TfrmHanyoData&)> runName;  // the rename dialog (CP932 text, "" cancel)
  std::function<void(TfrmSetColor&)> runSetColor;        // the colour-kind dialog
};

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(MainEnvironment env, QWidget* parent = nullptr);
  ~TfrmMain() override;

  void FormCreate();
  void FormShow();
  void FormCloseQuery();
  void FormClose();

  // Makes a division current (mode 9 start-up, 8 after a change of user,
  // 1 create a new one, 0 switch). 0; 1 cancelled first division; -1 failed.
  int OpenDivision(int mode, int index);
  // Makes a screen of the current division current. 0, or -1.
  int OpenScreen(int quiet, int mode, int index);
  bool LoadScreenDefinition(int index);
  CMyMaster* Table(int slot) const { return slot >= 0 && slot < 10 ? tables_[slot].get() : nullptr; }
  int CurrentDivision() const { return divIndex_; }
  int CurrentScreen() const { return scrIndex_; }
  void SetScreenLoader(std::unique_ptr<ScreenLoader> loader);
  void SetNewUserRunner(std::function<bool(TfrmNewUser&)> run) { env_.runNewUser = std::move(run); }

  bool Started() const { return started_; }
  // Closed from the tray last time and started with "-c" (any case): the
  // window waits in the tray instead of showing.
  bool StartsInTray() const;
  // Whether the window is in the tray now (remembered as TASK at close).
  void SetInTray(bool inTray) { inTray_ = inTray; }
  // Tells the view how tall the paint box is (before navigating).
  void SetSheetHeight(int pixels);
  // The sheet as the paint box of that size would show it.
  QImage RenderSheetImage(int width, int height);
  CMyGlobal* Global() const { return global_.get(); }
  CMyView* View() const { return view_.get(); }
  CMyAlarm* Alarms() const { return alarm_.get(); }
  // "ひとこと(yyyy年mm月dd日 dddd)"
  static QString CaptionFor(CivilDate today);
  // The window icon: a calendar leaf with the day of the month.
  static QIcon DayIcon(int day);

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
  QScrollBar* scr_Right = nullptr;
  QScrollBar* scr_Bottom = nullptr;
  QScrollBar* scr_Key = nullptr;
  QLabel* statusPanel0 = nullptr;
  QLabel* statusPanel1 = nullptr;

 public slots:
  void mnu_FileUserClick();
  void tbt_LeftClick();
  void tbt_RightClick();
  void lbl_YYYYMMClick();
  void cmd_ModeMMClick();
  void cmd_ModePickoutClick();
  void tab_DivChange(int index);
  void btn_WinWClick();
  void mnuFileNewDivClick();
  void mnuFileColorClick();
  void mnu_FileUpDivClick();
  void mnuFileNewScrClick();
  void mnuFileDelDivClick();
  void mnuFileChgDivClick();
  void mnuFileDivMoveUpClick();
  void mnuFileDivMoveDownClick();
  void mnuFileDelScrClick();
  void mnuFileChgScrClick();
  void mnuFileScrMoveLeftClick();
  void mnuFileScrMoveRightClick();
  void tab_ScrChange(int index);
  void mnuSelMovePrevNenClick();
  void mnuSelMoveNextNenClick();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void BuildWidgets();
  void BuildMenus();
  void RestoreBounds();
  // Labels, scroll bars and repaint after the view moved.
  void AfterViewChange();
  void UpdateScrollBars();
  // Data kind from the 164-byte header item of "scrin.jsc": 0 read, 1 no
  // readable file, -1 header of another size.
  int ReadInputHeader(int& kind) const;
  void RebuildDivisionTabs(int select);
  void RebuildScreenTabs(int select);
  void paiMainPaint();
  void TimerTick();
  void RefreshPaletteButtons();
  // The one-line name dialog; "" when cancelled.
  std::string AskName(int mode, const std::string& current);
  void MoveDivisionTab(int direction);
  void MoveScreenTab(int direction);
  // Widens the window to the sheet (and narrows it too after a change of book).
  void FitWidth(bool alsoNarrower);
  void RenderOffscreen(int width, int height);
  void paiMainMouseDown(int y);
  void UpdateRowStatus();

  MainEnvironment env_;
  // Shared objects, in creation order; released in reverse.
  std::unique_ptr<CMyGlobal> global_;
  std::unique_ptr<CMyPublic> public_;
  std::unique_ptr<CMyDB> db_;
  std::unique_ptr<CMyRec> rec_;
  std::unique_ptr<CMyRec> rec2_;
  std::unique_ptr<CMyLine> lines_;
  std::unique_ptr<ViewRecords> viewRecords_;
  std::unique_ptr<HolidayCalendar> calendar_;
  std::unique_ptr<ViewCalendar> viewCalendar_;
  std::unique_ptr<ViewPeriods> viewPeriods_;
  std::unique_ptr<CMyView> view_;
  std::unique_ptr<CMyMaster> tables_[10];
  std::unique_ptr<CMyAlarm> alarm_;
  std::unique_ptr<CMyPeriods> periods_;
  // the alarm list learns of deleted and renamed divisions
  struct AlarmHook : DivisionAlarms {
    TfrmMain* w;
    explicit AlarmHook(TfrmMain* win) : w(win) {}
    void RemoveDivision(const std::string& d) override;
    void RenameDivision(const std::string& a, const std::string& b) override;
  } alarmHook_{this};
  int lastDay_ = 0;
  std::unique_ptr<ScreenLoader> screenLoader_;
  std::unique_ptr<CMyScr> scr_;
  std::unique_ptr<RecordRowSource> rowSource_;
  std::unique_ptr<ScrSheetScreen> sheetScreen_;
  std::unique_ptr<SheetPainter> painter_;
  QImage offscreen_;
  int divIndex_ = 0;
  int scrIndex_ = 0;
  int dataKind_ = 0;

  bool created_ = false;  // FormCreate got as far as creating the objects
  bool started_ = false;  // a user and a division are open
  bool firstShow_ = false;
  bool closed_ = false;
  bool updating_ = false;  // scroll-bar and tab events are the program's own
  bool inTray_ = false;
};
