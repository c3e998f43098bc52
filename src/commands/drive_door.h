#pragma once

#include <string_view>

#include "platform/windows_services.h"

namespace lumivo {

// The one way to a drive's door, for the lamp, the hotkeys and the door command line. The
// lamp and the keys move the lamp's drive by the multimedia control interface, and nothing
// reports whether it moved; the command line names any drive and learns how it went.
class DriveDoor {
 public:
  explicit DriveDoor(DoorServices& services);

  void Open();
  void Close();
  // drive: empty for the lamp's drive, an upper-case letter or a device path. A letter that
  // is no CD drive is refused here, before the drive is asked.
  DoorResult Move(std::u16string_view drive, bool open);

 private:
  void Send(std::u16string_view command);

  DoorServices& services_;
};

}  // namespace lumivo
