#include "shell/menu/HelpActions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/host/MainObjects.h"
#include "shell/CMyGlobal.h"
#include "shell/HelpTopics.h"

namespace {

// F1 in any window of the program opens the page of that window (a dialog
// over the main window included), the contents page where it has none.
class F1Help : public QObject {
 public:
  F1Help(CMyGlobal& global, QObject* parent) : QObject(parent), global_(global) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
      return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    helptopics::OpenFor(global_, widget->window()->objectName().toStdString());
    return true;
  }

 private:
  CMyGlobal& global_;
};

}  // namespace

void RegisterHelpActions(MainActions& a, CMyGlobal& global) {
  a.Add({"mnuHelpContents",
         "ヘルプ(&H)",
         "目次(&C)",
         {},
         when::Always,
         [&global] { global.ShowHelp(""); },
         "contents"});
  // lives as long as the window's menu
  qApp->installEventFilter(new F1Help(global, a.Menu(QStringLiteral("ヘルプ(&H)"))));
}

HelpFeature::HelpFeature(FeatureHost& host) {
  RegisterHelpActions(host.Actions(), *host.Context().objects.global);
}
