#pragma once

#include <string>

#include "commands/drive_door.h"
#include "platform/form_runtime.h"
#include "tray/tray_host.h"
#include "tray/tray_lamp.h"

namespace lumivo {

// The lamp's mouse messages and what each does: a left press on the closed-door lamp opens
// the door, a right release on the open-door lamp closes it, a right double click on the
// closed-door lamp pops up the menu. Every other message is only remembered. A door that moved
// by other means swaps the lamp as its own click would, with no door command.
class TrayEvents {
 public:
  TrayEvents(FormRuntime& runtime, TrayLamp& lamp, DriveDoor& door, TrayHost& host);

  // A mouse move reported by the closed-door or the open-door lamp's host, X in twips.
  void OnClosedDoorLamp(float x);
  void OnOpenDoorLamp(float x);
  // Unknown, or the state the lamp already shows, changes nothing.
  void OnDoorMoved(DoorState state);

  // The last message decoded, as text.
  const std::u16string& LastMessage() const { return lastMessage_; }

 private:
  double Decode(float x);

  FormRuntime& runtime_;
  TrayLamp& lamp_;
  DriveDoor& door_;
  TrayHost& host_;
  std::u16string lastMessage_;
};

}  // namespace lumivo
