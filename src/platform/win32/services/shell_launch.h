#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumivo {

// The one way the program starts programs: the program named first in the command line, found
// in the system's folders, with the command line as given and the system folder as its current
// folder; its process id, or nothing when it was not found or did not start.
std::optional<std::uint32_t> LaunchProgram(std::u16string_view commandLine, int windowStyle);

}  // namespace lumivo
