#include "platform/linux/services/door_notices.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>

#include <chrono>

#include "platform/linux/services/dbus_calls.h"
#include "platform/linux/services/session_bus.h"

namespace lumivo {
namespace {

constexpr std::chrono::seconds kNoticeTime{2};

std::string DeviceOf(const QString& device) { return QFile::encodeName(device).toStdString(); }

QDBusMessage CallToRunningCopy(const char* method, const std::string& device) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kDoorNoticeService), QString::fromLatin1(kDoorNoticePath),
      QString::fromLatin1(kDoorNoticeInterface), QString::fromLatin1(method));
  call.setAutoStartService(false);
  call << QFile::decodeName(QByteArray::fromStdString(device));
  return call;
}

}  // namespace

DoorNoticeReceiver::DoorNoticeReceiver(Listener listener, LampReader lampReader)
    : listener_(std::move(listener)), lampReader_(std::move(lampReader)) {
  if (!SessionBusGiven()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QString::fromLatin1(kDoorNoticePath), this,
                          QDBusConnection::ExportScriptableSlots)) {
    return;
  }
  bus.registerService(QString::fromLatin1(kDoorNoticeService));
}

void DoorNoticeReceiver::DoorMoved(const QString& device, bool open) {
  listener_(DeviceOf(device), open ? DoorState::Open : DoorState::Closed);
}

QString DoorNoticeReceiver::LampDoor(const QString& device) {
  switch (lampReader_(DeviceOf(device))) {
    case DoorState::Open:
      return QStringLiteral("open");
    case DoorState::Closed:
      return QStringLiteral("closed");
    case DoorState::Unknown:
      break;
  }
  return {};
}

// No copy, no session bus or a copy that does not answer in time: nothing to tell.
void NoticeDoorMoved(const std::string& device, DoorState state) {
  if (!SessionBusGiven() || state == DoorState::Unknown) return;
  QDBusMessage call = CallToRunningCopy("DoorMoved", device);
  call << (state == DoorState::Open);
  CallAndWait(QDBusConnection::sessionBus(), call, kNoticeTime);
}

DoorState AskLampDoor(const std::string& device) {
  if (!SessionBusGiven()) return DoorState::Unknown;
  const QDBusMessage reply = CallAndWait(QDBusConnection::sessionBus(),
                                         CallToRunningCopy("LampDoor", device), kNoticeTime);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    return DoorState::Unknown;
  }
  const QString lamp = reply.arguments().constFirst().toString();
  if (lamp == u"open") return DoorState::Open;
  if (lamp == u"closed") return DoorState::Closed;
  return DoorState::Unknown;
}

}  // namespace lumivo
