#include "platform/win32/windows_api.h"

#include "app/close_running_copy.h"
#include "app/door_command_run.h"
#include "platform/win32/forms/win32_form_runtime.h"
#include "platform/win32/services/win32_windows_services.h"
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

// Restart Manager may shut Lumivo down for an install in the installing user's session
// (WM_QUERYENDSESSION and WM_ENDSESSION with ENDSESSION_CLOSEAPP end it as any close request
// does) and starts it again afterwards only if it registered. Not after a reboot, where the
// Run value starts it at logon, nor after a crash or a hang, which never restarted it before.
// The restart is "/reopen /start", which starts a copy only where none runs: the end of a
// full-UI upgrade may have started one already, and a plain restart would then only say that
// Lumivo is running. XP has no such function; where it fails, Restart Manager leaves Lumivo to
// the installer's own close and reopening (it shuts down only registered programs).
void RegisterForInstallerRestart() {
  using RegisterFunction = HRESULT(WINAPI*)(PCWSTR, DWORD);
  constexpr DWORD kNoCrash = 1, kNoHang = 2, kNoReboot = 8;  // RESTART_NO_*
  const FARPROC function =
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "RegisterApplicationRestart");
  if (function == nullptr) return;
  reinterpret_cast<RegisterFunction>(reinterpret_cast<void (*)()>(function))(
      L"/reopen /start", kNoCrash | kNoHang | kNoReboot);
}

}  // namespace

// The installer's commands: "/close" ends every running copy before the files go ("/close
// /remember" also keeps their sessions, for an upgrade), "/reopen" starts the new exe again
// where the upgrade closed one ("/reopen /start" here as well, at the end of an interactive
// install and as Restart Manager's restart). Each exits non-zero when it could not do all of
// it.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  LoadDllsFromSystemOnly();
  // The door command line acts and exits, beside a running copy: no window, no lamp.
  if (lumivo::IsDoorCommandLine(commandLine)) return lumivo::RunDoorCommandLine();
  if (::lstrcmpiW(commandLine, L"/close") == 0) return lumivo::CloseRunningCopies(false) ? 0 : 1;
  if (::lstrcmpiW(commandLine, L"/close /remember") == 0) {
    return lumivo::CloseRunningCopies(true) ? 0 : 1;
  }
  if (::lstrcmpiW(commandLine, L"/reopen") == 0) return lumivo::ReopenClosedCopies(false) ? 0 : 1;
  if (::lstrcmpiW(commandLine, L"/reopen /start") == 0) {
    return lumivo::ReopenClosedCopies(true) ? 0 : 1;
  }
  RegisterForInstallerRestart();
  lumivo::Win32WindowsServices services;
  lumivo::Win32FormRuntime runtime;
  lumivo::TrayWindow trayWindow(services, runtime);
  trayWindow.Start();
  return runtime.Run();
}
