#pragma once

#include "platform/win32/windows_api.h"

namespace lumivo {

// The window procedure of a class whose windows each belong to an object of type Owner: the
// object is passed as the creation parameter and receives every later message through
// Owner::HandleMessage. After WM_NCDESTROY the window no longer refers to it.
template <class Owner>
LRESULT CALLBACK OwnerWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* owner = static_cast<Owner*>(create->lpCreateParams);
    owner->Attach(window);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  }
  auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (owner == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    owner->Detach();
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return owner->HandleMessage(message, wParam, lParam);
}

// Unlinks a window from its owner object, which is going: its later messages, up to its
// destruction, get the default handling.
template <class Owner>
void DetachOwner(HWND window, Owner& owner) {
  ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  owner.Detach();
}

}  // namespace lumivo
