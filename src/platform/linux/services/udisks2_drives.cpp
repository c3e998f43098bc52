#include "platform/linux/services/udisks2_drives.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QMap>
#include <QVariantMap>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/linux/services/dbus_calls.h"
#include "platform/linux/services/optical_drives.h"

namespace lumivo {
namespace {

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kDriveInterface = QStringLiteral("org.freedesktop.UDisks2.Drive");
const QString kBlockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kPartitionInterface = QStringLiteral("org.freedesktop.UDisks2.Partition");
const QString kFilesystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
constexpr std::chrono::seconds kListTime{10};
// Mounting and unmounting may ask the user to authenticate.
constexpr std::chrono::minutes kMountTime{1};

// UDisks2 gives file names as NUL-terminated bytes (ay).
QString FileName(QByteArray bytes) {
  if (bytes.endsWith('\0')) bytes.chop(1);
  return QFile::decodeName(bytes);
}

QStringList FileNames(const QVariant& value) {
  QStringList names;
  for (const QByteArray& bytes : qdbus_cast<QByteArrayList>(value)) names << FileName(bytes);
  return names;
}

// An optical drive lists optical media among those it can take.
bool IsOptical(const QVariantMap& drive) {
  const QStringList media = drive.value(QStringLiteral("MediaCompatibility")).toStringList();
  return std::ranges::any_of(media, [](const QString& m) { return m.startsWith(u"optical"); });
}

std::string Canonical(const std::string& path) {
  std::error_code error;
  const auto canonical = std::filesystem::canonical(path, error);
  return error ? path : canonical.string();
}

QDBusMessage FilesystemCall(const DiscFilesystem& filesystem, const QString& method) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, filesystem.object, kFilesystemInterface, method);
  call << QVariantMap{};
  return call;
}

}  // namespace

std::vector<OpticalDrive> ListOpticalDrives() {
  const QDBusMessage call = QDBusMessage::createMethodCall(
      kService, QStringLiteral("/org/freedesktop/UDisks2"),
      QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"));
  const QDBusMessage reply = CallAndWait(QDBusConnection::systemBus(), call, kListTime);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  const auto objects = qdbus_cast<ManagedObjects>(reply.arguments().constFirst());

  QMap<QString, OpticalDrive> drives;  // by the drive's object
  for (auto object = objects.cbegin(); object != objects.cend(); ++object) {
    const QVariantMap drive = object->value(kDriveInterface);
    if (object->contains(kDriveInterface) && IsOptical(drive)) {
      drives[object.key().path()].hasDisc = drive.value(QStringLiteral("MediaAvailable")).toBool();
    }
  }
  for (auto object = objects.cbegin(); object != objects.cend(); ++object) {
    if (!object->contains(kBlockInterface)) continue;
    const QVariantMap block = object->value(kBlockInterface);
    const auto drive =
        drives.find(qdbus_cast<QDBusObjectPath>(block.value(QStringLiteral("Drive"))).path());
    if (drive == drives.end()) continue;
    if (!object->contains(kPartitionInterface)) {
      drive->device = FileName(block.value(QStringLiteral("Device")).toByteArray()).toStdString();
      drive->names = {drive->device};
      for (const QString& link : FileNames(block.value(QStringLiteral("Symlinks")))) {
        drive->names.push_back(link.toStdString());
      }
    }
    if (object->contains(kFilesystemInterface)) {
      drive->filesystems.push_back(
          {object.key().path(),
           FileNames(object->value(kFilesystemInterface).value(QStringLiteral("MountPoints")))});
    }
  }

  std::vector<OpticalDrive> found;
  for (const OpticalDrive& drive : drives) {
    if (!drive.device.empty()) found.push_back(drive);
  }
  std::ranges::sort(found, [](const OpticalDrive& a, const OpticalDrive& b) {
    return DeviceNameBefore(a.device, b.device);
  });
  return found;
}

std::optional<std::size_t> FindDrive(const std::vector<OpticalDrive>& drives,
                                     const std::string& device) {
  const std::string wanted = Canonical(device);
  for (std::size_t index = 0; index < drives.size(); ++index) {
    for (const std::string& name : drives[index].names) {
      if (name == device || Canonical(name) == wanted) return index;
    }
  }
  return std::nullopt;
}

std::optional<QDBusError> Unmount(const DiscFilesystem& filesystem) {
  const QDBusMessage reply =
      CallAndWait(QDBusConnection::systemBus(),
                  FilesystemCall(filesystem, QStringLiteral("Unmount")), kMountTime);
  if (reply.type() == QDBusMessage::ReplyMessage) return std::nullopt;
  return QDBusError(reply);
}

std::variant<QString, QDBusError> Mount(const DiscFilesystem& filesystem) {
  const QDBusMessage reply =
      CallAndWait(QDBusConnection::systemBus(), FilesystemCall(filesystem, QStringLiteral("Mount")),
                  kMountTime);
  if (reply.type() != QDBusMessage::ReplyMessage) return QDBusError(reply);
  if (reply.arguments().isEmpty() || reply.arguments().constFirst().toString().isEmpty()) {
    return QDBusError(QDBusError::InvalidSignature, QStringLiteral("no mount point"));
  }
  return reply.arguments().constFirst().toString();
}

}  // namespace lumivo
