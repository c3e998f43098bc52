#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

struct xcb_connection_t;

namespace lumivo {

// The keyboard's state as the X server knows it, read through Qt's own connection. Keys are
// only observed, never grabbed: the program with the focus still gets them. Without an X
// server (a Wayland session without XWayland) no key reads as down.
class X11Keyboard {
 public:
  X11Keyboard();

  // Whether a key with the keysym of that virtual key is down now.
  bool IsDown(std::int32_t virtualKey);

 private:
  const std::vector<std::uint8_t>& KeycodesFor(std::uint32_t keysym);
  const std::array<std::uint8_t, 32>& Keymap();

  xcb_connection_t* connection_ = nullptr;
  std::map<std::uint32_t, std::vector<std::uint8_t>> keycodes_;
  // The hotkey poller asks for five keys one after the other: one query serves them all.
  std::array<std::uint8_t, 32> keymap_{};
  std::chrono::steady_clock::time_point keymapTime_{};
};

}  // namespace lumivo
