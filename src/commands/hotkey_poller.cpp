#include <cstddef>

#include "tray/form1.h"

namespace lumivo {
namespace {

constexpr std::int32_t VK_MULTIPLY = 106;
constexpr std::int32_t VK_ADD = 107;
constexpr std::int32_t VK_DIVIDE = 111;
constexpr std::int32_t VK_F11 = 122;
constexpr std::int32_t VK_F12 = 123;

}  // namespace

// Only the key's state now counts; the "pressed since last asked" bit is someone else's news.
bool Form1::IsKeyDown(std::int32_t key) { return services_.GetAsyncKeyState(key) < 0; }

// The keys are watched, not registered, so the program with the focus still gets them. The
// door keys act on every tick while held; the launchers act once per press, since each
// action opens windows.
void Form1::Timer2_Timer() {
  if (IsKeyDown(VK_DIVIDE)) SendDoorCommand(kDoorOpenCommand);
  if (IsKeyDown(VK_MULTIPLY)) SendDoorCommand(kDoorClosedCommand);

  struct Launcher {
    std::int32_t key;
    void (Form1::*action)();
  };
  static constexpr Launcher kLaunchers[] = {
      {VK_ADD, &Form1::Hid_ListCD_Click},
      {VK_F11, &Form1::Command1_Click},
      {VK_F12, &Form1::Command2_Click},
  };
  for (std::size_t i = 0; i < std::size(kLaunchers); ++i) {
    const Launcher& launcher = kLaunchers[i];
    const bool down = IsKeyDown(launcher.key);
    const bool pressed = down && !launcherKeyHeld_[i];
    // Set before acting: a message box shown by the action runs ticks of its own.
    launcherKeyHeld_[i] = down;
    if (pressed) (this->*launcher.action)();
  }
}

}  // namespace lumivo
