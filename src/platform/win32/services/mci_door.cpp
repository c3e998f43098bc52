#include "platform/win32/windows_api.h"

#include "platform/win32/services/mci_door.h"

namespace lumivo {

DoorState MciDoor::StateOf(wchar_t letter) {
  const MCIDEVICEID device = Open(letter);
  if (device == 0) return DoorState::Unknown;
  const DoorState state = Mode(device);
  Close(device);
  return state;
}

bool MciDoor::Move(wchar_t letter, bool open) {
  const MCIDEVICEID device = Open(letter);
  if (device == 0) return false;
  MCI_SET_PARMS set{};
  const DWORD_PTR door = open ? MCI_SET_DOOR_OPEN : MCI_SET_DOOR_CLOSED;
  const bool moved = Send(device, MCI_SET, door | MCI_WAIT, &set) == 0;
  Close(device);
  return moved;
}

DoorState MciDoor::KeptState() {
  if (kept_ == 0) kept_ = Open(0);
  return kept_ == 0 ? DoorState::Unknown : Mode(kept_);
}

void MciDoor::Release() {
  if (kept_ != 0) Close(kept_);
  kept_ = 0;
}

// Shareable, so that other programs (and a door command line) can open the drive meanwhile.
MCIDEVICEID MciDoor::Open(wchar_t letter) {
  const wchar_t element[] = {letter, L':', L'\0'};
  MCI_OPEN_PARMSW open{};
  open.lpstrDeviceType = L"cdaudio";
  DWORD_PTR flags = MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE | MCI_WAIT;
  if (letter != 0) {
    open.lpstrElementName = element;
    flags |= MCI_OPEN_ELEMENT;
  }
  return Send(0, MCI_OPEN, flags, &open) == 0 ? open.wDeviceID : 0;
}

DoorState MciDoor::Mode(MCIDEVICEID device) {
  MCI_STATUS_PARMS status{};
  status.dwItem = MCI_STATUS_MODE;
  if (Send(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) != 0) return DoorState::Unknown;
  switch (LOWORD(status.dwReturn)) {
    case MCI_MODE_STOP:
    case MCI_MODE_PLAY:
    case MCI_MODE_PAUSE:
      return DoorState::Closed;
    default:
      return DoorState::Unknown;
  }
}

void MciDoor::Close(MCIDEVICEID device) {
  MCI_GENERIC_PARMS close{};
  Send(device, MCI_CLOSE, MCI_WAIT, &close);
}

MCIERROR MciDoor::Send(MCIDEVICEID device, UINT message, DWORD_PTR flags, void* parameters) {
  const auto send = multimedia_.Find<decltype(&::mciSendCommandW)>("mciSendCommandW");
  if (send == nullptr) return MCIERR_DEVICE_NOT_INSTALLED;
  return send(device, message, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

}  // namespace lumivo
