#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivo {

// What Lumivo says, in its own voice, when a system service lets one of its commands down.
// A drive is named by its letter, when it has one, and its device; details are the service's
// own words.
struct DriveName {
  std::optional<char> letter;
  std::u16string device;
};

std::u16string DiscInUseMessage(const DriveName& drive);
std::u16string UnmountFailedMessage(const DriveName& drive, std::u16string_view detail);
std::u16string EjectFailedMessage(const DriveName& drive, bool busy, std::u16string_view detail);
std::u16string NoDiscMessage(const DriveName& drive);
std::u16string NoFolderOnDiscMessage(const DriveName& drive);
std::u16string MountFailedMessage(const DriveName& drive, std::u16string_view detail);
std::u16string FolderNotOpenedMessage(const DriveName& drive, std::u16string_view folder);
std::u16string NoSuchDriveMessage(char letter);

std::u16string NoNetworkManagerMessage(std::u16string_view connection);
std::u16string NoSuchConnectionMessage(std::u16string_view connection);
std::u16string ConnectionRefusedMessage(std::u16string_view connection, std::u16string_view detail);

}  // namespace lumivo
