#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumivo {

// Windows compares command words, program names and paths without regard to ASCII case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// The words of a text, split at blanks.
std::vector<std::string_view> Words(std::string_view text);

}  // namespace lumivo
