// What a screen reader hears of the main window's sheet: its rows and
// cells over the window's objects (the group rows while they are shown),
// and the status line's text for the cursor row.
#pragma once
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "screens/InputDef.h"

class CMyView;
class MainObjects;
class QWidget;
class QtSheetAccess;

// `objects` is null before the window's objects exist; `controls` are the
// input form's (null: none); `name` names the sheet (book, screen, month).
QtSheetAccess* MakeSheetAccess(QWidget* sheet, std::function<MainObjects*()> objects,
                               std::function<const std::vector<jsc::Control>*()> controls,
                               std::function<QString()> name);

// The cursor row's day, holiday and anniversary as the status line says them.
std::string CursorRowStatus(const CMyView& view);
