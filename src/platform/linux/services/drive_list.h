#pragma once

#include <QDBusMessage>
#include <QObject>

#include <atomic>
#include <cstddef>

namespace lumivo {

// How many optical drives the system has, for GetDriveTypeA to answer at once: asked from
// UDisks2 on the service worker at start and again whenever UDisks2 adds or removes objects.
class DriveList final : public QObject {
  Q_OBJECT

 public:
  // Lives on the thread of that object, as its child.
  explicit DriveList(QObject* workerContext);

  std::size_t Count() const { return count_.load(); }

 private slots:
  void Refresh();
  void OnObjectsChanged(const QDBusMessage& signal);

 private:
  std::atomic<std::size_t> count_{0};
};

}  // namespace lumivo
