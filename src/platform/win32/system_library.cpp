#include "platform/win32/windows_api.h"

#include "platform/win32/system_library.h"

#include "platform/win32/wide_text.h"

namespace lumivo {

std::u16string SystemFolder() {
  std::u16string folder(MAX_PATH, u'\0');
  for (;;) {
    const UINT length = ::GetSystemDirectoryW(AsWide(folder), static_cast<UINT>(folder.size()));
    if (length < folder.size()) {
      folder.resize(length);
      return folder;
    }
    folder.resize(length);  // the size needed, with its NUL
  }
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
