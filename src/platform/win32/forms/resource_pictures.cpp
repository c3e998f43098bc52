#include "platform/win32/windows_api.h"

#include "platform/win32/forms/resource_pictures.h"

#include <cstddef>
#include <span>

#include "resources/resource_ids.h"

namespace lumivo {
namespace {

int IconResource(Picture picture) {
  switch (picture) {
    case Picture::ClosedDoorLamp:
      return IDI_CLOSED_LAMP;
    case Picture::OpenDoorLamp:
      return IDI_OPEN_LAMP;
    case Picture::ProgramIcon:
      return IDI_PROGRAM;
    default:
      return 0;
  }
}

// The bytes of an RCDATA resource, which live as long as the module.
std::span<const std::byte> ResourceBytes(HINSTANCE instance, int id) {
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (found == nullptr) return {};
  const auto* bytes =
      static_cast<const std::byte*>(::LockResource(::LoadResource(instance, found)));
  if (bytes == nullptr) return {};
  return {bytes, ::SizeofResource(instance, found)};
}

}  // namespace

UniqueIcon LoadIconPicture(HINSTANCE instance, Picture picture, int size) {
  const int id = IconResource(picture);
  if (id == 0) return nullptr;
  return UniqueIcon(static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

HCURSOR LoadCursorPicture(HINSTANCE instance, Picture picture) {
  if (picture == Picture::HandCursor) {
    return ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER));
  }
  return ::LoadCursorW(nullptr, IDC_ARROW);
}

RenderedPicture LoadImagePicture(HINSTANCE instance, Picture picture) {
  if (picture != Picture::AboutPicture) return {};
  const std::span<const std::byte> file = ResourceBytes(instance, IDR_ABOUT_PICTURE);
  if (file.empty()) return {};
  return RenderOlePicture(file);
}

}  // namespace lumivo
