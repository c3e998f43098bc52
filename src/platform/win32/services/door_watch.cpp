#include "platform/win32/windows_api.h"

#include "platform/win32/services/door_watch.h"

#include <dbt.h>

#include "platform/win32/forms/window_procedure.h"
#include "platform/win32/services/cd_drives.h"
#include "platform/win32/services/message_filter.h"

namespace lumivo {
namespace {

constexpr wchar_t kWatchClassName[] = L"Lumivo.DoorWatch";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollInterval = 1000;   // ms: no more often than once a second
constexpr UINT kAnswerTimeout = 2000;  // ms
// The door message's wParam: a DoorState the door moved to, or this question for the lamp,
// answered with the DoorState it shows.
constexpr WPARAM kAskLamp = static_cast<WPARAM>(DoorState::Unknown);

UINT DoorMessage() { return ::RegisterWindowMessageW(L"Lumivo.Door"); }

bool IsMove(WPARAM value) {
  return value == static_cast<WPARAM>(DoorState::Open) ||
         value == static_cast<WPARAM>(DoorState::Closed);
}

}  // namespace

DoorWatch::DoorWatch(MciDoor& door) : door_(door), doorMessage_(DoorMessage()) {}

void DoorWatch::Start(DoorWatcher& watcher) {
  watcher_ = &watcher;
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &OwnerWindowProcedure<DoorWatch>;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWatchClassName;
  if (::RegisterClassExW(&windowClass) == 0) return;
  ::CreateWindowExW(0, kWatchClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                    this);
  if (window_ == nullptr) return;
  AllowMessageFromLowerRights(window_, doorMessage_);
  // Without the poll, the media notices are still heard.
  ::SetTimer(window_, kPollTimer, kPollInterval, nullptr);
}

DoorWatch::~DoorWatch() {
  if (watcher_ == nullptr) return;
  if (window_ != nullptr) ::DestroyWindow(window_);
  ::UnregisterClassW(kWatchClassName, ::GetModuleHandleW(nullptr));
}

LRESULT DoorWatch::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kPollTimer) {
    Poll();
    return 0;
  }
  if (message == WM_DEVICECHANGE) {
    OnDeviceChange(wParam, lParam);
    return TRUE;
  }
  if (message == doorMessage_ && doorMessage_ != 0) {
    if (wParam == kAskLamp) return static_cast<LRESULT>(watcher_->LampDoor());
    if (IsMove(wParam)) watcher_->OnDoorMoved(static_cast<DoorState>(wParam));
    return 0;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

// MCI can prove a door closed, never open, so it is only asked while the lamp shows an open
// door; the device is kept open for that time only.
void DoorWatch::Poll() {
  if (watcher_->LampDoor() != DoorState::Open) {
    door_.Release();
    return;
  }
  if (door_.KeptState() != DoorState::Closed) return;
  door_.Release();
  watcher_->OnDoorMoved(DoorState::Closed);
}

// A tray drive's disc comes in only with the door shut and goes only with it open.
void DoorWatch::OnDeviceChange(WPARAM event, LPARAM data) {
  if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  if (header == nullptr || header->dbch_devicetype != DBT_DEVTYP_VOLUME ||
      header->dbch_size < sizeof(DEV_BROADCAST_VOLUME)) {
    return;
  }
  const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header);
  const wchar_t letter = FirstCdDrive();
  if ((volume->dbcv_flags & DBTF_MEDIA) == 0 || letter == 0 ||
      (volume->dbcv_unitmask & (1u << (letter - L'A'))) == 0) {
    return;
  }
  watcher_->OnDoorMoved(event == DBT_DEVICEARRIVAL ? DoorState::Closed : DoorState::Open);
}

DoorState AskRunningLamp() {
  const HWND window = ::FindWindowW(kWatchClassName, nullptr);
  const UINT doorMessage = DoorMessage();
  DWORD_PTR answer = 0;
  if (window == nullptr || doorMessage == 0 ||
      ::SendMessageTimeoutW(window, doorMessage, kAskLamp, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                            kAnswerTimeout, &answer) == 0 ||
      !IsMove(answer)) {
    return DoorState::Unknown;
  }
  return static_cast<DoorState>(answer);
}

// Posted: the running copy swaps its lamp when its own loop comes to it, and this run ends. A
// notice that cannot be posted leaves the lamp as it was; the door has moved all the same.
void TellRunningLamp(DoorState moved) {
  const HWND window = ::FindWindowW(kWatchClassName, nullptr);
  const UINT doorMessage = DoorMessage();
  if (window != nullptr && doorMessage != 0) {
    ::PostMessageW(window, doorMessage, static_cast<WPARAM>(moved), 0);
  }
}

}  // namespace lumivo
