#include "extract/ChartActions.h"

#include <QAction>
#include <memory>

#include "extract/ChartModel.h"
#include "extract/TfrmChart.h"
#include "mainview/MainActions.h"
#include "mainview/MainObjects.h"
#include "mainview/PrintActions.h"
#include "mainview/QtPrint.h"
#include "qtkit/DialogRunner.h"

void RunChartDialog(DialogRunner& dialogs, MainContext& context, QWidget& window, ExtractCommands& extract,
                    ChartModel::Choice* last) {
  ChartModel model(context, extract);
  if (!model.Open()) return;
  // the fields are the book's: only the way of drawing carries over
  ChartModel::Choice start = model.DefaultChoice();
  if (last) {
    start.options = last->options;
    start.wholeYear = last->wholeYear;
  }
  // the sheet's page setup and printer, when the window has its printing
  auto* print = window.findChild<PrintWindows*>();
  TfrmChart dlg(
      model, start, context.files, context.prompter,
      [print] { return print ? LayoutOf(print->Printer().Paper()) : QPageLayout(); },
      [print]() -> QPrinter* { return print ? print->Printer().BeginPrint() : nullptr; }, &window);
  (void)dialogs.Run(dlg);
  if (last) *last = dlg.ChoiceFromControls();
}

void RegisterChartActions(MainActions& a, DialogRunner& dialogs, MainContext& context, QWidget& window,
                          ExtractCommands& extract) {
  // the way of drawing carries from one opening to the next
  auto last = std::make_shared<ChartModel::Choice>();
  QAction* item = a.Add(
      {"mnuSelChart", "", "グラフ表示...", {}, when::Started, [&dialogs, &context, &window, &extract, last] {
         RunChartDialog(dialogs, context, window, extract, last.get());
       }});
  a.InsertGroupBefore("検索(&S)", "mnuSelMovePrevNen", {item});
}
