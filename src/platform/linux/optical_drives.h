#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumivo {

// Linux names optical drives /dev/sr0, /dev/sr1, ...; Lumivo gives them the letters Windows
// would, D: for the first (C: being the system disk), E: for the next, and so on.
inline constexpr char kFirstOpticalLetter = 'D';
inline constexpr std::uint32_t kDriveTypeNoRootDirectory = 1;

// The optical drives among a folder's entry names ("sr0", "sr1", ...), in number order.
std::vector<std::string> OpticalDriveNames(std::vector<std::string> entryNames);

// Which optical drive a drive ("E:") or root path ("E:\") names: 0 for D:, 1 for E:, ...;
// nothing for another letter or form.
std::optional<std::size_t> OpticalDriveIndex(std::string_view drive);

// GetDriveTypeA of a root path when the system has that many optical drives: a CD-ROM drive
// for their letters, no drive for every other.
std::uint32_t DriveTypeOf(std::string_view rootPath, std::size_t opticalDriveCount);

// The device paths of the system's optical drives, in letter order.
std::vector<std::string> SystemOpticalDrives();

// The drive whose door the MCI commands move: $LUMIVO_CDROM when set, else /dev/cdrom,
// else the first optical drive; nothing when there is none.
std::optional<std::string> DefaultDoorDrive();

}  // namespace lumivo
