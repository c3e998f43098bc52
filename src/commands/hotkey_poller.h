#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "commands/drive_browser.h"
#include "commands/drive_door.h"
#include "commands/launchers.h"
#include "platform/windows_services.h"

namespace lumivo {

// Five keys that act whichever program has the focus. They are watched on every tick, not
// registered, so the program with the focus still gets them.
class HotkeyPoller {
 public:
  HotkeyPoller(WindowsServices& services, DriveDoor& door, DriveBrowser& driveBrowser,
               Launchers& launchers);

  // One tick: each key is asked for just before its own action.
  void Poll();

 private:
  bool IsKeyDown(std::int32_t key);
  bool NewlyPressed(std::size_t launcher, std::int32_t key);

  WindowsServices& services_;
  DriveDoor& door_;
  DriveBrowser& driveBrowser_;
  Launchers& launchers_;
  // Whether each launcher key was down at the last tick.
  std::array<bool, 3> launcherKeyHeld_{};
};

}  // namespace lumivo
