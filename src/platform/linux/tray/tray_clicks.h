#pragma once

#include <cstdint>
#include <span>

namespace lumivo {

// What the desktop's tray reports of a click on an icon.
enum class TrayClick { Left, LeftDouble, Right, Middle };

// The mouse messages Windows would send the icon's window for that click, in order. The tray
// reports no right double click, so a right click carries the 518 that opens the menu: on the
// green lamp a single right click is what the user does for it.
std::span<const std::int16_t> NotificationCodes(TrayClick click);

}  // namespace lumivo
