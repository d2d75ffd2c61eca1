// Another program (jbx from a script, a sync tool, a second machine's copy)
// may write the open book while the window shows it: the window watches the
// book's folders and takes such writes in within a second, keeping the view
// where it is, and says once in the status bar that it did.
#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "mainview/host/MainFeature.h"

class FeatureHost;
class MainObjects;
class Prompter;
class QStatusBar;

class QtBookWatcher : public QObject, public MainFeature {
 public:
  // Over the window's book, its status bar, and the host's reading again.
  explicit QtBookWatcher(FeatureHost& host);
  // `reload` rebuilds and repaints the view after records were taken in.
  QtBookWatcher(MainObjects& objects, QStatusBar& status, std::function<void()> reload);
  // Watches the folders of the book now open (call after each opening).
  void WatchBook();
  // When a sync tool left conflict copies beside the book's month files,
  // asks once whether to merge them and does.
  void OfferConflictMerge(Prompter& prompter);
  // MainFeature: watches each book as it opens, and offers the merge then
  void BookOpened(bool startUp) override;
  // What the watcher does when a folder changed; public for tests.
  void TakeInOutsideChanges();

 private:
  void Changed();
  void Reloaded();
  MainObjects& objects_;
  Prompter* prompter_ = nullptr;
  QStatusBar& status_;
  std::function<void()> reload_;
  QFileSystemWatcher watcher_;
  QTimer settle_;  // a writer's temporary, rename and sync come as several events
  bool reloadQueued_ = false;
};
