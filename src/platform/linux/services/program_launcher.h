#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/linux/services/system_requests.h"

namespace lumivo {

// The run-time's Shell on Linux: the program's Windows command lines carried out the Linux
// way (see TranslateCommandLine). A drive's folder and a network connection are requests to
// the system, made afterwards, which tell their own failures. Nothing for a command line that
// could not be carried out; otherwise 0, as no process of the program's own is started.
std::optional<std::uint32_t> RunCommandLine(std::u16string_view commandLine,
                                            SystemRequests& requests);

}  // namespace lumivo
