#pragma once

#include "platform/win32/windows_api.h"

#include <cstdint>

namespace lumivo {

// User and GDI handles carry 32 significant bits on 64-bit Windows too: the logic keeps the
// low half, and the full handle is its sign extension.
template <class Handle>
Handle HandleFromValue(std::uint32_t value) {
  return reinterpret_cast<Handle>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

inline std::uint32_t ValueFromHandle(const void* handle) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace lumivo
