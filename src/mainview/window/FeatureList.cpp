#include "mainview/window/FeatureList.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

#include "calendar/menu/HolidayActions.h"
#include "catalogue/menu/FileActions.h"
#include "exchange/menu/ExchangeActions.h"
#include "exchange/menu/IcsActions.h"
#include "extract/menu/ChartActions.h"
#include "extract/menu/ExtractActions.h"
#include "mainview/display/ViewActions.h"
#include "mainview/editing/EditActions.h"
#include "mainview/editing/EntryActions.h"
#include "mainview/editing/SheetActions.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/printing/PrintActions.h"
#include "mainview/search/SearchActions.h"
#include "mainview/tray/AlarmActions.h"
#include "mainview/watch/QtBookWatcher.h"
#include "options/menu/OptionActions.h"
#include "shell/menu/HelpActions.h"

void DeclareMainMenus(MainActions& a) {
  a.DeclareMenus({
      {"ファイル(&F)",
       {"user", "backup", "books", "screens", "colors", "calendar", "exchange", "ics", "print", "settings",
        "alarm", "exit"}},
      {"編集(&E)", {"undo", "delete", "clipboard", "colors", "pages"}},
      {"表示(&V)", {"zoom", "fit"}},
      {"検索(&S)", {"extract", "chart", "find", "~years", "reference"}},
      {"ヘルプ(&H)", {"contents"}},
      {"#pmenu_MainPopup", {"entry", "lines", "copy", "~find", "~run"}},
  });
  // the pop-ups have no menu bar entry to name them
  a.Menu(QStringLiteral("#pmenu_MainPopup"))->setAccessibleName(QStringLiteral("シートのメニュー"));
  a.Menu(QStringLiteral("#mnusTask"))->setAccessibleName(QStringLiteral("タスクトレイのメニュー"));
}

std::vector<std::unique_ptr<MainFeature>> BuildFeatures(FeatureHost& host) {
  std::vector<std::unique_ptr<MainFeature>> f;
  f.push_back(std::make_unique<FileFeature>(host));
  f.push_back(std::make_unique<HolidayFeature>(host));
  f.push_back(std::make_unique<ExchangeFeature>(host));
  f.push_back(std::make_unique<IcsFeature>(host));
  f.push_back(std::make_unique<PrintFeature>(host));
  f.push_back(std::make_unique<OptionFeature>(host));
  f.push_back(std::make_unique<SheetFeature>(host));
  f.push_back(std::make_unique<EntryFeature>(host));
  f.push_back(std::make_unique<EditFeature>(host));
  f.push_back(std::make_unique<ViewFeature>(host));
  f.push_back(std::make_unique<QtBookWatcher>(host));  // before the extraction: a merge comes first
  auto extract = std::make_unique<ExtractActions>(host);
  f.push_back(std::make_unique<ChartFeature>(host, extract->Commands()));
  f.push_back(std::move(extract));
  f.push_back(std::make_unique<SearchWindows>(host));
  f.push_back(std::make_unique<AlarmActions>(host));
  f.push_back(std::make_unique<HelpFeature>(host));
  return f;
}

void AddToolButtons(MainActions& actions, QHBoxLayout& bar, int at, QWidget& parent) {
  const struct {
    const char* action;
    const char* text;
  } kButtons[] = {{"tbt_New", "新規"},      {"tbt_NowNew", "今日"},         {"tbt_Edit", "編集"},
                  {"tbt_Pickout", "抽出"},  {"tbt_PickoutSet", "抽出設定"}, {"mnuSelFind", "検索"},
                  {"mnuSelChart", "グラフ"}};
  for (const auto& b : kButtons) {
    QAction* a = actions.Find(QString::fromUtf8(b.action));
    auto* button = new QToolButton(&parent);
    button->setObjectName(QString::fromUtf8(b.action) + "Button");
    if (a->isCheckable()) {
      button->setDefaultAction(a);  // a toggle shows its state
    } else {
      button->setText(QString::fromUtf8(b.text));
      QObject::connect(button, &QToolButton::clicked, a, &QAction::trigger);
      QObject::connect(a, &QAction::changed, button, [button, a] { button->setEnabled(a->isEnabled()); });
    }
    button->setToolTip(a->text());
    button->setFocusPolicy(Qt::NoFocus);
    bar.insertWidget(++at, button);
  }
}
