#include "platform/linux/x11_keyboard.h"

#include <xcb/xcb.h>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <span>

#include "platform/linux/key_symbols.h"

namespace lumivo {
namespace {

// Well under the poller's 10 ms: a keymap this young is the state of the same tick.
constexpr std::chrono::milliseconds kKeymapLifetime{2};

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

template <class Reply>
using UniqueReply = std::unique_ptr<Reply, FreeReply>;

}  // namespace

X11Keyboard::X11Keyboard() {
  if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
    connection_ = x11->connection();
  }
}

bool X11Keyboard::IsDown(std::int32_t virtualKey) {
  const auto keysym = KeysymOfVirtualKey(virtualKey);
  if (connection_ == nullptr || !keysym) return false;
  return AnyKeyDown(Keymap(), KeycodesFor(*keysym));
}

// The keyboard mapping is asked for once per keysym; the keypad and function keys keep their
// keycodes when the layout changes.
const std::vector<std::uint8_t>& X11Keyboard::KeycodesFor(std::uint32_t keysym) {
  if (const auto found = keycodes_.find(keysym); found != keycodes_.end()) return found->second;
  std::vector<std::uint8_t>& keycodes = keycodes_[keysym];
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const UniqueReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
      connection_,
      xcb_get_keyboard_mapping(connection_, setup->min_keycode, static_cast<std::uint8_t>(count)),
      nullptr));
  if (mapping) {
    const std::span<const std::uint32_t> keysyms(
        xcb_get_keyboard_mapping_keysyms(mapping.get()),
        static_cast<std::size_t>(xcb_get_keyboard_mapping_keysyms_length(mapping.get())));
    keycodes = KeycodesOf(keysym, keysyms, mapping->keysyms_per_keycode, setup->min_keycode);
  }
  return keycodes;
}

const std::array<std::uint8_t, 32>& X11Keyboard::Keymap() {
  const auto now = std::chrono::steady_clock::now();
  if (now - keymapTime_ < kKeymapLifetime) return keymap_;
  const UniqueReply<xcb_query_keymap_reply_t> reply(
      xcb_query_keymap_reply(connection_, xcb_query_keymap(connection_), nullptr));
  if (reply) {
    std::ranges::copy(reply->keys, keymap_.begin());
  } else {
    keymap_.fill(0);
  }
  keymapTime_ = now;
  return keymap_;
}

}  // namespace lumivo
