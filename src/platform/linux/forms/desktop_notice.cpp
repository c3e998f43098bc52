#include "platform/linux/forms/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMessageBox>
#include <QVariantMap>

#include "platform/linux/services/session_bus.h"

namespace lumivo {
namespace {

void ShowBox(const QString& text) {
  auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Lumivo"), text, QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowFlag(Qt::WindowStaysOnTopHint);
  box->show();
}

}  // namespace

// org.freedesktop.Notifications.Notify, as freedesktop.org's notification service defines it;
// any error (no server, a refusal) brings the box instead.
void ShowNotice(const QString& text) {
  if (!SessionBusGiven()) {
    ShowBox(text);
    return;
  }
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    ShowBox(text);
    return;
  }
  QDBusMessage notify = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  notify << QStringLiteral("Lumivo") << 0u << QStringLiteral("lumivo") << QStringLiteral("Lumivo")
         << text << QStringList() << QVariantMap() << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [text](QDBusPendingCallWatcher* call) {
                     if (QDBusPendingReply<uint>(*call).isError()) ShowBox(text);
                     call->deleteLater();
                   });
}

}  // namespace lumivo
