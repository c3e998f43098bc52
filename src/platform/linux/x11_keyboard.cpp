#include "platform/linux/x11_keyboard.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
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
  if (WatchRawKeys()) return;
  if (ownConnection_ != nullptr) xcb_disconnect(ownConnection_);
  ownConnection_ = nullptr;
  connection_ = x11->connection();
}

X11Keyboard::~X11Keyboard() {
  notifier_.reset();
  if (ownConnection_ != nullptr) xcb_disconnect(ownConnection_);
}

bool X11Keyboard::IsDown(std::int32_t virtualKey) {
  if (connection_ == nullptr) return false;
  const std::vector<std::uint8_t>& keycodes = KeycodesFor(virtualKey);
  if (ownConnection_ == nullptr) {
    if (const auto now = std::chrono::steady_clock::now(); now - keymapTime_ >= kKeymapLifetime) {
      QueryKeymap();
      keymapTime_ = now;
    }
  }
  return AnyKeyDown(keymap_, keycodes);
}

// Raw key presses and releases of every master keyboard, selected on the root window of a
// connection of Lumivo's own, so that Qt's event handling never sees them. The keys already
// down are read once; from then on the events say it all.
bool X11Keyboard::WatchRawKeys() {
  int screenNumber = 0;
  ownConnection_ = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(ownConnection_) != 0) return false;
  const xcb_query_extension_reply_t* extension =
      xcb_get_extension_data(ownConnection_, &xcb_input_id);
  if (extension == nullptr || extension->present == 0) return false;
  inputOpcode_ = extension->major_opcode;
  const UniqueReply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
      ownConnection_, xcb_input_xi_query_version(ownConnection_, 2, 0), nullptr));
  if (!version || version->major_version < 2) return false;

  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(ownConnection_));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) return false;
  RawKeyMask mask{};
  mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
  mask.head.mask_len = 1;
  mask.bits = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
  const UniqueReply<xcb_generic_error_t> error(xcb_request_check(
      ownConnection_,
      xcb_input_xi_select_events_checked(ownConnection_, screens.data->root, 1, &mask.head)));
  if (error) return false;

  connection_ = ownConnection_;
  QueryKeymap();
  notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(ownConnection_),
                                                QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { ReadEvents(true); });
  ReadEvents(false);
  return true;
}

// From the socket when it has news; else only what xcb has already read while waiting for a
// reply, which the socket no longer announces. A lost server leaves every key up.
void X11Keyboard::ReadEvents(bool fromSocket) {
  while (xcb_generic_event_t* event = fromSocket ? xcb_poll_for_event(ownConnection_)
                                                 : xcb_poll_for_queued_event(ownConnection_)) {
    const UniqueReply<xcb_generic_event_t> owned(event);
    if ((event->response_type & 0x7F) != XCB_GE_GENERIC) continue;
    const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
    if (generic->extension != inputOpcode_) continue;
    const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
    if (generic->event_type == XCB_INPUT_RAW_KEY_PRESS) SetKeyDown(keymap_, raw->detail, true);
    if (generic->event_type == XCB_INPUT_RAW_KEY_RELEASE) SetKeyDown(keymap_, raw->detail, false);
  }
  if (xcb_connection_has_error(ownConnection_) != 0) {
    notifier_->setEnabled(false);
    keymap_.fill(0);
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
  if (ownConnection_ != nullptr) ReadEvents(false);
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
