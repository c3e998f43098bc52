#include "platform/win32/windows_api.h"

#include "app/close_running_copy.h"
#include "platform/win32/win32_form_runtime.h"
#include "platform/win32/win32_windows_services.h"
#include "tray/tray_window.h"

namespace {

// DLLs load from System32 only, so none planted beside the program runs. Windows before 8
// without the update lack the function and keep their own search order.
void LoadDllsFromSystemOnly() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const FARPROC function = ::GetProcAddress(kernel, "SetDefaultDllDirectories");
  if (function == nullptr) return;
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(function));
  setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

// "Lumivo.exe /close" ends a running copy and waits for it, for the uninstaller.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  LoadDllsFromSystemOnly();
  if (::lstrcmpiW(commandLine, L"/close") == 0) return lumivo::CloseRunningCopy() ? 0 : 1;
  lumivo::Win32WindowsServices services;
  lumivo::Win32FormRuntime runtime;
  lumivo::TrayWindow trayWindow(services, runtime);
  trayWindow.Start();
  return runtime.Run();
}
