#include "platform/win32/windows_api.h"

#include "app/close_running_copy.h"

#include "lumivo/version.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/window_classes.h"

namespace lumivo {
namespace {

constexpr DWORD kWaitMilliseconds = 10'000;

}  // namespace

// The main window is the form window with the tray window's caption; the About window shares
// its class but not its caption.
bool CloseRunningCopy() {
  while (HWND window = ::FindWindowW(kFormClassName, L"" LUMIVO_CAPTION)) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process || !::PostMessageW(window, WM_CLOSE, 0, 0)) return false;
    if (::WaitForSingleObject(process.get(), kWaitMilliseconds) != WAIT_OBJECT_0) return false;
  }
  return true;
}

}  // namespace lumivo
