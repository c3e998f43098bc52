#include "platform/win32/windows_api.h"

#include "app/session_start.h"

#include <wtsapi32.h>

#include "platform/win32/services/shell_launch.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text/wide_text.h"

namespace lumivo {
namespace {

std::u16string CommandLineOf(const std::u16string& exe, std::u16string_view arguments) {
  std::u16string commandLine = u"\"" + exe + u"\"";
  if (!arguments.empty()) commandLine += u" " + std::u16string(arguments);
  return commandLine;
}

// The user's own token (WTSQueryUserToken gives the one the session's shell runs with, under
// UAC the filtered one), environment and interactive desktop, as the shell would have given
// them.
UniqueKernelHandle CreateAsSessionUser(DWORD sessionId, std::u16string& commandLine,
                                       const std::u16string& folder) {
  SystemLibrary wtsapi(L"wtsapi32.dll");
  SystemLibrary userenv(L"userenv.dll");
  const auto queryUserToken = wtsapi.Find<BOOL(WINAPI*)(ULONG, PHANDLE)>("WTSQueryUserToken");
  const auto createEnvironment =
      userenv.Find<BOOL(WINAPI*)(LPVOID*, HANDLE, BOOL)>("CreateEnvironmentBlock");
  const auto destroyEnvironment = userenv.Find<BOOL(WINAPI*)(LPVOID)>("DestroyEnvironmentBlock");
  if (!queryUserToken || !createEnvironment || !destroyEnvironment) return nullptr;
  HANDLE token = nullptr;
  if (!queryUserToken(sessionId, &token)) return nullptr;
  const UniqueKernelHandle ownedToken(token);
  void* environment = nullptr;
  if (!createEnvironment(&environment, token, FALSE)) environment = nullptr;
  wchar_t desktop[] = L"winsta0\\default";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop;
  PROCESS_INFORMATION started{};
  const BOOL created = ::CreateProcessAsUserW(token, nullptr, AsWide(commandLine), nullptr, nullptr,
                                              FALSE, CREATE_UNICODE_ENVIRONMENT, environment,
                                              AsWide(folder), &startup, &started);
  if (environment) destroyEnvironment(environment);
  if (!created) return nullptr;
  ::CloseHandle(started.hThread);
  return UniqueKernelHandle(started.hProcess);
}

}  // namespace

UniqueKernelHandle StartAsSessionUser(DWORD sessionId, const std::u16string& exe,
                                      std::u16string_view arguments) {
  std::u16string commandLine = CommandLineOf(exe, arguments);
  const std::u16string folder = SystemFolder();
  if (exe.empty() || folder.empty()) return nullptr;
  return CreateAsSessionUser(sessionId, commandLine, folder);
}

bool StartInSession(const SessionStart& start, const std::u16string& exe) {
  if (start.token == StartToken::SessionUser)
    return StartAsSessionUser(start.session, exe, u"") != nullptr;
  return !exe.empty() && LaunchProgram(CommandLineOf(exe, u""), SW_SHOWNORMAL).has_value();
}

}  // namespace lumivo
