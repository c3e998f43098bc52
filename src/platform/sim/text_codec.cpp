#include "platform/sim/text_codec.h"

#include <iconv.h>

#include <stdexcept>

namespace lumivo::sim {
namespace {

std::string Convert(const char* to, const char* from, std::string_view input) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no converter");
  std::string output(input.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1)) throw std::runtime_error("text not convertible");
  output.resize(output.size() - outLeft);
  return output;
}

std::string_view Bytes(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

}  // namespace

std::string ToGbk(std::u16string_view text) { return Convert("GBK", "UTF-16LE", Bytes(text)); }

std::string GbkToUtf8(std::string_view gbk) { return Convert("UTF-8", "GBK", gbk); }

std::string ToUtf8(std::u16string_view text) { return Convert("UTF-8", "UTF-16LE", Bytes(text)); }

}  // namespace lumivo::sim
