// Registers "オプション(&O)..." of the file menu: the options dialog, and
// afterwards the bottom panel shown or hidden at once when that changed.
#pragma once
#include "mainview/host/MainFeature.h"

class FeatureHost;

class DialogRunner;
class MainActions;
class MainWindowPort;
class QWidget;
struct MainContext;

void RegisterOptionActions(MainActions& actions, DialogRunner& dialogs, MainContext& context, QWidget& window,
                           MainWindowPort& port);

// What the item does.
void RunOptionDialog(DialogRunner& dialogs, MainContext& context, QWidget& window, MainWindowPort& port);

// The options dialog of the file menu.
class OptionFeature : public MainFeature {
 public:
  explicit OptionFeature(FeatureHost& host);
};
