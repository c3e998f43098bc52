#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

#include "platform/linux/services/door_command.h"
#include "platform/linux/services/drive_list.h"

namespace lumivo {

// Watches the tray of the lamp's drive from the service worker: once a second the drive is
// opened, asked where its tray is and closed again, and each state that differs from the
// last one read is told. Neither the kernel nor UDisks2 signals a tray that moves: the kernel's
// media events, and UDisks2's properties made from them, come only when a disc comes or goes,
// and say nothing of an empty tray. The request spins no disc up and moves no tray.
class DoorWatch final : public QObject {
 public:
  // Called on the worker thread with each new state.
  using Listener = std::function<void(DoorState state)>;

  // Lives on the thread of that object, as its child; the drives are its sibling's.
  DoorWatch(QObject* workerContext, const DriveList& drives, Listener listener);

  // From any thread: the looking begins.
  void Start();
  // On the worker thread, after the program moved the door itself: the next state read is
  // told whatever it is, so that a door that did not move (a refused eject) is told too.
  void Forget() { last_ = DoorState::Unknown; }

 private:
  void Look();

  const DriveList& drives_;
  Listener listener_;
  QTimer timer_;
  DoorState last_ = DoorState::Unknown;
};

}  // namespace lumivo
