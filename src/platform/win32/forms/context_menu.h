#pragma once

#include "platform/win32/windows_api.h"

#include <span>

#include "platform/form_layout.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// A form's popup menu, built once from its layout.
class ContextMenu {
 public:
  explicit ContextMenu(std::span<const MenuItemLayout> items);

  bool Empty() const { return !menu_; }
  // Whether the layout had items that could not all be put in a menu.
  bool Failed() const { return failed_; }
  // Shows the menu at the mouse pointer for the owner window and waits for the user: the
  // chosen item's id, or 0 when the menu was dismissed. Does not touch this object once the
  // menu has closed, as a handler run meanwhile may have destroyed it.
  int Track(HWND owner) const;

 private:
  UniqueMenu menu_;
  bool failed_ = false;
};

}  // namespace lumivo
