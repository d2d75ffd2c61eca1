#include "mainview/watch/QtBookWatcher.h"

#include <QMainWindow>
#include <QStatusBar>

#include "alarm/CMyAlarm.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainObjects.h"
#include "mainview/sheet/CMyView.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/SharedConflicts.h"
#include "store/CMyPeriods.h"

QtBookWatcher::QtBookWatcher(FeatureHost& host)
    : QtBookWatcher(host.Context().objects, *host.Window().statusBar(), [&host] { host.ReloadFromDisk(); }) {
  prompter_ = &host.Context().prompter;
}

void QtBookWatcher::BookOpened(bool) {
  WatchBook();
  // a sync tool met two machines' changes to one month: offered once at opening
  if (prompter_) OfferConflictMerge(*prompter_);
}

QtBookWatcher::QtBookWatcher(MainObjects& objects, QStatusBar& status, std::function<void()> reload)
    : objects_(objects), status_(status), reload_(std::move(reload)) {
  settle_.setSingleShot(true);
  settle_.setInterval(200);
  connect(&settle_, &QTimer::timeout, this, [this] { TakeInOutsideChanges(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Changed(); });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Changed(); });
  objects_.periods->TrackChanges(true);
  // records taken in at a save or a refresh: the view follows once the
  // command in hand has finished with its rows
  objects_.periods->SetOnOutsideChange([this] { Reloaded(); });
}

void QtBookWatcher::WatchBook() {
  const QStringList old = watcher_.directories();
  if (!old.isEmpty()) watcher_.removePaths(old);
  const CMyGlobal& g = *objects_.global;
  for (const std::string& dir : {g.DivisionPath(""), g.UserPath(""), g.DataRoot()}) {
    const QString path = QString::fromStdString(dir);
    if (!path.isEmpty() && !watcher_.directories().contains(path)) (void)watcher_.addPath(path);
  }
}

void QtBookWatcher::Changed() { settle_.start(); }

void QtBookWatcher::OfferConflictMerge(Prompter& p) {
  const auto copies = objects_.periods->ConflictCopies();
  const auto others = sharedconflicts::Find(*objects_.global);
  if (copies.empty() && others.empty()) return;
  std::string names;
  for (const std::string& c : copies) names += "\n" + cp932::FromUtf8(c);
  for (const auto& c : others) names += "\n" + cp932::FromUtf8(fileops::BaseName(c.copy));
  if (!p.Confirm("同期ツールが残した競合コピーがあります。記録を統合しますか？"_sj + names +
                 "\n（統合したコピーは「.merged-日付」を付けて残します）"_sj))
    return;
  std::vector<std::string> report;
  const int merged = copies.empty() ? 0 : objects_.periods->MergeConflictCopies(report);
  if (merged > 0) (void)objects_.view->ReloadView();
  if (merged >= 0 && !others.empty()) {
    (void)sharedconflicts::Merge(*objects_.global, p, report);
    if (objects_.alarm) (void)objects_.alarm->Refresh(objects_.global->UserPath("alarm.dat"));
  }
  if (report.empty()) return;
  std::string text = "競合コピーを統合しました。"_sj;
  for (const std::string& line : report) text += "\n" + line;
  p.Show(text, "ひとこと帳"_sj, PromptIcon::Information, PromptButtons::Ok);
}

void QtBookWatcher::TakeInOutsideChanges() {
  // our own saves leave every file as the periods remember it: nothing then
  (void)objects_.periods->RefreshFromDisk();
  // an alarm `jbx add` made rings here too
  if (objects_.alarm) (void)objects_.alarm->Refresh(objects_.global->UserPath("alarm.dat"));
}

void QtBookWatcher::Reloaded() {
  status_.showMessage(QStringLiteral("他のプログラムがこの分類を書き換えたため、読み込み直しました。"),
                      15000);
  if (reloadQueued_) return;
  reloadQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    reloadQueued_ = false;
    reload_();
  });
}
