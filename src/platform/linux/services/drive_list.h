#pragma once

#include <QDBusMessage>
#include <QObject>

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace lumivo {

// The system's optical drives, for GetDriveTypeA to answer at once and for the door's watch to
// find the lamp's drive without a call: asked from UDisks2 on the service worker at start and
// again whenever UDisks2 adds or removes objects.
class DriveList final : public QObject {
  Q_OBJECT

 public:
  // Lives on the thread of that object, as its child.
  explicit DriveList(QObject* workerContext);

  // From any thread: how many, and their devices in letter order.
  std::size_t Count() const;
  std::vector<std::string> Devices() const;

 private slots:
  void Refresh();
  void OnObjectsChanged(const QDBusMessage& signal);

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> devices_;
};

}  // namespace lumivo
