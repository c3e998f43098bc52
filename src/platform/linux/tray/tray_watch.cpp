#include "platform/linux/tray/tray_watch.h"

#include <xcb/xcb.h>
#include <QDBusConnection>
#include <QGuiApplication>

#include <cstdlib>
#include <string_view>

#include "platform/linux/services/session_bus.h"
#include "platform/linux/tray/tray_presence.h"

namespace lumivo {
namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

std::uint32_t Atom(xcb_connection_t* connection, std::string_view name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
      nullptr);
  const std::uint32_t atom = reply != nullptr ? reply->atom : XCB_NONE;
  std::free(reply);
  return atom;
}

}  // namespace

TrayWatch::TrayWatch() {
  if (SessionBusGiven()) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    busWatch_ = std::make_unique<QDBusServiceWatcher>(kWatcher, bus,
                                                      QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(busWatch_.get(), &QDBusServiceWatcher::serviceRegistered, this,
                     &TrayWatch::MayHaveAppeared);
    bus.connect(kWatcher, QStringLiteral("/StatusNotifierWatcher"), kWatcher,
                QStringLiteral("StatusNotifierHostRegistered"), this, SIGNAL(MayHaveAppeared()));
  }
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 != nullptr && x11->connection() != nullptr) {
    managerAtom_ = Atom(x11->connection(), "MANAGER");
    selectionAtom_ = Atom(x11->connection(), XEmbedTraySelection());
    qGuiApp->installNativeEventFilter(this);
  }
}

TrayWatch::~TrayWatch() { qGuiApp->removeNativeEventFilter(this); }

// Qt handles the message as well: it is only looked at here.
bool TrayWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
  const auto* client = static_cast<const xcb_client_message_event_t*>(message);
  if (client->type == managerAtom_ && client->format == 32 &&
      client->data.data32[1] == selectionAtom_ && managerAtom_ != XCB_NONE) {
    emit MayHaveAppeared();
  }
  return false;
}

}  // namespace lumivo
