#include "platform/linux/keys/x11_keyboard.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <span>

#include "platform/linux/keys/key_symbols.h"
#include "platform/linux/keys/wayland_session.h"

namespace lumivo {
namespace {

// Well under the poller's 10 ms: a keymap this young is the state of the same tick.
constexpr std::chrono::milliseconds kKeymapLifetime{2};

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

template <class Reply>
using UniqueReply = std::unique_ptr<Reply, FreeReply>;

// XISelectEvents' mask for one device: the header, then one 32-bit word of event bits.
struct RawKeyMask {
  xcb_input_event_mask_t head;
  std::uint32_t bits;
};

}  // namespace

X11Keyboard::X11Keyboard() {
  // The offscreen platform answers as X11 without a connection.
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  // Xwayland passes keys to X clients only while one of their windows has the focus: read
  // there, the hotkeys would go dead, unsaid, whenever another program has it.
  xwayland_ = WaylandSession();
  if (xwayland_) return;
  connection_ = x11->connection();
  rawKeys_ = WatchRawKeys();
}

X11Keyboard::~X11Keyboard() {
  if (rawKeys_) qGuiApp->removeNativeEventFilter(this);
}

QString X11Keyboard::WhyUnavailable() const {
  return xwayland_ ? QStringLiteral("在Wayland会话中，X11程序只在自己的窗口有焦点时才收到按键")
                   : QStringLiteral("没有X11");
}

bool X11Keyboard::IsDown(std::int32_t virtualKey) {
  if (connection_ == nullptr) return false;
  const std::vector<std::uint8_t>& keycodes = KeycodesFor(virtualKey);
  if (!rawKeys_) {
    if (const auto now = std::chrono::steady_clock::now(); now - keymapTime_ >= kKeymapLifetime) {
      QueryKeymap();
      keymapTime_ = now;
    }
  }
  return AnyKeyDown(keymap_, keycodes);
}

// Raw key presses and releases of every master keyboard, selected on the root window. Qt
// selects its own XInput events per window and device; this selection is one of its own, for
// the root window and the master devices, and changes none of Qt's. The keys already down are
// read once; from then on the events say it all. A server without XInput 2 refuses the
// selection, and the keymap is read instead.
bool X11Keyboard::WatchRawKeys() {
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_input_id);
  if (extension == nullptr || extension->present == 0) return false;
  inputOpcode_ = extension->major_opcode;
  RawKeyMask mask{};
  mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
  mask.head.mask_len = 1;
  mask.bits = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
  const UniqueReply<xcb_generic_error_t> error(xcb_request_check(
      connection_, xcb_input_xi_select_events_checked(connection_, root, 1, &mask.head)));
  if (error) return false;
  qGuiApp->installNativeEventFilter(this);
  QueryKeymap();
  return true;
}

bool X11Keyboard::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_GE_GENERIC) return false;
  const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
  if (generic->extension != inputOpcode_) return false;
  const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
  switch (generic->event_type) {
    case XCB_INPUT_RAW_KEY_PRESS:
      SetKeyDown(keymap_, raw->detail, true);
      return true;
    case XCB_INPUT_RAW_KEY_RELEASE:
      SetKeyDown(keymap_, raw->detail, false);
      return true;
    default:
      return false;
  }
}

// Found once per virtual key; the keypad and function keys keep their keycodes when the
// layout changes. A virtual key without a keysym has none.
const std::vector<std::uint8_t>& X11Keyboard::KeycodesFor(std::int32_t virtualKey) {
  for (const WatchedKey& key : watchedKeys_) {
    if (key.virtualKey == virtualKey) return key.keycodes;
  }
  const auto keysym = KeysymOfVirtualKey(virtualKey);
  watchedKeys_.push_back(
      {virtualKey, keysym ? KeycodesOfKeysym(*keysym) : std::vector<std::uint8_t>()});
  return watchedKeys_.back().keycodes;
}

std::vector<std::uint8_t> X11Keyboard::KeycodesOfKeysym(std::uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const UniqueReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
      connection_,
      xcb_get_keyboard_mapping(connection_, setup->min_keycode, static_cast<std::uint8_t>(count)),
      nullptr));
  if (!mapping) return {};
  const std::span<const std::uint32_t> keysyms(
      xcb_get_keyboard_mapping_keysyms(mapping.get()),
      static_cast<std::size_t>(xcb_get_keyboard_mapping_keysyms_length(mapping.get())));
  return KeycodesOf(keysym, keysyms, mapping->keysyms_per_keycode, setup->min_keycode);
}

void X11Keyboard::QueryKeymap() {
  const UniqueReply<xcb_query_keymap_reply_t> reply(
      xcb_query_keymap_reply(connection_, xcb_query_keymap(connection_), nullptr));
  if (reply) {
    std::ranges::copy(reply->keys, keymap_.begin());
  } else {
    keymap_.fill(0);
  }
}

}  // namespace lumivo
