#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/unique_handles.h"

namespace lumivo {

// A named mutex in the user's session that marks a running copy of the program. The first
// question creates it; it is held until the process ends.
class SingleInstance {
 public:
  bool AnotherIsRunning();

 private:
  UniqueKernelHandle mutex_;
  bool asked_ = false;
  bool anotherIsRunning_ = false;
};

}  // namespace lumivo
