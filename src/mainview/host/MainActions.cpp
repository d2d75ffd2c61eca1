#include "mainview/host/MainActions.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>

MainActions::MainActions(QMainWindow& window, std::function<MainState()> state)
    : QObject(&window), window_(window), state_(std::move(state)) {
  setObjectName("mainActions");
}

void MainActions::DeclareMenus(const std::vector<MenuGroups>& menus) {
  for (const MenuGroups& m : menus) {
    const QString path = QString::fromUtf8(m.menu);
    QMenu* menu = Menu(path);
    std::vector<Group>& groups = groups_[path];
    for (const char* g : m.groups) {
      Group group;
      group.name = QString::fromUtf8(g);
      group.joined = group.name.startsWith('~');
      if (group.joined) group.name.remove(0, 1);
      group.separator = new QAction(menu);
      group.separator->setSeparator(true);
      groups.push_back(group);
    }
  }
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
  if (spec.menu && *spec.menu) {
    const QString path = QString::fromUtf8(spec.menu);
    auto grouped = groups_.find(path);
    if (grouped == groups_.end()) {
      Menu(path)->addAction(action);
    } else {
      const QString name = QString::fromUtf8(spec.group ? spec.group : "");
      auto g = std::find_if(grouped->second.begin(), grouped->second.end(),
                            [&](const Group& x) { return x.name == name; });
      if (g == grouped->second.end()) qFatal("menu item %s names no group of %s", spec.name, spec.menu);
      g->items.push_back(action);
      Place(Menu(path), grouped->second);
    }
  }
  actions_.emplace_back(action, enabled);
  return action;
}

void MainActions::AddSeparator(const char* menu) { Menu(QString::fromUtf8(menu))->addSeparator(); }

void MainActions::Place(QMenu* menu, std::vector<Group>& groups) {
  for (QAction* a : menu->actions()) menu->removeAction(a);
  bool above = false;
  for (Group& g : groups) {
    if (g.items.empty()) continue;
    if (above && !g.joined) menu->addAction(g.separator);
    for (QAction* a : g.items) menu->addAction(a);
    above = true;
  }
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

void MainActions::ReturnKeysOnClose(QWidget* keys) {
  for (QMenu* m : window_.findChildren<QMenu*>())
    connect(m, &QMenu::aboutToHide, this, [this, keys] {
      QTimer::singleShot(0, this, [keys] {
        if (!QApplication::activePopupWidget() && keys) keys->setFocus();
      });
    });
}
