#include "calendar/menu/HolidayActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QWidget>

#include "calendar/CMyHolidayEditor.h"
#include "calendar/TfrmHoliday.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "qtkit/DialogRunner.h"

void RunHolidayDialog(int list, DialogRunner& dialogs, MainContext& c, QWidget* window,
                      const std::function<void()>& afterClose) {
  MainObjects& o = c.objects;
  CivilDate shown = o.view->CurrentDate();
  if (shown.year < 1) shown = c.clock.Today();
  CMyHolidayEditor editor(o.global->RootPath("holiday.dat"), o.global->RootPath("kinen.dat"),
                          o.global->ProgramFolder(), shown.year, c.prompter);
  editor.Open();
  {
    TfrmHoliday dlg(editor, list, dialogs, c.prompter, c.beeper, window);
    (void)dialogs.Run(dlg);  // closing has written what was changed
  }
  // the sheet's rows point into the calendar's lists: rebuild them at once
  o.calendar->Reload();
  if (afterClose) afterClose();
}

void RegisterHolidayActions(MainActions& a, DialogRunner& dialogs, MainContext& c, QWidget& window,
                            std::function<void()> afterClose) {
  a.Add({"mnuFileHoliday",
         "ファイル(&F)",
         "祝日の設定(&H)...",
         {},
         when::Started,
         [&dialogs, &c, &window, afterClose] {
           RunHolidayDialog(CMyHoliday::kHolidays, dialogs, c, &window, afterClose);
         },
         "calendar"});
  a.Add({"mnuFileKinen",
         "ファイル(&F)",
         "記念日の設定(&K)...",
         {},
         when::Started,
         [&dialogs, &c, &window, afterClose] {
           RunHolidayDialog(CMyHoliday::kAnniversaries, dialogs, c, &window, afterClose);
         },
         "calendar"});
}

HolidayFeature::HolidayFeature(FeatureHost& host) {
  RegisterHolidayActions(host.Actions(), host.Dialogs(), host.Context(), host.Window(), [&host] {
    host.Context().objects.view->RebuildRows();  // the rows point into the calendar's old lists
    host.ViewChanged();
  });
}
