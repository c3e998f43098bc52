#pragma once

#include <cmath>
#include <cstdint>

namespace lumivo {

// Twips are 1/1440 inch; layouts are written in twips and windows are made in pixels.
inline int TwipsToPixels(int twips, float twipsPerPixel) {
  return static_cast<int>(std::lround(static_cast<float>(twips) / twipsPerPixel));
}

// The run-time reports a pixel coordinate of message 512 in twips; the tray handlers divide
// it back, so this must stay a plain single-precision product.
inline float PixelsToTwips(std::int16_t pixels, float twipsPerPixel) {
  return static_cast<float>(pixels) * twipsPerPixel;
}

}  // namespace lumivo
