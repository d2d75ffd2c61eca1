// Registers "祝日の設定(&H)..." and "記念日の設定(&K)..." of the file menu:
// the rule dialog for the year the sheet shows, and afterwards the calendar
// read again and the sheet rebuilt.
#pragma once
#include "mainview/host/MainFeature.h"

class FeatureHost;
#include <functional>

class DialogRunner;
class MainActions;
class QWidget;
struct MainContext;

// `afterClose` rebuilds and repaints the sheet; it runs after the calendar
// has been read again, also when nothing changed (a change is written the
// moment it is made).
void RegisterHolidayActions(MainActions& actions, DialogRunner& dialogs, MainContext& context,
                            QWidget& window, std::function<void()> afterClose);

// What either item does: the dialog on the holiday (0) or anniversary (1) tab.
void RunHolidayDialog(int list, DialogRunner& dialogs, MainContext& context, QWidget* window,
                      const std::function<void()>& afterClose);

// The holiday and anniversary dialogs of the file menu.
class HolidayFeature : public MainFeature {
 public:
  explicit HolidayFeature(FeatureHost& host);
};
