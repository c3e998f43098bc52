#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <map>

#include "platform/tray_icon_record.h"

namespace lumivo {

// The window and icon handles the logic holds and hands back (in the tray record, to
// SetWindowPos): 32-bit numbers, as on Windows, each naming a live widget or an icon.
class HandleTable {
 public:
  WindowHandle AddWindow(QWidget* widget);
  IconHandle AddIcon(const QIcon& icon);
  // The handle names nothing from now on.
  void Remove(std::uint32_t handle);

  // Nothing for a handle that names no live widget or no icon.
  QWidget* Window(WindowHandle handle) const;
  const QIcon* Icon(IconHandle handle) const;

 private:
  std::uint32_t NextHandle();

  std::map<WindowHandle, QPointer<QWidget>> windows_;
  std::map<IconHandle, QIcon> icons_;
  // Multiples of 4 from a high start, as Windows' handles look; never 0, which names nothing.
  std::uint32_t lastHandle_ = 0x10000;
};

}  // namespace lumivo
