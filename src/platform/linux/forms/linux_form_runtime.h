#pragma once

#include "platform/form_runtime.h"
#include "platform/linux/forms/handle_table.h"
#include "platform/linux/services/session_lock.h"
#include "platform/linux/services/system_requests.h"

namespace lumivo {

// The form run-time on Qt Widgets; one per process, on the GUI thread, after the
// QApplication.
class LinuxFormRuntime final : public FormRuntime {
 public:
  LinuxFormRuntime();

  std::unique_ptr<FormWindow> CreateForm(const FormLayout& layout, FormEvents& events) override;
  bool AnotherCopyIsRunning() override;
  void ShowMessage(std::u16string_view prompt) override;
  [[noreturn]] void End(int exitCode) override;
  std::optional<std::uint32_t> StartProgram(std::u16string_view commandLine,
                                            int windowStyle) override;
  float TwipsPerPixel() const override { return twipsPerPixel_; }
  bool FileExists(std::u16string_view path) override;
  std::u16string ProgramFolder() const override;

  const HandleTable& Handles() const { return handles_; }
  // The requests to drives and services, which tell their failures in this run-time's boxes.
  SystemRequests& Requests() { return requests_; }

  // Delivers events; End ends the process from inside.
  void Run();

 private:
  HandleTable handles_;
  SessionLock sessionLock_;
  float twipsPerPixel_;
  SystemRequests requests_;
};

}  // namespace lumivo
