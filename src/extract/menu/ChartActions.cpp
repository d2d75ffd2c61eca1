#include "extract/menu/ChartActions.h"

#include <QAction>
#include <QMainWindow>
#include <QPageLayout>
#include <memory>

#include "extract/TfrmChart.h"
#include "extract/menu/ChartModel.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "qtkit/DialogRunner.h"

void RunChartDialog(DialogRunner& dialogs, MainContext& context, QWidget& window, ExtractCommands& extract,
                    const FeatureServices* printing, ChartModel::Choice* last) {
  ChartModel model(context, extract);
  if (!model.Open()) return;
  // the fields are the book's: only the way of drawing carries over
  ChartModel::Choice start = model.DefaultChoice();
  if (last) {
    start.options = last->options;
    start.wholeYear = last->wholeYear;
  }
  // the sheet's page setup and printer, when the window has its printing
  TfrmChart dlg(
      model, start, context.files, context.prompter,
      [printing] {
        QPageLayout layout;
        if (printing && printing->pageLayout) printing->pageLayout(layout);
        return layout;
      },
      [printing]() -> QPrinter* {
        return printing && printing->beginPrint ? printing->beginPrint() : nullptr;
      },
      &window);
  (void)dialogs.Run(dlg);
  if (last) *last = dlg.ChoiceFromControls();
}

ChartFeature::ChartFeature(FeatureHost& host, ExtractCommands& extract) : host_(host), extract_(extract) {
  // the way of drawing carries from one opening to the next
  auto last = std::make_shared<ChartModel::Choice>();
  host.Actions().Add({"mnuSelChart",
                      "検索(&S)",
                      "グラフ表示...",
                      {},
                      when::Started,
                      [&host, &extract, last] {
                        RunChartDialog(host.Dialogs(), host.Context(), host.Window(), extract,
                                       &host.Services(), last.get());
                      },
                      "chart"});
}

void ChartFeature::BookOpened(bool) {
  auto* button = host_.Window().findChild<QWidget*>(QStringLiteral("mnuSelChartButton"));
  if (!button) return;
  ChartModel model(host_.Context(), extract_);
  // the first choice is the count; a second one is a number field
  button->setVisible(model.Open() && model.ValueChoices().size() > 1);
}
