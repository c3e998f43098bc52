#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumivo {

// The folder where a device is mounted, read from the text of /proc/self/mounts, whose fields
// escape blanks and backslashes in octal; the device may be named by any of its names (a link
// such as /dev/cdrom, or the node it points to). The first mount wins.
std::optional<std::string> MountPointOf(std::string_view mounts,
                                        std::span<const std::string> deviceNames);

}  // namespace lumivo
