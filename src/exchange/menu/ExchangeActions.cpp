#include "exchange/menu/ExchangeActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QWidget>

#include "exchange/BackupDue.h"
#include "exchange/CMyBackup.h"
#include "exchange/CMyExport.h"
#include "exchange/CMyImport.h"
#include "exchange/CMyRestore.h"
#include "exchange/ExchangeColumns.h"
#include "exchange/TfrmDataBack.h"
#include "exchange/TfrmExport.h"
#include "exchange/TfrmInport.h"
#include "exchange/TfrmRestore.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "mainview/sheet/ShownRows.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/StatusNote.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"

namespace {

// The main view as the exchange models see it.
class ViewHost : public ExchangeHost {
 public:
  explicit ViewHost(CMyView& view) : view_(view) {}
  void ReloadView() override {
    (void)view_.ReloadView();  // it tells a failure itself
    view_.RebuildRows();
  }

 private:
  CMyView& view_;
};

// The open division with the input form's field list, read from its
// definition as the form itself reads it. False when it has none.
bool BookOf(MainContext& c, std::vector<ScreenField>& fields, bool& byPage) {
  MainObjects& o = c.objects;
  jsc::InputDef def;
  if (jsc::LoadInputDef(o.global->DivisionPath("scrin.jsc"), def, &c.prompter) != 0) return false;
  fields = ScreenFieldsOf(def.controls);
  byPage = def.header.dataKind == 100;
  return true;
}

ExchangeBook MakeBook(MainContext& c, ExchangeHost& host, std::vector<ScreenField> fields, bool byPage) {
  MainObjects& o = c.objects;
  ExchangeBook b{*o.global, *o.db, *o.periods, o.Table(kDivOutTable), std::move(fields)};
  b.byPage = byPage;
  const int lines = o.view->Screen().linesPerPage;
  b.linesPerPage = lines > 0 ? lines : 30;
  b.host = &host;
  return b;
}

}  // namespace

void RunExportDialog(DialogRunner& dialogs, MainContext& c, QWidget* window) {
  MainObjects& o = c.objects;
  ViewHost host(*o.view);
  std::vector<ScreenField> fields;
  bool byPage = false;
  if (!BookOf(c, fields, byPage)) return;  // the reader has told why
  ExchangeBook book = MakeBook(c, host, std::move(fields), byPage);
  CMyExport model(book, c.prompter);
  TfrmExport dlg(
      model, c.files, c.prompter, c.beeper, [&o] { return ShownRowsOf(o.view->Rows(), *o.rec); }, window);
  (void)dialogs.Run(dlg);
}

void RunImportDialog(DialogRunner& dialogs, MainContext& c, QWidget* window,
                     const std::function<void()>& afterImport) {
  MainObjects& o = c.objects;
  ViewHost host(*o.view);
  std::vector<ScreenField> fields;
  bool byPage = false;
  if (!BookOf(c, fields, byPage)) return;
  ExchangeBook book = MakeBook(c, host, std::move(fields), byPage);
  CMyImport model(book, c.prompter, c.clock);
  bool changed = false;
  {
    TfrmInport dlg(model, c.files, c.prompter, window);
    (void)dialogs.Run(dlg);
    changed = dlg.Changed();
  }
  if (changed && afterImport) afterImport();
}

void RunBackupDialog(DialogRunner& dialogs, MainContext& c, QWidget* window) {
  CMyGlobal& g = *c.objects.global;
  // the window keeps its alarms in memory until it closes: the archive is
  // to hold them as they are now
  if (!c.objects.alarm->Save(g.UserPath("alarm.dat"))) c.prompter.Warn("アラームを保存できませんでした。"_sj);
  CMyBackup model(g, c.clock);
  TfrmDataBack dlg(model, g, window);
  (void)dialogs.Run(dlg);
  if (dlg.BackedUp()) ShowStatusNote(window, "バックアップしました: "_sj + cp932::FromUtf8(dlg.Archive()));
}

bool RunRestoreDialog(DialogRunner& dialogs, MainContext& c, QWidget* window) {
  MainObjects& o = c.objects;
  CMyRestore model(*o.global, c.clock);
  TfrmRestore dlg(model, *o.global, c.files, c.prompter, window);
  (void)dialogs.Run(dlg);
  if (!dlg.Restored()) return false;
  // the restored calendar files are in the data root now; the sheet's rows
  // point into the calendar's lists, so they are rebuilt before anything
  // (a message box of the change of user) can paint them
  o.calendar->Reload();
  o.view->RebuildRows();
  return true;
}

void OfferBackupAtStart(DialogRunner& dialogs, MainContext& c, QWidget* window) {
  CMyGlobal& g = *c.objects.global;
  const int before = g.backYmd;
  const bool due = BackupDue(g);
  if (g.backYmd != before && !g.WriteBackupSettings())
    c.prompter.Warn("設定を保存できませんでした。"_sj + "\n" + cp932::FromUtf8(g.UserPath("jbxuser.ini")));
  if (due) RunBackupDialog(dialogs, c, window);
}

ExchangeFeature::ExchangeFeature(FeatureHost& host) : host_(host) {
  RegisterExchangeActions(
      host.Actions(), host.Dialogs(), host.Context(), host.Window(), [&host] { host.ViewChanged(); },
      [&host](const std::function<bool(const std::string&)>& ask) {
        if (host.Services().changeUserBy) host.Services().changeUserBy(ask);
      });
}

void ExchangeFeature::WindowShown() { OfferBackupAtStart(host_.Dialogs(), host_.Context(), &host_.Window()); }

void RegisterExchangeActions(MainActions& a, DialogRunner& dialogs, MainContext& c, QWidget& window,
                             std::function<void()> afterImport, ChangeUserBy changeUser) {
  const char* m = "ファイル(&F)";
  a.Add({"mnuFileExport",
         m,
         "エクスポート(&E)...",
         {},
         when::RecordsShown,
         [&dialogs, &c, &window] { RunExportDialog(dialogs, c, &window); },
         "exchange"});
  a.Add({"mnuFileImport",
         m,
         "インポート(&I)...",
         {},
         when::RecordsShown,
         [&dialogs, &c, &window, afterImport] { RunImportDialog(dialogs, c, &window, afterImport); },
         "exchange"});
  // beside the user item: a restore is a change of user
  a.Add({"mnu_FileUserBackBack",
         m,
         "バックアップ(&B)...",
         {},
         when::Started,
         [&dialogs, &c, &window] { RunBackupDialog(dialogs, c, &window); },
         "backup"});
  a.Add({"mnu_FileUserBackRestore",
         m,
         "リストア(復元)(&R)...",
         {},
         when::Started,
         [&dialogs, &c, &window, changeUser] {
           changeUser([&](const std::string&) { return RunRestoreDialog(dialogs, c, &window); });
         },
         "backup"});
}
