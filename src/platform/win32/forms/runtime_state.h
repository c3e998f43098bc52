#pragma once

#include "platform/win32/windows_api.h"

#include "platform/form_runtime.h"
#include "platform/win32/system_library.h"

namespace lumivo {

// What every window of the run-time shares with it.
struct RuntimeState {
  HINSTANCE instance = nullptr;
  float twipsPerPixel = 15.0f;
  // Broadcast by the shell when the taskbar is created again.
  UINT taskbarCreatedMessage = 0;
  // comctl32, for the tool tips: loaded at the first hover over a window with tips and kept
  // for the run, as every tip window made from its class and every window it subclassed must
  // go before it may.
  SystemLibrary* commonControls = nullptr;
};

}  // namespace lumivo
