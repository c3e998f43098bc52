#pragma once

#include "platform/win32/windows_api.h"

#include <string_view>

namespace lumivo {

// One tooltip window for the rectangles of a window that show tips. The tooltip is owned by
// the window's form and goes with it.
class ToolTips {
 public:
  void AddArea(HWND window, UINT id, const RECT& area, std::u16string_view text);

 private:
  void Create(HWND window);

  HWND tips_ = nullptr;
};

}  // namespace lumivo
