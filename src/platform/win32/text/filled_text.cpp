#include "platform/win32/windows_api.h"

#include "platform/win32/text/filled_text.h"

#include <algorithm>

#include "platform/win32/text/wide_text.h"

namespace lumivo {

std::u16string ReadFilledText(TextFiller fill) {
  std::u16string text(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = fill(AsWide(text), static_cast<DWORD>(text.size()));
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(std::max<std::size_t>(length, text.size() * 2));
  }
}

}  // namespace lumivo
