#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusServiceWatcher>
#include <QObject>

#include <cstdint>
#include <memory>

namespace lumivo {

// Hears a notification area come: a StatusNotifierItem watcher or host registering on the
// session bus, or an XEmbed tray manager announcing its selection (the MANAGER client message
// on the root window, which Qt's windows already listen for). Each may be a tray; TrayPresence
// says whether it is.
class TrayWatch final : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  TrayWatch();
  ~TrayWatch() override;
  TrayWatch(const TrayWatch&) = delete;
  TrayWatch& operator=(const TrayWatch&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 signals:
  void MayHaveAppeared();

 private:
  std::unique_ptr<QDBusServiceWatcher> busWatch_;
  std::uint32_t managerAtom_ = 0;
  std::uint32_t selectionAtom_ = 0;
};

}  // namespace lumivo
