#pragma once

#include <QSocketNotifier>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

namespace lumivo {

// The keyboard's state as the X server knows it. Keys are only observed, never grabbed: the
// program with the focus still gets them. Where the server has XInput 2, its raw key events,
// which reach the root window whichever window has the focus, keep the state on a connection
// of their own: asking costs no request at all. Elsewhere the keymap is asked for through Qt's
// connection, at most once a tick. Without an X server no key reads as down.
class X11Keyboard {
 public:
  X11Keyboard();
  ~X11Keyboard();
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  // Whether the keyboard can be read at all.
  bool Available() const { return connection_ != nullptr; }
  // Whether a key with the keysym of that virtual key is down now.
  bool IsDown(std::int32_t virtualKey);

 private:
  bool WatchRawKeys();
  void ReadEvents(bool fromSocket);
  const std::vector<std::uint8_t>& KeycodesFor(std::int32_t virtualKey);
  std::vector<std::uint8_t> KeycodesOfKeysym(std::uint32_t keysym);
  void QueryKeymap();

  xcb_connection_t* connection_ = nullptr;
  xcb_connection_t* ownConnection_ = nullptr;  // the raw events' connection, when there is one
  std::uint8_t inputOpcode_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  // The keycodes of each virtual key asked for: the hotkeys' five, side by side, as a tick
  // asks for each of them.
  struct WatchedKey {
    std::int32_t virtualKey;
    std::vector<std::uint8_t> keycodes;
  };
  std::vector<WatchedKey> watchedKeys_;
  std::array<std::uint8_t, 32> keymap_{};
  // Without raw events the poller asks for five keys one after the other: one query serves
  // them all.
  std::chrono::steady_clock::time_point keymapTime_{};
};

}  // namespace lumivo
