#include "platform/linux/keys/portal_shortcuts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <algorithm>
#include <array>

#include "platform/linux/forms/desktop_notice.h"
#include "platform/linux/services/session_bus.h"

namespace lumivo {
namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

struct Hotkey {
  std::int32_t virtualKey;
  const char* id;
  const char* description;
  const char* trigger;  // the XDG shortcuts notation: a keysym name
};

constexpr std::array<Hotkey, 5> kHotkeys{{
    {111, "open-door", "弹出光驱", "KP_Divide"},
    {106, "close-door", "关闭光驱", "KP_Multiply"},
    {107, "browse-discs", "浏览光盘", "KP_Add"},
    {122, "dial-163", "拨号连接163", "F11"},
    {123, "dial-norbek-163", "拨号连接Norbek-163", "F12"},
}};

// One shortcut as BindShortcuts takes it: (sa{sv}).
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.properties;
  argument.endStructure();
  return argument;
}

const Hotkey* HotkeyOf(const QString& id) {
  const auto found = std::ranges::find_if(
      kHotkeys, [&](const Hotkey& hotkey) { return id == QLatin1String(hotkey.id); });
  return found == kHotkeys.end() ? nullptr : &*found;
}

// The portal answers on a request object whose path it derives from the caller's unique name
// and the token; listening there before calling catches an answer that comes at once.
QString RequestPath(const QDBusConnection& bus, const QString& token) {
  QString sender = bus.baseService().mid(1);
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  return kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

}  // namespace
}  // namespace lumivo

Q_DECLARE_METATYPE(lumivo::PortalShortcut)

namespace lumivo {

PortalShortcuts::PortalShortcuts(const QString& withoutX) : withoutX_(withoutX) {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
  if (!SessionBusGiven() || !QDBusConnection::sessionBus().isConnected()) {
    Unavailable(withoutX_ + QStringLiteral("，也没有会话总线（D-Bus）"));
    return;
  }
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.connect(kPortal, kPortalPath, kShortcuts, QStringLiteral("Activated"), this,
                   SLOT(OnActivated(QDBusMessage))) ||
      !bus.connect(kPortal, kPortalPath, kShortcuts, QStringLiteral("Deactivated"), this,
                   SLOT(OnDeactivated(QDBusMessage)))) {
    Unavailable(QStringLiteral("收不到全局快捷键门户的信号"));
    return;
  }
  const QVariantMap options{{QStringLiteral("handle_token"), QStringLiteral("lumivo_session")},
                            {QStringLiteral("session_handle_token"), QStringLiteral("lumivo")}};
  Request(QStringLiteral("CreateSession"), {options}, QStringLiteral("lumivo_session"),
          SLOT(OnSessionCreated(uint, QVariantMap)));
}

bool PortalShortcuts::IsDown(std::int32_t virtualKey) const { return held_.contains(virtualKey); }

// A portal call whose answer comes as the Response signal of its request object. A call the
// portal refuses at once (no portal, no GlobalShortcuts) ends the binding. A portal older than
// the path rule names its request object in the reply; the answer is then awaited there.
void PortalShortcuts::Request(const QString& method, const QList<QVariant>& arguments,
                              const QString& token, const char* onResponse) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  const QString expected = RequestPath(bus, token);
  if (!ListenForResponse(expected, onResponse)) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, kShortcuts, method);
  call.setArguments(arguments);
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
  QObject::connect(
      watcher, &QDBusPendingCallWatcher::finished, this,
      [this, expected, onResponse](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<QDBusObjectPath> reply(*done);
        if (reply.isError()) {
          Unavailable(withoutX_ + QStringLiteral("，桌面也不提供全局快捷键门户"
                                                 "（org.freedesktop.portal.GlobalShortcuts）"));
        } else if (reply.value().path() != expected) {
          ListenForResponse(reply.value().path(), onResponse);
        }
        done->deleteLater();
      });
}

bool PortalShortcuts::ListenForResponse(const QString& request, const char* onResponse) {
  if (QDBusConnection::sessionBus().connect(kPortal, request,
                                            QStringLiteral("org.freedesktop.portal.Request"),
                                            QStringLiteral("Response"), this, onResponse)) {
    return true;
  }
  Unavailable(QStringLiteral("收不到全局快捷键门户的应答"));
  return false;
}

void PortalShortcuts::OnSessionCreated(uint response, const QVariantMap& results) {
  // A string by the portal's documentation; some portals send an object path.
  const QVariant handle = results.value(QStringLiteral("session_handle"));
  session_ = handle.metaType() == QMetaType::fromType<QDBusObjectPath>()
                 ? handle.value<QDBusObjectPath>().path()
                 : handle.toString();
  if (response != 0 || session_.isEmpty()) {
    Unavailable(QStringLiteral("桌面没有为Lumivo建立全局快捷键会话"));
    return;
  }
  QList<PortalShortcut> shortcuts;
  for (const Hotkey& hotkey : kHotkeys) {
    shortcuts.append({QLatin1String(hotkey.id),
                      {{QStringLiteral("description"), QString::fromUtf8(hotkey.description)},
                       {QStringLiteral("preferred_trigger"), QLatin1String(hotkey.trigger)}}});
  }
  const QVariantMap options{{QStringLiteral("handle_token"), QStringLiteral("lumivo_bind")}};
  Request(QStringLiteral("BindShortcuts"),
          {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
           QString(), options},
          QStringLiteral("lumivo_bind"), SLOT(OnBound(uint, QVariantMap)));
}

void PortalShortcuts::OnBound(uint response, const QVariantMap&) {
  if (response != 0) Unavailable(QStringLiteral("桌面拒绝了全局快捷键的绑定"));
}

void PortalShortcuts::OnActivated(const QDBusMessage& signal) {
  if (const std::int32_t key = KeyOf(signal)) held_.insert(key);
}

void PortalShortcuts::OnDeactivated(const QDBusMessage& signal) {
  if (const std::int32_t key = KeyOf(signal)) held_.erase(key);
}

std::int32_t PortalShortcuts::KeyOf(const QDBusMessage& signal) const {
  const QList<QVariant> arguments = signal.arguments();
  if (arguments.size() < 2 || session_.isEmpty()) return 0;
  if (arguments[0].value<QDBusObjectPath>().path() != session_) return 0;
  const Hotkey* hotkey = HotkeyOf(arguments[1].toString());
  return hotkey != nullptr ? hotkey->virtualKey : 0;
}

void PortalShortcuts::Unavailable(const QString& why) {
  held_.clear();
  if (told_) return;
  told_ = true;
  ShowNotice(QStringLiteral("Lumivo的热键在此桌面不可用：%1。要用热键，请登录X11会话"
                            "（如“GNOME on Xorg”），或在桌面的键盘设置中把命令"
                            "“lumivo --door toggle”设为快捷键。光驱图标仍可使用。")
                 .arg(why));
}

}  // namespace lumivo
