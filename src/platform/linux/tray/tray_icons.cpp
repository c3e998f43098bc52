#include "platform/linux/tray/tray_icons.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>

#include "platform/linux/forms/desktop_notice.h"
#include "platform/linux/forms/form_frame.h"
#include "platform/linux/forms/picture_box.h"
#include "platform/linux/services/session_bus.h"
#include "platform/linux/tray/tray_presence.h"
#include "platform/linux/tray/tray_tip.h"

namespace lumivo {
namespace {

// The only callback message the run-time reports to the form: a mouse move.
constexpr std::uint32_t kMouseMoveMessage = 512;

// How long a tray that comes with XEmbed alone is given to bring a StatusNotifierItem host.
// A panel that has both may take the XEmbed selection first: Xfce's registers its host about a
// tenth of a second later.
constexpr int kHostGraceMs = 5000;

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

TrayIcons::TrayIcons(const HandleTable& handles) : handles_(handles) {
  secondRightClickTime_.setSingleShot(true);
  QObject::connect(&secondRightClickTime_, &QTimer::timeout, this,
                   &TrayIcons::OnNoSecondRightClick);
}

bool TrayIcons::Add(const TrayIconRecord& record) {
  if (shown_) return false;
  const QIcon* icon = handles_.Icon(record.icon);
  if ((record.flags & kTrayRecordIcon) != 0 && icon == nullptr) return false;
  if (!trayIcon_ && !CreateTrayIcon()) {
    waitingWindow_ = record.window;
    return false;
  }

  if (icon != nullptr) trayIcon_->setIcon(*icon);
  trayIcon_->setToolTip((record.flags & kTrayRecordTip) != 0
                            ? QString::fromStdString(TrayTipText(record))
                            : QString());
  const bool hearsClicks =
      (record.flags & kTrayRecordMessage) != 0 && record.callbackMessage == kMouseMoveMessage;
  clickWindow_ = hearsClicks ? std::optional(record.window) : std::nullopt;
  if (exportedMenu_) ExportMenuOf(hearsClicks ? record.window : 0);
  shown_ = Key{record.window, record.id};
  trayIcon_->show();
  if (!exportedMenu_) WatchXEmbedDoubleClicks();
  return true;
}

// The item stays on the tray until the event loop next runs: an Add in the same handler
// takes it over.
bool TrayIcons::Delete(const TrayIconRecord& record) {
  if (shown_ != Key{record.window, record.id}) return false;
  shown_.reset();
  clickWindow_.reset();
  QMetaObject::invokeMethod(this, &TrayIcons::HideIfDeleted, Qt::QueuedConnection);
  return true;
}

// Qt picks its tray once, when the first tray icon is made, and keeps it: made while the
// desktop has none, it would never use a StatusNotifierItem host that comes later. So it is
// made only once a tray is there, and a tray that comes later with XEmbed alone gets the
// grace above to bring its host; until then the logic's retries land here.
bool TrayIcons::CreateTrayIcon() {
  const TrayPresence trays = CurrentTrays();
  if (!trays.Any()) {
    if (!toldNoTray_) {
      toldNoTray_ = true;
      ShowNotice(QStringLiteral(
          "Lumivo找不到系统托盘（通知区域），光驱图标暂时无法显示。托盘出现后图标会自动显示；"
          "热键照常可用。"));
      trayWatch_ = std::make_unique<TrayWatch>();
      QObject::connect(trayWatch_.get(), &TrayWatch::MayHaveAppeared, this,
                       &TrayIcons::OnTrayMayHaveAppeared, Qt::QueuedConnection);
    }
    return false;
  }
  if (!trays.statusNotifierHost && toldNoTray_ && SessionBusGiven()) {
    if (!hostGrace_.isValid()) {
      hostGrace_.start();
      QTimer::singleShot(kHostGraceMs, this, &TrayIcons::OnTrayMayHaveAppeared);
    }
    if (!hostGrace_.hasExpired(kHostGraceMs)) return false;
  }
  trayWatch_.reset();
  waitingWindow_.reset();
  trayIcon_ = std::make_unique<QSystemTrayIcon>();
  QObject::connect(trayIcon_.get(), &QSystemTrayIcon::activated, this, &TrayIcons::OnActivated);
  // An XEmbed tray passes every click on; a menu there would pop up beside the program's own.
  if (trays.statusNotifierHost) {
    exportedMenu_ = std::make_unique<QMenu>();
    trayIcon_->setContextMenu(exportedMenu_.get());
  }
  return true;
}

// The host window's picture says which lamp it is; an icon that hears no clicks offers
// nothing. A command of the exported menu acts after the host's menu request has returned, as
// the clicks do.
void TrayIcons::ExportMenuOf(WindowHandle window) {
  exportedMenu_->clear();
  const auto* host = qobject_cast<PictureBox*>(handles_.Window(window));
  if (host == nullptr) return;
  if (host->Shows() == Picture::OpenDoorLamp) {
    QObject::connect(exportedMenu_->addAction(QStringLiteral("关闭光驱")), &QAction::triggered,
                     this, [this, window] { OnClick(window, TrayClick::Right); });
    return;
  }
  QObject::connect(exportedMenu_->addAction(QStringLiteral("弹出光驱")), &QAction::triggered, this,
                   [this, window] { OnClick(window, TrayClick::Left); });
  exportedMenu_->addSeparator();
  const QPointer<FormFrame> frame = qobject_cast<FormFrame*>(host->window());
  if (frame.isNull() || frame->Menu() == nullptr) return;
  for (const QAction* item : frame->Menu()->actions()) {
    if (item->isSeparator()) {
      exportedMenu_->addSeparator();
      continue;
    }
    QObject::connect(exportedMenu_->addAction(item->text()), &QAction::triggered, this,
                     [frame, id = item->data().toInt()] {
                       QMetaObject::invokeMethod(
                           frame, [frame, id] { frame->ChooseMenuItem(id); }, Qt::QueuedConnection);
                     });
  }
}

// A tray that comes is heard at once: the form whose icon waits is told, as a Windows form
// hears that the taskbar was created, and adds its icon again.
void TrayIcons::OnTrayMayHaveAppeared() {
  if (trayIcon_ || !waitingWindow_ || !CurrentTrays().Any()) return;
  const QWidget* host = handles_.Window(*waitingWindow_);
  if (auto* frame = host != nullptr ? qobject_cast<FormFrame*>(host->window()) : nullptr) {
    frame->AnnounceTray();
  }
}

void TrayIcons::HideIfDeleted() {
  if (!shown_ && trayIcon_) trayIcon_->hide();
}

// Qt's XEmbed icon, a widget it names QSystemTrayIconSys, takes the second press of a quick
// pair for a double click and reports that only for the left button: the right and middle
// ones are heard here, and count as the clicks they are.
void TrayIcons::WatchXEmbedDoubleClicks() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("QSystemTrayIconSys")) {
      widget->installEventFilter(this);
    }
  }
}

bool TrayIcons::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    if (button == Qt::RightButton) OnActivated(QSystemTrayIcon::Context);
    if (button == Qt::MiddleButton) OnActivated(QSystemTrayIcon::MiddleClick);
  }
  return QObject::eventFilter(watched, event);
}

void TrayIcons::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  const auto click = ClickOf(reason);
  if (click && clickWindow_) OnClick(*clickWindow_, *click);
}

// Each message is handled in an event of its own, after the tray's signal has returned: the
// logic swaps the icon that was clicked, and the menu runs an event loop.
void TrayIcons::OnClick(WindowHandle window, TrayClick click) {
  for (const std::int16_t code : clickPairs_.Click(window, click)) {
    QMetaObject::invokeMethod(
        this, [this, window, code] { Deliver(window, code); }, Qt::QueuedConnection);
  }
  if (clickPairs_.AwaitsSecondRightClick()) {
    secondRightClickTime_.start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
  } else {
    secondRightClickTime_.stop();
  }
}

void TrayIcons::OnNoSecondRightClick() {
  if (const auto window = clickPairs_.ExpireRightClick()) {
    Deliver(*window, TrayClickPairs::kRightDoubleClick);
  }
}

// The window may have gone meanwhile; then the message goes nowhere, as on Windows.
void TrayIcons::Deliver(WindowHandle window, std::int16_t code) {
  if (auto* host = qobject_cast<PictureBox*>(handles_.Window(window))) {
    host->ReportMouseMessage(code);
  }
}

}  // namespace lumivo
