#include "mainview/window/TfrmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "catalogue/menu/QtBookDialogs.h"
#include "mainview/window/FeatureList.h"
#include "mainview/window/InputFormSlot.h"
#include "mainview/window/WindowPlacement.h"
#include "platform/Prompter.h"
#include "qtkit/DayLeaf.h"

TfrmMain::TfrmMain(MainEnvironment env, QWidget* parent) : QMainWindow(parent), env_(std::move(env)) {
  setObjectName("frmMain");
  ownSeams_.Fill(env_, this);
  BuildWidgets();
  actions_ = new MainActions(*this, [this] { return State(); });
}

TfrmMain::~TfrmMain() { FormClose(); }

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
  DeclareMainMenus(*actions_);
  features_ = BuildFeatures(*this);
  for (int i = 0; i < 3; ++i)
    connect(tb_.cmd_Palette[i], &QToolButton::clicked, actions_->Find(QStringLiteral("cmd_Cr%1").arg(i + 1)),
            &QAction::trigger);
  // the entry buttons sit after the month label, before the colour palette
  AddToolButtons(*actions_, *tb_.bar, tb_.bar->indexOf(tb_.tbt_Right), *this);
  actions_->ReturnKeysOnClose(scr_Key);
}

void TfrmMain::FormCreate() {
  MainSeams seams{env_.prompter, env_.beeper, env_.clock, env_.programFolder, env_.dataHome, env_.dataRoot};
  objects_ = std::make_unique<MainObjects>(seams, std::move(pendingLoader_));
  (void)objects_->global->RecoverDataRoot();
  context_ =
      std::make_unique<MainContext>(MainContext{*objects_, *env_.prompter, *env_.beeper, *env_.clock,
                                                *env_.files, *env_.clipboard, *env_.opener, env_.launcher});
  opener_ = std::make_unique<BookOpener>(*context_, *this);
  input_ = std::make_unique<InputFormSlot>(
      *context_, *env_.dialogs, this, [this] { AfterViewChange(); },
      [this] {
        if (services_.editColors) services_.editColors();
      });
  BuildActions();
  CMyGlobal& g = *objects_->global;
  g.SetOpener(env_.opener);
  if (env_.sheetHeight > 0) SetSheetHeight(env_.sheetHeight);

  // a cancelled first run ends here, and FormShow closes the window
  if (!opener_->OpenUser(env_.user, [this](const std::string& name) { return AskUser(name); })) return;
  if (OpenDivision(OpenDivisionMode::StartUp, 0) != 0) return;

  placement::RestoreBounds(*this, g);
  tb_.btn_WinW->setChecked(g.autoWidth);
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
  if (objects_)
    for (auto& f : features_) f->Tick();
}

void TfrmMain::ShowAtStart() {
  // a run that never started shows, and FormShow ends it
  if (started_)
    for (auto& f : features_)
      if (f->ShowAtStart(StartsInTray())) return;
  show();
}

bool TfrmMain::StartsInTray() const {
  if (!Global() || !Global()->task) return false;  // "-c" counts only after a close from the tray
  return !env_.arguments.isEmpty() && env_.arguments.first().toLower() == QStringLiteral("-c");
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
    if (started_)
      for (auto& f : features_) f->WindowShown();
  });
  // the frame is known only once the window manager has decorated the
  // window: a title bar above the screen cannot be grabbed, so move it in
  QTimer::singleShot(200, this, [this] { placement::MoveIntoScreen(*this); });
}

void TfrmMain::FormCloseQuery() {
  if (!objects_ || !started_) return;
  LeaveView();  // the reference window's place goes to the settings written below
  for (auto& f : features_) f->Closing();
  KeepWindowSettings();
  objects_->global->WriteSettings(true);
}

void TfrmMain::KeepWindowSettings() {
  CMyGlobal& g = *objects_->global;
  placement::KeepBounds(*this, g, tb_.btn_WinW->isChecked());
  g.autoWidth = tb_.btn_WinW->isChecked();
  g.scrVisible = !panel_Scr->isHidden();
  for (auto& f : features_) f->KeepSettings();
}

void TfrmMain::FollowWindowSettings() {
  const CMyGlobal& g = *objects_->global;
  tb_.btn_WinW->setChecked(g.autoWidth);  // the next book widens the window when it is down
  panel_Scr->setVisible(g.scrVisible);
}

void TfrmMain::FormClose() {
  if (closed_) return;
  closed_ = true;
  started_ = false;  // late widget events find nothing to act on
  input_.reset();
  while (!features_.empty()) features_.pop_back();  // the last built goes first
  context_.reset();
  objects_.reset();  // its members go in the reverse order of their creation
}

void TfrmMain::LeaveView() {
  for (auto& f : features_) f->LeavingView();
}

void TfrmMain::HideEntry() {
  if (input_) input_->Hide();
}

void TfrmMain::ReloadFromDisk() {
  if (!objects_) return;
  (void)objects_->view->ReloadView();
  // a month another program began is listed now: the shown range reads it
  (void)objects_->view->MoveView(0, 0);
  AfterViewChange();
  for (auto& f : features_) f->FilesChangedOutside();
}

void TfrmMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!firstShow_) FormShow();
}

void TfrmMain::closeEvent(QCloseEvent* e) {
  // in the tray the window's close button only hides it; "終了" closes
  if (started_ && e->spontaneous())
    for (auto& f : features_)
      if (!f->CloseRequested()) {
        e->ignore();
        return;
      }
  FormCloseQuery();
  e->accept();
  for (auto& f : features_) f->Closed();
}

void TfrmMain::btn_WinWClick() {
  if (placement::WidthFitToggled(*this, *objects_->global, tb_.btn_WinW->isChecked())) FitWidth(false);
}

void TfrmMain::FitWidth(bool alsoNarrower) {
  const ViewScreen& vs = objects_->view->Screen();
  const int sheet = std::max(vs.keyAreaWidth[0], vs.keyAreaWidth[1]) + vs.fieldAreaWidth;
  // the window's frame around the sheet: scroll bar, margins
  placement::FitWidth(*this, sheet + (width() - paiMain->width()) + 4, alsoNarrower);
}
