// Every menu item, popup item and tool button of the main window is a QAction
// registered here once: its objectName (the handler's name without "Click"),
// menu, caption, shortcut, and the state in which it is enabled. Menus update
// their items from those predicates as they open, and a triggered action whose
// predicate is false does nothing, so no handler checks the state itself.
#pragma once
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

// What the predicates look at.
struct MainState {
  bool started = false;     // a user and a division are open
  int dataKind = 0;         // the view's kind: 0 dated book, 100 ruled notebook
  int displayMode = 0;      // 0 sheet, 10 list
  bool groupShown = false;  // the group totals replace the sheet
};
using ActionPredicate = std::function<bool(const MainState&)>;

namespace when {
inline bool Always(const MainState&) { return true; }
inline bool Started(const MainState& s) { return s.started; }
// the sheet of a dated book (moves by years apply)
inline bool DatedSheet(const MainState& s) { return s.started && s.dataKind == 0 && s.displayMode == 0; }
inline bool RecordsShown(const MainState& s) { return s.started && !s.groupShown; }
}  // namespace when

struct ActionSpec {
  const char* name;     // objectName, e.g. "mnuEditDel"
  const char* menu;     // menu path "ファイル(&F)" ("a/b" for a submenu), "#name" a popup; "" = none
  const char* caption;  // with its accelerator
  QKeySequence shortcut;
  ActionPredicate enabled;
  std::function<void()> run;
};

class MainActions : public QObject {
  Q_OBJECT
 public:
  MainActions(QMainWindow& window, std::function<MainState()> state);
  // The menu bar's menus, left to right, before any action is added.
  void DeclareMenus(const std::vector<const char*>& paths);
  QAction* Add(const ActionSpec& spec);
  void AddSeparator(const char* menu);
  // Puts `group` (actions added with no menu) into `menu` as a group of its
  // own, before the group that holds the action `before` (at the end of the
  // menu when there is no such action).
  void InsertGroupBefore(const char* menu, const char* before, const std::vector<QAction*>& group);
  // A menu of the menu bar, or with a leading "#" a popup menu.
  QMenu* Menu(const QString& path);
  QAction* Find(const QString& name) const;
  // Enabled state of every action from its predicate.
  void Refresh();

 private:
  QMainWindow& window_;
  std::function<MainState()> state_;
  std::map<QString, QMenu*> menus_;
  std::vector<std::pair<QAction*, ActionPredicate>> actions_;
};
