#include "platform/linux/services/system_requests.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <system_error>
#include <vector>

#include "platform/linux/services/cdrom_door.h"
#include "platform/linux/services/network_connections.h"
#include "platform/linux/services/optical_drives.h"
#include "platform/linux/services/service_messages.h"
#include "platform/linux/services/udisks2_drives.h"

namespace lumivo {
namespace {

const QString kDeviceBusy = QStringLiteral("org.freedesktop.UDisks2.Error.DeviceBusy");

std::u16string Text(const QString& text) { return text.toStdU16String(); }

DriveName NameOf(std::optional<std::size_t> index, const std::string& device) {
  return {index ? OpticalDriveLetter(*index) : std::nullopt,
          Text(QFile::decodeName(QByteArray::fromStdString(device)))};
}

// Where there is no drive at all the door commands change nothing and say nothing, as MCI's.
bool IsMissingDrive(int error) { return error == ENOENT || error == ENXIO || error == ENODEV; }

// The kernel refuses to eject a drive with a mounted disc, so the disc's filesystems are
// unmounted first, as the desktops do. Only an eject that fails is told: a drive that cannot
// pull its tray in (a laptop's) refuses every close.
std::optional<std::u16string> MoveDriveDoor(DoorMove move) {
  const std::vector<OpticalDrive> drives = ListOpticalDrives();
  std::vector<std::string> devices;
  for (const OpticalDrive& drive : drives) devices.push_back(drive.device);
  const auto device = DoorDevice(devices);
  if (!device) return std::nullopt;
  const auto index = FindDrive(drives, *device);
  const DriveName name = NameOf(index, *device);
  if (move == DoorMove::Open && index) {
    for (const DiscFilesystem& filesystem : drives[*index].filesystems) {
      if (filesystem.mountPoints.isEmpty()) continue;
      if (const auto error = Unmount(filesystem)) {
        return error->name() == kDeviceBusy ? DiscInUseMessage(name)
                                            : UnmountFailedMessage(name, Text(error->message()));
      }
    }
  }
  const int error = MoveDoor(*device, move);
  if (move == DoorMove::Close || error == 0 || IsMissingDrive(error)) return std::nullopt;
  const std::string detail = std::generic_category().message(error);
  return EjectFailedMessage(name, error == EBUSY, Text(QString::fromStdString(detail)));
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
    : reporter_(std::move(reporter)), drives_(new DriveList(worker_.Context())) {}

void SystemRequests::MoveDoor(DoorMove move) {
  if (move == lastDoorMove_ && doorMovesPosted_ > doorMovesBegun_.load()) return;
  const std::uint64_t number = ++doorMovesPosted_;
  lastDoorMove_ = move;
  worker_.Post([this, move, number]() -> ServiceWorker::Outcome {
    doorMovesBegun_ = number;
    if (auto message = MoveDriveDoor(move)) return ReportLater(std::move(*message));
    return {};
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
