#include "platform/win32/windows_api.h"

#include "platform/win32/forms/tool_tips.h"

#include <commctrl.h>

#include "platform/win32/forms/destroy_later.h"
#include "platform/win32/text/wide_text.h"

namespace lumivo {

ToolTips::~ToolTips() { DestroyLater(tips_.release()); }

void ToolTips::AddArea(UINT id, const RECT& area, std::u16string_view text) {
  if (!text.empty()) areas_.push_back({id, area, std::u16string(text)});
}

// Always shown, also while the form is not the active window. Owned by no window: a topmost
// tooltip owned by the form before the form is made topmost keeps Wine from making the form
// topmost at all.
bool ToolTips::Create(HWND window) {
  const auto initialize =
      commonControls_.Find<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx");
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  if (initialize == nullptr || !initialize(&controls)) return false;
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
  tips_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr));
  if (tips_ == nullptr) return false;
  for (Area& area : areas_) {
    if (!AddTool(window, area)) {
      DestroyLater(tips_.release());
      return false;
    }
  }
  return true;
}

// The record as comctl32 5.8 knows it: without Common Controls 6 that is the version Windows
// gives the program, and it refuses the full record, whose last member came with version 6.
bool ToolTips::AddTool(HWND window, Area& area) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = area.id;
  tool.rect = area.bounds;
  tool.lpszText = AsWide(area.text);
  return ::SendMessageW(tips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

// Once made, the tips hear the window's mouse messages themselves (TTF_SUBCLASS); the message
// that made them is passed on by hand, so that the tip of the first hover shows too.
void ToolTips::OnMouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (areas_.empty() || attempted_) return;
  attempted_ = true;
  if (!Create(window)) return;
  MSG relayed{window, message, wParam, lParam, 0, {}};
  ::SendMessageW(tips_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

}  // namespace lumivo
