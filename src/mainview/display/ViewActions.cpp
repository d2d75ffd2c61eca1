#include "mainview/display/ViewActions.h"

#include <QAction>
#include <QApplication>
#include <QResizeEvent>
#include <QWidget>

#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "mainview/sheet/ScreenPorts.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"

ViewFeature::ViewFeature(FeatureHost& host) : host_(host) {
  MainActions& a = host.Actions();
  const char* m = "表示(&V)";
  QAction* larger = a.Add({"mnuViewZoomIn", m, "拡大(&I)", {}, when::Started, [this] { Step(1); }, "zoom"});
  // "+" is a shifted key on both the Japanese and the US keyboard: Ctrl with
  // the key itself works too
  larger->setShortcuts({QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+;")),
                        QKeySequence(QStringLiteral("Ctrl+="))});
  a.Add({"mnuViewZoomOut", m, "縮小(&O)", QKeySequence(QStringLiteral("Ctrl+-")), when::Started,
         [this] { Step(-1); }, "zoom"});
  a.Add({"mnuViewZoomNormal", m, "標準の大きさ(&N)", QKeySequence(QStringLiteral("Ctrl+0")), when::Started,
         [this] { Step(0); }, "zoom"});
  fit_ = a.Add({"mnuViewFitColumns",
                m,
                "列幅をウィンドウに合わせる(&W)",
                {},
                when::Started,
                [this] { ToggleFit(); },
                "fit"});
  fit_->setCheckable(true);
}

void ViewFeature::BookOpened(bool) { Apply(false); }

void ViewFeature::ScreenOpened() { Apply(false); }

void ViewFeature::Apply(bool chosen) {
  MainObjects& o = host_.Context().objects;
  const SheetZoom zoom(*o.global);
  const bool resized = JosScreenLoader::Zoom(*o.scr, *o.db, *o.view, zoom.Percent());
  o.painter->SetFitColumns(zoom.FitColumns());
  fit_->setChecked(zoom.FitColumns());
  if (!chosen && !resized) return;  // a book opened at the size it had
  host_.ViewChanged();
  if (!chosen) return;
  // every sheet shown over the screen model (the reference window's too)
  // takes its new sizes: scroll ranges as on a resize, then a paint
  for (QWidget* top : QApplication::topLevelWidgets()) {
    for (QWidget* box : top->findChildren<QWidget*>(QStringLiteral("paiMain"))) {
      if (!box->isVisible()) continue;
      QResizeEvent same(box->size(), box->size());
      QApplication::sendEvent(box, &same);
      box->update();
    }
  }
}

void ViewFeature::Step(int direction) {
  bool written = true;
  if (!SheetZoom(*host_.Context().objects.global).Step(direction, written)) return;
  Apply(true);
  if (!written) WarnNotKept();
}

void ViewFeature::ToggleFit() {
  SheetZoom zoom(*host_.Context().objects.global);
  const bool written = zoom.SetFitColumns(!zoom.FitColumns());
  Apply(true);
  if (!written) WarnNotKept();
}

void ViewFeature::WarnNotKept() {
  const CMyGlobal& g = *host_.Context().objects.global;
  host_.Context().prompter.Warn("表示の設定を保存できませんでした（今回だけ有効です）。"_sj + "\n" +
                                cp932::FromUtf8(g.UserPath("jbxuser.ini")));
}
