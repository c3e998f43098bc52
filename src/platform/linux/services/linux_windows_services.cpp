#include "platform/linux/services/linux_windows_services.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/linux/services/door_command.h"
#include "platform/linux/services/optical_drives.h"
#include "platform/linux/services/session_power.h"
#include "platform/linux/text/code_pages.h"
#include "platform/linux/text/link_urls.h"

namespace lumivo {
namespace {

// GetAsyncKeyState's most significant bit: the key is down.
constexpr std::int16_t kKeyDown = static_cast<std::int16_t>(0x8000);

}  // namespace

LinuxWindowsServices::LinuxWindowsServices(const HandleTable& handles, SystemRequests& requests)
    : handles_(handles),
      requests_(requests),
      trayIcons_(handles),
      portalShortcuts_(keyboard_.Available()
                           ? nullptr
                           : std::make_unique<PortalShortcuts>(keyboard_.WhyUnavailable())) {}

std::string LinuxWindowsServices::ToAnsi(std::u16string_view text) const {
  return Utf16ToGbk(text);
}

// Qt takes any text: the GBK bytes are decoded, as a Chinese Windows would read them.
bool LinuxWindowsServices::Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record,
                                             std::u16string_view) {
  switch (request) {
    case TrayRequest::Add:
      return trayIcons_.Add(record);
    case TrayRequest::Delete:
      return trayIcons_.Delete(record);
  }
  return false;
}

// The door moves on the service worker: MCI's call returns when the door has moved, which
// would hold the GUI thread for seconds.
void LinuxWindowsServices::mciSendStringA(const std::string& command) {
  if (const auto move = DoorMoveOf(command)) requests_.MoveDoor(*move);
}

std::uint32_t LinuxWindowsServices::GetDriveTypeA(const std::string& rootPath) {
  return DriveTypeOf(rootPath, requests_.OpticalDriveCount());
}

// The desktop's handler for the link's scheme, in a window of its own: the owner and the show
// command have nothing to say to it.
void LinuxWindowsServices::ShellExecuteA(WindowHandle, const std::string& file, int,
                                         std::u16string_view) {
  if (const auto url = DesktopUrl(file)) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(*url), QUrl::StrictMode));
  }
}

// polkit, asked by logind, decides who may restart or power off; there is no privilege to
// enable beforehand.
void LinuxWindowsServices::EnableShutdownPrivilege() {}

void LinuxWindowsServices::ExitWindowsEx(WindowsExit how, std::uint32_t,
                                         ExitWindowsAnswer& answer) {
  RequestSessionEnd(how, answer);
}

std::int16_t LinuxWindowsServices::GetAsyncKeyState(std::int32_t virtualKey) {
  const bool down =
      portalShortcuts_ ? portalShortcuts_->IsDown(virtualKey) : keyboard_.IsDown(virtualKey);
  return down ? kKeyDown : 0;
}

// Only what the logic asks for: kept on top, placed, sized and shown. Qt hides a window whose
// flags change, so a visible one is shown again.
void LinuxWindowsServices::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                                        int width, int height, std::uint32_t flags) {
  QWidget* widget = handles_.Window(window);
  if (widget == nullptr) return;
  const bool show = widget->isVisible() || (flags & kShowWindowFlag) != 0;
  if (insertAfter == kTopmost) widget->setWindowFlag(Qt::WindowStaysOnTopHint);
  widget->setGeometry(x, y, width, height);
  if (show) widget->show();
}

bool LinuxWindowsServices::IsLampDrive(std::u16string_view drive) {
  return doorCalls_.IsLampDrive(drive);
}

DoorState LinuxWindowsServices::DoorStateOf(std::u16string_view drive) {
  return doorCalls_.DoorStateOf(drive);
}

DoorResult LinuxWindowsServices::MoveDoor(std::u16string_view drive, bool open) {
  return doorCalls_.MoveDoor(drive, open);
}

// The lamp's drive is read by the service worker; a door command line's notice names the device
// it moved, which is the lamp's when it is the same file as the one the worker reads.
void LinuxWindowsServices::WatchDoor(DoorWatcher& watcher) {
  requests_.WatchDoor([&watcher](DoorState state) { watcher.OnDoorMoved(state); });
  const auto isLampDevice = [this](const std::string& device) {
    const auto lamp = requests_.LampDevice();
    return lamp && SameDevice(device, *lamp);
  };
  doorNotices_ = std::make_unique<DoorNoticeReceiver>(
      [&watcher, isLampDevice](const std::string& device, DoorState state) {
        if (isLampDevice(device)) watcher.OnDoorMoved(state);
      },
      [&watcher, isLampDevice](const std::string& device) {
        return isLampDevice(device) ? watcher.LampDoor() : DoorState::Unknown;
      });
}

DoorState LinuxWindowsServices::RunningLampDoor() { return doorCalls_.RunningLampDoor(); }

void LinuxWindowsServices::TellRunningCopy(DoorState moved) { doorCalls_.TellRunningCopy(moved); }

}  // namespace lumivo
