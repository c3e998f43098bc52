#include "platform/win32/windows_api.h"

#include "platform/win32/services/win32_windows_services.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/win32/handle_values.h"
#include "platform/win32/services/cd_drives.h"
#include "platform/win32/services/privileges.h"
#include "platform/win32/text/wide_text.h"

namespace lumivo {
namespace {

static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88,
              "on 32-bit Windows the logic's record is the shell's own");

// Whether the ANSI code page holds the text exactly, so that the *A function shows what the
// wide one would: on a Chinese (GBK) system every text of the program, on others only ASCII.
// Nothing is replaced by a look-alike either (WC_NO_BEST_FIT_CHARS). A system whose ANSI code
// page is UTF-8 holds every text, and takes neither flag nor default-character check.
bool AnsiHoldsExactly(std::u16string_view text) {
  if (text.empty() || ::GetACP() == CP_UTF8) return true;
  BOOL usedDefault = FALSE;
  const int length =
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, WideChars(text),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
  return length > 0 && usedDefault == FALSE;
}

// The shell's version 1 record, A or W, with the logic's fields in it but the tip.
template <typename ShellRecord>
ShellRecord WithTrayFields(const TrayIconRecord& record, DWORD size) {
  ShellRecord shell{};
  shell.cbSize = size;
  shell.hWnd = HandleFromValue<HWND>(record.window);
  shell.uID = record.id;
  shell.uFlags = record.flags;
  shell.uCallbackMessage = record.callbackMessage;
  shell.hIcon = HandleFromValue<HICON>(record.icon);
  return shell;
}

// The shell's record for this bitness, with the logic's values in it.
NOTIFYICONDATAA NativeRecord(const TrayIconRecord& record) {
  NOTIFYICONDATAA native{};
  if constexpr (sizeof(void*) == 4) {
    std::memcpy(&native, &record, sizeof record);
  } else {
    native = WithTrayFields<NOTIFYICONDATAA>(record, NOTIFYICONDATAA_V1_SIZE);
    static_assert(sizeof native.szTip >= sizeof record.tip);
    std::memcpy(native.szTip, record.tip, sizeof record.tip);
  }
  return native;
}

// The same record for Shell_NotifyIconW: the same fields, the tip in UTF-16 (up to the 63
// characters its field holds).
NOTIFYICONDATAW WideRecord(const TrayIconRecord& record, std::u16string_view tip) {
  NOTIFYICONDATAW wide = WithTrayFields<NOTIFYICONDATAW>(record, NOTIFYICONDATAW_V1_SIZE);
  const std::size_t length = std::min(tip.size(), std::size(wide.szTip) - 1);
  std::memcpy(wide.szTip, tip.data(), length * sizeof(char16_t));
  return wide;
}

}  // namespace

std::string Win32WindowsServices::ToAnsi(std::u16string_view text) const {
  if (text.empty()) return {};
  const int wideLength = static_cast<int>(text.size());
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, WideChars(text), wideLength, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, WideChars(text), wideLength, ansi.data(), length, nullptr,
                        nullptr);
  return ansi;
}

bool Win32WindowsServices::Shell_NotifyIconA(TrayRequest request, const TrayIconRecord& record,
                                             std::u16string_view tip) {
  if (AnsiHoldsExactly(tip)) {
    const auto notify = shell_.Find<decltype(&::Shell_NotifyIconA)>("Shell_NotifyIconA");
    NOTIFYICONDATAA native = NativeRecord(record);
    return notify != nullptr && notify(static_cast<DWORD>(request), &native) != FALSE;
  }
  const auto notify = shell_.Find<decltype(&::Shell_NotifyIconW)>("Shell_NotifyIconW");
  NOTIFYICONDATAW wide = WideRecord(record, tip);
  return notify != nullptr && notify(static_cast<DWORD>(request), &wide) != FALSE;
}

void Win32WindowsServices::mciSendStringA(const std::string& command) {
  const auto send = multimedia_.Find<decltype(&::mciSendStringA)>("mciSendStringA");
  if (send != nullptr) send(command.c_str(), nullptr, 0, nullptr);
}

std::uint32_t Win32WindowsServices::GetDriveTypeA(const std::string& rootPath) {
  return ::GetDriveTypeA(rootPath.c_str());
}

// Whatever the outcome, nothing is reported: the link's handler is the system's business.
void Win32WindowsServices::ShellExecuteA(WindowHandle owner, const std::string& file,
                                         int showCommand, std::u16string_view fileText) {
  com_.Enter();
  if (AnsiHoldsExactly(fileText)) {
    const auto execute = shell_.Find<decltype(&::ShellExecuteA)>("ShellExecuteA");
    if (execute == nullptr) return;
    execute(HandleFromValue<HWND>(owner), "open", file.c_str(), nullptr, nullptr, showCommand);
    return;
  }
  const auto execute = shell_.Find<decltype(&::ShellExecuteW)>("ShellExecuteW");
  if (execute == nullptr) return;
  const std::u16string wideFile(fileText);
  execute(HandleFromValue<HWND>(owner), L"open", AsWide(wideFile), nullptr, nullptr, showCommand);
}

void Win32WindowsServices::EnableShutdownPrivilege() { EnablePrivilege(SE_SHUTDOWN_NAME); }

void Win32WindowsServices::ExitWindowsEx(WindowsExit how, std::uint32_t reserved,
                                         ExitWindowsAnswer& answer) {
  answer.OnExitWindowsAnswered(::ExitWindowsEx(static_cast<UINT>(how), reserved) != FALSE);
}

std::int16_t Win32WindowsServices::GetAsyncKeyState(std::int32_t virtualKey) {
  return static_cast<std::int16_t>(::GetAsyncKeyState(virtualKey));
}

void Win32WindowsServices::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                                        int width, int height, std::uint32_t flags) {
  ::SetWindowPos(HandleFromValue<HWND>(window), HandleFromValue<HWND>(insertAfter), x, y, width,
                 height, flags);
}

bool Win32WindowsServices::IsLampDrive(std::u16string_view drive) {
  const wchar_t lampDrive = FirstCdDrive();
  return drive.empty() || (lampDrive != 0 && DriveLetterOf(drive) == lampDrive);
}

DoorState Win32WindowsServices::DoorStateOf(std::u16string_view drive) {
  if (drive.empty()) return mciDoor_.StateOf(0);
  const wchar_t letter = DriveLetterOf(drive);
  return letter != 0 && IsCdDrive(letter) ? mciDoor_.StateOf(letter) : DoorState::Unknown;
}

// The lamp's drive gets the logic's own texts, as from the lamp, with their result.
DoorResult Win32WindowsServices::MoveDoor(std::u16string_view drive, bool open) {
  const wchar_t letter = DriveLetterOf(drive);
  if (letter == 0) return DoorResult::Missing;
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  const UINT type = ::GetDriveTypeW(root);
  if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) return DoorResult::Missing;
  if (type != DRIVE_CDROM) return DoorResult::NotOptical;
  if (!drive.empty()) return mciDoor_.Move(letter, open) ? DoorResult::Done : DoorResult::Refused;
  const auto send = multimedia_.Find<decltype(&::mciSendStringA)>("mciSendStringA");
  const std::string command = ToAnsi(open ? kDoorOpenCommand : kDoorClosedCommand);
  return send != nullptr && send(command.c_str(), nullptr, 0, nullptr) == 0 ? DoorResult::Done
                                                                            : DoorResult::Refused;
}

void Win32WindowsServices::WatchDoor(DoorWatcher& watcher) { doorWatch_.Start(watcher); }

DoorState Win32WindowsServices::RunningLampDoor() { return AskRunningLamp(); }

void Win32WindowsServices::TellRunningCopy(DoorState moved) { TellRunningLamp(moved); }

}  // namespace lumivo
