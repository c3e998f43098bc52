#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumivo {

// The X keysym of a Windows virtual key that the hotkeys use; nothing for the others.
std::optional<std::uint32_t> KeysymOfVirtualKey(std::int32_t virtualKey);

// The keycodes that carry a keysym in the X server's keyboard mapping: keysymsPerKeycode
// entries for each keycode from firstKeycode on.
std::vector<std::uint8_t> KeycodesOf(std::uint32_t keysym, std::span<const std::uint32_t> mapping,
                                     std::size_t keysymsPerKeycode, std::uint8_t firstKeycode);

// Whether one of the keycodes is down in a 256-bit keymap, as QueryKeymap reports it.
bool AnyKeyDown(std::span<const std::uint8_t, 32> keymap, std::span<const std::uint8_t> keycodes);

// A key press or release, as a raw key event reports it, entered in such a keymap. X keycodes
// end at 255; a larger number in the event's 32-bit field changes nothing.
void SetKeyDown(std::span<std::uint8_t, 32> keymap, std::uint32_t keycode, bool down);

}  // namespace lumivo
