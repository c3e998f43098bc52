#include "platform/linux/services/system_requests.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <vector>

#include "platform/linux/services/door_moves.h"
#include "platform/linux/services/network_connections.h"
#include "platform/linux/services/optical_drives.h"
#include "platform/linux/services/service_messages.h"
#include "platform/linux/services/udisks2_drives.h"

namespace lumivo {
namespace {

std::u16string Text(const QString& text) { return text.toStdU16String(); }

DriveName NameOf(std::optional<std::size_t> index, const std::string& device) {
  return {index ? OpticalDriveLetter(*index) : std::nullopt,
          Text(QFile::decodeName(QByteArray::fromStdString(device)))};
}

// Where there is no drive at all the door commands change nothing and say nothing, as MCI's;
// only an eject that fails is told: a drive that cannot pull its tray in (a laptop's) refuses
// every close.
std::optional<std::u16string> MoveDriveDoor(DoorMove move) {
  const std::vector<OpticalDrive> drives = ListOpticalDrives();
  std::vector<std::string> devices;
  for (const OpticalDrive& drive : drives) devices.push_back(drive.device);
  const auto device = DoorDevice(devices);
  if (!device) return std::nullopt;
  const auto failure = MoveOpticalDoor(drives, *device, move);
  if (!failure) return std::nullopt;
  const DriveName name = NameOf(FindDrive(drives, *device), *device);
  using Kind = DoorMoveFailure::Kind;
  switch (failure->kind) {
    case Kind::Missing:
      return std::nullopt;
    case Kind::DiscInUse:
      return DiscInUseMessage(name);
    case Kind::UnmountFailed:
      return UnmountFailedMessage(name, Text(failure->detail));
    case Kind::NotOptical:
    case Kind::Refused:
      if (move == DoorMove::Close) return std::nullopt;
      return EjectFailedMessage(name, failure->error == EBUSY, Text(failure->detail));
  }
  return std::nullopt;
}

// The folder of the disc in a drive, mounted when it is not yet; or what stands in the way.
struct DriveFolder {
  DriveName drive;
  QString folder;
  std::optional<std::u16string> problem;
};

DriveFolder FindDriveFolder(char letter) {
  const std::vector<OpticalDrive> drives = ListOpticalDrives();
  const auto index = OpticalDriveIndex(std::string{letter, ':'});
  if (!index || *index >= drives.size()) return {{}, {}, NoSuchDriveMessage(letter)};
  const OpticalDrive& drive = drives[*index];
  DriveFolder found{NameOf(index, drive.device), {}, std::nullopt};
  if (!drive.hasDisc)
    found.problem = NoDiscMessage(found.drive);
  else if (drive.filesystems.empty())
    found.problem = NoFolderOnDiscMessage(found.drive);
  if (found.problem) return found;
  for (const DiscFilesystem& filesystem : drive.filesystems) {
    if (!filesystem.mountPoints.isEmpty()) {
      found.folder = filesystem.mountPoints.constFirst();
      return found;
    }
  }
  const auto mounted = Mount(drive.filesystems.front());
  if (const auto* error = std::get_if<QDBusError>(&mounted)) {
    found.problem = MountFailedMessage(found.drive, Text(error->message()));
  } else {
    found.folder = std::get<QString>(mounted);
  }
  return found;
}

}  // namespace

SystemRequests::SystemRequests(Reporter reporter)
    : reporter_(std::move(reporter)),
      drives_(new DriveList(worker_.Context())),
      doorWatch_(new DoorWatch(worker_.Context(), *drives_,
                               [this](DoorState state) { OnDoorRead(state); })) {}

void SystemRequests::MoveDoor(DoorMove move) {
  if (move == lastDoorMove_ && doorMovesPosted_ > doorMovesBegun_.load()) return;
  const std::uint64_t number = ++doorMovesPosted_;
  lastDoorMove_ = move;
  worker_.Post([this, move, number]() -> ServiceWorker::Outcome {
    doorMovesBegun_ = number;
    auto message = MoveDriveDoor(move);
    doorWatch_->Forget();
    if (message) return ReportLater(std::move(*message));
    return {};
  });
}

std::optional<std::string> SystemRequests::LampDevice() const {
  return DoorDevice(drives_->Devices());
}

void SystemRequests::WatchDoor(DoorListener listener) {
  doorListener_ = std::move(listener);
  doorWatch_->Start();
}

void SystemRequests::OnDoorRead(DoorState state) {
  const std::uint64_t movesBegun = doorMovesBegun_.load();
  worker_.HandBack([this, state, movesBegun] {
    if (movesBegun == doorMovesPosted_) doorListener_(state);
  });
}

// The file manager is started from the GUI thread, where Qt's desktop services belong.
void SystemRequests::BrowseDrive(char letter) {
  worker_.Post([this, letter]() -> ServiceWorker::Outcome {
    DriveFolder found = FindDriveFolder(letter);
    if (found.problem) return ReportLater(std::move(*found.problem));
    return [this, found = std::move(found)] {
      if (!QDesktopServices::openUrl(QUrl::fromLocalFile(found.folder))) {
        Report(FolderNotOpenedMessage(found.drive, Text(found.folder)));
      }
    };
  });
}

void SystemRequests::BringUpConnection(const std::string& name) {
  worker_.Post([this, name]() -> ServiceWorker::Outcome {
    if (auto message = BringUpNetworkConnection(QString::fromStdString(name))) {
      return ReportLater(std::move(*message));
    }
    return {};
  });
}

void SystemRequests::Report(const std::u16string& message) {
  if (!shown_.insert(message).second) return;
  reporter_(message);
  shown_.erase(message);
}

ServiceWorker::Outcome SystemRequests::ReportLater(std::u16string message) {
  return [this, message = std::move(message)] { Report(message); };
}

}  // namespace lumivo
