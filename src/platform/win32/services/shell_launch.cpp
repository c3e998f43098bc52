#include "platform/win32/windows_api.h"

#include "platform/win32/services/shell_launch.h"

#include <string>

#include "platform/win32/services/program_files.h"
#include "platform/win32/services/program_search.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text/filled_text.h"
#include "platform/win32/text/wide_text.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {
namespace {

std::optional<std::u16string> FindProgram(std::u16string_view commandLine,
                                          const std::u16string& systemDirectory) {
  const std::u16string windowsDirectory = ReadFilledText(
      [](wchar_t* buffer, DWORD size) -> DWORD { return ::GetWindowsDirectoryW(buffer, size); });
  const std::u16string pathVariable = ReadFilledText(
      [](wchar_t* buffer, DWORD size) { return ::GetEnvironmentVariableW(L"PATH", buffer, size); });
  const std::u16string programDirectory = FolderOfThisProgram();
  const std::u16string currentDirectory = ReadFilledText(
      [](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); });
  const SearchFolders folders{systemDirectory, windowsDirectory, pathVariable, programDirectory,
                              currentDirectory};
  for (const std::u16string& candidate :
       ProgramCandidates(FirstProgramName(commandLine), folders)) {
    if (IsExistingFile(candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace

// The started program gets the system folder as its current folder, not Lumivo's: what it
// loads by a bare name (rundll32's rnaui.dll, which NT-family Windows lack) is then never
// taken from the folder Lumivo was started from, such as Downloads.
std::optional<std::uint32_t> LaunchProgram(std::u16string_view commandLine, int windowStyle) {
  const std::u16string systemDirectory = SystemFolder();
  const std::optional<std::u16string> program = FindProgram(commandLine, systemDirectory);
  if (!program || systemDirectory.empty()) return std::nullopt;
  std::u16string mutableCommandLine(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(AsWide(*program), AsWide(mutableCommandLine), nullptr, nullptr, FALSE, 0,
                        nullptr, AsWide(systemDirectory), &startup, &process)) {
    return std::nullopt;
  }
  const UniqueKernelHandle processHandle(process.hProcess);
  const UniqueKernelHandle threadHandle(process.hThread);
  return process.dwProcessId;
}

}  // namespace lumivo
