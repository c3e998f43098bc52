#pragma once

#include <bit>
#include <cstdint>

namespace lumivo {

// Window and icon handles as the 32-bit values Windows guarantees them to be on every
// bitness, so one record layout serves the 32-bit and the 64-bit build.
using WindowHandle = std::uint32_t;
using IconHandle = std::uint32_t;

inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

// The shell's original 88-byte tray-icon record, as the 32-bit ANSI API takes it.
struct NOTIFYICONDATA {
  std::uint32_t cbSize;
  WindowHandle hWnd;
  std::uint32_t uID;
  std::uint32_t uFlags;
  std::uint32_t uCallbackMessage;
  IconHandle hIcon;
  char szTip[64];
};

static_assert(sizeof(NOTIFYICONDATA) == 88, "the shell reads exactly these 88 bytes");
static_assert(std::endian::native == std::endian::little, "the record is little-endian");

}  // namespace lumivo
