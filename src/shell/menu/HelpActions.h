// Registers the help menu and F1, the help of the window that has the focus.
#pragma once
#include "mainview/host/MainFeature.h"

class FeatureHost;

class MainActions;
class CMyGlobal;

void RegisterHelpActions(MainActions& actions, CMyGlobal& global);

// The help menu and F1.
class HelpFeature : public MainFeature {
 public:
  explicit HelpFeature(FeatureHost& host);
};
