#include "mainview/editing/SheetActions.h"

#include "mainview/sheet/CMyView.h"
#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainObjects.h"
#include "mainview/host/MainActions.h"

void RegisterSheetActions(MainActions& a, CMyView& view, std::function<void()> changed) {
  const char* m = "検索(&S)";
  a.Add({"mnuSelMovePrevNen", m, "１年前に移動", {}, when::DatedSheet, [&view, changed] {
           view.MoveYear(-1);
           changed();
         }, "years"});
  a.Add({"mnuSelMoveNextNen", m, "１年後に移動", {}, when::DatedSheet, [&view, changed] {
           view.MoveYear(1);
           changed();
         }, "years"});
}

SheetFeature::SheetFeature(FeatureHost& host) {
  RegisterSheetActions(host.Actions(), *host.Context().objects.view, [&host] { host.ViewChanged(); });
}
