#include "platform/linux/tray/tray_presence.h"

#include <xcb/xcb.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/linux/services/session_bus.h"

namespace lumivo {
namespace {

constexpr int kBusTimeoutMs = 1000;

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

bool StatusNotifierHostRegistered() {
  if (!SessionBusGiven()) return false;
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(
      QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QStringLiteral("org.kde.StatusNotifierWatcher")
      << QStringLiteral("IsStatusNotifierHostRegistered");
  get.setAutoStartService(false);
  const QDBusMessage reply = bus.call(get, QDBus::Block, kBusTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) return false;
  return qvariant_cast<QDBusVariant>(reply.arguments().front()).variant().toBool();
}

bool XEmbedManagerPresent() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  // The offscreen platform answers as X11 without a connection.
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return false;
  const std::string name = XEmbedTraySelection();
  const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
      nullptr));
  if (!atom) return false;
  const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeReply> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                    nullptr));
  return owner && owner->owner != XCB_NONE;
}

}  // namespace

std::string XEmbedTraySelection() {
  char* host = nullptr;
  int display = 0;
  int screen = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
  std::free(host);
  return "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
}

TrayPresence CurrentTrays() {
  return {.statusNotifierHost = StatusNotifierHostRegistered(),
          .xembedManager = XEmbedManagerPresent()};
}

}  // namespace lumivo
