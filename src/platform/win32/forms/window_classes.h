#pragma once

#include "platform/win32/windows_api.h"

namespace lumivo {

inline constexpr wchar_t kFormClassName[] = L"Lumivo.Form";
inline constexpr wchar_t kPictureBoxClassName[] = L"Lumivo.PictureBox";

// Registers the window classes of forms and picture boxes for as long as it lives.
class WindowClasses {
 public:
  explicit WindowClasses(HINSTANCE instance);
  ~WindowClasses();
  WindowClasses(const WindowClasses&) = delete;
  WindowClasses& operator=(const WindowClasses&) = delete;

 private:
  HINSTANCE instance_;
};

}  // namespace lumivo
