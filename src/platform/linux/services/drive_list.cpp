#include "platform/linux/services/drive_list.h"

#include <QDBusConnection>

#include "platform/linux/services/udisks2_drives.h"

namespace lumivo {

DriveList::DriveList(QObject* workerContext) {
  moveToThread(workerContext->thread());
  setParent(workerContext);
  QMetaObject::invokeMethod(
      this,
      [this] {
        QDBusConnection bus = QDBusConnection::systemBus();
        const QString service = QStringLiteral("org.freedesktop.UDisks2");
        const QString path = QStringLiteral("/org/freedesktop/UDisks2");
        const QString manager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
        for (const QString& change :
             {QStringLiteral("InterfacesAdded"), QStringLiteral("InterfacesRemoved")}) {
          bus.connect(service, path, manager, change, this, SLOT(OnObjectsChanged(QDBusMessage)));
        }
        Refresh();
      },
      Qt::QueuedConnection);
}

std::size_t DriveList::Count() const {
  const std::lock_guard lock(mutex_);
  return devices_.size();
}

std::vector<std::string> DriveList::Devices() const {
  const std::lock_guard lock(mutex_);
  return devices_;
}

void DriveList::Refresh() {
  std::vector<std::string> devices;
  for (const OpticalDrive& drive : ListOpticalDrives()) devices.push_back(drive.device);
  const std::lock_guard lock(mutex_);
  devices_ = std::move(devices);
}

void DriveList::OnObjectsChanged(const QDBusMessage&) { Refresh(); }

}  // namespace lumivo
