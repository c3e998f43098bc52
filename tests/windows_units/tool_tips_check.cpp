// Makes the About window's tool tips the way the program does, with comctl32 5.8's way of
// taking them in place of Wine's: a tooltip class of this program's own (found before the
// common controls' one) that takes a TOOLINFOW of at most TTTOOLINFOW_V2_SIZE bytes and refuses
// a larger one, as Windows' comctl32 5.8 does where Wine's accepts both. Exit status 0 when
// every tip was added, each at a size 5.8 takes.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "platform/win32/forms/tool_tips.h"
#include "platform/win32/system_library.h"

namespace {

std::vector<UINT> addedSizes;

LRESULT CALLBACK Version58Tips(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TTM_ADDTOOLW) {
    const UINT size = reinterpret_cast<const TOOLINFOW*>(lParam)->cbSize;
    addedSizes.push_back(size);
    return size <= static_cast<UINT>(TTTOOLINFOW_V2_SIZE);
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW tipsClass{};
  tipsClass.lpfnWndProc = &Version58Tips;
  tipsClass.hInstance = instance;
  tipsClass.lpszClassName = TOOLTIPS_CLASSW;
  if (::RegisterClassW(&tipsClass) == 0) return 2;
  HWND window = ::CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 248, 119, nullptr, nullptr,
                                  instance, nullptr);
  if (window == nullptr) return 2;

  lumivo::SystemLibrary commonControls(L"comctl32.dll");
  lumivo::ToolTips tips(commonControls);
  for (UINT id = 1; id <= 3; ++id) {
    const RECT area{8, static_cast<LONG>(id * 24), 240, static_cast<LONG>(id * 24 + 20)};
    tips.AddArea(id, area, u"单击关闭此图形窗口");
  }
  tips.OnMouseMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(20, 30));

  int wrong = addedSizes.size() == 3 ? 0 : 1;
  for (const UINT size : addedSizes) {
    std::printf("TTM_ADDTOOLW cbSize %u (comctl32 5.8 takes up to %d)\n", size,
                static_cast<int>(TTTOOLINFOW_V2_SIZE));
    if (size > static_cast<UINT>(TTTOOLINFOW_V2_SIZE)) ++wrong;
  }
  std::printf("%d tips added, %d wrong\n", static_cast<int>(addedSizes.size()), wrong);
  return wrong == 0 ? 0 : 1;
}
