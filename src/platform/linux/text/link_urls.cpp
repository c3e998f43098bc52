#include "platform/linux/text/link_urls.h"

#include <array>
#include <string_view>

#include "platform/linux/text/ascii_text.h"
#include "platform/linux/text/code_pages.h"

namespace lumivo {
namespace {

constexpr std::array<std::string_view, 3> kSchemes = {"http:", "https:", "mailto:"};
constexpr std::string_view kUnsafeAscii = " \"<>\\^`{|}";

bool HasOpenableScheme(std::string_view link) {
  for (const std::string_view scheme : kSchemes) {
    if (link.size() > scheme.size() && EqualsIgnoringCase(link.substr(0, scheme.size()), scheme)) {
      return true;
    }
  }
  return false;
}

bool NeedsEncoding(unsigned char byte) {
  return byte < 0x21 || byte > 0x7E ||
         kUnsafeAscii.find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> DesktopUrl(std::string_view ansiLink) {
  if (!HasOpenableScheme(ansiLink)) return std::nullopt;
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  std::string url;
  for (const char c : GbkToUtf8(ansiLink)) {
    const auto byte = static_cast<unsigned char>(c);
    if (NeedsEncoding(byte)) {
      url += '%';
      url += kHexDigits[byte >> 4];
      url += kHexDigits[byte & 0xF];
    } else {
      url += c;
    }
  }
  return url;
}

}  // namespace lumivo
