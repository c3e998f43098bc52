#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumivo {

// The run-time's Shell on Linux: the program's Windows command lines carried out the Linux
// way (see TranslateCommandLine). Nothing for a command line that could not be carried out;
// otherwise 0, as no process of the program's own is started.
std::optional<std::uint32_t> RunCommandLine(std::u16string_view commandLine);

}  // namespace lumivo
