#pragma once

#include "platform/win32/windows_api.h"

#include "platform/form_runtime.h"

namespace lumivo {

// What every window of the run-time shares with it.
struct RuntimeState {
  HINSTANCE instance = nullptr;
  float twipsPerPixel = 15.0f;
  // Broadcast by the shell when the taskbar is created again.
  UINT taskbarCreatedMessage = 0;
};

}  // namespace lumivo
