// A DLL that tells when it is loaded: it writes an empty file beside itself, named after it
// with ".loaded" added. Planted under a system DLL's name, it shows who loads from where.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return TRUE;
  path.resize(length);
  path += L".loaded";
  const HANDLE marker = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
  return TRUE;
}

// What rundll32 asks for in "rundll32.exe rnaui.dll,RnaDial NAME".
extern "C" __declspec(dllexport) void CALLBACK RnaDial(HWND, HINSTANCE, LPSTR, int) {}
