#include "commands/hotkey_poller.h"

namespace lumivo {
namespace {

constexpr std::int32_t kKeypadMultiply = 106;
constexpr std::int32_t kKeypadAdd = 107;
constexpr std::int32_t kKeypadDivide = 111;
constexpr std::int32_t kF11 = 122;
constexpr std::int32_t kF12 = 123;

}  // namespace

HotkeyPoller::HotkeyPoller(WindowsServices& services, DriveDoor& door, DriveBrowser& driveBrowser,
                           Launchers& launchers)
    : services_(services), door_(door), driveBrowser_(driveBrowser), launchers_(launchers) {}

// Only the key's state now counts; the "pressed since last asked" bit is someone else's news.
bool HotkeyPoller::IsKeyDown(std::int32_t key) { return services_.GetAsyncKeyState(key) < 0; }

// Set before acting: a message box shown by the action runs ticks of its own.
bool HotkeyPoller::NewlyPressed(std::size_t launcher, std::int32_t key) {
  const bool down = IsKeyDown(key);
  const bool pressed = down && !launcherKeyHeld_[launcher];
  launcherKeyHeld_[launcher] = down;
  return pressed;
}

// The door keys act on every tick while held; the launchers act once per press, since each
// action opens windows.
void HotkeyPoller::Poll() {
  if (IsKeyDown(kKeypadDivide)) door_.Open();
  if (IsKeyDown(kKeypadMultiply)) door_.Close();
  if (NewlyPressed(0, kKeypadAdd)) driveBrowser_.BrowseCdDrives();
  if (NewlyPressed(1, kF11)) launchers_.Dial163();
  if (NewlyPressed(2, kF12)) launchers_.DialNorbek163();
}

}  // namespace lumivo
