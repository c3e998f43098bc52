#include "platform/linux/mount_table.h"

#include <algorithm>

#include "platform/linux/ascii_text.h"

namespace lumivo {
namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// "\040" and the like back to the byte they stand for.
std::string Unescape(std::string_view field) {
  std::string text;
  for (std::size_t at = 0; at < field.size(); ++at) {
    if (field[at] == '\\' && at + 3 < field.size() && IsOctal(field[at + 1]) &&
        IsOctal(field[at + 2]) && IsOctal(field[at + 3])) {
      text += static_cast<char>((field[at + 1] - '0') * 64 + (field[at + 2] - '0') * 8 +
                                (field[at + 3] - '0'));
      at += 3;
    } else {
      text += field[at];
    }
  }
  return text;
}

}  // namespace

std::optional<std::string> MountPointOf(std::string_view mounts,
                                        std::span<const std::string> deviceNames) {
  while (!mounts.empty()) {
    const std::size_t end = std::min(mounts.find('\n'), mounts.size());
    const auto fields = Words(mounts.substr(0, end));
    mounts.remove_prefix(std::min(end + 1, mounts.size()));
    if (fields.size() < 2) continue;
    if (std::ranges::find(deviceNames, Unescape(fields[0])) != deviceNames.end()) {
      return Unescape(fields[1]);
    }
  }
  return std::nullopt;
}

}  // namespace lumivo
