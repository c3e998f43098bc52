#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/tray_icon_record.h"

namespace lumivo {

// What the desktop's tray reports of a click on an icon.
enum class TrayClick { Left, LeftDouble, Right, Middle };

// Turns the tray's clicks into the mouse messages Windows would send the icon's window.
//
// Trays report a click, not a press and a release: a right click is 516, 517. Windows sends
// the 518 that opens the menu on the second press of a right double click; here it comes with
// the second of two right clicks within the double-click time, to the window whose icon is
// shown then, or, when no second click comes, at the end of that time to the window first
// clicked, so that a single right click opens the menu too. The menu therefore never opens
// under the pointer between the two clicks of a pair, where the second would choose an item.
// Any other click in between drops the waiting 518: the user has moved on.
//
// A middle click (a StatusNotifierItem's SecondaryActivate) stands for a left click: it is
// the one click, besides a double click, that GNOME's AppIndicator extension passes on.
class TrayClickPairs {
 public:
  // The messages that click sends now, in order, to the window whose icon was clicked. After a
  // first right click, ExpireRightClick is due after the double-click time.
  std::span<const std::int16_t> Click(WindowHandle window, TrayClick click);
  bool AwaitsSecondRightClick() const { return firstRightClick_.has_value(); }
  // The double-click time has passed: the window the waiting 518 goes to, if one waits.
  std::optional<WindowHandle> ExpireRightClick();

  static constexpr std::int16_t kRightDoubleClick = 518;

 private:
  std::optional<WindowHandle> firstRightClick_;
};

}  // namespace lumivo
