#include "platform/win32/windows_api.h"

#include "platform/win32/forms/picture_box.h"

#include <cstdint>

#include "platform/twips.h"
#include "platform/win32/forms/device_contexts.h"
#include "platform/win32/forms/resource_pictures.h"
#include "platform/win32/forms/window_classes.h"

namespace lumivo {
namespace {

DWORD StyleOf(const ControlLayout& layout) {
  const DWORD border = layout.appearance == Appearance::Flat ? WS_BORDER : 0;
  return WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | border;
}

DWORD ExtendedStyleOf(const ControlLayout& layout) {
  return layout.appearance == Appearance::ThreeD ? WS_EX_CLIENTEDGE : 0;
}

POINT PointOf(LPARAM lParam) {
  return {static_cast<std::int16_t>(LOWORD(lParam)), static_cast<std::int16_t>(HIWORD(lParam))};
}

}  // namespace

PictureBox::PictureBox(const ControlLayout& layout, HWND container, float twipsPerPixel,
                       const RuntimeState& state, FormEvents& events)
    : layout_(layout),
      twipsPerPixel_(twipsPerPixel),
      state_(state),
      events_(events),
      image_(state.instance, layout.picture),
      cursor_(LoadCursorPicture(state.instance, layout.mouseIcon)),
      toolTips_(*state.commonControls) {
  const DWORD style = StyleOf(layout);
  const DWORD extendedStyle = ExtendedStyleOf(layout);
  RECT frame = PixelRect(layout);
  const SIZE picture = image_.PixelSize();
  if (layout.autoSize && picture.cx > 0) {
    frame.right = frame.left + picture.cx;
    frame.bottom = frame.top + picture.cy;
    RECT border{};
    ::AdjustWindowRectEx(&border, style, FALSE, extendedStyle);
    frame.right += border.right - border.left;
    frame.bottom += border.bottom - border.top;
  }
  ::CreateWindowExW(extendedStyle, kPictureBoxClassName, nullptr, style, frame.left, frame.top,
                    frame.right - frame.left, frame.bottom - frame.top, container,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), state.instance, this);
}

RECT PictureBox::PixelRect(const ControlLayout& control) const {
  const float twips = twipsPerPixel_;
  const int left = TwipsToPixels(control.left, twips);
  const int top = TwipsToPixels(control.top, twips);
  return {left, top, left + TwipsToPixels(control.width, twips),
          top + TwipsToPixels(control.height, twips)};
}

void PictureBox::AddLabel(const ControlLayout& label) {
  const RECT bounds = PixelRect(label);
  labels_.Add({label.id, bounds, LoadCursorPicture(state_.instance, label.mouseIcon)});
  toolTips_.AddArea(static_cast<UINT>(label.id), bounds, label.toolTip);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      return OnPaint();
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) return OnSetCursor();
      break;
    case WM_MOUSEMOVE:
      toolTips_.OnMouseMessage(window_, message, wParam, lParam);
      return OnMouseMove(lParam);
    case WM_LBUTTONDOWN:
      return OnLeftButtonDown(lParam);
    case WM_LBUTTONUP:
      return OnLeftButtonUp(lParam);
    case WM_CAPTURECHANGED:
      return OnCaptureChanged();
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT PictureBox::OnPaint() {
  const PaintScope paint(window_);
  image_.Draw(paint.Get());
  return 0;
}

LRESULT PictureBox::OnSetCursor() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(window_, &cursor);
  const LabelAreas::Area* label = labels_.Find(cursor);
  ::SetCursor(label != nullptr ? label->cursor : cursor_);
  return TRUE;
}

// The shell's tray callback arrives as this message with the mouse message in the place of X.
LRESULT PictureBox::OnMouseMove(LPARAM lParam) {
  const auto x = static_cast<std::int16_t>(LOWORD(lParam));
  events_.OnMouseMove(layout_.id, PixelsToTwips(x, state_.twipsPerPixel));
  return 0;
}

LRESULT PictureBox::OnLeftButtonDown(LPARAM lParam) {
  const LabelAreas::Area* label = labels_.Find(PointOf(lParam));
  if (label == nullptr) return 0;
  pressedLabel_ = label->id;
  ::SetCapture(window_);
  return 0;
}

LRESULT PictureBox::OnLeftButtonUp(LPARAM lParam) {
  const std::optional<int> pressed = pressedLabel_;
  if (!pressed) return 0;
  ::ReleaseCapture();
  const LabelAreas::Area* label = labels_.Find(PointOf(lParam));
  if (label == nullptr || label->id != *pressed) return 0;
  events_.OnClick(*pressed);
  return 0;
}

LRESULT PictureBox::OnCaptureChanged() {
  pressedLabel_.reset();
  return 0;
}

}  // namespace lumivo
