#pragma once

#include "platform/win32/windows_api.h"

#include "platform/form_runtime.h"
#include "platform/win32/forms/runtime_state.h"
#include "platform/win32/forms/window_classes.h"
#include "platform/win32/services/single_instance.h"

namespace lumivo {

// The form run-time on Windows; one per process, on the GUI thread.
class Win32FormRuntime final : public FormRuntime {
 public:
  Win32FormRuntime();
  Win32FormRuntime(const Win32FormRuntime&) = delete;
  Win32FormRuntime& operator=(const Win32FormRuntime&) = delete;

  std::unique_ptr<FormWindow> CreateForm(const FormLayout& layout, FormEvents& events) override;
  bool AnotherCopyIsRunning() override;
  void ShowMessage(std::u16string_view prompt) override;
  [[noreturn]] void End(int exitCode) override;
  std::optional<std::uint32_t> StartProgram(std::u16string_view commandLine,
                                            int windowStyle) override;
  float TwipsPerPixel() const override { return state_.twipsPerPixel; }
  bool FileExists(std::u16string_view path) override;
  std::u16string ProgramFolder() const override;

  // Delivers messages; End ends the process from inside. The exit code of a loop that ends
  // (a quit message, or a failure of GetMessage).
  int Run();

 private:
  SystemLibrary commonControls_{L"comctl32.dll"};
  RuntimeState state_;
  WindowClasses classes_;
  SingleInstance singleInstance_;
};

}  // namespace lumivo
