// The features of the main window, built in one place: a feature is one
// class with its actions file, and one line below.
#pragma once
#include <memory>
#include <vector>

#include "mainview/host/MainFeature.h"

class FeatureHost;
class MainActions;
class QHBoxLayout;
class QWidget;

// The menu bar's menus and the pop-ups with their groups, top to bottom.
void DeclareMainMenus(MainActions& actions);
// Every feature, in the order the window tells them of what happens.
std::vector<std::unique_ptr<MainFeature>> BuildFeatures(FeatureHost& host);
// The features' tool buttons, into `bar` after position `at`.
void AddToolButtons(MainActions& actions, QHBoxLayout& bar, int at, QWidget& parent);
