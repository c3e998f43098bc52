#include "platform/linux/services/door_command.h"

#include <linux/cdrom.h>

#include "platform/linux/text/ascii_text.h"

namespace lumivo {

std::optional<DoorMove> DoorMoveOf(std::string_view command) {
  const auto words = Words(command);
  if (words.size() != 4 || !EqualsIgnoringCase(words[0], "set") ||
      !EqualsIgnoringCase(words[1], "cdaudio") || !EqualsIgnoringCase(words[2], "door")) {
    return std::nullopt;
  }
  if (EqualsIgnoringCase(words[3], "open")) return DoorMove::Open;
  if (EqualsIgnoringCase(words[3], "closed")) return DoorMove::Close;
  return std::nullopt;
}

DoorState DoorStateOfStatus(int driveStatus) {
  switch (driveStatus) {
    case CDS_TRAY_OPEN:
      return DoorState::Open;
    case CDS_DISC_OK:
    case CDS_NO_DISC:
      return DoorState::Closed;
    default:
      return DoorState::Unknown;
  }
}

}  // namespace lumivo
