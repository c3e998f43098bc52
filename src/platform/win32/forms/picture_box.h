#pragma once

#include "platform/win32/windows_api.h"

#include <optional>

#include "platform/form_layout.h"
#include "platform/form_runtime.h"
#include "platform/win32/forms/label_areas.h"
#include "platform/win32/forms/picture_image.h"
#include "platform/win32/forms/runtime_state.h"
#include "platform/win32/forms/tool_tips.h"

namespace lumivo {

// A picture box control: a child window that shows its picture, carries the windowless labels
// placed on it, and reports message 512 (also the shell's tray callback) as MouseMove.
class PictureBox {
 public:
  // Placed at the form's twips per pixel; mouse positions are reported at the screen's.
  PictureBox(const ControlLayout& layout, HWND container, float twipsPerPixel,
             const RuntimeState& state, FormEvents& events);
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  int Id() const { return layout_.id; }
  HWND Window() const { return window_; }
  HICON Icon() const { return image_.Icon(); }
  void AddLabel(const ControlLayout& label);

  // For the window procedure.
  void Attach(HWND window) { window_ = window; }
  void Detach() { window_ = nullptr; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  RECT PixelRect(const ControlLayout& control) const;
  LRESULT OnPaint();
  LRESULT OnSetCursor();
  LRESULT OnMouseMove(LPARAM lParam);
  LRESULT OnLeftButtonDown(LPARAM lParam);
  LRESULT OnLeftButtonUp(LPARAM lParam);
  LRESULT OnCaptureChanged();

  const ControlLayout& layout_;
  float twipsPerPixel_;
  const RuntimeState& state_;
  FormEvents& events_;
  PictureImage image_;
  HCURSOR cursor_;
  LabelAreas labels_;
  ToolTips toolTips_;
  // The label the left button went down on; a click needs the button to come up there.
  std::optional<int> pressedLabel_;
  // Owned by the form window, which destroys it with itself.
  HWND window_ = nullptr;
};

}  // namespace lumivo
