#include "commands/drive_door.h"

namespace lumivo {

DriveDoor::DriveDoor(WindowsServices& services) : services_(services) {}

void DriveDoor::Open() { Send(kDoorOpenCommand); }

void DriveDoor::Close() { Send(kDoorClosedCommand); }

void DriveDoor::Send(std::u16string_view command) {
  services_.mciSendStringA(services_.ToAnsi(command));
}

}  // namespace lumivo
