#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumivo {

// Lumivo gives the optical drives the letters Windows would, D: for the first (C: being the
// system disk), E: for the next, and so on, in the order of their device names.
inline constexpr char kFirstOpticalLetter = 'D';
inline constexpr std::uint32_t kDriveTypeNoRootDirectory = 1;

// Whether device a comes before device b: numbers in the names are compared by value, so
// /dev/sr2 comes before /dev/sr10.
bool DeviceNameBefore(std::string_view a, std::string_view b);

// Which optical drive a drive ("E:") or root path ("E:\") names: 0 for D:, 1 for E:, ...;
// nothing for another letter or form.
std::optional<std::size_t> OpticalDriveIndex(std::string_view drive);

// The letter of the optical drive at that index; nothing past Z:.
std::optional<char> OpticalDriveLetter(std::size_t index);

// GetDriveTypeA of a root path when the system has that many optical drives: a CD-ROM drive
// for their letters, no drive for every other.
std::uint32_t DriveTypeOf(std::string_view rootPath, std::size_t opticalDriveCount);

// The device whose door the MCI commands move: $LUMIVO_CDROM when set, else /dev/cdrom when it
// exists, else the first of the system's optical drives (their devices in letter order);
// nothing when there is none.
std::optional<std::string> DoorDevice(std::span<const std::string> drives);

// Whether two device paths name the same file, links followed (/dev/cdrom and /dev/sr0).
bool SameDevice(const std::string& a, const std::string& b);

}  // namespace lumivo
