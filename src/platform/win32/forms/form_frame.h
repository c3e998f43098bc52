#pragma once

#include "platform/win32/windows_api.h"

#include "platform/form_layout.h"

namespace lumivo {

// Style, position and size of a form's window, from its layout.
struct FormFrame {
  DWORD style;
  int x, y, width, height;
};

FormFrame FrameOf(const FormLayout& layout, float twipsPerPixel);

}  // namespace lumivo
