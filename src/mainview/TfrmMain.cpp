#include "mainview/TfrmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

#include "catalogue/ListRecovery.h"
#include "extract/ChartActions.h"
#include "input/StoreInputPorts.h"
#include "input/TfrmInput.h"
#include "mainview/AlarmActions.h"
#include "mainview/EditActions.h"
#include "mainview/EntryActions.h"
#include "mainview/ExchangeActions.h"
#include "mainview/ExtractActions.h"
#include "mainview/FileActions.h"
#include "mainview/FileCommands.h"
#include "mainview/HelpActions.h"
#include "mainview/HolidayActions.h"
#include "mainview/OptionActions.h"
#include "mainview/PrintActions.h"
#include "mainview/QtBookWatcher.h"
#include "mainview/SearchActions.h"
#include "mainview/SheetActions.h"
#include "mainview/ViewInputPort.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/FileOps.h"
#include "platform/Launcher.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "qtkit/DayLeaf.h"
#include "qtkit/DesktopOpener.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtFileChooser.h"
#include "shell/CivilDays.h"
#include "shell/TfrmNewUser.h"

TfrmMain::TfrmMain(MainEnvironment env, QWidget* parent) : QMainWindow(parent), env_(std::move(env)) {
  setObjectName("frmMain");
  if (!env_.dialogs) env_.dialogs = (ownDialogs_ = std::make_unique<DialogRunner>()).get();
  if (!env_.files) env_.files = (ownFiles_ = std::make_unique<QtFileChooser>(this)).get();
  if (!env_.clipboard) env_.clipboard = (ownClipboard_ = std::make_unique<QtClipboard>()).get();
  if (!env_.opener) env_.opener = (ownOpener_ = std::make_unique<DesktopOpener>()).get();
  if (!env_.launcher) env_.launcher = (ownLauncher_ = std::make_unique<ProcessLauncher>()).get();
  BuildWidgets();
  actions_ = new MainActions(*this, [this] { return State(); });
}

TfrmMain::~TfrmMain() { FormClose(); }

QIcon TfrmMain::DayIcon(int day) {
  // a leaf of a desk calendar showing the day, so the task bar shows the date
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(DrawDayLeaf(day, size));
  return icon;
}

QString TfrmMain::CaptionFor(CivilDate today) {
  static const char* kDays[7] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
  return QString::asprintf("ひとこと(%04d年%02d月%02d日 %s)", today.year, today.month, today.day,
                           kDays[civil::Weekday(today) - 1]);
}

MainState TfrmMain::State() const {
  MainState s;
  s.started = started_;
  if (CMyView* v = View()) {
    s.dataKind = v->DataKind();
    s.displayMode = v->DisplayMode();
  }
  if (objects_) s.groupShown = objects_->groupShown;
  return s;
}

void TfrmMain::BuildActions() {
  actions_->DeclareMenus({"ファイル(&F)", "編集(&E)", "検索(&S)", "ヘルプ(&H)"});
  RegisterFileActions(*actions_, *fileCommands_, *this);
  RegisterHolidayActions(*actions_, *env_.dialogs, *context_, *this, [this] {
    objects_->view->RebuildRows();  // the rows point into the calendar's old lists
    AfterViewChange();
  });
  RegisterExchangeActions(
      *actions_, *env_.dialogs, *context_, *this, [this] { AfterViewChange(); }, *fileCommands_);
  RegisterPrintActions(*actions_, *env_.dialogs, *context_, *this, *this);
  RegisterOptionActions(*actions_, *env_.dialogs, *context_, *this, *this);
  RegisterSheetActions(*actions_, *objects_->view, [this] { AfterViewChange(); });
  RegisterEntryActions(*actions_, *entryCommands_);
  editActions_ = std::make_unique<EditActions>(*actions_, *editCommands_);
  for (int i = 0; i < 3; ++i)
    connect(cmd_Palette[i], &QToolButton::clicked, actions_->Find(QStringLiteral("cmd_Cr%1").arg(i + 1)),
            &QAction::trigger);
  extract_ = RegisterExtractActions(
      *actions_, *env_.dialogs, *context_, *this, [this] { AfterViewChange(); },
      [this] {
        if (input_) input_->hide();
      });
  RegisterChartActions(*actions_, *env_.dialogs, *context_, *this, extract_->Commands());
  RegisterSearchActions(*actions_, *search_, [this] { return popupField_; });
  alarmActions_ = RegisterAlarmActions(*actions_, *env_.dialogs, *context_, *this, *editCommands_);
  watcher_ = std::make_unique<QtBookWatcher>(*objects_, *statusBar(), [this] {
    if (!objects_) return;
    (void)objects_->view->ReloadView();
    // a month another program began is listed now: the shown range reads it
    (void)objects_->view->MoveView(0, 0);
    AfterViewChange();
  });
  RegisterHelpActions(*actions_, *objects_->global);
  AddToolButtons();
  // a closed menu (Escape, a click elsewhere, a command) leaves the keys
  // with the sheet, never with a menu bar that shows no highlight
  for (QMenu* m : findChildren<QMenu*>())
    connect(m, &QMenu::aboutToHide, this, [this] {
      QTimer::singleShot(0, this, [this] {
        if (!QApplication::activePopupWidget() && scr_Key) scr_Key->setFocus();
      });
    });
  // the pop-ups have no menu bar entry to name them
  actions_->Menu(QStringLiteral("#pmenu_MainPopup"))->setAccessibleName(QStringLiteral("シートのメニュー"));
  actions_->Menu(QStringLiteral("#mnusTask"))->setAccessibleName(QStringLiteral("タスクトレイのメニュー"));
}

void TfrmMain::FormCreate() {
  MainSeams seams{env_.prompter, env_.beeper, env_.clock, env_.programFolder, env_.dataHome, env_.dataRoot};
  objects_ = std::make_unique<MainObjects>(seams, std::move(pendingLoader_));
  (void)objects_->global->RecoverDataRoot();
  context_ =
      std::make_unique<MainContext>(MainContext{*objects_, *env_.prompter, *env_.beeper, *env_.clock,
                                                *env_.files, *env_.clipboard, *env_.opener, env_.launcher});
  fileCommands_ = std::make_unique<FileCommands>(*context_, *this);
  entryCommands_ = std::make_unique<EntryCommands>(*context_, *this);
  editCommands_ = std::make_unique<EditCommands>(*context_, *this);
  search_ = std::make_unique<SearchWindows>(*this, *context_, [this] { AfterViewChange(); });
  inputView_ = std::make_unique<ViewInputPort>(*objects_, [this] { AfterViewChange(); });
  inputAlarms_ = std::make_unique<AlarmInputPort>(*objects_->alarm);
  BuildActions();
  CMyGlobal& g = *objects_->global;
  g.SetOpener(env_.opener);
  if (env_.sheetHeight > 0) SetSheetHeight(env_.sheetHeight);

  g.ReadSettings(true);
  if (!env_.user.empty()) g.SetUserName(env_.user);

  if (g.UserName().empty()) {
    if (!AskUser(cp932::FromUtf8("新規ユーザー"))) {
      g.UndoFirstRun();  // a cancelled first run leaves nothing behind
      return;            // FormShow closes the window
    }
  }
  // nothing of the user could be saved: said now, not at the first save
  if (!fileops::MakeDirs(g.UserPath(""))) env_.prompter->Warn("ユーザーフォルダを作成できませんでした。"_sj);
  (void)listrecovery::LoadDivisionList(g, objects_->Table(kUserTable), *env_.prompter, *env_.clock);
  if (OpenDivision(OpenDivisionMode::StartUp, 0) != 0) return;

  RestoreBounds();
  btn_WinW->setChecked(g.autoWidth);
  if (g.autoWidth) FitWidth(false);
  panel_Scr->setVisible(g.scrVisible);
  CivilDate today = g.Today();
  setWindowTitle(CaptionFor(today));
  setWindowIcon(DayIcon(today.day));
  objects_->alarm->Load(g.UserPath("alarm.dat"));
  // the one-second tick that raises due alarms and follows the change of date
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &TfrmMain::TimerTick);
  timer->start(1000);
  GoToday();
}

void TfrmMain::TimerTick() {
  if (objects_ && alarmActions_) alarmActions_->Timer1Timer();
}

void TfrmMain::ShowAtStart() {
  if (!started_ || !alarmActions_) {
    show();  // FormShow ends a run that never started
    return;
  }
  alarmActions_->ShowAtStart(objects_->global->task, StartsInTray());
}

bool TfrmMain::StartsInTray() const {
  if (!Global() || !Global()->task) return false;  // "-c" counts only after a close from the tray
  return !env_.arguments.isEmpty() && env_.arguments.first().toLower() == QStringLiteral("-c");
}

void TfrmMain::RestoreBounds() {
  CMyGlobal& g = *objects_->global;
  const int w = g.width[CMyGlobal::kMainWindow] > 0 ? g.width[CMyGlobal::kMainWindow] : 462;
  const int h = g.height[CMyGlobal::kMainWindow] > 0 ? g.height[CMyGlobal::kMainWindow] : 600;
  resize(w, h);
  // The stored position is the frame's (see FormCloseQuery). A first run, or
  // a window stored on a monitor that is gone, opens inside the screen with
  // its title bar reachable.
  QPoint at(g.left[CMyGlobal::kMainWindow], g.top[CMyGlobal::kMainWindow]);
  const bool stored = g.width[CMyGlobal::kMainWindow] > 0;
  if (QScreen* s = QApplication::primaryScreen()) {
    const QRect avail = s->availableGeometry();
    if (!stored || !avail.intersects(QRect(at, QSize(w, h)))) at = avail.topLeft() + QPoint(40, 40);
  }
  move(at);
}

void TfrmMain::FormShow() {
  if (!started_) {
    // nothing to show: a cancelled first run ends the program
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  firstShow_ = true;
  scr_Key->setFocus();
  // once the window is on the screen behind it
  QTimer::singleShot(0, this, [this] {
    if (started_) OfferBackupAtStart(*env_.dialogs, *context_, this);
  });
  // the frame is known only once the window manager has decorated the
  // window: a title bar above the screen cannot be grabbed, so move it in
  QTimer::singleShot(200, this, [this] {
    QScreen* s = screen() ? screen() : QApplication::primaryScreen();
    if (!s) return;
    const QRect avail = s->availableGeometry();
    const QRect f = frameGeometry();
    if (f.top() < avail.top() || f.left() < avail.left())
      move(std::max(f.left(), avail.left()), std::max(f.top(), avail.top()));
  });
}

void TfrmMain::FormCloseQuery() {
  if (!objects_ || !started_) return;
  CloseReference();  // its place goes to the settings written below
  CMyGlobal& g = *objects_->global;
  if (!objects_->alarm->Save(g.UserPath("alarm.dat")))
    env_.prompter->Warn("アラームを保存できませんでした。"_sj);
  KeepWindowSettings();
  g.WriteSettings(true);
}

void TfrmMain::KeepWindowSettings() {
  CMyGlobal& g = *objects_->global;
  const QRect r(frameGeometry().topLeft(), geometry().size());  // where move() puts it back
  if (btn_WinW->isChecked()) {
    int stored = g.left[CMyGlobal::kMainWindow];
    if (r.left() < stored - 100 || r.left() > stored + 50) g.left[CMyGlobal::kMainWindow] = r.left();
  } else {
    g.width[CMyGlobal::kMainWindow] = r.width();
    g.left[CMyGlobal::kMainWindow] = r.left();
  }
  g.top[CMyGlobal::kMainWindow] = r.top();
  g.height[CMyGlobal::kMainWindow] = r.height();
  g.task = alarmActions_ && alarmActions_->InTray();
  g.autoWidth = btn_WinW->isChecked();
  g.scrVisible = !panel_Scr->isHidden();
}

void TfrmMain::FollowWindowSettings() {
  const CMyGlobal& g = *objects_->global;
  btn_WinW->setChecked(g.autoWidth);  // the next book widens the window when it is down
  panel_Scr->setVisible(g.scrVisible);
}

void TfrmMain::FormClose() {
  if (closed_) return;
  closed_ = true;
  started_ = false;  // late widget events find nothing to act on
  DropInputForm();
  inputAlarms_.reset();
  inputView_.reset();
  alarmActions_.reset();
  watcher_.reset();
  extract_.reset();
  search_.reset();
  entryCommands_.reset();
  fileCommands_.reset();
  context_.reset();
  objects_.reset();  // its members go in the reverse order of their creation
}

void TfrmMain::CloseReference() {
  if (search_) search_->CloseReference();
}

void TfrmMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!firstShow_) FormShow();
}

void TfrmMain::closeEvent(QCloseEvent* e) {
  // in the tray the window's close button only hides it; "終了" closes
  if (alarmActions_ && started_ && e->spontaneous() && !alarmActions_->CloseRequest()) {
    e->ignore();
    return;
  }
  FormCloseQuery();
  e->accept();
  if (alarmActions_) alarmActions_->Closed();
}

void TfrmMain::btn_WinWClick() {
  CMyGlobal& g = *objects_->global;
  if (!btn_WinW->isChecked()) {
    // x() and y() are the frame's, as move() takes them; setGeometry would
    // take them as the inner area's and walk the window up the screen
    resize(g.width[CMyGlobal::kMainWindow], height());
    move(g.left[CMyGlobal::kMainWindow], y());
    return;
  }
  g.left[CMyGlobal::kMainWindow] = x();
  g.width[CMyGlobal::kMainWindow] = width();
  FitWidth(false);
}

void TfrmMain::FitWidth(bool alsoNarrower) {
  const ViewScreen& vs = objects_->view->Screen();
  const int sheet = std::max(vs.keyAreaWidth[0], vs.keyAreaWidth[1]) + vs.fieldAreaWidth;
  // the window's frame around the sheet: scroll bar, margins
  const int need = sheet + (width() - paiMain->width()) + 4;
  if (width() >= need && !alsoNarrower) return;
  QScreen* screen = this->screen();
  const int screenW = screen ? screen->availableGeometry().width() : need;
  int left = x();
  if (screenW - left - width() < left) left = x() + width() - need;  // keep the right edge
  left = std::max(0, std::min(left, screenW - need));
  resize(need, height());
  move(left, y());
}
