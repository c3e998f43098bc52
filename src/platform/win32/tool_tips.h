#pragma once

#include "platform/win32/windows_api.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unique_handles.h"

namespace lumivo {

// One tooltip window for the rectangles of a window that show tips. It is made when the mouse
// first comes over the window: the common controls are loaded for it then, not at start.
class ToolTips {
 public:
  void AddArea(UINT id, const RECT& area, std::u16string_view text);
  // A mouse message of the window: the first makes the tips, and each one reaches them.
  void OnMouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Area {
    UINT id;
    RECT bounds;
    std::u16string text;
  };

  bool Create(HWND window);

  std::vector<Area> areas_;
  UniqueWindow tips_;
};

}  // namespace lumivo
