#include "platform/win32/windows_api.h"

#include "platform/win32/picture_image.h"

#include "platform/win32/device_contexts.h"
#include "platform/win32/resource_pictures.h"

namespace lumivo {
namespace {

constexpr int kHimetricPerInch = 2540;

}  // namespace

PictureImage::PictureImage(HINSTANCE instance, Picture picture)
    : icon_(LoadIconPicture(instance, picture, kIconSize)),
      image_(LoadImagePicture(instance, picture)) {
  if (icon_) {
    size_ = {kIconSize, kIconSize};
  } else if (image_) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    image_->get_Width(&width);
    image_->get_Height(&height);
    himetricSize_ = {width, height};
    const ScreenDC screen;
    size_ = {::MulDiv(width, ::GetDeviceCaps(screen.Get(), LOGPIXELSX), kHimetricPerInch),
             ::MulDiv(height, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), kHimetricPerInch)};
  }
}

void PictureImage::Draw(HDC dc) const {
  if (icon_) {
    ::DrawIconEx(dc, 0, 0, icon_.get(), size_.cx, size_.cy, 0, nullptr, DI_NORMAL);
  } else if (image_) {
    // OLE pictures are drawn from their bottom-left corner upwards.
    image_->Render(dc, 0, 0, size_.cx, size_.cy, 0, himetricSize_.cy, himetricSize_.cx,
                   -himetricSize_.cy, nullptr);
  }
}

}  // namespace lumivo
