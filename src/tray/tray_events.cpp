#include "tray/tray_events.h"

#include <cstdio>
#include <cstdlib>

namespace lumivo {
namespace {

// Mouse messages the shell reports for the lamp.
constexpr double kLeftButtonDown = 513;
constexpr double kRightButtonUp = 517;
constexpr double kRightButtonDoubleClick = 518;

// The general single-precision format: at most 7 significant digits, whole numbers bare.
// The C library's, rather than std::to_chars, whose tables would double the exe's size; and
// sprintf, which Windows' C library has itself, where snprintf would bring MinGW's C99 copy
// into the exe. A float in this format takes at most 14 characters ("-3.402823e+38").
std::string FormatSingle(float value) {
  char text[32];
  std::sprintf(text, "%.7g", static_cast<double>(value));
  return text;
}

}  // namespace

TrayEvents::TrayEvents(FormRuntime& runtime, TrayLamp& lamp, DriveDoor& door, TrayHost& host)
    : runtime_(runtime), lamp_(lamp), door_(door), host_(host) {}

// The shell sends the lamp's mouse message as the X of a mouse move, in pixels; the run-time
// has turned it into twips, so dividing by the twips per pixel gives the code back. It is
// kept as text and compared as the number that text reads as.
double TrayEvents::Decode(float x) {
  const std::string text = FormatSingle(x / runtime_.TwipsPerPixel());
  lastMessage_.assign(text.begin(), text.end());
  return std::strtod(text.c_str(), nullptr);
}

void TrayEvents::OnClosedDoorLamp(float x) {
  const double message = Decode(x);
  if (message == kLeftButtonDown) {
    lamp_.Swap(LampState::ClosedDoor, LampState::OpenDoor);
    door_.Open();
  } else if (message == kRightButtonDoubleClick) {
    host_.PopupMenu();
  }
}

void TrayEvents::OnOpenDoorLamp(float x) {
  if (Decode(x) == kRightButtonUp) {
    lamp_.Swap(LampState::OpenDoor, LampState::ClosedDoor);
    door_.Close();
  }
}

void TrayEvents::OnDoorMoved(DoorState state) {
  const std::optional<LampState> shown = lamp_.State();
  if (!shown) return;
  if (state == DoorState::Open && *shown == LampState::ClosedDoor) {
    lamp_.Swap(LampState::ClosedDoor, LampState::OpenDoor);
  } else if (state == DoorState::Closed && *shown == LampState::OpenDoor) {
    lamp_.Swap(LampState::OpenDoor, LampState::ClosedDoor);
  }
}

}  // namespace lumivo
