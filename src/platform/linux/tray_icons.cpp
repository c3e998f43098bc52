#include "platform/linux/tray_icons.h"

#include <optional>

#include "platform/linux/picture_box.h"
#include "platform/linux/tray_tip.h"

namespace lumivo {
namespace {

// The only callback message the run-time reports to the form: a mouse move.
constexpr std::uint32_t kMouseMoveMessage = 512;

std::optional<TrayClick> ClickOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return TrayClick::Left;
    case QSystemTrayIcon::DoubleClick:
      return TrayClick::LeftDouble;
    case QSystemTrayIcon::Context:
      return TrayClick::Right;
    case QSystemTrayIcon::MiddleClick:
      return TrayClick::Middle;
    case QSystemTrayIcon::Unknown:
      break;
  }
  return std::nullopt;
}

}  // namespace

TrayIcons::TrayIcons(const HandleTable& handles) : handles_(handles) {}

bool TrayIcons::Add(const TrayIconRecord& record) {
  const Key key{record.window, record.id};
  if (icons_.contains(key) || !QSystemTrayIcon::isSystemTrayAvailable()) return false;
  const QIcon* icon = handles_.Icon(record.icon);
  if ((record.flags & kTrayRecordIcon) != 0 && icon == nullptr) return false;

  auto trayIcon = std::unique_ptr<QSystemTrayIcon, DeleteLater>(new QSystemTrayIcon);
  if (icon != nullptr) trayIcon->setIcon(*icon);
  if ((record.flags & kTrayRecordTip) != 0) {
    trayIcon->setToolTip(QString::fromStdString(TrayTipText(record)));
  }
  if ((record.flags & kTrayRecordMessage) != 0 && record.callbackMessage == kMouseMoveMessage) {
    QObject::connect(trayIcon.get(), &QSystemTrayIcon::activated, this,
                     [this, window = record.window](QSystemTrayIcon::ActivationReason reason) {
                       if (const auto click = ClickOf(reason)) OnClick(window, *click);
                     });
  }
  trayIcon->show();
  icons_.emplace(key, std::move(trayIcon));
  return true;
}

bool TrayIcons::Delete(const TrayIconRecord& record) {
  const auto found = icons_.find({record.window, record.id});
  if (found == icons_.end()) return false;
  found->second->hide();
  icons_.erase(found);
  return true;
}

// Each message is handled in an event of its own, after the tray's signal has returned: the
// logic swaps (deletes) the icon that was clicked, and the menu runs an event loop.
void TrayIcons::OnClick(WindowHandle window, TrayClick click) {
  for (const std::int16_t code : NotificationCodes(click)) {
    QMetaObject::invokeMethod(
        this, [this, window, code] { Deliver(window, code); }, Qt::QueuedConnection);
  }
}

// The window may have gone meanwhile; then the message goes nowhere, as on Windows.
void TrayIcons::Deliver(WindowHandle window, std::int16_t code) {
  if (auto* host = qobject_cast<PictureBox*>(handles_.Window(window))) {
    host->ReportMouseMessage(code);
  }
}

}  // namespace lumivo
