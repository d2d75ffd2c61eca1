// ChartModel: the chart window without its widgets. Over the extraction
// shown (its conditions, with a group field chosen when they have no group
// keys) or, when none is, over the shown month's or year's records grouped
// by a chosen field, it builds the group rows the way the extraction does
// (CMyPickup's conditions, CMyGroup's rows) and reads the chart from them
// (ChartSeries). A click on a bar or slice shows that group's records in
// the sheet: the extraction narrowed to its key.
#pragma once
#include <string>
#include <vector>

#include "extract/CMyGroup.h"
#include "extract/ChartSeries.h"
#include "extract/ConditionFile.h"

class ExtractCommands;
struct MainContext;

class ChartModel {
 public:
  ChartModel(MainContext& ctx, ExtractCommands& extract);

  struct Choice {
    chart::Options options;
    int groupChoice = 0;     // GroupChoices(): the field grouped by when the conditions have no group keys
    int valueChoice = 0;     // ValueChoices(): what is added up then
    bool wholeYear = false;  // no extraction shown: the shown year, not the shown month
  };
  // Fills the choices from the open book's form. False when its input
  // definition cannot be read (told).
  bool Open();
  // An extraction with group keys is shown: its keys and aggregates are drawn.
  bool GroupConditions() const { return groupConditions_; }
  bool ExtractionShown() const { return conditions_ != nullptr; }
  // Captions (CP932) of the fields a chart may group by: the text fields and 色種類.
  const std::vector<std::string>& GroupChoices() const { return groupChoices_; }
  // "件数", then the captions of the number fields (added up).
  const std::vector<std::string>& ValueChoices() const { return valueChoices_; }
  // The choice a window starts with: grouped by 分類 when the book has it,
  // the first number field added up.
  Choice DefaultChoice() const;

  // Builds the chart of `choice`. 0, or a code of chart::Build (or
  // chart::kRefused when the conditions were refused) with Message().
  int Make(const Choice& choice);
  const chart::Chart& Chart() const { return chart_; }
  const std::string& Message() const { return message_; }
  const std::vector<ColorKind>& Colors() const { return colors_; }

  // Shows the records of the point's group in the sheet: the last chart's
  // conditions narrowed to its keys, in compact list. False (nothing
  // changes) for "その他" or conditions the narrowing makes invalid.
  bool Narrow(const chart::Point& point);

 private:
  bool Conditions(const Choice& choice, CMyPickup& model);

  MainContext& ctx_;
  ExtractCommands& extract_;
  const pickfile::Image* conditions_ = nullptr;
  bool groupConditions_ = false;
  std::vector<std::string> groupChoices_, valueChoices_;
  std::vector<ColorKind> colors_;
  CMyGroup group_;
  chart::Chart chart_;
  std::string message_;
  pickfile::Image made_;  // the conditions of the last chart
  bool haveMade_ = false;
};
