#include "platform/win32/windows_api.h"

#include "platform/win32/forms/form_frame.h"

#include "platform/twips.h"

namespace lumivo {

FormFrame FrameOf(const FormLayout& layout, float twipsPerPixel) {
  FormFrame frame{};
  frame.style =
      (layout.border == BorderStyle::Sizable ? WS_OVERLAPPEDWINDOW : WS_POPUP) | WS_CLIPCHILDREN;
  RECT bounds{0, 0, TwipsToPixels(layout.width, twipsPerPixel),
              TwipsToPixels(layout.height, twipsPerPixel)};
  ::AdjustWindowRectEx(&bounds, frame.style, FALSE, 0);
  frame.width = bounds.right - bounds.left;
  frame.height = bounds.bottom - bounds.top;
  if (layout.startUpPosition == StartUpPosition::CenterScreen) {
    frame.x = (::GetSystemMetrics(SM_CXSCREEN) - frame.width) / 2;
    frame.y = (::GetSystemMetrics(SM_CYSCREEN) - frame.height) / 2;
  } else {
    frame.x = CW_USEDEFAULT;
    frame.y = CW_USEDEFAULT;
  }
  return frame;
}

}  // namespace lumivo
