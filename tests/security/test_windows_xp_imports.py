"""The exes start on the oldest Windows the README names: every function they import exists in
Windows XP SP3 (32-bit) and Windows XP x64, so the loader never refuses them. Anything newer is
looked up at run time (SetDefaultDllDirectories, ChangeWindowMessageFilterEx), and the DLLs
loaded when needed (winmm, shell32, ole32, oleaut32, comctl32) are not in the import table.

XP_EXPORTS holds what these DLLs of Windows XP export, as far as the exes use it: each function
is documented with Windows 2000 or XP as its minimum, and the msvcrt entries are in XP's
msvcrt.dll (7.0). A new import fails the test until it is checked against XP and added."""

import unittest

from test_pe_hardening import BUILDS, PortableExecutable

XP_EXPORTS = {
    "kernel32.dll": """
        CloseHandle CreateMutexW CreateProcessW DeleteCriticalSection EnterCriticalSection
        ExitProcess FindResourceW FreeLibrary GetACP GetCurrentDirectoryW GetCurrentProcess
        GetDriveTypeA GetEnvironmentVariableW GetFileAttributesW GetLastError GetModuleFileNameW
        GetModuleHandleA GetModuleHandleW GetProcAddress GetStartupInfoW GetSystemDirectoryW
        GetWindowsDirectoryW GlobalAlloc GlobalFree GlobalLock GlobalUnlock
        InitializeCriticalSection LeaveCriticalSection LoadLibraryA LoadLibraryExW LoadLibraryW
        LoadResource LockResource MulDiv OpenProcess SetUnhandledExceptionFilter SizeofResource
        Sleep TlsGetValue VirtualProtect VirtualQuery WaitForSingleObject WideCharToMultiByte
        lstrcmpiW __C_specific_handler
        CreateToolhelp32Snapshot GetCurrentProcessId Process32FirstW Process32NextW
        ProcessIdToSessionId TerminateProcess
        GetCommandLineW GetDriveTypeW LocalFree SetErrorMode""",
    "user32.dll": """
        AdjustWindowRectEx AppendMenuW BeginPaint CreatePopupMenu CreateWindowExW DefWindowProcW
        DestroyIcon DestroyMenu DestroyWindow DispatchMessageW DrawIconEx EndPaint ExitWindowsEx
        FillRect FindWindowExW FindWindowW GetAsyncKeyState GetCursorPos GetDC GetMessageW GetSysColorBrush
        GetSystemMetrics GetWindowLongPtrW GetWindowLongW GetWindowThreadProcessId KillTimer
        LoadCursorW LoadImageW MessageBoxW PostMessageW PtInRect RegisterClassExW
        RegisterWindowMessageW ReleaseCapture ReleaseDC ScreenToClient SendMessageW SetCapture
        SetCursor SetForegroundWindow SetTimer SetWindowLongPtrW SetWindowLongW SetWindowPos
        ShowWindow TrackPopupMenu TranslateMessage UnregisterClassW
        CloseWindowStation OpenDesktopW OpenWindowStationW SendMessageTimeoutW
        SetProcessWindowStation SetThreadDesktop""",
    "gdi32.dll": """
        BitBlt CreateCompatibleBitmap CreateCompatibleDC DeleteDC DeleteObject GetDeviceCaps
        GetStockObject SelectObject""",
    "advapi32.dll": """
        AdjustTokenPrivileges GetTokenInformation IsWellKnownSid LookupPrivilegeValueW
        OpenProcessToken CreateProcessAsUserW RegCloseKey RegCreateKeyExW RegDeleteValueW RegOpenKeyExW
        RegQueryValueExW RegSetValueExW""",
    "msvcrt.dll": """
        __iob_func __p__commode __p__fmode __p__wcmdln __set_app_type __setusermatherr
        __wgetmainargs __winitenv _amsg_exit _cexit _commode _errno _fmode _initterm _iob
        _onexit _vscprintf _vsnprintf _wcmdln abort calloc exit fprintf free fwrite malloc
        memcpy memmove realloc signal sprintf strlen strncmp strtod vfprintf _wcsnicmp""",
}
XP_EXPORTS = {dll: set(names.split()) for dll, names in XP_EXPORTS.items()}

# Functions of these DLLs that came after XP, which a newer run-time or a new call could pull
# in: named here so that the failure says what went wrong.
AFTER_XP = {
    "AcquireSRWLockExclusive", "AddDllDirectory", "ChangeWindowMessageFilter",
    "ChangeWindowMessageFilterEx", "CompareStringOrdinal", "FlsAlloc", "GetTickCount64",
    "InitOnceExecuteOnce", "InitializeConditionVariable", "InitializeCriticalSectionEx",
    "QueryFullProcessImageNameW", "SetDefaultDllDirectories", "SleepConditionVariableCS",
    "_vsnprintf_s", "sprintf_s", "strcpy_s", "_wfopen_s",
}


class WindowsXpImportsTest(unittest.TestCase):
    def test_every_import_exists_in_windows_xp(self):
        for preset, path in BUILDS.items():
            with self.subTest(preset):
                imports = PortableExecutable(path).imports()
                self.assertLessEqual(set(imports), set(XP_EXPORTS), "a DLL XP does not have")
                for dll, functions in imports.items():
                    newer = sorted(set(functions) & AFTER_XP)
                    self.assertEqual(newer, [], f"{dll}: functions from after Windows XP")
                    unknown = sorted(set(functions) - XP_EXPORTS.get(dll, set()))
                    self.assertEqual(unknown, [], f"{dll}: imports not checked against XP")


if __name__ == "__main__":
    unittest.main()
