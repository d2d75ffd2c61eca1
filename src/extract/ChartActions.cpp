#include "extract/ChartActions.h"

#include <QAction>

#include "extract/ChartModel.h"
#include "extract/TfrmChart.h"
#include "mainview/MainActions.h"
#include "mainview/MainObjects.h"
#include "mainview/PrintActions.h"
#include "mainview/QtPrint.h"
#include "qtkit/DialogRunner.h"

void RunChartDialog(DialogRunner& dialogs, MainContext& context, QWidget& window, ExtractCommands& extract) {
  ChartModel model(context, extract);
  if (!model.Open()) return;
  // the sheet's page setup and printer, when the window has its printing
  auto* print = window.findChild<PrintWindows*>();
  TfrmChart dlg(
      model, context.files, context.prompter,
      [print] { return print ? LayoutOf(print->Printer().Paper()) : QPageLayout(); },
      [print]() -> QPrinter* { return print ? print->Printer().BeginPrint() : nullptr; }, &window);
  (void)dialogs.Run(dlg);
}

void RegisterChartActions(MainActions& a, DialogRunner& dialogs, MainContext& context, QWidget& window,
                          ExtractCommands& extract) {
  QAction* item =
      a.Add({"mnuSelChart", "", "グラフ表示...", {}, when::Started, [&dialogs, &context, &window, &extract] {
               RunChartDialog(dialogs, context, window, extract);
             }});
  a.InsertGroupBefore("検索(&S)", "mnuSelMovePrevNen", {item});
}
