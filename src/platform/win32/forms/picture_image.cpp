#include "platform/win32/windows_api.h"

#include "platform/win32/forms/picture_image.h"

#include "platform/win32/forms/device_contexts.h"
#include "platform/win32/forms/resource_pictures.h"

namespace lumivo {

PictureImage::PictureImage(HINSTANCE instance, Picture picture)
    : icon_(LoadIconPicture(instance, picture, kIconSize)),
      image_(LoadImagePicture(instance, picture)) {
  if (icon_) {
    size_ = {kIconSize, kIconSize};
  } else if (image_.bitmap) {
    size_ = image_.size;
  }
}

void PictureImage::Draw(HDC dc) const {
  if (icon_) {
    ::DrawIconEx(dc, 0, 0, icon_.get(), size_.cx, size_.cy, 0, nullptr, DI_NORMAL);
  } else if (image_.bitmap) {
    const BitmapDC source(dc, image_.bitmap.get());
    ::BitBlt(dc, 0, 0, size_.cx, size_.cy, source.Get(), 0, 0, SRCCOPY);
  }
}

}  // namespace lumivo
