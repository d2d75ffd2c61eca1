#include "mainview/tray/AlarmActions.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMetaObject>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

#include "alarm/AlarmEditor.h"
#include "alarm/TfrmAlarm.h"
#include "alarm/TfrmMissedAlarms.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "mainview/tray/QtTray.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "qtkit/DayLeaf.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtNotifier.h"
#include "qtkit/QtText.h"

namespace {
const char* const kFileMenu = "ファイル(&F)";
const char* const kTrayPopup = "#mnusTask";
}  // namespace

QString AlarmActions::NoTrayTip() {
  return QStringLiteral("タスクトレイ（通知領域）がこのデスクトップにないため使えません");
}

AlarmActions::AlarmActions(FeatureHost& host)
    : AlarmActions(host.Actions(), host.Dialogs(), host.Context(), host.Window()) {}

AlarmActions::AlarmActions(MainActions& a, DialogRunner& dialogs, MainContext& ctx, QMainWindow& window)
    : a_(a), dialogs_(dialogs), ctx_(ctx), window_(window) {
  a.Add({"mnu_FileAlarm",
         kFileMenu,
         "アラームの設定(&L)...",
         {},
         when::Started,
         [this] { mnu_FileAlarm(); },
         "alarm"});
  task_ = a.Add({"mnuFileTask",
                 kFileMenu,
                 "タスクに入れる",
                 {},
                 [](const MainState& s) { return s.started && QSystemTrayIcon::isSystemTrayAvailable(); },
                 [this] { mnuFileTask(); },
                 "alarm"});
  QMenu* file = a.Menu(QString::fromUtf8(kFileMenu));
  file->setToolTipsVisible(true);
  connect(file, &QMenu::aboutToShow, task_,
          [this] { task_->setToolTip(QSystemTrayIcon::isSystemTrayAvailable() ? QString() : NoTrayTip()); });
  task_->setToolTip(QSystemTrayIcon::isSystemTrayAvailable() ? QString() : NoTrayTip());

  QAction* view = a.Add({"mnusTaskView", kTrayPopup, "表示", {}, when::Always, [this] { mnusTaskView(); }});
  a.AddSeparator(kTrayPopup);
  a.Add({"mnusTaskClose", kTrayPopup, "閉じる", {}, when::Always, [this] { mnusTaskClose(); }});

  ownSound_ = std::make_unique<CanberraPlayer>();
  ownNotifier_ = std::make_unique<QtNotifier>();
  ownTray_ = new QtTray(window, a.Menu(QString::fromUtf8(kTrayPopup)), task_, view,
                        [this] { tray_->ShowFromTray(); });
  sound_ = ownSound_.get();
  notifier_ = ownNotifier_.get();
  trayPort_ = ownTray_;
  Rebuild();
}

AlarmActions::~AlarmActions() = default;

void AlarmActions::Rebuild() {
  ticker_.reset();
  tray_ = std::make_unique<TrayModel>(*trayPort_, ctx_.clock);
  ticker_ = std::make_unique<AlarmTicker>(*ctx_.objects.alarm, *ctx_.objects.global, ctx_.clock,
                                          ctx_.prompter, *sound_, *notifier_, *tray_, *this);
  // each box from the event loop, on its own, as a posted call: the tick
  // returns first, so the next tick comes while the box is open (a timer
  // whose handler is still running does not fire again)
  ticker_->SetLater([this](std::function<void()> box) {
    QMetaObject::invokeMethod(this, std::move(box), Qt::QueuedConnection);
  });
}

void AlarmActions::UseSeams(SoundPlayer* sound, Notifier* notifier, TrayPort* tray) {
  if (sound) sound_ = sound;
  if (notifier) notifier_ = notifier;
  if (tray) trayPort_ = tray;
  Rebuild();
}

void AlarmActions::Timer1Timer() {
  if (ticker_) ticker_->Timer1Timer();
}

void AlarmActions::Closed() {
  if (!tray_->InTray()) return;
  trayPort_->RemoveIcon();
  QApplication::quit();
}

void AlarmActions::ShowAtStart(bool task, bool minusC) {
  if (task && tray_->EnterTray()) {
    if (!minusC) tray_->ShowFromTray();
    return;
  }
  // no tray to wait in: the window shows, whatever "-c" asked
  window_.show();
}

void AlarmActions::mnusTaskClose() { (void)window_.close(); }

void AlarmActions::mnu_FileAlarm() {
  MainObjects& o = ctx_.objects;
  AlarmEditor editor(*o.alarm, ctx_.clock, ctx_.prompter, ctx_.beeper);
  TfrmAlarm dlg(editor, *o.global, dialogs_, ctx_.files, ctx_.prompter, &window_);
  (void)dialogs_.Run(dlg);
}

void AlarmActions::Note(const std::string& text) { window_.statusBar()->showMessage(FromSj(text), 15000); }

void AlarmActions::ShowMissed(const std::vector<std::string>& lines) {
  TfrmMissedAlarms dlg(lines, window_.isVisible() ? &window_ : nullptr);
  (void)dialogs_.Run(dlg);
}

void AlarmActions::DateChanged(CivilDate today) {
  window_.setWindowTitle(CaptionFor(today));
  window_.setWindowIcon(DayIcon(today.day));
}

bool AlarmActions::ShowAtStart(bool minusC) {
  ShowAtStart(ctx_.objects.global->task, minusC);
  return true;
}

bool AlarmActions::CloseRequested() { return CloseRequest(); }

void AlarmActions::Closing() {
  CMyGlobal& g = *ctx_.objects.global;
  if (!ctx_.objects.alarm->Save(g.UserPath("alarm.dat")))
    ctx_.prompter.Warn("アラームを保存できませんでした。"_sj);
}

void AlarmActions::KeepSettings() { ctx_.objects.global->task = InTray(); }
