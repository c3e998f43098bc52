#pragma once

#include <string>
#include <string_view>

namespace lumivo::sim {

// The simulated system's ANSI code page is GBK (936), as on the program's target systems.
std::string ToGbk(std::u16string_view text);
std::string GbkToUtf8(std::string_view gbk);
std::string ToUtf8(std::u16string_view text);

}  // namespace lumivo::sim
