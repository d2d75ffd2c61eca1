#include "mainview/SheetActions.h"

#include "mainview/CMyView.h"
#include "mainview/MainActions.h"

void RegisterSheetActions(MainActions& a, CMyView& view, std::function<void()> changed) {
  const char* m = "検索(&S)";
  a.Add({"mnuSelMovePrevNen", m, "１年前に移動", {}, when::DatedSheet, [&view, changed] {
           view.MoveYear(-1);
           changed();
         }});
  a.Add({"mnuSelMoveNextNen", m, "１年後に移動", {}, when::DatedSheet, [&view, changed] {
           view.MoveYear(1);
           changed();
         }});
}
