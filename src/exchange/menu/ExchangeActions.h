// Registers "エクスポート(&E)..." and "インポート(&I)..." of the file menu: the
// CSV dialogs over the open book, and after an import the sheet rebuilt;
// and beside the user item "バックアップ(&B)..." and "リストア(復元)(&R)...",
// a restore changing the window to the restored user.
#pragma once
#include <functional>
#include <string>

#include "mainview/host/MainFeature.h"

class DialogRunner;
class FeatureHost;
class MainActions;
class QWidget;
struct MainContext;

// The CSV and backup items, and the backup offered when the window is first shown.
class ExchangeFeature : public MainFeature {
 public:
  explicit ExchangeFeature(FeatureHost& host);
  void WindowShown() override;

 private:
  FeatureHost& host_;
};

// The change of user with the restore dialog in the user dialog's place.
using ChangeUserBy = std::function<void(const std::function<bool(const std::string&)>& ask)>;

// `afterImport` repaints the sheet (its rows are rebuilt already); it runs
// after an import dialog in which an import reached the book. A restore goes
// through `changeUser`.
void RegisterExchangeActions(MainActions& actions, DialogRunner& dialogs, MainContext& context,
                             QWidget& window, std::function<void()> afterImport, ChangeUserBy changeUser);

// What the items do (also for tests that drive a window without them).
void RunExportDialog(DialogRunner& dialogs, MainContext& context, QWidget* window);
void RunImportDialog(DialogRunner& dialogs, MainContext& context, QWidget* window,
                     const std::function<void()>& afterImport);

// The backup dialog over the current user.
void RunBackupDialog(DialogRunner& dialogs, MainContext& context, QWidget* window);
// The restore dialog; true when a restore took place (the restored user is
// then the settings' current one and the calendar holds its rules).
bool RunRestoreDialog(DialogRunner& dialogs, MainContext& context, QWidget* window);
// The offer when the window is first shown: the backup dialog when the
// chosen interval has passed. The offer is written to the settings at once,
// whatever the answer, so it does not come back before the interval has
// passed again even if the program does not close normally.
void OfferBackupAtStart(DialogRunner& dialogs, MainContext& context, QWidget* window);
