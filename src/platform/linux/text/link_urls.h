#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivo {

// A link as ShellExecuteA gets it (GBK bytes, not percent-encoded) as the URL a desktop's
// handler takes: UTF-8 with every byte outside printable ASCII percent-encoded. Only web and
// mail links are given; nothing for any other scheme, which could name a local program.
std::optional<std::string> DesktopUrl(std::string_view ansiLink);

}  // namespace lumivo
