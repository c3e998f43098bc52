#pragma once

#include <QAbstractNativeEventFilter>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace lumivo {

// The keyboard's state as the X server knows it, on Qt's connection. Keys are only observed,
// never grabbed: the program with the focus still gets them. Where the server has XInput 2,
// its raw key events, which reach the root window whichever window has the focus, keep the
// state as Qt reads them: asking costs no request at all. Elsewhere the keymap is asked for at
// most once a tick. Without an X server, and in a Wayland session, no key reads as down.
class X11Keyboard final : public QAbstractNativeEventFilter {
 public:
  X11Keyboard();
  ~X11Keyboard() override;
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  // Whether the keyboard can be read at all.
  bool Available() const { return connection_ != nullptr; }
  // Why it cannot, in the user's words.
  QString WhyUnavailable() const;
  // Whether a key with the keysym of that virtual key is down now.
  bool IsDown(std::int32_t virtualKey);

  // Takes the raw key events out of Qt's event stream; leaves every other event to Qt.
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  bool WatchRawKeys();
  const std::vector<std::uint8_t>& KeycodesFor(std::int32_t virtualKey);
  std::vector<std::uint8_t> KeycodesOfKeysym(std::uint32_t keysym);
  void QueryKeymap();

  xcb_connection_t* connection_ = nullptr;
  bool rawKeys_ = false;
  bool xwayland_ = false;
  std::uint8_t inputOpcode_ = 0;
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
