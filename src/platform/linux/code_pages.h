#pragma once

#include <string>
#include <string_view>

namespace lumivo {

// The program's ANSI code page is GBK (936) on Linux too: the logic counts the tray tip's
// bytes in it. Characters GBK lacks become '?', as Windows makes them; bytes that are not GBK
// are left out of the UTF-8.
std::string Utf16ToGbk(std::u16string_view text);
std::string GbkToUtf8(std::string_view gbk);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace lumivo
