#include "platform/win32/windows_api.h"

#include "platform/win32/system_library.h"

#include "platform/win32/text/filled_text.h"
#include "platform/win32/text/wide_text.h"

namespace lumivo {

std::u16string SystemFolder() {
  return ReadFilledText(
      [](wchar_t* buffer, DWORD size) -> DWORD { return ::GetSystemDirectoryW(buffer, size); });
}

// LOAD_WITH_ALTERED_SEARCH_PATH: the DLL's own imports are looked for in its folder first,
// not beside the program.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  const std::u16string folder = SystemFolder();
  if (folder.empty()) return nullptr;
  const std::u16string path = folder + u'\\' + reinterpret_cast<const char16_t*>(name);
  return ::LoadLibraryExW(AsWide(path), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace lumivo
