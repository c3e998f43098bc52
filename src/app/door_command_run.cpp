#include "platform/win32/windows_api.h"

#include "app/door_command_run.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <span>
#include <string_view>

#include "commands/door_command_line.h"
#include "platform/form_runtime.h"
#include "platform/win32/services/win32_windows_services.h"
#include "platform/win32/system_library.h"

namespace lumivo {
namespace {

constexpr wchar_t kSwitch[] = L"/door";
constexpr std::size_t kSwitchLength = std::size(kSwitch) - 1;

}  // namespace

bool IsDoorCommandLine(const wchar_t* commandLine) {
  if (::_wcsnicmp(commandLine, kSwitch, kSwitchLength) != 0) return false;
  const wchar_t next = commandLine[kSwitchLength];
  return next == L'\0' || next == L' ' || next == L'\t';
}

// Windows' own rules split the words (quotes included), as every program's arguments. A drive
// with no disc must not bring up the system's "insert a disc" box either.
int RunDoorCommandLine() {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  SystemLibrary shell(L"shell32.dll");
  const auto split = shell.Find<decltype(&::CommandLineToArgvW)>("CommandLineToArgvW");
  int count = 0;
  LPWSTR* const words = split == nullptr ? nullptr : split(::GetCommandLineW(), &count);
  if (words == nullptr) return kExitFailure;
  // The program's name and the switch come first; a third word after the drive is one too
  // many, whatever follows it.
  std::array<std::u16string_view, 3> arguments;
  const std::size_t given = static_cast<std::size_t>(std::clamp(count - 2, 0, 3));
  for (std::size_t i = 0; i < given; ++i) {
    arguments[i] = reinterpret_cast<const char16_t*>(words[i + 2]);
  }
  Win32WindowsServices services;
  const int exitCode = ExitCodeOf(RunDoorCommand(services, std::span(arguments.data(), given)));
  ::LocalFree(words);  // the process ends next: a failure would change nothing
  return exitCode;
}

}  // namespace lumivo
