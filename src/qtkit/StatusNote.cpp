#include "qtkit/StatusNote.h"

#include <QMainWindow>
#include <QStatusBar>

#include "qtkit/QtText.h"

void ShowStatusNote(QWidget* widget, const std::string& text) {
  auto* main = widget ? qobject_cast<QMainWindow*>(widget->window()) : nullptr;
  if (!main && widget && widget->parentWidget())
    main = qobject_cast<QMainWindow*>(widget->parentWidget()->window());  // a dialog over the window
  if (main) main->statusBar()->showMessage(FromSj(text), 15000);
}
