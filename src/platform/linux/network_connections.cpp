#include "platform/linux/network_connections.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QMap>
#include <QVariantMap>

#include <chrono>
#include <optional>

#include "platform/linux/dbus_calls.h"

namespace lumivo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
// Activation may ask the user for a secret through the desktop's agent.
constexpr std::chrono::seconds kReplyTime{25};

QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
  call.setArguments(arguments);
  return CallSystemBus(call, kReplyTime);
}

// The connection's name, from its settings (a{sa{sv}}: "connection" / "id").
QString ConnectionName(const QDBusObjectPath& connection) {
  const QDBusMessage reply =
      Call(connection.path(), kService + QStringLiteral(".Settings.Connection"),
           QStringLiteral("GetSettings"));
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  const auto settings = qdbus_cast<QMap<QString, QVariantMap>>(reply.arguments().constFirst());
  return settings.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString();
}

std::optional<QDBusObjectPath> FindConnection(const QString& name) {
  const QDBusMessage reply =
      Call(QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
           kService + QStringLiteral(".Settings"), QStringLiteral("ListConnections"));
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  const auto connections = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().constFirst());
  for (const QDBusObjectPath& connection : connections) {
    if (ConnectionName(connection) == name) return connection;
  }
  return std::nullopt;
}

}  // namespace

bool BringUpNetworkConnection(const std::string& name) {
  const auto connection = FindConnection(QString::fromStdString(name));
  if (!connection) return false;
  // Any device, no specific object: NetworkManager picks what the connection needs.
  const QDBusObjectPath any(QStringLiteral("/"));
  const QDBusMessage reply =
      Call(QStringLiteral("/org/freedesktop/NetworkManager"), kService,
           QStringLiteral("ActivateConnection"),
           {QVariant::fromValue(*connection), QVariant::fromValue(any), QVariant::fromValue(any)});
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace lumivo
