#pragma once

#include "platform/linux/services/door_calls.h"
#include "platform/windows_services.h"

namespace lumivo {

// The door services of `lumivo --door`, which moves one door and ends: the door calls and the
// drive types the logic checks a letter with.
class DoorCommandServices final : public DoorServices {
 public:
  std::string ToAnsi(std::u16string_view text) const override;
  void mciSendStringA(const std::string& command) override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;
  bool IsLampDrive(std::u16string_view drive) override;
  DoorState DoorStateOf(std::u16string_view drive) override;
  DoorResult MoveDoor(std::u16string_view drive, bool open) override;
  DoorState RunningLampDoor() override;
  void TellRunningCopy(DoorState moved) override;

  // Why the last door move failed; empty when the system did not say.
  const std::string& Problem() const { return doors_.Problem(); }

 private:
  DoorCalls doors_;
};

}  // namespace lumivo
