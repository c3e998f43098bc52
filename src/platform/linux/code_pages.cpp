#include "platform/linux/code_pages.h"

#include <iconv.h>

#include <cerrno>

namespace lumivo {
namespace {

// Converts with iconv, replacing each unit it cannot convert and stopping at an incomplete
// character at the end.
std::string Recode(const char* to, const char* from, std::string_view input, std::size_t unitSize,
                   std::string_view replacement) {
  iconv_t converter = ::iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
  std::string output;
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char buffer[256];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = ::iconv(converter, &in, &inLeft, &out, &outLeft);
    output.append(buffer, sizeof buffer - outLeft);
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    if (errno != EILSEQ || inLeft < unitSize) break;
    output.append(replacement);
    in += unitSize;
    inLeft -= unitSize;
  }
  ::iconv_close(converter);
  return output;
}

std::string_view Bytes(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

}  // namespace

std::string Utf16ToGbk(std::u16string_view text) {
  return Recode("GBK", "UTF-16LE", Bytes(text), sizeof(char16_t), "?");
}

std::string GbkToUtf8(std::string_view gbk) { return Recode("UTF-8", "GBK", gbk, 1, ""); }

std::string Utf16ToUtf8(std::u16string_view text) {
  return Recode("UTF-8", "UTF-16LE", Bytes(text), sizeof(char16_t), "\xEF\xBF\xBD");
}

}  // namespace lumivo
