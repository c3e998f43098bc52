#include "platform/linux/services/dbus_calls.h"

#include <QDBusPendingCallWatcher>
#include <QTimer>

namespace lumivo {

QDBusMessage CallAndWait(const QDBusConnection& bus, const QDBusMessage& call,
                         std::chrono::milliseconds timeout) {
  if (!bus.isConnected())
    return call.createErrorReply(QDBusError::Disconnected, bus.lastError().message());
  return bus.call(call, QDBus::Block, static_cast<int>(timeout.count()));
}

void CallThen(const QDBusConnection& bus, const QDBusMessage& call,
              std::chrono::milliseconds timeout,
              std::function<void(const QDBusMessage& reply)> answered) {
  // Without a bus there is no pending call to watch; the error is still answered later, so
  // that the caller sees one order of events.
  if (!bus.isConnected()) {
    QTimer::singleShot(
        0, [answered = std::move(answered),
            error = call.createErrorReply(QDBusError::Disconnected, bus.lastError().message())] {
          answered(error);
        });
    return;
  }
  auto* const watcher =
      new QDBusPendingCallWatcher(bus.asyncCall(call, static_cast<int>(timeout.count())));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [watcher, answered = std::move(answered)] {
                     watcher->deleteLater();
                     answered(watcher->reply());
                   });
}

}  // namespace lumivo
