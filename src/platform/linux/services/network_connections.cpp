#include "platform/linux/services/network_connections.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QMap>
#include <QVariantMap>

#include <chrono>

#include "platform/linux/services/dbus_calls.h"
#include "platform/linux/services/service_messages.h"

namespace lumivo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
// Activation may ask the user for a secret through the desktop's agent.
constexpr std::chrono::seconds kReplyTime{25};

QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
  call.setArguments(arguments);
  return CallAndWait(QDBusConnection::systemBus(), call, kReplyTime);
}

bool Succeeded(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

// The connection's name, from its settings (a{sa{sv}}: "connection" / "id").
QString ConnectionName(const QDBusObjectPath& connection) {
  const QDBusMessage reply =
      Call(connection.path(), kService + QStringLiteral(".Settings.Connection"),
           QStringLiteral("GetSettings"));
  if (!Succeeded(reply) || reply.arguments().isEmpty()) return {};
  const auto settings = qdbus_cast<QMap<QString, QVariantMap>>(reply.arguments().constFirst());
  return settings.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString();
}

}  // namespace

std::optional<std::u16string> BringUpNetworkConnection(const QString& name) {
  const std::u16string wanted = name.toStdU16String();
  const QDBusMessage list =
      Call(QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
           kService + QStringLiteral(".Settings"), QStringLiteral("ListConnections"));
  if (!Succeeded(list) || list.arguments().isEmpty()) return NoNetworkManagerMessage(wanted);
  for (const QDBusObjectPath& connection :
       qdbus_cast<QList<QDBusObjectPath>>(list.arguments().constFirst())) {
    if (ConnectionName(connection) != name) continue;
    // Any device, no specific object: NetworkManager picks what the connection needs.
    const QDBusObjectPath any(QStringLiteral("/"));
    const QDBusMessage reply =
        Call(QStringLiteral("/org/freedesktop/NetworkManager"), kService,
             QStringLiteral("ActivateConnection"),
             {QVariant::fromValue(connection), QVariant::fromValue(any), QVariant::fromValue(any)});
    if (Succeeded(reply)) return std::nullopt;
    return ConnectionRefusedMessage(wanted, reply.errorMessage().toStdU16String());
  }
  return NoSuchConnectionMessage(wanted);
}

}  // namespace lumivo
