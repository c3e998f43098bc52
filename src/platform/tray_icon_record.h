#pragma once

#include <bit>
#include <cstdint>

namespace lumivo {

// Window and icon handles as the 32-bit values Windows guarantees them to be on every
// bitness, so one record layout serves the 32-bit and the 64-bit build.
using WindowHandle = std::uint32_t;
using IconHandle = std::uint32_t;

// Which fields of the record an install sets.
inline constexpr std::uint32_t kTrayRecordMessage = 1;
inline constexpr std::uint32_t kTrayRecordIcon = 2;
inline constexpr std::uint32_t kTrayRecordTip = 4;

// The shell's original 88-byte tray-icon record, as the 32-bit ANSI API takes it.
struct TrayIconRecord {
  std::uint32_t size;
  WindowHandle window;  // the window that hears the icon's mouse messages
  std::uint32_t id;
  std::uint32_t flags;
  std::uint32_t callbackMessage;
  IconHandle icon;
  char tip[64];  // ANSI code page, NUL-terminated
};

static_assert(sizeof(TrayIconRecord) == 88, "the shell reads exactly these 88 bytes");
static_assert(std::endian::native == std::endian::little, "the record is little-endian");

}  // namespace lumivo
