#pragma once

#include "platform/win32/windows_api.h"

namespace lumivo {

// Destroys a window on a later turn of the message loop, never from inside a handler of its
// own that may still be running: a click on the About window unloads it while the picture box's
// handler, and comctl32's tool-tip subclass beneath it, are on the stack. The window is hidden
// at once and the default handling of the posted WM_CLOSE destroys it, so nothing may route
// its messages to an owner object any more. Should the post fail (a full queue), the hidden
// window is left as it is rather than destroyed under a running handler.
inline void DestroyLater(HWND window) {
  if (window == nullptr) return;
  ::ShowWindow(window, SW_HIDE);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace lumivo
