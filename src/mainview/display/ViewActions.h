// The 表示 menu: the sheet's size (larger, smaller, normal) and its widest
// text column stretched to the window, both the user's and kept at once.
#pragma once
#include "mainview/display/SheetZoom.h"
#include "mainview/host/MainFeature.h"

class FeatureHost;
class QAction;

class ViewFeature : public MainFeature {
 public:
  explicit ViewFeature(FeatureHost& host);
  void BookOpened(bool startUp) override;
  void ScreenOpened() override;

 private:
  // Shows the sheet at the user's size and column fit; `chosen`: the user
  // just changed them (every sheet shown is sized anew).
  void Apply(bool chosen);
  void Step(int direction);
  void ToggleFit();
  void WarnNotKept();

  FeatureHost& host_;
  QAction* fit_ = nullptr;
};
