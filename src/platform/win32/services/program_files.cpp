#include "platform/win32/windows_api.h"

#include "platform/win32/services/program_files.h"

#include "platform/win32/text/filled_text.h"
#include "platform/win32/text/wide_text.h"

namespace lumivo {

bool IsExistingFile(std::u16string_view path) {
  const DWORD attributes = ::GetFileAttributesW(AsWide(std::u16string(path)));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// GetModuleFileNameW cuts a path that does not fit and returns the buffer's size: the reader
// grows the buffer until the whole path fits.
std::u16string PathOfThisProgram() {
  return ReadFilledText(
      [](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); });
}

std::u16string FolderOfThisProgram() {
  std::u16string path = PathOfThisProgram();
  const std::size_t separator = path.find_last_of(u"\\/");
  path.resize(separator == std::u16string::npos ? 0 : separator);
  return path;
}

}  // namespace lumivo
