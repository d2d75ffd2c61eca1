// Registers "グラフ表示..." of the search menu: the chart window over the
// extraction shown, or over the shown month's records grouped by a field.
#pragma once
#include "extract/ChartModel.h"

class DialogRunner;
class ExtractCommands;
class MainActions;
class QWidget;
struct MainContext;

void RegisterChartActions(MainActions& actions, DialogRunner& dialogs, MainContext& context, QWidget& window,
                          ExtractCommands& extract);

// What the item does (also for tests that drive a window without it): the
// window opens with the kind, order, time axis and range of `last` (none:
// a bar per group of the shown month) and leaves its own there.
void RunChartDialog(DialogRunner& dialogs, MainContext& context, QWidget& window, ExtractCommands& extract,
                    ChartModel::Choice* last = nullptr);
