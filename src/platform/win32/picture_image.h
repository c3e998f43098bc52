#pragma once

#include "platform/win32/windows_api.h"

#include <ocidl.h>

#include "platform/form_layout.h"
#include "platform/win32/com_ptr.h"
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
  ComPtr<IPicture> image_;
  SIZE himetricSize_{};
  SIZE size_{};
};

}  // namespace lumivo
