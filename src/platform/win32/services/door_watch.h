#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/services/mci_door.h"
#include "platform/windows_services.h"

namespace lumivo {

// The running copy's watch on the lamp's drive, and its ear for the door command line: a
// hidden top-level window, since the system's device broadcasts and a message from another
// program reach only those. It tells the watcher
// - a disc that arrives in the drive (WM_DEVICECHANGE, DBTF_MEDIA): the door is closed;
// - a disc that leaves it: the door was opened;
// - while the lamp shows an open door, once a second, MCI's mode, which proves a door closed
//   on a disc (XP with AutoRun off sends no media notice); an empty tray is seen by neither;
// - a door command line's notice that it moved the door, and its question for the lamp.
class DoorWatch {
 public:
  explicit DoorWatch(MciDoor& door);
  ~DoorWatch();
  DoorWatch(const DoorWatch&) = delete;
  DoorWatch& operator=(const DoorWatch&) = delete;

  // Once: without its window the lamp shows its own commands, as before it was watched.
  void Start(DoorWatcher& watcher);

  // For the window procedure.
  void Attach(HWND window) { window_ = window; }
  void Detach() { window_ = nullptr; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Poll();
  void OnDeviceChange(WPARAM event, LPARAM data);

  DoorWatcher* watcher_ = nullptr;
  MciDoor& door_;
  const UINT doorMessage_;
  HWND window_ = nullptr;
};

// A door command line's side: the running copy's lamp (Unknown when none answers), and the
// notice that the lamp's drive's door moved.
DoorState AskRunningLamp();
void TellRunningLamp(DoorState moved);

}  // namespace lumivo
