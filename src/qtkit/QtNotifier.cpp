#include "qtkit/QtNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "qtkit/QtText.h"

void QtNotifier::Notify(const std::string& title, const std::string& body) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusMessage m = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(1));
  // app name, replaces id, icon, summary, body, actions, hints, timeout (-1: the server's)
  m << QStringLiteral("ひとこと帳") << uint(0) << QStringLiteral("appointment-soon") << FromSj(title)
    << FromSj(body) << QStringList() << hints << int(-1);
  (void)bus.send(m);
}
