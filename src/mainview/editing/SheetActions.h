// Registers the sheet's own movements that live in menus (a year back and on).
#pragma once
#include "mainview/host/MainFeature.h"

class FeatureHost;
#include <functional>

class MainActions;
class CMyView;

void RegisterSheetActions(MainActions& actions, CMyView& view, std::function<void()> changed);

// Moves of the sheet: by years from the menu, and the sheet's keys (months
// or pages, rows, screens, today).
class SheetFeature : public MainFeature {
 public:
  explicit SheetFeature(FeatureHost& host);
  bool SheetKey(int key) override;

 private:
  FeatureHost& host_;
};
