#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

#include "platform/linux/services/door_command.h"

namespace lumivo {

// A door moved by `lumivo --door` is told to the running copy over the session bus, so that
// its lamp follows even where the drive does not tell where its tray is. The running copy owns
// this name and hears the move at this object.
inline constexpr char kDoorNoticeService[] = "example.norbek.Lumivo";
inline constexpr char kDoorNoticePath[] = "/example/norbek/Lumivo";
inline constexpr char kDoorNoticeInterface[] = "example.norbek.Lumivo.Door";

// The running copy's end: owns the name on the session bus, when the session has one, passes
// each notice on and answers what its lamp shows (on the GUI thread).
class DoorNoticeReceiver final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "example.norbek.Lumivo.Door")

 public:
  using Listener = std::function<void(const std::string& device, DoorState state)>;
  // Where the lamp shows the door of that device: unknown for another drive's.
  using LampReader = std::function<DoorState(const std::string& device)>;

  DoorNoticeReceiver(Listener listener, LampReader lampReader);

 public slots:
  // device: the path the mover opened; open: whether it opened or closed the door.
  Q_SCRIPTABLE void DoorMoved(const QString& device, bool open);
  // "open", "closed", or "" where the lamp is not that drive's.
  Q_SCRIPTABLE QString LampDoor(const QString& device);

 private:
  Listener listener_;
  LampReader lampReader_;
};

// The mover's end: tells the running copy, if any, that the door of that device is now open or
// closed, and waits a moment for it to take the notice.
void NoticeDoorMoved(const std::string& device, DoorState state);

// Where the running copy's lamp shows the door of that device; unknown without a copy.
DoorState AskLampDoor(const std::string& device);

}  // namespace lumivo
