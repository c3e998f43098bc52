#pragma once

#include <string_view>

#include "platform/form_runtime.h"

namespace lumivo {

// The programs the menu and the hotkeys start: the two dial-up connections, each with its
// fixed command line, and the instructions file, at C:'s root or beside the program.
class Launchers {
 public:
  explicit Launchers(FormRuntime& runtime);

  // Starts a command line; tells the user and returns false when it cannot be started.
  bool Launch(std::u16string_view commandLine);

  void Dial163();
  void DialNorbek163();
  void OpenInstructions();

 private:
  void DialUp(std::u16string_view entryName);

  FormRuntime& runtime_;
};

}  // namespace lumivo
