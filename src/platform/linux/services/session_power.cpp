#include "platform/linux/services/session_power.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>

#include <array>
#include <chrono>

#include "platform/linux/services/dbus_calls.h"

namespace lumivo {
namespace {

constexpr std::chrono::seconds kBusReplyTime{5};
constexpr std::chrono::seconds kSessionManagerTime{25};
// Long enough for a user to type a password into the authentication dialog.
constexpr std::chrono::minutes kAuthenticationTime{2};

// ksmserver's logout(confirm, type, mode): no confirmation of its own (Lumivo's menu item was
// the request), reboot 1 or halt 2, scheduled (0): applications are asked to save first.
constexpr int kNoConfirmation = 0, kReboot = 1, kHalt = 2, kScheduled = 0;

struct SessionManager {
  const char* service;
  const char* path;
  const char* interface;
  const char* restart;
  const char* shutDown;
  enum class Arguments { None, AllowSave, LogoutType } arguments;
};

// The first of these that runs on the session bus is asked.
constexpr std::array<SessionManager, 4> kSessionManagers = {{
    {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "Reboot",
     "Shutdown", SessionManager::Arguments::None},
    {"org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", "logoutAndReboot", "logoutAndShutdown",
     SessionManager::Arguments::None},
    {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout", "logout",
     SessionManager::Arguments::LogoutType},
    {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Restart",
     "Shutdown", SessionManager::Arguments::AllowSave},
}};

bool Succeeded(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

// A reply to the request, passed on as taken or refused.
auto PassOn(ExitWindowsAnswer& answered) {
  return
      [&answered](const QDBusMessage& reply) { answered.OnExitWindowsAnswered(Succeeded(reply)); };
}

QDBusMessage SessionManagerCall(const SessionManager& manager, WindowsExit how) {
  const bool restart = how == WindowsExit::Restart;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(manager.service), QString::fromLatin1(manager.path),
      QString::fromLatin1(manager.interface),
      QString::fromLatin1(restart ? manager.restart : manager.shutDown));
  switch (manager.arguments) {
    case SessionManager::Arguments::None:
      break;
    case SessionManager::Arguments::AllowSave:
      call << true;
      break;
    case SessionManager::Arguments::LogoutType:
      call << kNoConfirmation << (restart ? kReboot : kHalt) << kScheduled;
      break;
  }
  return call;
}

void AskLogind(WindowsExit how, ExitWindowsAnswer& answered) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"),
      how == WindowsExit::Restart ? QStringLiteral("Reboot") : QStringLiteral("PowerOff"));
  const bool interactive = true;
  call << interactive;
  CallThen(QDBusConnection::systemBus(), call, kAuthenticationTime, PassOn(answered));
}

}  // namespace

void RequestSessionEnd(WindowsExit how, ExitWindowsAnswer& answered) {
  const QDBusConnection session = QDBusConnection::sessionBus();
  const QDBusMessage listNames = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"));
  CallThen(session, listNames, kBusReplyTime, [session, how, &answered](const QDBusMessage& names) {
    const QStringList running = Succeeded(names) && !names.arguments().isEmpty()
                                    ? names.arguments().constFirst().toStringList()
                                    : QStringList();
    for (const SessionManager& manager : kSessionManagers) {
      if (running.contains(QString::fromLatin1(manager.service))) {
        CallThen(session, SessionManagerCall(manager, how), kSessionManagerTime, PassOn(answered));
        return;
      }
    }
    AskLogind(how, answered);
  });
}

}  // namespace lumivo
