#include "mainview/HelpActions.h"

#include "mainview/MainActions.h"
#include "shell/CMyGlobal.h"

void RegisterHelpActions(MainActions& a, CMyGlobal& global) {
  a.Add({"mnuHelpContents", "ヘルプ(&H)", "目次(&C)", {}, when::Always, [&global] { global.ShowHelp(""); }});
}
