#pragma once

#include "platform/win32/windows_api.h"

#include <string>

namespace lumivo {

// A Windows function that fills a text buffer of a given size. It returns the length it wrote,
// or when the buffer is too small the size it needs (or, as GetModuleFileNameW does, the
// buffer's size); 0 when it fails.
using TextFiller = DWORD (*)(wchar_t* buffer, DWORD size);

// The whole text such a function gives, however long; empty when it fails.
std::u16string ReadFilledText(TextFiller fill);

}  // namespace lumivo
