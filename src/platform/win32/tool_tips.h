#pragma once

#include "platform/win32/windows_api.h"

#include <string_view>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// One tooltip window for the rectangles of a window that show tips.
class ToolTips {
 public:
  void AddArea(HWND window, UINT id, const RECT& area, std::u16string_view text);

 private:
  void Create(HWND window);

  // The common controls come with the first tip rather than with the exe, which needs them
  // only for the tips; released after the tip window.
  SystemLibrary commonControls_{L"comctl32.dll"};
  UniqueWindow tips_;
};

}  // namespace lumivo
