#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include <optional>

#include "platform/form_layout.h"

namespace lumivo {

// The forms' pictures, built into the program as Qt resources and decoded by Qt's image
// plugins (ICO, GIF). Nothing when the picture cannot be decoded.
std::optional<QPixmap> LoadPicture(Picture picture);
QIcon LoadIcon(Picture picture);
// A custom mouse pointer with the hot spot its file gives; the arrow for Picture::None or a
// cursor that cannot be read.
QCursor LoadCursor(Picture picture);

}  // namespace lumivo
