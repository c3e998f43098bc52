#pragma once

#include "platform/tray_icon_record.h"

namespace lumivo {

// Which door command was last given through the lamp: its two icons.
enum class LampState { ClosedDoor, OpenDoor };

// What the tray's jobs need of the hidden window that hosts them.
class TrayHost {
 public:
  // The control whose window hears the lamp's mouse messages in that state, and its icon.
  virtual WindowHandle LampWindow(LampState state) = 0;
  virtual IconHandle LampIcon(LampState state) = 0;
  // Asks for TrayLamp::RetryInstall once a second from now on, until no install is pending.
  virtual void RetryLampEverySecond() = 0;
  virtual void PopupMenu() = 0;
  // Unloads the window, which ends the program.
  virtual void Close() = 0;

 protected:
  ~TrayHost() = default;
};

}  // namespace lumivo
