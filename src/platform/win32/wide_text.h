#pragma once

#include <string>
#include <string_view>

namespace lumivo {

// wchar_t is UTF-16 on Windows, so the logic's texts convert unit for unit.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace lumivo
