#include "qtkit/DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopOpener::Open(const std::string& target) {
  if (xdg_.Open(target)) return true;
  const QString t = QString::fromStdString(target);
  // a path is a file; anything else is already a URL (percent-encoded)
  const QUrl url = t.startsWith('/') ? QUrl::fromLocalFile(t) : QUrl(t, QUrl::StrictMode);
  return url.isValid() && QDesktopServices::openUrl(url);
}
