#include "platform/linux/dbus_calls.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>

namespace lumivo {

QDBusMessage CallSystemBus(const QDBusMessage& call, std::chrono::milliseconds timeout) {
  const QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected())
    return call.createErrorReply(QDBusError::Disconnected, bus.lastError().message());
  QDBusPendingCallWatcher watcher(bus.asyncCall(call, static_cast<int>(timeout.count())));
  if (!watcher.isFinished()) {
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return watcher.reply();
}

}  // namespace lumivo
