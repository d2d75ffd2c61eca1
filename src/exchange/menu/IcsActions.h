// Registers "エクスポート(カレンダー)..." and "インポート(カレンダー)..." of
// the file menu: the calendar dialogs over the open book, and after an
// import the sheet rebuilt.
#pragma once
#include <functional>

#include "mainview/host/MainFeature.h"

class DialogRunner;
class FeatureHost;
class MainActions;
class QWidget;
struct MainContext;

// The calendar items of the file menu.
class IcsFeature : public MainFeature {
 public:
  explicit IcsFeature(FeatureHost& host);
};

// `afterImport` repaints the sheet (its rows are rebuilt already); it runs
// after an import dialog in which an import reached the book.
void RegisterIcsActions(MainActions& actions, DialogRunner& dialogs, MainContext& context, QWidget& window,
                        std::function<void()> afterImport);

// What the items do (also for tests that drive a window without them).
void RunIcsExportDialog(DialogRunner& dialogs, MainContext& context, QWidget* window);
void RunIcsImportDialog(DialogRunner& dialogs, MainContext& context, QWidget* window,
                        const std::function<void()>& afterImport);
