#include "platform/linux/services/optical_drives.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lumivo {
namespace {

constexpr std::uint32_t kDriveTypeCdRom = 5;
constexpr char kLastLetter = 'Z';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The run of digits at the start of a text, without its leading zeros.
std::string_view Number(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && IsDigit(text[end])) ++end;
  std::string_view digits = text.substr(0, end);
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

std::size_t DigitCount(std::string_view text) {
  std::size_t count = 0;
  while (count < text.size() && IsDigit(text[count])) ++count;
  return count;
}

}  // namespace

bool DeviceNameBefore(std::string_view a, std::string_view b) {
  while (!a.empty() && !b.empty()) {
    if (IsDigit(a.front()) && IsDigit(b.front())) {
      const std::string_view x = Number(a), y = Number(b);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      a.remove_prefix(DigitCount(a));
      b.remove_prefix(DigitCount(b));
      continue;
    }
    if (a.front() != b.front()) return a.front() < b.front();
    a.remove_prefix(1);
    b.remove_prefix(1);
  }
  return a.empty() && !b.empty();
}

std::optional<std::size_t> OpticalDriveIndex(std::string_view drive) {
  if (drive.size() < 2 || drive.size() > 3 || drive[1] != ':') return {};
  if (drive.size() == 3 && drive[2] != '\\' && drive[2] != '/') return {};
  const char letter = Upper(drive[0]);
  if (letter < kFirstOpticalLetter || letter > kLastLetter) return {};
  return static_cast<std::size_t>(letter - kFirstOpticalLetter);
}

std::optional<char> OpticalDriveLetter(std::size_t index) {
  if (index > static_cast<std::size_t>(kLastLetter - kFirstOpticalLetter)) return std::nullopt;
  return static_cast<char>(kFirstOpticalLetter + index);
}

std::uint32_t DriveTypeOf(std::string_view rootPath, std::size_t opticalDriveCount) {
  const auto index = OpticalDriveIndex(rootPath);
  return index && *index < opticalDriveCount ? kDriveTypeCdRom : kDriveTypeNoRootDirectory;
}

std::optional<std::string> DoorDevice(std::span<const std::string> drives) {
  if (const char* chosen = std::getenv("LUMIVO_CDROM"); chosen != nullptr && *chosen != '\0') {
    return chosen;
  }
  std::error_code error;
  if (std::filesystem::exists("/dev/cdrom", error)) return "/dev/cdrom";
  if (drives.empty()) return std::nullopt;
  return drives.front();
}

bool SameDevice(const std::string& a, const std::string& b) {
  std::error_code error;
  return a == b || std::filesystem::equivalent(a, b, error);
}

}  // namespace lumivo
