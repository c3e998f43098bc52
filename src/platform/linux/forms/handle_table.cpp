#include "platform/linux/forms/handle_table.h"

namespace lumivo {

std::uint32_t HandleTable::NextHandle() {
  lastHandle_ += 4;
  return lastHandle_;
}

WindowHandle HandleTable::AddWindow(QWidget* widget) {
  const WindowHandle handle = NextHandle();
  windows_.emplace(handle, widget);
  return handle;
}

IconHandle HandleTable::AddIcon(const QIcon& icon) {
  const IconHandle handle = NextHandle();
  icons_.emplace(handle, icon);
  return handle;
}

void HandleTable::Remove(std::uint32_t handle) {
  windows_.erase(handle);
  icons_.erase(handle);
}

QWidget* HandleTable::Window(WindowHandle handle) const {
  const auto found = windows_.find(handle);
  return found == windows_.end() ? nullptr : found->second.data();
}

const QIcon* HandleTable::Icon(IconHandle handle) const {
  const auto found = icons_.find(handle);
  return found == icons_.end() ? nullptr : &found->second;
}

}  // namespace lumivo
