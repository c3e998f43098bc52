#include "platform/linux/keys/key_symbols.h"

#define XK_MISCELLANY
#include <X11/keysymdef.h>

#include <algorithm>

namespace lumivo {

std::optional<std::uint32_t> KeysymOfVirtualKey(std::int32_t virtualKey) {
  switch (virtualKey) {
    case 106:  // VK_MULTIPLY
      return XK_KP_Multiply;
    case 107:  // VK_ADD
      return XK_KP_Add;
    case 111:  // VK_DIVIDE
      return XK_KP_Divide;
    case 122:  // VK_F11
      return XK_F11;
    case 123:  // VK_F12
      return XK_F12;
    default:
      return std::nullopt;
  }
}

std::vector<std::uint8_t> KeycodesOf(std::uint32_t keysym, std::span<const std::uint32_t> mapping,
                                     std::size_t keysymsPerKeycode, std::uint8_t firstKeycode) {
  std::vector<std::uint8_t> keycodes;
  if (keysymsPerKeycode == 0) return keycodes;
  for (std::size_t row = 0; row < mapping.size() / keysymsPerKeycode; ++row) {
    const std::size_t keycode = firstKeycode + row;
    if (keycode > 255) break;
    const auto keysyms = mapping.subspan(row * keysymsPerKeycode, keysymsPerKeycode);
    if (std::ranges::find(keysyms, keysym) != keysyms.end()) {
      keycodes.push_back(static_cast<std::uint8_t>(keycode));
    }
  }
  return keycodes;
}

bool AnyKeyDown(std::span<const std::uint8_t, 32> keymap, std::span<const std::uint8_t> keycodes) {
  return std::ranges::any_of(keycodes, [&](std::uint8_t keycode) {
    return (keymap[keycode / 8] & (1u << (keycode % 8))) != 0;
  });
}

void SetKeyDown(std::span<std::uint8_t, 32> keymap, std::uint32_t keycode, bool down) {
  if (keycode >= 8 * keymap.size()) return;
  const std::uint8_t bit = static_cast<std::uint8_t>(1u << (keycode % 8));
  std::uint8_t& byte = keymap[keycode / 8];
  byte = down ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
}

}  // namespace lumivo
