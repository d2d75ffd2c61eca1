// Registers the sheet's own movements that live in menus (a year back and on).
#pragma once
#include <functional>

class MainActions;
class CMyView;

void RegisterSheetActions(MainActions& actions, CMyView& view, std::function<void()> changed);
