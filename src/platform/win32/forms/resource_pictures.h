#pragma once

#include "platform/win32/windows_api.h"

#include "platform/form_layout.h"
#include "platform/win32/forms/ole_picture.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// The pictures the layouts name, loaded from the executable's resources. Each returns an
// empty result when the picture is not of the kind asked for or cannot be loaded.
UniqueIcon LoadIconPicture(HINSTANCE instance, Picture picture, int size);
// Shared cursors: Windows keeps them for the life of the process.
HCURSOR LoadCursorPicture(HINSTANCE instance, Picture picture);
// Decoded by the system's OLE picture support into a bitmap.
RenderedPicture LoadImagePicture(HINSTANCE instance, Picture picture);

}  // namespace lumivo
