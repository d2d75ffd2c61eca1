#include "mainview/editing/SheetActions.h"

#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "mainview/sheet/CMyView.h"

void RegisterSheetActions(MainActions& a, CMyView& view, std::function<void()> changed) {
  const char* m = "検索(&S)";
  a.Add({"mnuSelMovePrevNen",
         m,
         "１年前に移動",
         {},
         when::DatedSheet,
         [&view, changed] {
           view.MoveYear(-1);
           changed();
         },
         "years"});
  a.Add({"mnuSelMoveNextNen",
         m,
         "１年後に移動",
         {},
         when::DatedSheet,
         [&view, changed] {
           view.MoveYear(1);
           changed();
         },
         "years"});
}

SheetFeature::SheetFeature(FeatureHost& host) : host_(host) {
  RegisterSheetActions(host.Actions(), *host.Context().objects.view, [&host] { host.ViewChanged(); });
}

bool SheetFeature::SheetKey(int key) {
  CMyView& view = *host_.Context().objects.view;
  switch (key) {
    case Qt::Key_Left:
      view.StepPeriod(-1);
      break;
    case Qt::Key_Right:
      view.StepPeriod(1);
      break;
    case Qt::Key_Home:
      view.GoToday();
      break;
    case Qt::Key_Up:
      view.KeyUp();
      break;
    case Qt::Key_Down:
      view.KeyDown();
      break;
    case Qt::Key_PageDown:
      view.KeyPageDown();
      break;
    case Qt::Key_PageUp:
      view.KeyPageUp();
      break;
    default:
      return false;
  }
  host_.ViewChanged();
  return true;
}
