#include "platform/win32/windows_api.h"

#include "platform/win32/forms/context_menu.h"

#include <string>

#include "platform/win32/text/wide_text.h"

namespace lumivo {

ContextMenu::ContextMenu(std::span<const MenuItemLayout> items) {
  if (items.empty()) return;
  menu_.reset(::CreatePopupMenu());
  failed_ = menu_ == nullptr;
  for (const MenuItemLayout& item : items) {
    if (failed_) return;
    const BOOL appended =
        item.caption == kMenuSeparator
            ? ::AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr)
            : ::AppendMenuW(menu_.get(), MF_STRING, static_cast<UINT_PTR>(item.id),
                            AsWide(std::u16string(item.caption)));
    failed_ = appended == FALSE;
  }
}

int ContextMenu::Track(HWND owner) const {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  // The menu closes on a click elsewhere or Esc only when its owner is the foreground window.
  ::SetForegroundWindow(owner);
  // Only the left button chooses: the menu opens on the second press of a right double click,
  // and the release of that button must not choose the item that happens to lie under it.
  const BOOL chosen =
      ::TrackPopupMenu(menu_.get(), TPM_RETURNCMD, cursor.x, cursor.y, 0, owner, nullptr);
  // Lets the next click after the menu reach its target.
  ::PostMessageW(owner, WM_NULL, 0, 0);
  return static_cast<int>(chosen);
}

}  // namespace lumivo
