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
class QWidget;

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
  const char* group = nullptr;  // the menu's named group (see DeclareMenus)
};

// A menu and its groups from top to bottom. A separator stands between two
// groups that hold items, except before a group whose name starts with "~"
// (it continues the one above). The menu's order is the declaration's, never
// the order in which features happen to register.
struct MenuGroups {
  const char* menu;
  std::vector<const char*> groups;
};

class MainActions : public QObject {
  Q_OBJECT
 public:
  MainActions(QMainWindow& window, std::function<MainState()> state);
  // The menu bar's menus, left to right, and the pop-ups, with their groups;
  // before any action is added. An item of a menu with groups names one of
  // them; an unknown group is a programming error and ends the program.
  void DeclareMenus(const std::vector<MenuGroups>& menus);
  QAction* Add(const ActionSpec& spec);
  // A separator in a menu without groups (the tray's pop-up).
  void AddSeparator(const char* menu);
  // A menu of the menu bar, or with a leading "#" a popup menu.
  QMenu* Menu(const QString& path);
  QAction* Find(const QString& name) const;
  // A closed menu (Escape, a click elsewhere, a command) leaves the keys
  // with `keys`, never with a menu bar that shows no highlight.
  void ReturnKeysOnClose(QWidget* keys);
  // Enabled state of every action from its predicate.
  void Refresh();

 private:
  QMainWindow& window_;
  std::function<MainState()> state_;
  struct Group {
    QString name;
    bool joined = false;  // no separator above it
    QAction* separator = nullptr;
    std::vector<QAction*> items;
  };
  void Place(QMenu* menu, std::vector<Group>& groups);
  std::map<QString, QMenu*> menus_;
  std::map<QString, std::vector<Group>> groups_;
  std::vector<std::pair<QAction*, ActionPredicate>> actions_;
};
