#pragma once

#include "platform/win32/windows_api.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// One tooltip window for the rectangles of a window that show tips. It is made when the mouse
// first comes over the window: the common controls are loaded for it then, not at start.
class ToolTips {
 public:
  explicit ToolTips(SystemLibrary& commonControls) : commonControls_(commonControls) {}
  // The tip window goes later, with the window it serves (see DestroyLater).
  ~ToolTips();
  ToolTips(const ToolTips&) = delete;
  ToolTips& operator=(const ToolTips&) = delete;

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
  bool AddTool(HWND window, Area& area);

  SystemLibrary& commonControls_;
  std::vector<Area> areas_;
  UniqueWindow tips_;
  // Tips are made once: a system that refuses them is not asked again at every mouse move.
  bool attempted_ = false;
};

}  // namespace lumivo
