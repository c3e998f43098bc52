#include "platform/win32/windows_api.h"

#include "platform/win32/forms/window_classes.h"

#include "platform/win32/forms/picture_box.h"
#include "platform/win32/forms/win32_form_window.h"
#include "platform/win32/forms/window_procedure.h"

namespace lumivo {
namespace {

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  ::RegisterClassExW(&windowClass);
}

}  // namespace

WindowClasses::WindowClasses(HINSTANCE instance) : instance_(instance) {
  Register(instance, kFormClassName, &OwnerWindowProcedure<Win32FormWindow>);
  Register(instance, kPictureBoxClassName, &OwnerWindowProcedure<PictureBox>);
}

WindowClasses::~WindowClasses() {
  ::UnregisterClassW(kPictureBoxClassName, instance_);
  ::UnregisterClassW(kFormClassName, instance_);
}

}  // namespace lumivo
