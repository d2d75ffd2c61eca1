#include "exchange/menu/IcsActions.h"

#include <QAction>
#include <QMainWindow>
#include <QWidget>

#include "catalogue/CMyMaster.h"
#include "exchange/ExchangeColumns.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "exchange/TfrmIcsExport.h"
#include "exchange/TfrmIcsImport.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "options/CMyColorKinds.h"
#include "qtkit/DialogRunner.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"

namespace {

// The main view as the calendar models see it.
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

// The open book with the input form's fields, read as the form reads them;
// false (after the reader's message) when it has no form.
bool MakeBook(MainContext& c, ExchangeHost& host, std::unique_ptr<ExchangeBook>& out) {
  MainObjects& o = c.objects;
  jsc::InputDef def;
  if (jsc::LoadInputDef(o.global->DivisionPath("scrin.jsc"), def, &c.prompter) != 0) return false;
  out.reset(
      new ExchangeBook{*o.global, *o.db, *o.periods, o.Table(kDivOutTable), ScreenFieldsOf(def.controls)});
  out->byPage = def.header.dataKind == 100;
  const int lines = o.view->Screen().linesPerPage;
  out->linesPerPage = lines > 0 ? lines : 30;
  out->host = &host;
  return true;
}

}  // namespace

void RunIcsExportDialog(DialogRunner& dialogs, MainContext& c, QWidget* window) {
  MainObjects& o = c.objects;
  ViewHost host(*o.view);
  std::unique_ptr<ExchangeBook> book;
  if (!MakeBook(c, host, book)) return;
  IcsExportOptions base;
  CMyColorKinds kinds(o.Table(kColorTable), c.prompter, c.beeper);
  for (int i = 0; i < kinds.Count(); ++i) base.kinds.push_back(kinds.Get(i));
  base.alarms = o.alarm->Entries();
  base.rows.assign(o.rec->Items(), o.rec->Items() + o.rec->Count());
  // the holidays of this year and the next, as the import's period
  const CivilDate today = c.clock.Today();
  base.days = IcsExport::DaysOf(*o.calendar, {today.year, 1, 1}, {today.year + 1, 12, 31});
  IcsExport model(*book, c.prompter, c.clock);
  TfrmIcsExport dlg(model, std::move(base), c.files, c.prompter, window);
  (void)dialogs.Run(dlg);
}

void RunIcsImportDialog(DialogRunner& dialogs, MainContext& c, QWidget* window,
                        const std::function<void()>& afterImport) {
  MainObjects& o = c.objects;
  ViewHost host(*o.view);
  std::unique_ptr<ExchangeBook> book;
  if (!MakeBook(c, host, book)) return;
  IcsImport model(*book, c.prompter, c.clock);
  bool changed = false;
  {
    TfrmIcsImport dlg(model, c.files, c.prompter, c.clock, window);
    (void)dialogs.Run(dlg);
    changed = dlg.Changed();
  }
  if (changed && afterImport) afterImport();
}

IcsFeature::IcsFeature(FeatureHost& host) {
  RegisterIcsActions(host.Actions(), host.Dialogs(), host.Context(), host.Window(),
                     [&host] { host.ViewChanged(); });
}

void RegisterIcsActions(MainActions& a, DialogRunner& dialogs, MainContext& c, QWidget& window,
                        std::function<void()> afterImport) {
  const char* m = "ファイル(&F)";
  a.Add({"mnuFileIcsExport",
         m,
         "エクスポート(カレンダー)...",
         {},
         when::RecordsShown,
         [&dialogs, &c, &window] { RunIcsExportDialog(dialogs, c, &window); },
         "ics"});
  a.Add({"mnuFileIcsImport",
         m,
         "インポート(カレンダー)...",
         {},
         when::RecordsShown,
         [&dialogs, &c, &window, afterImport] { RunIcsImportDialog(dialogs, c, &window, afterImport); },
         "ics"});
}
