#include "platform/win32/windows_api.h"

#include "platform/win32/resource_pictures.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

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

ComPtr<IStream> StreamOfResource(HINSTANCE instance, int id) {
  ComPtr<IStream> stream;
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (found == nullptr) return stream;
  const DWORD size = ::SizeofResource(instance, found);
  const void* bytes = ::LockResource(::LoadResource(instance, found));
  UniqueGlobal copy(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (bytes == nullptr || !copy) return stream;
  void* target = ::GlobalLock(copy.get());
  if (target == nullptr) return stream;
  std::memcpy(target, bytes, size);
  ::GlobalUnlock(copy.get());
  // The stream frees the memory from here on.
  if (SUCCEEDED(::CreateStreamOnHGlobal(copy.get(), TRUE, stream.Receive()))) copy.release();
  return stream;
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

ComPtr<IPicture> LoadImagePicture(HINSTANCE instance, Picture picture) {
  ComPtr<IPicture> image;
  if (picture != Picture::AboutPicture) return image;
  ComPtr<IStream> stream = StreamOfResource(instance, IDR_ABOUT_PICTURE);
  if (!stream) return image;
  ::OleLoadPicture(stream.Get(), 0, FALSE, IID_IPicture, image.ReceiveVoid());
  return image;
}

}  // namespace lumivo
