#pragma once

#include <QElapsedTimer>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>
#include <optional>
#include <utility>

#include "platform/linux/forms/handle_table.h"
#include "platform/linux/tray/tray_clicks.h"
#include "platform/linux/tray/tray_watch.h"
#include "platform/tray_icon_record.h"

namespace lumivo {

// The notification area as Shell_NotifyIconA sees it, on one Qt tray icon for the program's
// life (a StatusNotifierItem or an XEmbed icon, whichever the desktop has when the first icon
// is added; a tray that comes later is given a moment to bring its StatusNotifierItem host). An
// icon is known by its window and id, as on Windows, and there is one at a time: deleting it and
// adding the next in the same handler changes the tray item's picture, tip and menu in place, so
// hosts see one item and no flicker. Its clicks come back to its window as the mouse messages
// Windows would send.
//
// Many StatusNotifierItem hosts (Xfce's Status Tray, Plasma's, GNOME's AppIndicator extension)
// show the item's exported menu instead of passing a right click on, and GNOME's shows it on
// a left click too. That menu offers what the clicks do: on a lamp that opens the door, its
// left click ("弹出光驱") and then its form's popup menu, item for item; on the open-door lamp,
// whose right click closes the door, that one command. Hosts that pass right clicks on
// (ContextMenu, XEmbed trays) get the clicks, paired as TrayClickPairs says.
class TrayIcons final : public QObject {
 public:
  explicit TrayIcons(const HandleTable& handles);

  // Fails when the desktop has no tray, when an icon is there already or when the record
  // names an icon that does not exist. Without a tray the user is told once.
  bool Add(const TrayIconRecord& record);
  bool Delete(const TrayIconRecord& record);

 private:
  using Key = std::pair<WindowHandle, std::uint32_t>;

  bool CreateTrayIcon();
  void OnTrayMayHaveAppeared();
  void ExportMenuOf(WindowHandle window);
  void HideIfDeleted();
  void WatchXEmbedDoubleClicks();
  bool eventFilter(QObject* watched, QEvent* event) override;
  void OnActivated(QSystemTrayIcon::ActivationReason reason);
  void OnClick(WindowHandle window, TrayClick click);
  void OnNoSecondRightClick();
  void Deliver(WindowHandle window, std::int16_t code);

  const HandleTable& handles_;
  std::unique_ptr<QMenu> exportedMenu_;
  std::unique_ptr<QSystemTrayIcon> trayIcon_;
  std::optional<Key> shown_;
  // The window that hears the clicks: the shown icon's, when its record asked for them.
  std::optional<WindowHandle> clickWindow_;
  TrayClickPairs clickPairs_;
  QTimer secondRightClickTime_;
  // Until there is a tray: the window of the icon that could not be added, and the watch for
  // a tray.
  std::optional<WindowHandle> waitingWindow_;
  std::unique_ptr<TrayWatch> trayWatch_;
  bool toldNoTray_ = false;
  // Started when a tray came after the notice with XEmbed alone.
  QElapsedTimer hostGrace_;
};

}  // namespace lumivo
