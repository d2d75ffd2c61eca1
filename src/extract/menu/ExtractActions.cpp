#include "extract/menu/ExtractActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QWidget>

#include "extract/CMyPickup.h"
#include "extract/TfrmPickup.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtText.h"
#include "shell/CMyGlobal.h"

ExtractActions::ExtractActions(FeatureHost& host)
    : ExtractActions(
          host.Actions(), host.Dialogs(), host.Context(), host.Window(), [&host] { host.ViewChanged(); },
          [&host] { host.HideEntry(); }) {}

void ExtractActions::BookOpened(bool startUp) {
  const std::string& filter = ctx_.objects.view->Screen().filter;
  if (filter.empty() || filter[0] != '=') return;
  if (startUp)
    ctx_.prompter.Warn("起動直後の自動抽出は行えません。"_sj);
  else
    (void)commands_.RunScreenExtraction();
}

ExtractActions::ExtractActions(MainActions& a, DialogRunner& dialogs, MainContext& context, QWidget& window,
                               std::function<void()> changed, std::function<void()> hideEntry)
    : dialogs_(dialogs),
      ctx_(context),
      window_(window),
      changed_(std::move(changed)),
      hideEntry_(std::move(hideEntry)),
      commands_(context, *this),
      guard_(std::make_unique<QObject>()) {
  const char* menu = "検索(&S)";
  toggle_ = a.Add({"tbt_Pickout", "", "抽出実行", {}, when::Started, [this] { commands_.Toggle(); }});
  toggle_->setCheckable(true);
  toggle_->setIconText(QStringLiteral("抽出"));
  // however it was pressed, the button shows whether an extraction is shown
  QObject::connect(toggle_, &QAction::triggered, guard_.get(),
                   [this] { toggle_->setChecked(commands_.Shown()); });
  QAction* set =
      a.Add({"tbt_PickoutSet", "", "抽出設定", {}, when::Started, [this] { commands_.Settings(); }});
  set->setIconText(QStringLiteral("抽出設定"));
  menuItem_ = a.Add(
      {"mnuSelPickout", menu, "抽出実行...", {}, when::Started, [this] { commands_.Toggle(); }, "extract"});
  a.Add({"mnuSelPickoutSet",
         menu,
         "抽出設定...",
         {},
         when::Started,
         [this] { commands_.Settings(); },
         "extract"});
  QObject::connect(a.Menu(QString::fromUtf8(menu)), &QMenu::aboutToShow, guard_.get(),
                   [this] { menuItem_->setText(FromSj(commands_.MenuCaption())); });
}

ExtractActions::~ExtractActions() = default;

bool ExtractActions::AskConditions(CMyPickup& model) {
  CMyGlobal& global = *ctx_.objects.global;
  TfrmPickup dlg(
      model, dialogs_, ctx_.prompter, ctx_.beeper, [&global] { (void)global.ShowHelp("抽出条件設定"_sj); },
      &window_);
  const bool applied = dialogs_.Run(dlg) == QDialog::Accepted;
  // the keys go back to the sheet
  window_.activateWindow();
  if (auto* keys = window_.findChild<QWidget*>(QStringLiteral("scr_Key"))) keys->setFocus();
  return applied;
}

void ExtractActions::ViewChanged() {
  if (changed_) changed_();
}

void ExtractActions::ShownChanged(bool shown) {
  toggle_->setChecked(shown);
  menuItem_->setText(FromSj(commands_.MenuCaption()));
}

void ExtractActions::HideEntry() {
  if (hideEntry_) hideEntry_();
}

std::unique_ptr<ExtractActions> RegisterExtractActions(MainActions& actions, DialogRunner& dialogs,
                                                       MainContext& context, QWidget& window,
                                                       std::function<void()> changed,
                                                       std::function<void()> hideEntry) {
  return std::make_unique<ExtractActions>(actions, dialogs, context, window, std::move(changed),
                                          std::move(hideEntry));
}
