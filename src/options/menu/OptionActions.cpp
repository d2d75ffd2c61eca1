#include "options/menu/OptionActions.h"

#include <QAction>
#include <QLayout>
#include <QMainWindow>
#include <QWidget>

#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "mainview/host/MainWindowPort.h"
#include "options/CMyOptions.h"
#include "options/TfrmOption.h"
#include "qtkit/DialogRunner.h"

void RunOptionDialog(DialogRunner& dialogs, MainContext& c, QWidget& window, MainWindowPort& port) {
  QWidget* panel = window.findChild<QWidget*>("panel_Scr");
  CMyOptions options(*c.objects.global, panel && !panel->isHidden());
  bool changed = false, hidden = false;
  {
    TfrmOption dlg(options, c.files, c.prompter, &window);
    if (dialogs.Run(dlg) == QDialog::Accepted) {
      changed = dlg.PanelChanged();
      hidden = dlg.Values().panelHidden;
    }
  }
  window.activateWindow();
  if (QWidget* keys = window.findChild<QWidget*>("scr_Key")) keys->setFocus();
  if (!changed || !panel) return;
  panel->setVisible(!hidden);
  // the sheet takes the room at once: its new height, scroll bars, repaint
  if (QWidget* central = panel->parentWidget(); central && central->layout()) central->layout()->activate();
  port.ViewChanged();
}

void RegisterOptionActions(MainActions& a, DialogRunner& dialogs, MainContext& c, QWidget& window,
                           MainWindowPort& port) {
  a.Add({"mnuFileOption",
         "ファイル(&F)",
         "オプション(&O)...",
         {},
         when::Started,
         [&dialogs, &c, &window, &port] { RunOptionDialog(dialogs, c, window, port); },
         "settings"});
}

OptionFeature::OptionFeature(FeatureHost& host) {
  RegisterOptionActions(host.Actions(), host.Dialogs(), host.Context(), host.Window(), host.WindowPort());
}
