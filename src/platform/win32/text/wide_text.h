#pragma once

#include <string>
#include <string_view>

namespace lumivo {

// wchar_t is UTF-16 on Windows, so the logic's texts are passed to the wide functions as they
// are, with no copy into a std::wstring.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

// A NUL-terminated text, or a buffer for a function to fill.
inline const wchar_t* AsWide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline wchar_t* AsWide(std::u16string& text) { return reinterpret_cast<wchar_t*>(text.data()); }

// The characters of a text that need not end in NUL, for functions that take its length.
inline const wchar_t* WideChars(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

}  // namespace lumivo
