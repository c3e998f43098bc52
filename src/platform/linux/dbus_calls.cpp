#include "platform/linux/dbus_calls.h"

namespace lumivo {
namespace {

constexpr std::chrono::seconds kBusReplyTime{5};

}  // namespace

QDBusMessage CallAndWait(const QDBusConnection& bus, const QDBusMessage& call,
                         std::chrono::milliseconds timeout) {
  if (!bus.isConnected())
    return call.createErrorReply(QDBusError::Disconnected, bus.lastError().message());
  return bus.call(call, QDBus::Block, static_cast<int>(timeout.count()));
}

bool ServiceRuns(const QDBusConnection& bus, const QString& name) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
  call << name;
  const QDBusMessage reply = CallAndWait(bus, call, kBusReplyTime);
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
         reply.arguments().constFirst().toBool();
}

}  // namespace lumivo
