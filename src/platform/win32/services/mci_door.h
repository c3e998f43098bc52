#pragma once

#include "platform/win32/windows_api.h"

#include <mmsystem.h>

#include "platform/win32/system_library.h"
#include "platform/windows_services.h"

namespace lumivo {

// A CD drive's door through MCI's command messages: its state and a named drive's moves. (The
// logic's own two texts go through mciSendStringA.) Letter 0 is MCI's CD audio device opened
// by its type name alone: the device those two texts name, the first CD drive.
class MciDoor {
 public:
  explicit MciDoor(SystemLibrary& multimedia) : multimedia_(multimedia) {}
  ~MciDoor() { Release(); }
  MciDoor(const MciDoor&) = delete;
  MciDoor& operator=(const MciDoor&) = delete;

  // Only "stopped", "playing" and "paused" prove a closed door: MCI's "open" also means a
  // closed drive with no disc (not ready).
  DoorState StateOf(wchar_t letter);
  bool Move(wchar_t letter, bool open);

  // The same, on the device kept open between calls under its type name, so that the logic's
  // two texts reach the drive through it; released by Release.
  DoorState KeptState();
  void Release();

 private:
  MCIDEVICEID Open(wchar_t letter);
  DoorState Mode(MCIDEVICEID device);
  void Close(MCIDEVICEID device);
  MCIERROR Send(MCIDEVICEID device, UINT message, DWORD_PTR flags, void* parameters);

  SystemLibrary& multimedia_;
  MCIDEVICEID kept_ = 0;
};

}  // namespace lumivo
