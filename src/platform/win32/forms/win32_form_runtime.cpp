#include "platform/win32/windows_api.h"

#include "platform/win32/forms/win32_form_runtime.h"

#include <string>

#include "platform/win32/forms/device_contexts.h"
#include "platform/win32/forms/win32_form_window.h"
#include "platform/win32/services/program_files.h"
#include "platform/win32/services/shell_launch.h"
#include "platform/win32/text/wide_text.h"

namespace lumivo {
namespace {

constexpr float kTwipsPerInch = 1440.0f;

RuntimeState StartingState() {
  RuntimeState state;
  state.instance = ::GetModuleHandleW(nullptr);
  const ScreenDC screen;
  state.twipsPerPixel =
      kTwipsPerInch / static_cast<float>(::GetDeviceCaps(screen.Get(), LOGPIXELSX));
  state.taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");
  return state;
}

}  // namespace

Win32FormRuntime::Win32FormRuntime() : state_(StartingState()), classes_(state_.instance) {
  state_.commonControls = &commonControls_;
}

std::unique_ptr<FormWindow> Win32FormRuntime::CreateForm(const FormLayout& layout,
                                                         FormEvents& events) {
  auto window = std::make_unique<Win32FormWindow>(layout, events, state_);
  if (!window->Complete()) return nullptr;
  return window;
}

bool Win32FormRuntime::AnotherCopyIsRunning() { return singleInstance_.AnotherIsRunning(); }

void Win32FormRuntime::ShowMessage(std::u16string_view prompt) {
  // Raised from a hotkey or a timer, a box must come to the front, not wait unseen behind the
  // program that has the focus.
  ::MessageBoxW(nullptr, AsWide(std::u16string(prompt)), L"Lumivo", MB_OK | MB_SETFOREGROUND);
}

// Like the run-time's End: the process goes at once, from inside whatever nested loop (a
// message box, a menu) the handler that ended it was waiting in.
void Win32FormRuntime::End(int exitCode) { ::ExitProcess(static_cast<UINT>(exitCode)); }

std::optional<std::uint32_t> Win32FormRuntime::StartProgram(std::u16string_view commandLine,
                                                            int windowStyle) {
  return LaunchProgram(commandLine, windowStyle);
}

bool Win32FormRuntime::FileExists(std::u16string_view path) { return IsExistingFile(path); }

std::u16string Win32FormRuntime::ProgramFolder() const { return FolderOfThisProgram(); }

int Win32FormRuntime::Run() {
  MSG message{};
  BOOL got = FALSE;
  while ((got = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return got < 0 ? kExitFailure : static_cast<int>(message.wParam);
}

}  // namespace lumivo
