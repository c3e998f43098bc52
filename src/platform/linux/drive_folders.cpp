#include "platform/linux/drive_folders.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <QVariantMap>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/linux/dbus_calls.h"
#include "platform/linux/mount_table.h"
#include "platform/linux/optical_drives.h"

namespace lumivo {
namespace {

// Mounting may ask the user to authenticate.
constexpr std::chrono::minutes kMountTime{1};

std::optional<std::string> MountedFolder(const std::vector<std::string>& deviceNames) {
  QFile mounts(QStringLiteral("/proc/self/mounts"));
  if (!mounts.open(QIODevice::ReadOnly)) return std::nullopt;
  return MountPointOf(mounts.readAll().toStdString(), deviceNames);
}

// UDisks2 names a block device's object after the node's name: .../block_devices/sr0.
std::optional<std::string> Mount(const std::filesystem::path& node) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.UDisks2"),
      QStringLiteral("/org/freedesktop/UDisks2/block_devices/") +
          QString::fromStdString(node.filename().string()),
      QStringLiteral("org.freedesktop.UDisks2.Filesystem"), QStringLiteral("Mount"));
  call << QVariantMap{};
  const QDBusMessage reply = CallSystemBus(call, kMountTime);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    return std::nullopt;
  }
  return reply.arguments().constFirst().toString().toStdString();
}

}  // namespace

bool OpenDriveFolder(char letter) {
  const std::vector<std::string> drives = SystemOpticalDrives();
  const auto index = static_cast<std::size_t>(letter - kFirstOpticalLetter);
  if (letter < kFirstOpticalLetter || index >= drives.size()) return false;
  std::error_code error;
  const std::filesystem::path node = std::filesystem::canonical(drives[index], error);
  if (error) return false;
  std::optional<std::string> folder = MountedFolder({drives[index], node.string()});
  if (!folder) folder = Mount(node);
  return folder && QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(*folder)));
}

}  // namespace lumivo
