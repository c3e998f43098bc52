#include "platform/linux/services/door_watch.h"

#include <chrono>

#include "platform/linux/services/cdrom_door.h"
#include "platform/linux/services/optical_drives.h"

namespace lumivo {
namespace {

// Precise, as a coarse timer may come early: no more often than once a second.
constexpr std::chrono::seconds kLookInterval{1};

}  // namespace

DoorWatch::DoorWatch(QObject* workerContext, const DriveList& drives, Listener listener)
    : drives_(drives), listener_(std::move(listener)), timer_(this) {
  moveToThread(workerContext->thread());
  setParent(workerContext);
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kLookInterval);
  connect(&timer_, &QTimer::timeout, this, &DoorWatch::Look);
}

void DoorWatch::Start() {
  QMetaObject::invokeMethod(&timer_, qOverload<>(&QTimer::start), Qt::QueuedConnection);
}

// A drive that is missing or gives no answer leaves the last state as it was.
void DoorWatch::Look() {
  const auto device = DoorDevice(drives_.Devices());
  if (!device) return;
  const DoorState state = DoorStateOfStatus(ReadDriveStatus(*device));
  if (state == DoorState::Unknown || state == last_) return;
  last_ = state;
  listener_(state);
}

}  // namespace lumivo
