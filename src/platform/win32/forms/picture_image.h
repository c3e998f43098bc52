#pragma once

#include "platform/win32/windows_api.h"

#include "platform/form_layout.h"
#include "platform/win32/forms/ole_picture.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// The picture a picture box shows: a small icon, a decoded image, or nothing.
class PictureImage {
 public:
  static constexpr int kIconSize = 16;

  PictureImage(HINSTANCE instance, Picture picture);

  SIZE PixelSize() const { return size_; }
  HICON Icon() const { return icon_.get(); }
  // Draws the picture at the top-left corner, at its own size.
  void Draw(HDC dc) const;

 private:
  UniqueIcon icon_;
  RenderedPicture image_;
  SIZE size_{};
};

}  // namespace lumivo
