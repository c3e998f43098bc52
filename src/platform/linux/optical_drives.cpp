#include "platform/linux/optical_drives.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lumivo {
namespace {

constexpr std::string_view kDeviceFolder = "/dev";
constexpr std::string_view kOpticalPrefix = "sr";
constexpr std::uint32_t kDriveTypeCdRom = 5;

// The number of an "srN" name; nothing for any other name.
std::optional<unsigned long> OpticalNumber(std::string_view name) {
  if (!name.starts_with(kOpticalPrefix) || name.size() == kOpticalPrefix.size()) return {};
  const std::string_view digits = name.substr(kOpticalPrefix.size());
  if (!std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; })) return {};
  if (digits.size() > 1 && digits[0] == '0') return {};
  return std::strtoul(std::string(digits).c_str(), nullptr, 10);
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::vector<std::string> OpticalDriveNames(std::vector<std::string> entryNames) {
  std::erase_if(entryNames, [](const std::string& name) { return !OpticalNumber(name); });
  std::ranges::sort(entryNames, {}, [](const std::string& name) { return *OpticalNumber(name); });
  return entryNames;
}

std::optional<std::size_t> OpticalDriveIndex(std::string_view drive) {
  if (drive.size() < 2 || drive.size() > 3 || drive[1] != ':') return {};
  if (drive.size() == 3 && drive[2] != '\\' && drive[2] != '/') return {};
  const char letter = Upper(drive[0]);
  if (letter < kFirstOpticalLetter || letter > 'Z') return {};
  return static_cast<std::size_t>(letter - kFirstOpticalLetter);
}

std::uint32_t DriveTypeOf(std::string_view rootPath, std::size_t opticalDriveCount) {
  const auto index = OpticalDriveIndex(rootPath);
  return index && *index < opticalDriveCount ? kDriveTypeCdRom : kDriveTypeNoRootDirectory;
}

std::vector<std::string> SystemOpticalDrives() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kDeviceFolder, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::vector<std::string> paths;
  for (const std::string& name : OpticalDriveNames(std::move(names))) {
    paths.push_back(std::string(kDeviceFolder) + "/" + name);
  }
  return paths;
}

std::optional<std::string> DefaultDoorDrive() {
  if (const char* chosen = std::getenv("LUMIVO_CDROM"); chosen != nullptr && *chosen != '\0') {
    return chosen;
  }
  std::error_code error;
  if (std::filesystem::exists("/dev/cdrom", error)) return "/dev/cdrom";
  const auto drives = SystemOpticalDrives();
  if (drives.empty()) return std::nullopt;
  return drives.front();
}

}  // namespace lumivo
