#pragma once

#include <string>
#include <string_view>

namespace lumivo {

// The program's ANSI code page is GBK (936) on Linux too: the logic counts the tray tip's
// bytes in it. Converted by Qt's codecs (ICU's windows-936, Windows' own table): characters
// GBK lacks become '?', as Windows makes them; a byte sequence that is no GBK character becomes
// U+FFFD, and a character cut off at the end is left out.
std::string Utf16ToGbk(std::u16string_view text);
std::string GbkToUtf8(std::string_view gbk);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace lumivo
