#include "platform/linux/session_power.h"

#include <QDBusMessage>

#include <chrono>

#include "platform/linux/dbus_calls.h"

namespace lumivo {
namespace {

// Long enough for a user to type a password into the authentication dialog.
constexpr std::chrono::minutes kAuthenticationTime{2};

}  // namespace

bool RequestSessionEnd(WindowsExit how) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"),
      how == WindowsExit::Restart ? QStringLiteral("Reboot") : QStringLiteral("PowerOff"));
  const bool interactive = true;
  call << interactive;
  return CallSystemBus(call, kAuthenticationTime).type() == QDBusMessage::ReplyMessage;
}

}  // namespace lumivo
