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

void DriveList::Refresh() { count_ = ListOpticalDrives().size(); }

void DriveList::OnObjectsChanged(const QDBusMessage&) { Refresh(); }

}  // namespace lumivo
