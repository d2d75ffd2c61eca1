// Registers "グラフ表示..." of the search menu: the chart window over the
// extraction shown, or over the shown month's records grouped by a field.
#pragma once
#include "extract/menu/ChartModel.h"
#include "mainview/host/MainFeature.h"

class DialogRunner;
class FeatureHost;
struct FeatureServices;
class ExtractCommands;
class MainActions;
class QWidget;
struct MainContext;

// The chart window over the extraction shown (or the month shown), from
// 検索 → グラフ表示...; part of the extraction's feature.
class ChartFeature : public MainFeature {
 public:
  ChartFeature(FeatureHost& host, ExtractCommands& extract);
  // The tool button shows only in a book with a number field to add up.
  void BookOpened(bool startUp) override;

 private:
  FeatureHost& host_;
  ExtractCommands& extract_;
};

// What the item does (also for tests that drive a window without it): the
// window opens with the kind, order, time axis and range of `last` (none:
// a bar per group of the shown month) and leaves its own there.
// `printing` gives the sheet's paper and printer (null: none).
void RunChartDialog(DialogRunner& dialogs, MainContext& context, QWidget& window, ExtractCommands& extract,
                    const FeatureServices* printing = nullptr, ChartModel::Choice* last = nullptr);
