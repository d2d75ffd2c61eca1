#include "mainview/MainActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

MainActions::MainActions(QMainWindow& window, std::function<MainState()> state)
    : QObject(&window), window_(window), state_(std::move(state)) {
  setObjectName("mainActions");
}

void MainActions::DeclareMenus(const std::vector<const char*>& paths) {
  for (const char* p : paths) (void)Menu(QString::fromUtf8(p));
}

QMenu* MainActions::Menu(const QString& path) {
  auto it = menus_.find(path);
  if (it != menus_.end()) return it->second;
  const qsizetype slash = path.lastIndexOf('/');
  QMenu* menu = nullptr;
  if (path.startsWith('#')) {
    menu = new QMenu(&window_);
    menu->setObjectName(path.mid(1));
  } else if (slash < 0) {
    menu = window_.menuBar()->addMenu(path);
  } else {
    menu = Menu(path.left(slash))->addMenu(path.mid(slash + 1));
  }
  connect(menu, &QMenu::aboutToShow, this, &MainActions::Refresh);
  menus_[path] = menu;
  return menu;
}

QAction* MainActions::Add(const ActionSpec& spec) {
  auto* action = new QAction(QString::fromUtf8(spec.caption), &window_);
  action->setObjectName(QString::fromUtf8(spec.name));
  if (!spec.shortcut.isEmpty()) {
    action->setShortcut(spec.shortcut);
    window_.addAction(action);  // the shortcut works with the menu closed
  }
  ActionPredicate enabled = spec.enabled ? spec.enabled : ActionPredicate(when::Always);
  auto run = spec.run;
  connect(action, &QAction::triggered, this, [this, enabled, run] {
    // shortcuts and tool buttons reach here without a menu having refreshed
    if (enabled(state_()) && run) run();
  });
  if (spec.menu && *spec.menu) Menu(QString::fromUtf8(spec.menu))->addAction(action);
  actions_.emplace_back(action, enabled);
  return action;
}

void MainActions::AddSeparator(const char* menu) { Menu(QString::fromUtf8(menu))->addSeparator(); }

void MainActions::InsertGroupBefore(const char* menu, const char* before,
                                    const std::vector<QAction*>& group) {
  QMenu* m = Menu(QString::fromUtf8(menu));
  QAction* at = nullptr;
  if (QAction* anchor = Find(QString::fromUtf8(before))) {
    const QList<QAction*> items = m->actions();
    const qsizetype i = items.indexOf(anchor);
    if (i > 0 && items[i - 1]->isSeparator())
      at = items[i - 1];
    else if (i >= 0)
      at = anchor;
  }
  if (!at) {
    m->addSeparator();
    for (QAction* a : group) m->addAction(a);
    return;
  }
  auto* separator = new QAction(m);
  separator->setSeparator(true);
  m->insertAction(at, separator);
  for (QAction* a : group) m->insertAction(at, a);
}

QAction* MainActions::Find(const QString& name) const {
  for (const auto& [action, pred] : actions_)
    if (action->objectName() == name) return action;
  return nullptr;
}

void MainActions::Refresh() {
  const MainState s = state_();
  for (const auto& [action, pred] : actions_) action->setEnabled(pred(s));
}
