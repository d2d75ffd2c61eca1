// The search dialog and the reference window of a main window, and the
// actions that reach them: "検索(&S)...", "下検索(&D)", "上検索(&U)", the
// popup's "検索(&F)..." and "１年前を別画面表示" / "２年前を別画面表示".
#pragma once
#include <functional>
#include <vector>

#include "mainview/host/MainFeature.h"
#include "mainview/search/ReferenceCommands.h"
#include "mainview/search/SearchCommands.h"
#include "mainview/sheet/FieldUnderMouse.h"

class FeatureHost;
class MainActions;
class QWidget;
class TfrmFind;
class TfrmSub;

// Made when the main window starts and freed before its objects: the search
// dialog lives as long as the window, the reference window from its first
// use until it is closed by the program or the main window closes.
class SearchWindows : public SearchWindow, public ReferenceHost, public MainFeature {
 public:
  // With its items, over the window's fields.
  explicit SearchWindows(FeatureHost& host);
  // `viewChanged` repaints the main window after the view moved.
  SearchWindows(QWidget& main, MainContext& ctx, std::function<void()> viewChanged);
  ~SearchWindows() override;
  SearchWindows(const SearchWindows&) = delete;
  SearchWindows& operator=(const SearchWindows&) = delete;

  SearchCommands& Search() { return search_; }
  ReferenceCommands& References() { return reference_; }
  TfrmFind& FindDialog() { return *find_; }
  TfrmSub* ReferenceWidget() const { return sub_; }
  // The fields the dialog offers: the input form's control list.
  void SetFields(const std::vector<jsc::Control>& controls);

  // MainFeature
  void LeavingView() override { CloseReference(); }
  void BookOpened(bool startUp) override;
  // SearchWindow, ReferenceHost
  void ShowFindDialog() override;
  void CloseReference() override { reference_.CloseReference(); }
  void ViewChanged() override;
  void Note(const std::string& text) override;
  ReferenceWindow* Reference() override;
  ReferenceWindow& CreateReference() override;
  void DestroyReference() override;

 private:
  FeatureHost* host_ = nullptr;
  QWidget& main_;
  MainContext& ctx_;
  std::function<void()> changed_;
  SearchCommands search_;
  ReferenceCommands reference_;
  TfrmFind* find_;
  TfrmSub* sub_ = nullptr;
};

// `fieldUnderMouse`: the field the popup menu opened over.
void RegisterSearchActions(MainActions& actions, SearchWindows& windows,
                           std::function<FieldHit()> fieldUnderMouse);
