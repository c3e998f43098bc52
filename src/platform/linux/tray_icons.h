#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include <map>
#include <memory>
#include <utility>

#include "platform/linux/delete_later.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/tray_clicks.h"
#include "platform/tray_icon_record.h"

namespace lumivo {

// The notification area as Shell_NotifyIconA sees it, on Qt's tray icon (StatusNotifierItem
// or XEmbed, whichever the desktop has). An icon is known by its window and id, as on
// Windows; its clicks come back to its window as the mouse messages Windows would send.
class TrayIcons final : public QObject {
 public:
  explicit TrayIcons(const HandleTable& handles);

  // Fails when the desktop has no tray, when the icon is there already or when the record
  // names an icon that does not exist.
  bool Add(const TrayIconRecord& record);
  bool Delete(const TrayIconRecord& record);

 private:
  using Key = std::pair<WindowHandle, std::uint32_t>;

  void OnClick(WindowHandle window, TrayClick click);
  void Deliver(WindowHandle window, std::int16_t code);

  const HandleTable& handles_;
  std::map<Key, std::unique_ptr<QSystemTrayIcon, DeleteLater>> icons_;
};

}  // namespace lumivo
