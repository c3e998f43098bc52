#include "platform/win32/windows_api.h"

#include "platform/win32/program_files.h"

#include "platform/win32/wide_text.h"

namespace lumivo {

bool IsExistingFile(std::u16string_view path) {
  const DWORD attributes = ::GetFileAttributesW(AsWide(std::u16string(path)));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// GetModuleFileNameW cuts a path that does not fit and returns the buffer's size: grow it
// until the whole path fits.
std::u16string PathOfThisProgram() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, AsWide(path), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::u16string FolderOfThisProgram() {
  std::u16string path = PathOfThisProgram();
  const std::size_t separator = path.rfind(u'\\');
  path.resize(separator == std::u16string::npos ? 0 : separator);
  return path;
}

}  // namespace lumivo
