#include "platform/win32/windows_api.h"

#include "platform/win32/tool_tips.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace lumivo {

// Always shown, also while the form is not the active window. Owned by no window: a topmost
// tooltip owned by the form before the form is made topmost keeps Wine from making the form
// topmost at all.
void ToolTips::Create(HWND window) {
  const auto initialize =
      commonControls_.Find<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx");
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  if (initialize == nullptr || !initialize(&controls)) return;
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
  tips_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr));
}

void ToolTips::AddArea(HWND window, UINT id, const RECT& area, std::u16string_view text) {
  if (text.empty()) return;
  if (tips_ == nullptr) Create(window);
  std::u16string tipText(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = id;
  tool.rect = area;
  tool.lpszText = AsWide(tipText);
  ::SendMessageW(tips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace lumivo
