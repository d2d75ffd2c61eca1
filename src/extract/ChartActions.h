// Registers "グラフ表示..." of the search menu: the chart window over the
// extraction shown, or over the shown month's records grouped by a field.
#pragma once

class DialogRunner;
class ExtractCommands;
class MainActions;
class QWidget;
struct MainContext;

void RegisterChartActions(MainActions& actions, DialogRunner& dialogs, MainContext& context, QWidget& window,
                          ExtractCommands& extract);

// What the item does (also for tests that drive a window without it).
void RunChartDialog(DialogRunner& dialogs, MainContext& context, QWidget& window, ExtractCommands& extract);
