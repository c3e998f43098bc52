#include "tray/tray_lamp.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace lumivo {
namespace {

constexpr std::uint32_t kLampId = 1;
// The mouse-move message: the run-time reports it as a mouse move, see TrayEvents.
constexpr std::uint32_t kCallbackMessage = 512;

constexpr std::u16string_view kClosedDoorTip =
    u"[Lumivo]单击左键弹出光驱,单击右键关闭光驱,双击右键弹出菜单.";
constexpr std::u16string_view kOpenDoorTip =
    u"Lumivo -> 单击左键打开光驱,单击右键关闭光驱,双击右键弹出菜单.";

// The shell reads the tip up to its NUL; the rest of the field is padded with spaces.
void FillTip(char (&field)[64], const std::string& text) {
  const std::size_t length = std::min(text.size(), sizeof field - 1);
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

}  // namespace

TrayLamp::TrayLamp(WindowsServices& services, TrayHost& host) : services_(services), host_(host) {}

void TrayLamp::Install(LampState state) {
  record_.size = sizeof record_;
  record_.window = host_.LampWindow(state);
  record_.id = kLampId;
  record_.flags = kTrayRecordMessage | kTrayRecordIcon | kTrayRecordTip;
  record_.callbackMessage = kCallbackMessage;
  record_.icon = host_.LampIcon(state);
  tip_ = state == LampState::ClosedDoor ? kClosedDoorTip : kOpenDoorTip;
  FillTip(record_.tip, services_.ToAnsi(tip_));
  state_ = state;
  installed_ = services_.Shell_NotifyIconA(TrayRequest::Add, record_, tip_);
  if (!installed_) host_.RetryLampEverySecond();
}

// Only the fields that identify the icon are set; the others keep their last values.
void TrayLamp::Remove(LampState state) {
  record_.size = sizeof record_;
  record_.window = host_.LampWindow(state);
  record_.id = kLampId;
  services_.Shell_NotifyIconA(TrayRequest::Delete, record_, tip_);
  if (state_ == state) {
    state_.reset();
    installed_ = false;
  }
}

void TrayLamp::Swap(LampState from, LampState to) {
  Remove(from);
  Install(to);
}

// A request that timed out may still have added the icon: it is taken out first, so that the
// tray never holds two.
void TrayLamp::RetryInstall() {
  if (!InstallPending()) return;
  const LampState state = *state_;
  Remove(state);
  Install(state);
}

void TrayLamp::OnShellRestarted() {
  if (state_) Install(*state_);
}

}  // namespace lumivo
