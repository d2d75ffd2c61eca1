// Registers the extraction items of the search menu, "抽出実行..." (which
// reads "抽出解除" while an extraction is shown) and "抽出設定...", with
// their tool buttons (the first a toggle), and shows the extraction dialog
// for the commands.
#pragma once
#include <functional>
#include <memory>

#include "extract/menu/ExtractCommands.h"
#include "mainview/host/MainFeature.h"

class DialogRunner;
class FeatureHost;
class MainActions;
class QAction;
class QObject;
class QWidget;

class ExtractActions : public ExtractWindow, public MainFeature {
 public:
  explicit ExtractActions(FeatureHost& host);
  // `changed` repaints the window after the sheet changed; `hideEntry`
  // puts the input form away.
  ExtractActions(MainActions& actions, DialogRunner& dialogs, MainContext& context, QWidget& window,
                 std::function<void()> changed, std::function<void()> hideEntry);
  ~ExtractActions() override;
  ExtractCommands& Commands() { return commands_; }

  // MainFeature: an extraction belongs to the screen it was made on; a
  // screen's own saved method ("=name") runs as the screen is shown
  void BookOpened(bool startUp) override;
  void ScreenClosing() override { commands_.Drop(); }
  void ScreenOpened() override { (void)commands_.RunScreenExtraction(); }
  // ExtractWindow
  bool AskConditions(CMyPickup& model) override;
  void ViewChanged() override;
  void ShownChanged(bool shown) override;
  void HideEntry() override;

 private:
  DialogRunner& dialogs_;
  MainContext& ctx_;
  QWidget& window_;
  std::function<void()> changed_, hideEntry_;
  ExtractCommands commands_;
  std::unique_ptr<QObject> guard_;  // its connections end with this object
  QAction* toggle_ = nullptr;       // tbt_Pickout
  QAction* menuItem_ = nullptr;     // mnuSelPickout
};

// The items registered, and what answers them (the window keeps it).
std::unique_ptr<ExtractActions> RegisterExtractActions(MainActions& actions, DialogRunner& dialogs,
                                                       MainContext& context, QWidget& window,
                                                       std::function<void()> changed,
                                                       std::function<void()> hideEntry);
