#pragma once

#include "platform/win32/windows_api.h"

#include <span>

#include "platform/win32/unique_handles.h"

namespace lumivo {

// A picture drawn once into a bitmap of the screen's format, at its size in pixels.
struct RenderedPicture {
  UniqueBitmap bitmap;
  SIZE size{};
};

// Decodes a picture file (GIF, JPEG, BMP...) with Windows' own OLE picture support and draws
// it at the screen's size for it over the button-face colour, which shows where the picture
// is transparent. OLE is loaded for this alone and released before it returns; an empty
// bitmap when it cannot be decoded.
RenderedPicture RenderOlePicture(std::span<const std::byte> file);

}  // namespace lumivo
