#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/services/udisks2_drives.h"
#include "platform/windows_services.h"

namespace lumivo {

// The door calls of WindowsServices that wait for the drive, made where waiting does no harm:
// in `lumivo --door`, which has no lamp to keep going. A drive is named as the logic gives it:
// empty for the lamp's drive, a letter (D: for the first optical drive) or a device path.
class DoorCalls {
 public:
  bool IsLampDrive(std::u16string_view drive);
  DoorState DoorStateOf(std::u16string_view drive);
  // Unmounts the disc first, as the lamp's door move does; the reason of a failure is kept.
  DoorResult MoveDoor(std::u16string_view drive, bool open);
  DoorState RunningLampDoor();
  // Names the device that the last move moved.
  void TellRunningCopy(DoorState moved);

  std::size_t OpticalDriveCount() { return Drives().size(); }
  // Why the last move failed, in the system's words; empty when it did not say.
  const std::string& Problem() const { return problem_; }

 private:
  const std::vector<OpticalDrive>& Drives();
  std::optional<std::string> DeviceOf(std::u16string_view drive);
  std::optional<std::string> LampDevice();

  std::optional<std::vector<OpticalDrive>> drives_;  // asked from UDisks2 once, when needed
  std::string moved_;
  std::string problem_;
};

}  // namespace lumivo
